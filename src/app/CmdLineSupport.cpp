#include "app/CmdLineSupport.h"

#include <wx/filename.h>
#include <wx/tokenzr.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "app/KfJsCmdLine.h"
#include "app/KfJsCore.h"
#include "net/UserData.h"
#include "netjob/JsNetJob.h"
#include "platform/CaseFold.h"
#include "platform/StringUtil.h"
#include "rs/RSParameter.h"
#include "rs/RSParameterList.h"
#include "rs/RSPool.h"
#include "rs/RSRenderSet.h"
#include "rs/RSRenderer.h"
#include "rs/RSVersion.h"

namespace {

int ClampToInt(long value) {
  if (value < INT_MIN) return INT_MIN;
  if (value > INT_MAX) return INT_MAX;
  return static_cast<int>(value);
}

// The leading decimal number of a text (0 when there is none).
int LeadingInt(const wxString& text) {
  const wxScopedCharBuffer utf8 = text.utf8_str();
  return ClampToInt(strtol(utf8.data(), nullptr, 10));
}

using strutil::Trimmed;

// Splits at "," keeping empty fields, each trimmed.
wxArrayString Fields(const wxString& text) {
  wxArrayString fields = strutil::Split(text, wxT(','));
  for (wxString& field : fields) field = Trimmed(field);
  return fields;
}

wxString FieldAt(const wxArrayString& fields, size_t index) {
  return index < fields.size() ? fields[index] : wxString();
}

// The file name of a scene path written with "/" or "\" separators.
wxString SceneFileName(const wxString& path) {
  const size_t cut = path.find_last_of(wxT("/\\"));
  return cut == wxString::npos ? path : path.substr(cut + 1);
}

wxString FirstString(const CRSRenderSet& set, const wxString& id) {
  const CRSRenderSetValue* value = set.FindValue(id);
  if (value == nullptr || value->Strings.empty()) return wxString();
  return value->Strings[0];
}

}  // namespace

CCmdLineSupport::CCmdLineSupport(CJsNetJob& job, CKfJsCmdLine& cmdLine, CRSPool& pool,
                                 const CUserData* userData)
    : m_job(job), m_cmdLine(cmdLine), m_pool(pool), m_userData(userData) {}

bool CCmdLineSupport::Apply() {
  return ApplyRenderer() && ApplyRenderSettings() && ApplySwitches();
}

bool CCmdLineSupport::Error(const wxString& message, const wxString& switchName) {
  if (CKfJsCore* core = CKfJsCore::Get()) {
    core->OutputNewLines(1);
    core->OutputLevel(CConsole::kLevelError, wxT("Command-line error:\n%s [switch=%s]\n"), message,
                      switchName);
  }
  return false;
}

bool CCmdLineSupport::Text(const wxString& name, wxString& value) const {
  return m_cmdLine.GetSwitchString(name, &value);
}

bool CCmdLineSupport::Number(const wxString& name, int& value) const {
  long number = 0;
  if (!m_cmdLine.GetSwitchLong(name, &number)) return false;
  value = ClampToInt(number);
  return true;
}

bool CCmdLineSupport::Flag(const wxString& name) const {
  return m_cmdLine.Found(name);
}

CRSVersion* CCmdLineSupport::FindRendererVersion(CRSPool& pool, const wxString& name) {
  const wxString rendererName = Trimmed(name.BeforeFirst(wxT('/')));
  const wxString versionName = Trimmed(name.AfterFirst(wxT('/')).BeforeFirst(wxT('/')));
  if (rendererName.empty()) return nullptr;
  CRSRenderer* renderer = pool.Renderers.FindByKey(rendererName);
  if (renderer == nullptr) return nullptr;
  if (versionName.empty()) return renderer->Versions.GetDefaultVersion();
  return renderer->Versions.FindByKey(versionName);
}

