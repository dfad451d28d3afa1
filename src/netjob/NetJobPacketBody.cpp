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
  // The grouped settings of a net job, each as its run of items.
  void Split(const NetJobSplitMode& split) {
    I32(split.mode);
    I32(split.count);
  }
  void Slice(const NetJobSliceMode& slice) {
    I32(slice.mode);
    I32(slice.y);  // Y goes before X
    I32(slice.x);
    I32(slice.overlap);
    String(slice.format);
  }
  void Schedule(const NetJobSchedule& schedule) {
    U8(schedule.enabled);
    F64(schedule.time);
    String(schedule.text);
  }
  // The lower chunk time limit, then the upper one.
  void Thresholds(const NetJobTimeThresholds& t) {
    Threshold(t.useLower, t.lowerMinutes, t.lowerSeconds, t.lowerAction);
    Threshold(t.useUpper, t.upperMinutes, t.upperSeconds, t.upperAction);
  }
  void Threshold(bool use, int minutes, int seconds, int action) {
    U8(use);
    I32(minutes);
    I32(seconds);
    I32(action);
  }
  void FrameChecking(const NetJobFrameChecking& check) {
    I32(check.method);
    String(check.imageDir);
    String(check.imageName);
    I32(check.filesizeThreshold);
    U8(check.recurseSubdirs);
    U8(check.exactMatch);
    U8(check.disableSubsequent);
  }
  void Events(const CNetJobEventList& events) {
    U32(static_cast<unsigned>(events.GetCount()));
    for (size_t i = 0; i < events.GetCount(); ++i) {
      const CNetJobEvent* event = events.GetAt(i);
      I32(event->GetScope());
      I32(event->GetType());
      String(event->GetName());
      I32(event->GetFlags());
      Strings(event->GetContents());
    }
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

  renderSettings = job.GetRenderSet().ToUTF8();
  return true;
}

void CNetJobPacketBody::Write(std::string& out) const {
  out.reserve(out.size() + renderSettings.size() + 1024);
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
  w.Split(splitMode);
  w.Slice(sliceMode);
  w.Strings(extendedSplitting);
  w.I32(chunkDispatchOrder);
  w.U8(firstLastFirst);
  w.Schedule(schedule);
  w.I32(clientLimit);
  w.I32(minClientPriority);
  w.I32(minClientMemory);
  w.I32(minDispatchDelay);
  w.Ints(dependencies);
  w.I32(dependencyType);
  w.U8(unfinishedAsDone);
  w.Thresholds(timeThresholds);
  w.I32(errorAction);
  w.I32(errorTolerance);
  w.U8(includeRecreatedChunks);
  w.FrameChecking(frameChecking);
  w.Events(events);
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
  out.append(renderSettings);
  out.push_back('\0');
}
