#include "app/KfJsCmdLine.h"

#include <cstdio>

#include "app/KfJsCore.h"
#include "platform/StringUtil.h"

namespace {

constexpr int kNone = CCmdLineParam::kTypeNone;
constexpr int kText = CCmdLineParam::kTypeText;
constexpr int kInt = CCmdLineParam::kTypeInteger;
constexpr int kOnce = CCmdLineParam::kFlagDeclared;
constexpr int kRepeat = CCmdLineParam::kFlagDeclared | CCmdLineParam::kFlagRepeat;
constexpr int kOptional = CCmdLineParam::kFlagDeclared | CCmdLineParam::kFlagOptional;

struct SwitchRow {
  const wxChar* name;
  int valueType;
  int flags;
  const wxChar* help;
};

// Net job switches, in usage order.
const SwitchRow kNetJobSwitches[] = {
    {wxT("nj_preset"), kText, kRepeat, wxT("Specifies a net job preset to load")},
    {wxT("nj_name"), kText, kOnce, wxT("Sets the net job name")},
    {wxT("nj_priority"), kInt, kOnce,
     wxT("Sets the net job priority (1-10, priority limit might be capped)")},
    {wxT("nj_urgent"), kNone, kOnce,
     wxT("Marks the net job as urgent (requires proper user permissions)")},
    {wxT("nj_renderer"), kText, kOnce,
     wxT("Sets the net job renderer; for a complete list of all available renderers, use "
         "-listrenderers")},
    {wxT("nj_render32bit"), kNone, kOnce,
     wxT("Enables the use of 32 bit renderers (if neither -nj_render32bit nor -nj_render64bit "
         "are specified, both will be used)")},
    {wxT("nj_render64bit"), kNone, kOnce,
     wxT("Enables the use of 64 bit renderers (if neither -nj_render32bit nor -nj_render64bit "
         "are specified, both will be used)")},
    {wxT("nj_noemails"), kNone, kOnce,
     wxT("If specified, email notifications for this net job will be disabled")},
    {wxT("nj_emailrecpt"), kText, kOnce,
     wxT("Specifies additional email recipient emails (separated by semicolons) for the net "
         "job")},
    {wxT("nj_emailusers"), kText, kOnce,
     wxT("Specifies additional email recipient user names (separated by semicolons) for the "
         "net job")},
    {wxT("nj_cachescenes"), kNone, kOnce,
     wxT("If specified, scenes will be copied locally to the clients before rendering")},
    {wxT("nj_splitmode"), kText, kOnce,
     wxT("Sets the net job frame splitting mode; Syntax: \"Mode,Count\". Available modes: 1 = "
         "Total pieces, 2 = Frames per job")},
    {wxT("nj_slicemode"), kText, kOnce,
     wxT("Sets the net job image slicing mode; Syntax: \"Mode,X,Y,[Overlap],[Format]\". "
         "Available modes: 1 = Rows/Cols, 2 = Piece sizes")},
    {wxT("nj_extsplitting"), kText, kOnce,
     wxT("Specifies parameters used for additional splitting (separated by semicolons)")},
    {wxT("nj_project"), kText, kOnce, wxT("Sets the net job project name")},
    {wxT("nj_notes"), kText, kOnce, wxT("Sets the net job notes")},
    {wxT("nj_tags"), kText, kOnce,
     wxT("Sets the net job tags (separated by commas or semicolons)")},
    {wxT("nj_pools"), kText, kOnce,
     wxT("Assigns the specified client pools to the net job (separated by semicolons); if no "
         "pools are specified, all available will be used")},
    {wxT("nj_paused"), kNone, kOnce, wxT("If specified, the net job will be started paused")},
    {wxT("nj_startdate"), kText, kOnce,
     wxT("Sets the scheduled start date and time of the net job (supports various formats)")},
    {wxT("nj_clientlimit"), kInt, kOnce, wxT("Sets the client limit (0 = unlimited)")},
    {wxT("nj_minclientpriority"), kInt, kOnce, wxT("Sets the minimum client priority (1-10)")},
    {wxT("nj_minclientmemory"), kInt, kOnce,
     wxT("Sets the minimum client memory (4, 8, 12, 16, 24 or 32 GB)")},
    {wxT("nj_mindispatchdelay"), kInt, kOnce,
     wxT("Sets the minimum dispatching delay between chunks of this jobs in seconds")},
    {wxT("nj_lowerth"), kInt, kOnce, wxT("Sets the lower rendering time threshold (minutes)")},
    {wxT("nj_lowerth_sec"), kInt, kOnce, wxT("Sets the lower rendering time threshold (seconds)")},
    {wxT("nj_lowerth_action"), kInt, kOnce,
     wxT("Sets the lower rendering time action (0 = restart chunk; 1 = cancel chunk)")},
    {wxT("nj_upperth"), kInt, kOnce, wxT("Sets the upper rendering time threshold (minutes)")},
    {wxT("nj_upperth_sec"), kInt, kOnce, wxT("Sets the upper rendering time threshold (seconds)")},
    {wxT("nj_upperth_action"), kInt, kOnce,
     wxT("Sets the upper rendering time action (0 = restart chunk; 1 = cancel chunk; 2 = skip "
         "chunk)")},
    {wxT("nj_dependency"), kInt, kRepeat,
     wxT("Sets the ID of the net job to render the new job after")},
    {wxT("nj_deptype"), kInt, kOnce,
     wxT("Sets the net job dependency type (0 = Job, 1 = Chunk IDs, 2 = Frames, 3 = Image "
         "slices)")},
    {wxT("nj_depunfinishedasdone"), kNone, kOnce,
     wxT("If specified, unfinished jobs will be treated as done when checking net job "
         "dependencies")},
    {wxT("nj_framechecking"), kText, kOnce,
     wxT("Sets the frame checking method; Syntax: \"Mode,[Image name],[Image dir],[Filesize "
         "threshold],[Recurse subdirs],[Exact match],[Disable subsequent checking]\". Available "
         "modes: 1 = Job, 2 = Chunk")},
    {wxT("nj_rendercores"), kInt, kOnce,
     wxT("Sets the number of parallel renderings on each client (0 = one per CPU core)")},
    {wxT("nj_dispatchorder"), kInt, kOnce,
     wxT("Sets the chunk dispatch order (0 = Forward, 1 = Backward, 2 = Evenly distributed, 3 = "
         "Random)")},
    {wxT("nj_firstlastfirst"), kNone, kOnce,
     wxT("If specified, the first and last chunk of the job will be rendered first")},
    {wxT("nj_color"), kText, kOnce,
     wxT("Sets the net job color; Syntax: \"Red,Green,Blue\". Values for RGB range from 0-255")},
    {wxT("nj_blockedclients"), kText, kOnce,
     wxT("Specifies a list of blocked clients (separated by semicolons)")},
    {wxT("nj_clients"), kText, kOnce,
     wxT("Specifies a list of admitted clients (separated by semicolons); all other clients "
         "will be blocked")},
    {wxT("nj_errorhandling"), kText, kOnce,
     wxT("Sets the error handling; Syntax: \"Mode,Tolerance,[Include recreated chunks]\". "
         "Available modes: 0 = off, 1 = Cancel job, 2 = Pause job")},
    {wxT("nj_setfield"), kText, kRepeat,
     wxT("Sets the value of a custom net job field; Syntax: \"Name=Value\" (for flags, use "
         "'true' or 'false' as the value)")},
};

// General switches, in usage order. An empty help text keeps a switch out of
// the usage text.
const SwitchRow kGeneralSwitches[] = {
    {wxT("server"), kText, kOnce,
     wxT("Specifies the Kilnforge V2 server address; overrides the server specified in the "
         "configuration file (Syntax: \"IP[:Port]\")")},
    {wxT("login"), kText, kOnce,
     wxT("Specifies the user account to use for logging in; overrides the login specified in "
         "the configuration file (Syntax: \"Username[:Password]\")")},
    {wxT("userdir"), kText, kOnce,
     wxT("Overrides the user directory (the directory where all log files and temporary files "
         "will be located)")},
    {wxT("defsection"), kText, kOnce,
     wxT("Sets the name of the defaults section (KfRcDefaults.conf) to use")},
    {wxT("importset"), kText, kOnce,
     wxT("Imports all render settings from the specified render set file")},
    {wxT("listrenderers"), kText, kOptional,
     wxT("Shows a list of all available renderers; a group name can be optionally passed to "
         "list only renderers of that group")},
    {wxT("listrencaps"), kText, kOptional, wxT("")},
    {wxT("listpools"), kNone, kOnce, wxT("Shows a list of all available client pools")},
    {wxT("listparams"), kText, kOnce,
     wxT("Lists the available render settings for the specified renderer")},
    {wxT("query"), kText, kRepeat,
     wxT("Queries data from the server; see the Kilnforge V2 manual for details")},
    {wxT("control_nj"), kText, kRepeat,
     wxT("Sends control commands to one or more net jobs; see the Kilnforge V2 manual for "
         "details")},
    {wxT("control_chunk"), kText, kRepeat,
     wxT("Sends control commands to one or more net job chunks; see the Kilnforge V2 manual "
         "for details")},
    {wxT("control_pool"), kText, kRepeat,
     wxT("Sends control commands to one or more client pools; see the Kilnforge V2 manual for "
         "details")},
    {wxT("execute"), kText, kOnce,
     wxT("Executes a command on a list of clients and pools; see the Kilnforge V2 manual for "
         "details")},
    {wxT("execute_idleonly"), kNone, kOnce,
     wxT("If specified, the -execute command will only be executed on idle clients")},
    {wxT("nodefaults"), kNone, kOnce,
     wxT("If specified, no renderer defaults for parameters will be used")},
    {wxT("compact"), kNone, kOnce,
     wxT("Strips all extra information from the output (makes parsing the output easier)")},
    {wxT("retnjid"), kNone, kOnce,
     wxT("When specified, the RC will return the ID of the new net job instead of an error "
         "code")},
    {wxT("log"), kNone, kOnce, wxT("Enables logging of all output to a log file (KfRcCmd.log)")},
    {wxT("env"), kText, kOnce, wxT("")},
    {wxT("subm"), kNone, kOnce, wxT("")},
    {wxT("help"), kNone, kOnce, wxT("Shows this help")},
};

using strutil::Trimmed;

}  // namespace

