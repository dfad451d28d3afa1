// The program's command line: declares the 64 switches, parses the process
// arguments, and resolves the general switches into fields, filling value
// switches that are missing from the command line from a named section of
// KfRcDefaults.conf. Switches outside the table are not errors: they carry
// render settings and are reported as unknown only after the usage text.
#pragma once

#include <wx/arrstr.h>
#include <wx/string.h>

#include <vector>

#include "app/CmdLineParser.h"
#include "app/KfCmdLineSwitches.h"
#include "settings/ExtendedSettingsScript.h"

class CKfJsCmdLine : public CCmdLineParser {
 public:
  CKfJsCmdLine();

  // The defaults file read by Parse(); unset, nothing is read.
  void SetDefaultsFile(const wxString& path) { m_defaultsFile = path; }
  // The user's own defaults file, read after it: its keys win key by key.
  void SetUserDefaultsFile(const wxString& path) { m_userDefaultsFile = path; }

  // Parses the process arguments (SetArguments) and resolves the fields.
  // False when a value was rejected or no command was given.
  bool Parse();
  // True when Parse() rejected the command line (the usage text then ends
  // with its error line).
  bool IsRejected() const { return m_rejected; }

  // The value of a value switch: the first value given on the command line,
  // else the non-empty text of the key in the defaults section.
  bool GetSwitchString(const wxString& name, wxString* out);
  bool GetSwitchLong(const wxString& name, long* out);
  // Every value a switch was given on the command line, in order.
  wxArrayString GetSwitchValues(const wxString& name) const;

  // Switches given on the command line that the table does not declare (the
  // render settings), in command-line order.
  std::vector<const CCmdLineParam*> GetUndeclaredSwitches() const;

  // The usage text: PrintUsage writes it to standard output.
  wxString FormatUsage() const { return m_switches.FormatUsage(m_rejected); }
  void PrintUsage() const;
  // Reports the first undeclared switch at level 2; false when there is one.
  bool CheckSwitches() const;

  const CKfCmdLineSwitches& GetSwitches() const { return m_switches; }

  const wxString& GetServer() const { return m_server; }
  // True when -login was given, also with an empty user name.
  bool IsLoginGiven() const { return m_loginGiven; }
  const wxString& GetLoginUser() const { return m_loginUser; }
  const wxString& GetLoginPassword() const { return m_loginPassword; }
  const wxString& GetUserDir() const { return m_userDir; }
  const wxString& GetDefaultsSection() const { return m_defaultsSection; }
  const wxString& GetImportSet() const { return m_importSet; }
  const wxString& GetParamRenderer() const { return m_paramRenderer; }
  bool IsConnectionFree() const { return m_connectionFree; }
  bool IsListRenderers() const { return m_listRenderers; }
  const wxString& GetRendererGroup() const { return m_rendererGroup; }
  bool IsListCaps() const { return m_listCaps; }
  const wxString& GetCapsGroup() const { return m_capsGroup; }
  bool IsListPools() const { return m_listPools; }
  const wxString& GetQuery() const { return m_query; }
  const wxString& GetNetJobControls() const { return m_netJobControls; }
  const wxString& GetChunkControls() const { return m_chunkControls; }
  const wxString& GetPoolControls() const { return m_poolControls; }
  const wxString& GetExecute() const { return m_execute; }
  bool IsIdleOnly() const { return m_idleOnly; }
  bool IsCompact() const { return m_compact; }
  bool IsReturnJobId() const { return m_returnJobId; }
  bool IsLog() const { return m_log; }
  bool IsSubm() const { return m_subm; }
  bool IsHelp() const { return m_help; }
  const wxString& GetEnvCommand() const { return m_envCommand; }
  const wxArrayString& GetPresets() const { return m_presets; }

 private:
  void Declare(const wxString& name, int valueType, int flags, const wxString& help);
  // The key `name` of the defaults section, or null.
  UXSSValue* FindDefault(const wxString& name);
  wxString JoinValues(const wxString& name) const;

  CKfCmdLineSwitches m_switches;
  wxString m_defaultsFile;
  wxString m_userDefaultsFile;
  bool m_rejected = false;

  wxString m_server;
  bool m_loginGiven = false;
  wxString m_loginUser;
  wxString m_loginPassword;
  wxString m_userDir;
  wxString m_defaultsSection = wxT("Defaults");
  wxString m_importSet;
  wxString m_paramRenderer;
  bool m_connectionFree = false;
  bool m_listRenderers = false;
  wxString m_rendererGroup;
  bool m_listCaps = false;
  wxString m_capsGroup;
  bool m_listPools = false;
  wxString m_query;
  wxString m_netJobControls;
  wxString m_chunkControls;
  wxString m_poolControls;
  wxString m_execute;
  bool m_idleOnly = false;
  bool m_compact = false;
  bool m_returnJobId = false;
  bool m_log = false;
  bool m_subm = false;
  bool m_help = false;
  wxString m_envCommand;
  wxArrayString m_presets;
  int m_currentGroup = -1;
  UExtendedSettingsScript m_defaults;
  UExtendedSettingsScript m_userDefaults;
};
