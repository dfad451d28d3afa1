#include "netjob/JsNetJob.h"

#include "rs/DataContainer.h"
#include "settings/ExtendedSettingsScript.h"
#include "settings/XSSSection.h"

namespace {

// Values are read by the kind of the field; a value stored with another type
// reads as that kind's zero, a missing one as the given default.
bool ReadBool(const CDataContainer& data, const wxChar* name, bool missing) {
  if (!data.Has(name)) return missing;
  const CDataContainerValue value = data.Get(name);
  return value.Type == CDataContainerValue::kBool && value.Bool;
}

int ReadInt(const CDataContainer& data, const wxChar* name, int missing) {
  if (!data.Has(name)) return missing;
  const CDataContainerValue value = data.Get(name);
  return value.Type == CDataContainerValue::kInt ? value.Int : 0;
}

wxString ReadText(const CDataContainer& data, const wxChar* name) {
  const CDataContainerValue value = data.Get(name);
  return value.Type == CDataContainerValue::kString ? value.Text : wxString();
}

// Appends the lines of a multi-line value; a final line feed ends the last
// line rather than starting an empty one. Only line feeds cut: backslashes
// are kept as they are, so the client "DOMAIN\node1" stays one client.
void AppendLines(const CDataContainer& data, const wxChar* name, wxArrayString& list) {
  const wxString text = ReadText(data, name);
  if (text.empty()) return;
  size_t from = 0;
  while (from < text.length()) {
    const size_t feed = text.find(wxT('\n'), from);
    if (feed == wxString::npos) {
      list.Add(text.substr(from));
      return;
    }
    list.Add(text.substr(from, feed - from));
    from = feed + 1;
  }
}

}  // namespace

bool CJsNetJob::LoadPreset(const wxString& path) {
  UExtendedSettingsScript document;
  if (!document.Load(path, 0)) return false;
  UXSSSection& root = document.GetRootSection();

  if (UXSSSection* general = root.FindSection(wxT("General"), false)) {
    SetName(general->GetString(wxT("Name"), wxT("Unnamed preset")));
    m_selectedGroups = general->GetInt(wxT("SelectedGroups"), -1);
  }
  if (UXSSSection* section = root.FindSection(wxT("Data"), false)) {
    CDataContainer data;
    data.Load(*section);
    ApplyGroups(data);
  }
  if (UXSSSection* section = root.FindSection(wxT("Events"), false)) {
    if (m_selectedGroups & kGroupEvents) GetEvents().LoadFromSection(*section);
  }
  return true;
}

void CJsNetJob::ApplyGroups(const CDataContainer& data) {
  const int groups = m_selectedGroups;
  if (groups & kGroupRenderer) {
    const wxString renderer = ReadText(data, wxT("Renderer"));
    if (!renderer.empty()) SetRenderer(m_lookup ? m_lookup(renderer) : nullptr);
    SetUse32Bit(ReadBool(data, wxT("Renderer32bit"), false));
    SetUse64Bit(ReadBool(data, wxT("Renderer64bit"), false));
    AssignPriority(ReadInt(data, wxT("Priority"), kDefaultPriority));
    SetUrgent(ReadBool(data, wxT("Urgent"), false));
  }
  if (groups & kGroupRenderCores) {
    AssignRenderCoreCount(ReadInt(data, wxT("RenderCoreCount"), 1));
  }
  if (groups & kGroupChunkDispatch) {
    SetChunkDispatchOrder(ReadInt(data, wxT("ChunkDispatchOrder"), 0));
    SetFirstLastFirst(ReadBool(data, wxT("ChunkDispatchFirstLastFirst"), false));
  }
  if (groups & kGroupFrameSplitting) {
    SetSplitMode(ReadInt(data, wxT("SplitMode_Mode"), 0), ReadInt(data, wxT("SplitMode_Count"), 0));
  }
  if (groups & kGroupImageSlicing) {
    SetSliceMode(ReadInt(data, wxT("SliceMode_Mode"), 0), ReadInt(data, wxT("SliceMode_CX"), 0),
                 ReadInt(data, wxT("SliceMode_RY"), 0), ReadInt(data, wxT("SliceMode_Overlap"), 0),
                 ReadText(data, wxT("SliceMode_Format")));
  }
  if (groups & kGroupClientsAndPools) {
    AppendLines(data, wxT("BlockedClients"), GetClientList());
    AppendLines(data, wxT("PoolList"), GetPoolList());
  }
  if (groups & kGroupClientLimits) {
    AssignClientLimit(ReadInt(data, wxT("ClientLimit"), -1));
    AssignMinClientPriority(ReadInt(data, wxT("MinClientPriority"), -1));
  }
  if (groups & kGroupNotification) {
    SetSendEmails(ReadBool(data, wxT("SendEmails"), true));
    SetEmailRecipients(ReadText(data, wxT("EmailRecipients")));
    SetCacheScenesLocally(ReadBool(data, wxT("CacheScenesLocally"), false));
  }
  if (groups & kGroupTimeThresholds) {
    NetJobTimeThresholds& t = GetTimeThresholds();
    t.useLower = ReadBool(data, wxT("TimeThresholds_UseLowerThreshold"), false);
    t.lowerMinutes = ReadInt(data, wxT("TimeThresholds_LowerThresholdMin"), 0);
    t.lowerSeconds = ReadInt(data, wxT("TimeThresholds_LowerThresholdSec"), 0);
    t.lowerAction = ReadInt(data, wxT("TimeThresholds_LowerThresholdAction"), 0);
    t.useUpper = ReadBool(data, wxT("TimeThresholds_UseUpperThreshold"), false);
    t.upperMinutes = ReadInt(data, wxT("TimeThresholds_UpperThresholdMin"), 0);
    t.upperSeconds = ReadInt(data, wxT("TimeThresholds_UpperThresholdSec"), 0);
    t.upperAction = ReadInt(data, wxT("TimeThresholds_UpperThresholdAction"), 0);
  }
  if (groups & kGroupErrorHandling) {
    SetErrorAction(ReadInt(data, wxT("ErrorHandling_Action"), 0));
    SetErrorTolerance(ReadInt(data, wxT("ErrorHandling_Tolerance"), 0));
    SetIncludeRecreatedChunks(ReadBool(data, wxT("ErrorHandling_IncRecreatedChunks"), false));
  }
  if (groups & kGroupFrameChecking) {
    NetJobFrameChecking& f = GetFrameChecking();
    f.method = ReadInt(data, wxT("FrameChecking_Method"), 0);
    f.imageDir = ReadText(data, wxT("FrameChecking_ImageDir"));
    f.imageName = ReadText(data, wxT("FrameChecking_ImageName"));
    f.filesizeThreshold = ReadInt(data, wxT("FrameChecking_FilesizeThreshold"), 0);
    f.recurseSubdirs = ReadBool(data, wxT("FrameChecking_RecurseSubdirs"), false);
    f.exactMatch = ReadBool(data, wxT("FrameChecking_ExactMatch"), false);
  }
  if (groups & kGroupNotes) SetNotes(ReadText(data, wxT("Notes")));
  if (groups & kGroupExtendedSplitting) {
    AppendLines(data, wxT("ExtendedSplitting"), GetExtendedSplitting());
  }
}