CKfJsCmdLine::CKfJsCmdLine() {
  m_currentGroup = 2;
  for (const SwitchRow& row : kNetJobSwitches)
    Declare(row.name, row.valueType, row.flags, row.help);
  m_currentGroup = 3;
  for (const SwitchRow& row : kGeneralSwitches)
    Declare(row.name, row.valueType, row.flags, row.help);
}

void CKfJsCmdLine::Declare(const wxString& name, int valueType, int flags, const wxString& help) {
  m_switches.Add(name, help, m_currentGroup, (flags & CCmdLineParam::kFlagRepeat) != 0);
  AddParam(name, help, valueType, flags);
}

bool CKfJsCmdLine::Parse() {
  const bool scanned = CCmdLineParser::Parse(wxString());

  if (!m_defaultsFile.empty()) m_defaults.Load(m_defaultsFile, UExtendedSettingsScript::kIni);
  if (!m_userDefaultsFile.empty())
    m_userDefaults.Load(m_userDefaultsFile, UExtendedSettingsScript::kIni);

  wxString text;
  if (GetSwitchString(wxT("server"), &text)) m_server = Trimmed(text);
  if (GetSwitchString(wxT("login"), &text)) {
    m_loginGiven = true;
    const wxString login = Trimmed(text);
    m_loginUser = Trimmed(login.BeforeFirst(wxT(':')));
    m_loginPassword = Trimmed(login.AfterFirst(wxT(':')).BeforeFirst(wxT(':')));
  }
  if (GetSwitchString(wxT("userdir"), &text)) m_userDir = Trimmed(text);
  // From here on the defaults come from the section this names.
  if (GetSwitchString(wxT("defsection"), &text)) m_defaultsSection = Trimmed(text);
  if (GetSwitchString(wxT("importset"), &text)) m_importSet = Trimmed(text);
  if (GetSwitchString(wxT("listparams"), &text)) m_paramRenderer = Trimmed(text);
  if (GetSwitchString(wxT("listrenderers"), &text)) m_rendererGroup = Trimmed(text);
  if (GetSwitchString(wxT("listrencaps"), &text)) m_capsGroup = Trimmed(text);

  m_query = JoinValues(wxT("query"));
  m_netJobControls = JoinValues(wxT("control_nj"));
  m_chunkControls = JoinValues(wxT("control_chunk"));
  m_poolControls = JoinValues(wxT("control_pool"));

  if (GetSwitchString(wxT("execute"), &text)) {
    m_execute = Trimmed(text);
    if (!m_execute.empty()) m_idleOnly = Found(wxT("execute_idleonly"));
  }

  m_listRenderers = Found(wxT("listrenderers"));
  m_listCaps = Found(wxT("listrencaps"));
  m_listPools = Found(wxT("listpools"));
  m_compact = Found(wxT("compact"));
  m_returnJobId = Found(wxT("retnjid"));
  m_log = Found(wxT("log"));
  m_subm = Found(wxT("subm"));
  m_help = Found(wxT("help"));
  if (m_help) m_connectionFree = true;

  if (GetSwitchString(wxT("env"), &text) && !Trimmed(text).empty()) {
    m_envCommand = Trimmed(text);
    m_connectionFree = true;
  }

  for (const wxString& preset : GetSwitchValues(wxT("nj_preset"))) m_presets.Add(Trimmed(preset));

  const bool command = m_listRenderers || m_listCaps || m_listPools || !m_paramRenderer.empty() ||
                       !m_query.empty() || !m_netJobControls.empty() ||
                       !m_chunkControls.empty() || !m_poolControls.empty() ||
                       !m_execute.empty() || GetFreeArgCount() > 0;
  if (!m_connectionFree && !command) {
    m_connectionFree = true;
    m_rejected = true;
    return false;
  }
  m_rejected = !scanned;
  return scanned;
}

