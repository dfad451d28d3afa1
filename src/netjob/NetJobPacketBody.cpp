#include "netjob/NetJobPacketBody.h"

#include <cstring>

#include "rs/RSGroup.h"
#include "rs/RSRenderSet.h"
#include "rs/RSRenderer.h"
#include "rs/RSVersion.h"

namespace {

// Little-endian writer over a byte string.
class CBodyWriter {
 public:
  explicit CBodyWriter(std::string& out) : m_out(out) {}

  void U8(bool value) { m_out.push_back(value ? '\1' : '\0'); }
  void U32(unsigned value) {
    for (int i = 0; i < 4; ++i) m_out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  }
  void I32(int value) { U32(static_cast<unsigned>(value)); }
  void F64(double value) {
    unsigned long long bits = 0;
    static_assert(sizeof(bits) == sizeof(value), "double is eight bytes");
    std::memcpy(&bits, &value, sizeof(bits));
    for (int i = 0; i < 8; ++i) m_out.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
  }
  void String(const wxString& text) {
    const wxScopedCharBuffer utf8 = text.utf8_str();
    m_out.append(utf8.data(), utf8.length());
    m_out.push_back('\0');
  }
  void Strings(const wxArrayString& list, const wxString& prefix = wxString()) {
    U32(static_cast<unsigned>(list.size()));
    for (const wxString& item : list) String(prefix.empty() ? item : prefix + item);
  }
  // One chunk time limit: whether it applies, its minutes, seconds and action.
  void Threshold(bool use, int minutes, int seconds, int action) {
    U8(use);
    I32(minutes);
    I32(seconds);
    I32(action);
  }
  void Ints(const std::vector<int>& list) {
    U32(static_cast<unsigned>(list.size()));
    for (int value : list) I32(value);
  }

 private:
  std::string& m_out;
};

}  // namespace

wxString CNetJobPacketBody::RendererFullName(const CRSVersion* version) {
  if (version == nullptr || version->Renderer == nullptr) return wxString();
  const CRSRenderer* renderer = version->Renderer;
  const wxString group = renderer->Group != nullptr ? renderer->Group->Name : renderer->GroupName;
  if (group.empty()) return renderer->Name;
  return wxString::Format(wxT("%s/%s"), group, renderer->Name);
}

bool CNetJobPacketBody::MarshalFrom(CJsNetJobBase& job) {
  id = job.GetId();
  name = job.GetName();
  color = job.GetColor();
  priority = job.GetPriority();
  urgent = job.IsUrgent();
  renderer = RendererFullName(job.GetRenderer());
  use32Bit = job.GetUse32Bit();
  use64Bit = job.GetUse64Bit();
  renderCoreCount = job.GetRenderCoreCount();
  sendEmails = job.GetSendEmails();
  cacheScenesLocally = job.GetCacheScenesLocally();
  splitMode = job.GetSplitMode();
  sliceMode = job.GetSliceMode();
  extendedSplitting = job.GetExtendedSplitting();
  chunkDispatchOrder = job.GetChunkDispatchOrder();
  firstLastFirst = job.GetFirstLastFirst();
  schedule = job.GetSchedule();
  dependencies = job.GetDependencies();
  dependencyType = job.GetDependencyType();
  unfinishedAsDone = job.GetUnfinishedAsDone();
  clientLimit = job.GetClientLimit();
  minClientPriority = job.GetMinClientPriority();
  minClientMemory = job.GetMinClientMemory();
  minDispatchDelay = job.GetMinDispatchDelay();
  timeThresholds = job.GetTimeThresholds();
  errorAction = job.GetErrorAction();
  errorTolerance = job.GetErrorTolerance();
  includeRecreatedChunks = job.GetIncludeRecreatedChunks();
  frameChecking = job.GetFrameChecking();
  events.CopyFrom(job.GetEvents());
  emailRecipients = job.GetEmailRecipients();
  emailUsers = job.GetEmailUsers();
  project = job.GetProject();
  notes = job.GetNotes();
  tags = job.GetTags();
  customFields = job.GetCustomFields();

  pools.clear();
  for (const wxString& entry : job.GetPoolList()) {
    const wxString pool = entry.BeforeFirst(wxT('|'));
    if (!pool.empty()) pools.Add(pool);
  }
  clientList = job.GetClientList();
  clientListAdmitsOnly = job.GetClientListAdmitsOnly();
  startPaused = job.GetStartPaused();

  renderSettings.clear();
  job.GetRenderSet().SaveToFile(wxString(), &renderSettings);
  return true;
}

void CNetJobPacketBody::Write(std::string& out) const {
  const wxScopedCharBuffer settings = renderSettings.utf8_str();
  out.reserve(out.size() + settings.length() + 1024);
  CBodyWriter w(out);
  w.I32(leading);
  w.I32(id);
  w.String(reserved);
  w.String(name);
  w.U32(color);
  w.I32(priority);
  w.U8(urgent);
  w.String(renderer);
  w.U8(use32Bit);
  w.U8(use64Bit);
  w.I32(renderCoreCount);
  w.U8(sendEmails);
  w.U8(cacheScenesLocally);
  w.I32(splitMode.mode);
  w.I32(splitMode.count);
  w.I32(sliceMode.mode);
  w.I32(sliceMode.y);  // Y goes before X
  w.I32(sliceMode.x);
  w.I32(sliceMode.overlap);
  w.String(sliceMode.format);
  w.Strings(extendedSplitting);
  w.I32(chunkDispatchOrder);
  w.U8(firstLastFirst);
  w.U8(schedule.enabled);
  w.F64(schedule.time);
  w.String(schedule.text);
  w.I32(clientLimit);
  w.I32(minClientPriority);
  w.I32(minClientMemory);
  w.I32(minDispatchDelay);
  w.Ints(dependencies);
  w.I32(dependencyType);
  w.U8(unfinishedAsDone);
  const NetJobTimeThresholds& t = timeThresholds;
  w.Threshold(t.useLower, t.lowerMinutes, t.lowerSeconds, t.lowerAction);
  w.Threshold(t.useUpper, t.upperMinutes, t.upperSeconds, t.upperAction);
  w.I32(errorAction);
  w.I32(errorTolerance);
  w.U8(includeRecreatedChunks);
  w.I32(frameChecking.method);
  w.String(frameChecking.imageDir);
  w.String(frameChecking.imageName);
  w.I32(frameChecking.filesizeThreshold);
  w.U8(frameChecking.recurseSubdirs);
  w.U8(frameChecking.exactMatch);
  w.U8(frameChecking.disableSubsequent);
  w.U32(static_cast<unsigned>(events.GetCount()));
  for (size_t i = 0; i < events.GetCount(); ++i) {
    const CNetJobEvent* event = events.GetAt(i);
    w.I32(event->GetScope());
    w.I32(event->GetType());
    w.String(event->GetName());
    w.I32(event->GetFlags());
    w.Strings(event->GetContents());
  }
  w.String(emailRecipients);
  w.Strings(emailUsers, wxT("$"));
  w.String(project);
  w.String(notes);
  w.String(tags);
  w.String(customFields);
  w.U8(startPaused);
  w.Strings(pools);
  w.Strings(clientList);
  w.U8(clientListAdmitsOnly);
  out.append(settings.data(), settings.length());
  out.push_back('\0');
}
