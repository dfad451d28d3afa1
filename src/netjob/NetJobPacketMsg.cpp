#include "netjob/NetJobPacketMsg.h"

#include <string>

#include "rs/RSGroup.h"
#include "rs/RSRenderSet.h"
#include "rs/RSRenderer.h"
#include "rs/RSVersion.h"

wxIMPLEMENT_DYNAMIC_CLASS(CNetJobPacketMsg, CCompressedMsgBase);

namespace {

using Job = CJsNetJobBase;
using Out = CMemoryStream;

// One item of the body: its name (as the farm simulator's decoder calls it)
// and how its value is taken from the net job and written. Texts go whole.
struct CPacketField {
  const char* name;
  bool (*write)(Out& out, Job& job);
};

bool WriteEvents(Out& out, const CNetJobEventList& events) {
  bool ok = out.WriteUInt32(static_cast<wxUint32>(events.GetCount()));
  for (size_t i = 0; ok && i < events.GetCount(); ++i) {
    const CNetJobEvent* event = events.GetAt(i);
    ok = out.WriteInt32(event->GetScope()) && out.WriteInt32(event->GetType()) &&
         out.WriteWholeString(event->GetName()) && out.WriteInt32(event->GetFlags()) &&
         out.WriteStringList(event->GetContents());
  }
  return ok;
}

// A pool goes by its identifier, the text before the first "|"; an entry
// without one is left out.
bool WritePools(Out& out, const wxArrayString& entries) {
  wxArrayString pools;
  for (const wxString& entry : entries) {
    const wxString pool = entry.BeforeFirst(wxT('|'));
    if (!pool.empty()) pools.Add(pool);
  }
  return out.WriteStringList(pools);
}

bool WriteRenderSet(Out& out, CRSRenderSet& set) {
  const std::string xml = set.ToUTF8();
  return out.WriteUtf8(xml.data(), xml.size());
}

// The body in wire order.
const CPacketField kPacketFields[] = {
    {"lead", [](Out& o, Job&) { return o.WriteInt32(0); }},
    {"id", [](Out& o, Job& j) { return o.WriteInt32(j.GetId()); }},
    {"lead_text", [](Out& o, Job&) { return o.WriteWholeString(wxString()); }},
    {"name", [](Out& o, Job& j) { return o.WriteWholeString(j.GetName()); }},
    {"color", [](Out& o, Job& j) { return o.WriteUInt32(j.GetColor()); }},
    {"priority", [](Out& o, Job& j) { return o.WriteInt32(j.GetPriority()); }},
    {"urgent", [](Out& o, Job& j) { return o.WriteBool(j.IsUrgent()); }},
    {"renderer",
     [](Out& o, Job& j) {
       return o.WriteWholeString(CNetJobPacketMsg::RendererFullName(j.GetRenderer()));
     }},
    {"use_32bit", [](Out& o, Job& j) { return o.WriteBool(j.GetUse32Bit()); }},
    {"use_64bit", [](Out& o, Job& j) { return o.WriteBool(j.GetUse64Bit()); }},
    {"render_cores", [](Out& o, Job& j) { return o.WriteInt32(j.GetRenderCoreCount()); }},
    {"send_emails", [](Out& o, Job& j) { return o.WriteBool(j.GetSendEmails()); }},
    {"cache_scenes", [](Out& o, Job& j) { return o.WriteBool(j.GetCacheScenesLocally()); }},
    {"split_mode", [](Out& o, Job& j) { return o.WriteInt32(j.GetSplitMode().mode); }},
    {"split_count", [](Out& o, Job& j) { return o.WriteInt32(j.GetSplitMode().count); }},
    {"slice_mode", [](Out& o, Job& j) { return o.WriteInt32(j.GetSliceMode().mode); }},
    {"slice_y", [](Out& o, Job& j) { return o.WriteInt32(j.GetSliceMode().y); }},
    {"slice_x", [](Out& o, Job& j) { return o.WriteInt32(j.GetSliceMode().x); }},
    {"slice_overlap", [](Out& o, Job& j) { return o.WriteInt32(j.GetSliceMode().overlap); }},
    {"slice_format", [](Out& o, Job& j) { return o.WriteWholeString(j.GetSliceMode().format); }},
    {"extended_splitting",
     [](Out& o, Job& j) { return o.WriteStringList(j.GetExtendedSplitting()); }},
    {"chunk_order", [](Out& o, Job& j) { return o.WriteInt32(j.GetChunkDispatchOrder()); }},
    {"first_last_first", [](Out& o, Job& j) { return o.WriteBool(j.GetFirstLastFirst()); }},
    {"scheduled", [](Out& o, Job& j) { return o.WriteBool(j.GetSchedule().enabled); }},
    {"scheduled_time", [](Out& o, Job& j) { return o.WriteDouble(j.GetSchedule().time); }},
    {"scheduled_text", [](Out& o, Job& j) { return o.WriteWholeString(j.GetSchedule().text); }},
    {"client_limit", [](Out& o, Job& j) { return o.WriteInt32(j.GetClientLimit()); }},
    {"min_client_priority", [](Out& o, Job& j) { return o.WriteInt32(j.GetMinClientPriority()); }},
    {"min_client_memory", [](Out& o, Job& j) { return o.WriteInt32(j.GetMinClientMemory()); }},
    {"min_dispatch_delay", [](Out& o, Job& j) { return o.WriteInt32(j.GetMinDispatchDelay()); }},
    {"dependencies", [](Out& o, Job& j) { return o.WriteInt32List(j.GetDependencies()); }},
    {"dependency_type", [](Out& o, Job& j) { return o.WriteInt32(j.GetDependencyType()); }},
    {"unfinished_is_done", [](Out& o, Job& j) { return o.WriteBool(j.GetUnfinishedAsDone()); }},
    {"use_lower_threshold",
     [](Out& o, Job& j) { return o.WriteBool(j.GetTimeThresholds().useLower); }},
    {"lower_minutes",
     [](Out& o, Job& j) { return o.WriteInt32(j.GetTimeThresholds().lowerMinutes); }},
    {"lower_seconds",
     [](Out& o, Job& j) { return o.WriteInt32(j.GetTimeThresholds().lowerSeconds); }},
    {"lower_action",
     [](Out& o, Job& j) { return o.WriteInt32(j.GetTimeThresholds().lowerAction); }},
    {"use_upper_threshold",
     [](Out& o, Job& j) { return o.WriteBool(j.GetTimeThresholds().useUpper); }},
    {"upper_minutes",
     [](Out& o, Job& j) { return o.WriteInt32(j.GetTimeThresholds().upperMinutes); }},
    {"upper_seconds",
     [](Out& o, Job& j) { return o.WriteInt32(j.GetTimeThresholds().upperSeconds); }},
    {"upper_action",
     [](Out& o, Job& j) { return o.WriteInt32(j.GetTimeThresholds().upperAction); }},
    {"error_action", [](Out& o, Job& j) { return o.WriteInt32(j.GetErrorAction()); }},
    {"error_tolerance", [](Out& o, Job& j) { return o.WriteInt32(j.GetErrorTolerance()); }},
    {"include_recreated",
     [](Out& o, Job& j) { return o.WriteBool(j.GetIncludeRecreatedChunks()); }},
    {"check_method", [](Out& o, Job& j) { return o.WriteInt32(j.GetFrameChecking().method); }},
    {"check_image_dir",
     [](Out& o, Job& j) { return o.WriteWholeString(j.GetFrameChecking().imageDir); }},
    {"check_image_name",
     [](Out& o, Job& j) { return o.WriteWholeString(j.GetFrameChecking().imageName); }},
    {"check_size_threshold",
     [](Out& o, Job& j) { return o.WriteInt32(j.GetFrameChecking().filesizeThreshold); }},
    {"check_recurse",
     [](Out& o, Job& j) { return o.WriteBool(j.GetFrameChecking().recurseSubdirs); }},
    {"check_exact", [](Out& o, Job& j) { return o.WriteBool(j.GetFrameChecking().exactMatch); }},
    {"check_disable_subsequent",
     [](Out& o, Job& j) { return o.WriteBool(j.GetFrameChecking().disableSubsequent); }},
    {"events", [](Out& o, Job& j) { return WriteEvents(o, j.GetEvents()); }},
    {"email_recipients",
     [](Out& o, Job& j) { return o.WriteWholeString(j.GetEmailRecipients()); }},
    {"email_users", [](Out& o, Job& j) { return o.WriteStringList(j.GetEmailUsers(), wxT("$")); }},
    {"project", [](Out& o, Job& j) { return o.WriteWholeString(j.GetProject()); }},
    {"notes", [](Out& o, Job& j) { return o.WriteWholeString(j.GetNotes()); }},
    {"tags", [](Out& o, Job& j) { return o.WriteWholeString(j.GetTags()); }},
    {"custom_fields", [](Out& o, Job& j) { return o.WriteWholeString(j.GetCustomFields()); }},
    {"start_paused", [](Out& o, Job& j) { return o.WriteBool(j.GetStartPaused()); }},
    {"pools", [](Out& o, Job& j) { return WritePools(o, j.GetPoolList()); }},
    {"clients", [](Out& o, Job& j) { return o.WriteStringList(j.GetClientList()); }},
    {"clients_admit_only",
     [](Out& o, Job& j) { return o.WriteBool(j.GetClientListAdmitsOnly()); }},
    {"render_settings", [](Out& o, Job& j) { return WriteRenderSet(o, j.GetRenderSet()); }},
};

}  // namespace

CNetJobPacketMsg::CNetJobPacketMsg() { SetType(kType); }

wxString CNetJobPacketMsg::RendererFullName(const CRSVersion* version) {
  if (version == nullptr || version->Renderer == nullptr) return wxString();
  const CRSRenderer* renderer = version->Renderer;
  const wxString group = renderer->Group != nullptr ? renderer->Group->Name : renderer->GroupName;
  if (group.empty()) return renderer->Name;
  return wxString::Format(wxT("%s/%s"), group, renderer->Name);
}

bool CNetJobPacketMsg::MarshalFrom(CJsNetJobBase& job) {
  m_body.Clear();
  for (const CPacketField& field : kPacketFields) {
    if (!field.write(m_body, job)) return false;
  }
  return true;
}

bool CNetJobPacketMsg::WriteData(CMemoryStream& stream) const {
  if (m_body.Size() > CMsgBase::kMaxUnpackedSize) return false;
  return stream.Write(m_body.Data(), m_body.Size());
}