UXSSValue* CKfJsCmdLine::FindDefault(const wxString& name) {
  // The user's own file first: it wins key by key over the site's.
  for (UExtendedSettingsScript* file : {&m_userDefaults, &m_defaults}) {
    UXSSSection* section = file->GetRootSection().FindSection(m_defaultsSection, false);
    if (UXSSValue* value = section ? section->FindValue(name) : nullptr) return value;
  }
  return nullptr;
}

bool CKfJsCmdLine::GetSwitchString(const wxString& name, wxString* out) {
  if (Found(name)) {
    *out = GetParamString(name, wxString());
    return true;
  }
  if (UXSSValue* value = FindDefault(name)) {
    const wxString text = Trimmed(value->GetString());
    if (!text.empty()) {
      *out = text;
      return true;
    }
  }
  return false;
}

bool CKfJsCmdLine::GetSwitchLong(const wxString& name, long* out) {
  if (Found(name)) {
    *out = GetParamLong(name, 0);
    return true;
  }
  if (UXSSValue* value = FindDefault(name)) {
    *out = value->GetInt();
    return true;
  }
  return false;
}

wxArrayString CKfJsCmdLine::GetSwitchValues(const wxString& name) const {
  const CCmdLineParam* p = FindParam(name);
  return p ? p->GetValues() : wxArrayString();
}