wxString CCmdLineSupport::DecodeEscapes(const wxString& text) {
  wxString out;
  out.reserve(text.length());
  for (size_t i = 0; i < text.length(); ++i) {
    if (text[i] == wxT('\\') && i + 1 < text.length()) {
      const wxChar next = text[i + 1];
      if (next == wxT('n') || next == wxT('r') || next == wxT('t')) {
        out += next == wxT('n') ? wxT('\n') : next == wxT('r') ? wxT('\r') : wxT('\t');
        ++i;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

// --- renderer ---------------------------------------------------------------

bool CCmdLineSupport::ApplyRenderer() {
  wxString name;
  if (Text(wxT("nj_renderer"), name) && !name.empty()) {
    CRSVersion* version = FindRendererVersion(m_pool, name);
    if (version == nullptr)
      return Error(wxT("The specified renderer doesn't exist"), wxT("nj_renderer"));
    m_job.SetRenderer(version);
  } else if (m_job.GetRenderer() == nullptr) {
    // A renderer chosen by a preset stands when the command line names none.
    return Error(wxT("No renderer specified"), wxT("nj_renderer"));
  }
  m_job.GetRenderSet().SetRenderer(*m_job.GetRenderer());

  const bool use32 = Flag(wxT("nj_render32bit"));
  const bool use64 = Flag(wxT("nj_render64bit"));
  m_job.SetUse32Bit(use32 || !use64);
  m_job.SetUse64Bit(use64 || !use32);
  return true;
}

// --- scene files and render settings -----------------------------------------

bool CCmdLineSupport::ApplyRenderSettings() {
  return CheckUndeclaredSwitches() && ImportRenderSet() && AddSceneFiles() &&
         (SetRenderSettingsFromSwitches(), true);
}

bool CCmdLineSupport::CheckUndeclaredSwitches() {
  CRSParameterList parameters(false);
  m_job.GetRenderer()->GetEffectiveParameters(parameters);
  for (const CCmdLineParam* param : m_cmdLine.GetUndeclaredSwitches()) {
    const wxString& name = param->GetName();
    bool known = false;
    for (size_t i = 0; i < parameters.GetCount() && !known; ++i) {
      known = casefold::Equal(parameters.GetAt(i)->ID, name);
    }
    if (!known) return Error(wxT("Unknown switch"), name);
  }
  return true;
}

bool CCmdLineSupport::ImportRenderSet() {
  wxString name;
  if (!Text(wxT("importset"), name) || name.empty()) return true;
  wxFileName file(name);
  if (!file.HasExt()) file.SetExt(wxT("kset"));
  wxString path = file.GetFullPath();
  // Like a preset: the path as given (a relative one from the current
  // folder), then the presets of the user directory, then the program folder.
  if (!file.IsAbsolute() && !wxFileName::FileExists(path)) {
    const auto folder = [](wxString dir) {
      if (!dir.empty() && !dir.EndsWith(wxT("/"))) dir += wxT("/");
      return dir;
    };
    path = folder(m_dataDir.empty() ? m_programDir : m_dataDir) + wxT("Presets/NetJobs/") +
           file.GetFullPath();
    if (!wxFileName::FileExists(path)) path = folder(m_programDir) + file.GetFullPath();
  }
  CRSRenderSet& set = m_job.GetRenderSet();
  if (!set.LoadFromFile(path, wxString(), false)) {
    return Error(wxT("Unable to import the specified render set"), wxT("importset"));
  }
  // The command line supplies these itself.
  for (const wxChar* id : {wxT("scene"), wxT("outfile"), wxT("outdir"), wxT("projdir")}) {
    set.RemoveValue(id);
  }
  set.SetRenderer(*m_job.GetRenderer());
  return true;
}

bool CCmdLineSupport::AddSceneFiles() {
  CRSRenderSet& set = m_job.GetRenderSet();
  const bool existed = set.FindValue(wxT("scene")) != nullptr;
  CRSRenderSetValue* value = set.GetOrAddValue(wxT("scene"));
  // Scenes are expanded straight into the value and trimmed in place there,
  // so that a long frame sequence is never held twice.
  wxArrayString& strings = value->Strings;
  const size_t before = strings.size();
  m_scenes.ResetBudget();
  for (const wxString& argument : m_cmdLine.GetFreeArgs()) {
    if (!m_scenes.Expand(Trimmed(argument), strings)) {
      if (strings.size() > before) strings.RemoveAt(before, strings.size() - before);
      if (!existed) set.RemoveValue(wxT("scene"));
      if (m_scenes.IsTooLarge()) {
        return Error(
            wxString::Format(wxT("The submission is too large: its scene files would take more "
                                 "than %u MiB of the net job packet"),
                             unsigned(CScenePattern::kMaxPacketBytes >> 20)),
            wxString());
      }
      return Error(wxT("Invalid scene filename pattern specified"), wxString());
    }
  }
  for (size_t i = before; i < strings.size(); ++i) strings[i].Trim(true).Trim(false);
  if (strings.empty()) return Error(wxT("No scene files were specified"), wxString());
  return true;
}

void CCmdLineSupport::SetRenderSettingsFromSwitches() {
  CRSVersion* version = m_job.GetRenderer();
  CRSRenderSet& set = m_job.GetRenderSet();
  CRSParameterList parameters(false);
  version->GetEffectiveParameters(parameters);
  const CCmdLineParser& parser = m_cmdLine;
  for (size_t i = 0; i < parameters.GetCount(); ++i) {
    const CRSParameter* parameter = parameters.GetAt(i);
    const wxString& id = parameter->ID;
    if (parameter->Type == CRSParameter::kBoolSwitch) {
      // A boolean switch: its first value on the command line decides.
      if (!parser.Found(id)) continue;
      const wxString first = parser.GetParamString(id, wxString()).Lower();
      const bool on = first == wxT("true") || first == wxT("yes") || first == wxT("1");
      set.AddValue(id)->AddString(on ? wxT("true") : wxT("false"));
      continue;
    }
    wxString text;
    if (!Text(id, text) || text.empty()) continue;
    CRSRenderSetValue* value = set.AddValue(id);
    if (parameter->TypeFlags & CRSParameter::kFlagMultiValue) {
      text.Replace(wxT(","), wxT(";"));
      for (const wxString& item : strutil::SplitTrimmed(text, wxT(';'))) value->AddString(item);
    } else {
      value->AddString(text);
    }
  }
  if (!Flag(wxT("nodefaults"))) set.FillDefaults(*version);
}

// --- net job switches ---------------------------------------------------------

bool CCmdLineSupport::ApplySwitches() {
  if (!ApplyName()) return false;
  int cores = 0;
  if (Number(wxT("nj_rendercores"), cores) && !m_job.SetRenderCoreCount(cores)) {
    return Error(wxT("The render core setting is invalid"), wxT("nj_rendercores"));
  }
  if (!ApplyPools()) return false;
  if (!ApplyPriority()) return false;
  if (Flag(wxT("nj_urgent"))) {
    if (m_userData != nullptr && m_userData->GetRights().Has(CUserRights::kUrgentJobs)) {
      m_job.SetUrgent(true);
    } else {
      CKfJsCore::Get()->OutputLevel(
          1, wxT("Urgency flag ignored; you do not have the proper permissions\n"));
    }
  }
  if (!ApplySplitting()) return false;
  ApplyExtendedSplitting();
  int order = 0;
  if (Number(wxT("nj_dispatchorder"), order)) {
    if (order < 0 || order > 3)
      return Error(wxT("The dispatch order is invalid"), wxT("nj_dispatchorder"));
    m_job.SetChunkDispatchOrder(order);
  }
  if (Flag(wxT("nj_firstlastfirst"))) m_job.SetFirstLastFirst(true);
  if (!ApplyFrameChecking()) return false;
  ApplyDependencies();
  if (Flag(wxT("nj_paused"))) m_job.SetStartPaused(true);
  if (Flag(wxT("nj_noemails"))) m_job.SetSendEmails(false);
  wxString text;
  if (Text(wxT("nj_emailrecpt"), text)) m_job.SetEmailRecipients(text);
  if (Text(wxT("nj_emailusers"), text))
    m_job.GetEmailUsers() = strutil::SplitTrimmed(text, wxT(';'));
  if (Flag(wxT("nj_cachescenes"))) m_job.SetCacheScenesLocally(true);
  if (!ApplyLimits()) return false;
  ApplyTimeThreshold(false);
  ApplyTimeThreshold(true);
  if (!ApplyErrorHandling()) return false;
  ApplyTexts();
  ApplyClients();
  return true;
}

bool CCmdLineSupport::ApplyName() {
  wxString name;
  if (Text(wxT("nj_name"), name)) {
    if (!m_job.SetName(name)) return Error(wxT("Invalid/empty name specified"), wxT("nj_name"));
    return true;
  }
  name = m_nameFormat.empty() ? wxString(wxT("Unnamed job - $(scene)")) : m_nameFormat;
  name.Replace(wxT("$(scene)"), SceneFileName(FirstString(m_job.GetRenderSet(), wxT("scene"))));
  m_job.SetName(name);
  return true;
}

bool CCmdLineSupport::ApplyPools() {
  static const wxArrayString kNoPools;
  const wxArrayString& userPools = m_userData != nullptr ? m_userData->GetPools() : kNoPools;
  wxString text;
  if (Text(wxT("nj_pools"), text)) {
    text.Replace(wxT(","), wxT(";"));
    bool matched = false;
    for (const wxString& wanted : strutil::SplitTrimmed(text, wxT(';'))) {
      for (const wxString& entry : userPools) {
        if (casefold::Equal(entry.AfterFirst(wxT('|')).BeforeFirst(wxT('|')), wanted)) {
          m_job.AddPool(entry);
          matched = true;
        }
      }
    }
    // Also when presets gave pools: a typo must not send the job elsewhere.
    if (!matched) return Error(wxT("No valid client pools provided"), wxT("nj_pools"));
    return true;
  }
  // Without the switch every pool of the user is added after the pools the
  // presets gave; AddPool skips an entry that is already listed.
  for (const wxString& entry : userPools) m_job.AddPool(entry);
  if (m_job.GetPoolList().empty())
    return Error(wxT("No valid client pools provided"), wxT("nj_pools"));
  return true;
}

bool CCmdLineSupport::ApplyPriority() {
  int priority = 0;
  if (!Number(wxT("nj_priority"), priority)) return true;
  const int limit = m_userData != nullptr ? m_userData->GetPriorityLimit() : 10;
  CKfJsCore* core = CKfJsCore::Get();
  if (priority < 1) {
    core->OutputLevel(CConsole::kLevelWarning, wxT("The specified net job priority is too low\n"));
    priority = 1;
  }
  if (priority > limit) {
    core->OutputLevel(CConsole::kLevelWarning,
                      wxT("The specified net job priority is above the limit (%i)\n"), limit);
    priority = limit;
  }
  if (!m_job.SetPriority(priority))
    return Error(wxT("Invalid net job priority"), wxT("nj_priority"));
  return true;
}

bool CCmdLineSupport::ApplySplitting() {
  wxString text;
  if (Text(wxT("nj_splitmode"), text)) {
    const wxArrayString f = Fields(text);
    if (FieldAt(f, 0).empty() || FieldAt(f, 1).empty()) {
      return Error(wxT("The frame splitting settings are invalid"), wxT("nj_splitmode"));
    }
    m_job.SetSplitMode(LeadingInt(f[0]), LeadingInt(f[1]));
  }
  if (Text(wxT("nj_slicemode"), text)) {
    const wxArrayString f = Fields(text);
    if (FieldAt(f, 0).empty() || FieldAt(f, 1).empty() || FieldAt(f, 2).empty()) {
      return Error(wxT("The image slicing settings are invalid"), wxT("nj_slicemode"));
    }
    // The format is the rest of the text, commas included.
    wxString format;
    for (size_t i = 4; i < f.size(); ++i) format += (i > 4 ? wxT(",") : wxT("")) + f[i];
    format = Trimmed(format);
    if (format.empty()) format = wxT("<imgname>_r<row>_c<col>");
    m_job.SetSliceMode(LeadingInt(f[0]), LeadingInt(f[1]), LeadingInt(f[2]),
                       LeadingInt(FieldAt(f, 3)), format);
  }
  return true;
}

void CCmdLineSupport::ApplyExtendedSplitting() {
  wxArrayString& list = m_job.GetExtendedSplitting();
  wxString text;
  if (Text(wxT("nj_extsplitting"), text)) {
    text.Replace(wxT(","), wxT(";"));
    for (const wxString& name : strutil::SplitTrimmed(text, wxT(';'))) list.Add(name);
  }
  // Parameters that always split the job: forced ones, and whole-number
  // lists that are not multi-value texts.
  CRSParameterList parameters(false);
  m_job.GetRenderer()->GetEffectiveParameters(parameters);
  for (size_t i = 0; i < parameters.GetCount(); ++i) {
    const CRSParameter* p = parameters.GetAt(i);
    if (!p->SplittableList) continue;
    const bool wholeNumbers = p->Type == 1 && (p->TypeFlags & CRSParameter::kFlagMultiValue) == 0;
    if (!p->ForceSplitting && !wholeNumbers) continue;
    if (list.Index(p->ID, false) == wxNOT_FOUND) list.Add(p->ID);
  }
}

bool CCmdLineSupport::ApplyFrameChecking() {
  wxString text;
  if (!Text(wxT("nj_framechecking"), text)) return true;
  const wxString kSwitch = wxT("nj_framechecking");
  const wxArrayString f = Fields(text);
  const wxString mode = FieldAt(f, 0);
  if (mode != wxT("0") && mode != wxT("1") && mode != wxT("2")) {
    return Error(wxT("Invalid frame checking mode"), kSwitch);
  }
  wxString imageName = FieldAt(f, 1);
  wxString imageDir = FieldAt(f, 2);
  if (mode != wxT("0")) {
    const CRSRenderSet& set = m_job.GetRenderSet();
    if (!imageName.empty()) {
      if (imageName.find_first_of(wxT("#%")) == wxString::npos) {
        return Error(wxT("Invalid image name (no frame number placeholder specified)"), kSwitch);
      }
    } else {
      const wxString outfile = FirstString(set, wxT("outfile"));
      if (outfile.empty()) {
        return Error(
            wxT("No image name specified, and the render set doesn't contain an output name"),
            kSwitch);
      }
      imageName = wxString::Format(wxT("%s*#"), outfile);
    }
    if (imageDir.empty()) {
      imageDir = FirstString(set, wxT("outdir"));
      if (imageDir.empty()) {
        return Error(
            wxT("No image directory specified, "
                "and the render set doesn't contain an output directory"),
            kSwitch);
      }
    }
  }
  NetJobFrameChecking& check = m_job.GetFrameChecking();
  check.method = LeadingInt(mode);
  check.imageName = imageName;
  check.imageDir = imageDir;
  check.filesizeThreshold = LeadingInt(FieldAt(f, 3));
  check.recurseSubdirs = FieldAt(f, 4).Lower() == wxT("yes");
  check.exactMatch = FieldAt(f, 5).Lower() == wxT("yes");
  check.disableSubsequent = FieldAt(f, 6) == wxT("yes");
  return true;
}

void CCmdLineSupport::ApplyDependencies() {
  const CCmdLineParser& parser = m_cmdLine;
  if (const CCmdLineParam* param = parser.FindParam(wxT("nj_dependency"))) {
    std::vector<int>& ids = m_job.GetDependencies();
    for (const wxString& value : param->GetValues()) {
      long id = 0;
      if (!Trimmed(value).ToLong(&id)) continue;
      if (std::find(ids.begin(), ids.end(), ClampToInt(id)) == ids.end())
        ids.push_back(ClampToInt(id));
    }
  }
  if (parser.Found(wxT("nj_deptype"))) {
    const long type = parser.GetParamLong(wxT("nj_deptype"), -1);
    if (type >= 0 && type <= 3) m_job.SetDependencyType(static_cast<int>(type));
  }
  if (Flag(wxT("nj_depunfinishedasdone"))) m_job.SetUnfinishedAsDone(true);
}

bool CCmdLineSupport::ApplyLimits() {
  wxString text;
  if (Text(wxT("nj_startdate"), text) && !text.empty()) {
    m_job.GetSchedule().enabled = true;
    m_job.GetSchedule().text = text;
  }
  int value = 0;
  if (Number(wxT("nj_clientlimit"), value)) m_job.SetClientLimit(value);  // 0: unchanged
  if (Number(wxT("nj_minclientpriority"), value)) m_job.SetMinClientPriority(value);
  if (Number(wxT("nj_minclientmemory"), value)) {
    if (value != 4 && value != 8 && value != 12 && value != 16 && value != 24 && value != 32) {
      return Error(wxT("The client memory limit is invalid"), wxT("nj_minclientmemory"));
    }
    m_job.SetMinClientMemory(value);
  }
  if (Number(wxT("nj_mindispatchdelay"), value)) m_job.SetMinDispatchDelay(value);
  return true;
}

void CCmdLineSupport::ApplyTimeThreshold(bool upper) {
  const wxString base = upper ? wxT("nj_upperth") : wxT("nj_lowerth");
  int minutes = 0;
  int seconds = 0;
  const bool byMinutes = Number(base, minutes) && minutes > 0;
  // A negative number of minutes is kept as 0 minutes, like none at all.
  if (!byMinutes) {
    minutes = 0;
    if (!(Number(base + wxT("_sec"), seconds) && seconds > 0)) return;
  }
  NetJobTimeThresholds& t = m_job.GetTimeThresholds();
  int action = 0;
  const bool hasAction = Number(base + wxT("_action"), action);
  if (upper) {
    t.useUpper = true;
    t.upperMinutes = minutes;
    t.upperSeconds = seconds;
    if (hasAction) t.upperAction = action;
  } else {
    t.useLower = true;
    t.lowerMinutes = minutes;
    t.lowerSeconds = seconds;
    if (hasAction) t.lowerAction = action;
  }
}

bool CCmdLineSupport::ApplyErrorHandling() {
  wxString text;
  if (!Text(wxT("nj_errorhandling"), text)) return true;
  const wxArrayString f = Fields(text);
  long mode = -1;
  long tolerance = 0;
  const bool ok = !FieldAt(f, 0).empty() && !FieldAt(f, 1).empty() && f[0].ToLong(&mode) &&
                  f[1].ToLong(&tolerance) && mode >= 0 && mode <= 2 &&
                  (mode == 0 || tolerance >= 1);
  if (!ok) return Error(wxT("The error handling settings are invalid"), wxT("nj_errorhandling"));
  m_job.SetErrorAction(static_cast<int>(mode));
  m_job.SetErrorTolerance(ClampToInt(tolerance));
  m_job.SetIncludeRecreatedChunks(FieldAt(f, 2) == wxT("yes"));
  return true;
}

void CCmdLineSupport::ApplyTexts() {
  wxString text;
  if (Text(wxT("nj_project"), text)) m_job.SetProject(DecodeEscapes(text));
  if (Text(wxT("nj_notes"), text)) m_job.SetNotes(DecodeEscapes(text));
  if (Text(wxT("nj_tags"), text)) m_job.SetTags(Trimmed(text));

  if (const CCmdLineParam* param = m_cmdLine.FindParam(wxT("nj_setfield"))) {
    if (param->IsFound()) {
      wxString lines;
      for (const wxString& value : param->GetValues()) {
        const wxString name = Trimmed(value.BeforeFirst(wxT('=')));
        const wxString content = Trimmed(value.AfterFirst(wxT('=')).BeforeFirst(wxT('=')));
        if (!lines.empty()) lines += wxT("\n");
        lines += wxString::Format(wxT("%s|%s"), name, content);
      }
      m_job.SetCustomFields(lines);
    }
  }

  if (Text(wxT("nj_color"), text)) {
    const wxArrayString f = Fields(text);
    const unsigned red = static_cast<unsigned>(LeadingInt(FieldAt(f, 0))) & 0xFFu;
    const unsigned green = static_cast<unsigned>(LeadingInt(FieldAt(f, 1))) & 0xFFu;
    const unsigned blue = static_cast<unsigned>(LeadingInt(FieldAt(f, 2))) & 0xFFu;
    m_job.SetColor(red | (green << 8) | (blue << 16));
  }
}

void CCmdLineSupport::ApplyClients() {
  wxString text;
  if (Text(wxT("nj_blockedclients"), text)) {
    m_job.SetClientList(strutil::SplitTrimmed(text, wxT(';')));
    m_job.SetClientListAdmitsOnly(false);
  }
  // Admitted clients win over blocked ones when both are given.
  if (Text(wxT("nj_clients"), text)) {
    m_job.SetClientList(strutil::SplitTrimmed(text, wxT(';')));
    m_job.SetClientListAdmitsOnly(true);
  }
}