wxString CKfJsCmdLine::JoinValues(const wxString& name) const {
  wxString joined;
  const wxArrayString values = GetSwitchValues(name);
  for (size_t i = 0; i < values.GetCount(); ++i) {
    if (i) joined += wxT(';');
    joined += Trimmed(values[i]);
  }
  return joined;
}

std::vector<const CCmdLineParam*> CKfJsCmdLine::GetUndeclaredSwitches() const {
  std::vector<const CCmdLineParam*> found;
  for (const auto& p : GetParams())
    if (!m_switches.Find(p->GetName())) found.push_back(p.get());
  return found;
}

void CKfJsCmdLine::PrintUsage() const {
  // The converted bytes live inside the string: keep it alive while writing.
  const wxString usage = FormatUsage();
  const wxScopedCharBuffer utf8 = usage.utf8_str();
  fwrite(utf8.data(), 1, utf8.length(), stdout);
  fflush(stdout);
}

bool CKfJsCmdLine::CheckSwitches() const {
  const std::vector<const CCmdLineParam*> undeclared = GetUndeclaredSwitches();
  if (undeclared.empty()) return true;
  CKfJsCore* core = CKfJsCore::Get();
  if (core) {
    core->OutputNewLines(1);
    core->OutputLevel(CConsole::kLevelError, wxT("Command-line error:\n%s [switch=%s]\n"),
                      wxString(wxT("Unknown switch")),
                      undeclared.front()->GetName());
  }
  return false;
}
