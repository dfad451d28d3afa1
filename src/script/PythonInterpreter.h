// The embedded Python runtime: points it at the program's "Python" folder,
// starts it once per process, registers the built-in module "Kilnforge",
// runs the initialisation script "KfInit.py" and runs script texts. Script
// errors are reported on standard error and never end the program.
#pragma once

#include <wx/string.h>

#include <memory>
#include <string>

class CConsole;
class CPyModule_Kilnforge;
struct _object;  // the runtime's object type

class CPythonInterpreter {
 public:
  CPythonInterpreter();
  ~CPythonInterpreter();  // finalises the runtime when it runs

  CPythonInterpreter(const CPythonInterpreter&) = delete;
  CPythonInterpreter& operator=(const CPythonInterpreter&) = delete;

  // What scripts reach through the module "Kilnforge": where they print and
  // the program's folders.
  struct Host {
    CConsole* console = nullptr;  // null: standard output
    wxString programDir;
    wxString tempDir = wxT("Temp");
  };
  // Set by the owner before the runtime starts; kept for the runtime's life.
  void SetHost(const Host& host) { m_host = host; }
  const Host& GetHost() const { return m_host; }

  // The program's "Python" folder; empty for none.
  void SetPythonHome(const wxString& home);
  const wxString& GetPythonHome() const { return m_home; }

  // Starts the runtime, isolated from the PYTHON* environment, and runs the
  // initialisation script. False when the runtime could not be started (the
  // reason in GetError(); nothing is printed). A missing initialisation
  // script is not a failure.
  bool Initialize();
  const wxString& GetError() const { return m_error; }
  // True when the program's "Python" folder holds an initialisation script.
  bool HasInitScript() const;

  // Runs a script text in the main module after normalising its line ends.
  // True when it raised no exception.
  bool Execute(const wxString& script);
  // The same for a script given as UTF-8 bytes.
  // `fileName` names the script in error reports.
  bool ExecuteUtf8(const std::string& script, const std::string& fileName = "<string>");

  void Finalize();

  bool IsInitialized() const { return m_initialized; }
  void SetPrintErrors(bool print) { m_printErrors = print; }

  // Splits the text at CR LF, CR or LF, drops trailing lines that are blank
  // and joins the rest with LF.
  static std::string NormalizeLineEnds(const std::string& text);

  // Replaces the four folder placeholders of the initialisation script with
  // the folders under `home`.
  static std::string ReplacePlaceholders(const std::string& text, const wxString& home);

 private:
  bool StartRuntime();
  void AddScriptFoldersToPath();
  wxString InitScriptPath() const;
  void RunInitScript();
  void ReportError();

  Host m_host;
  wxString m_home;
  wxString m_error;
  bool m_initialized = false;
  bool m_printErrors = true;
  _object* m_globals = nullptr;  // the namespace for later script runs
  std::unique_ptr<CPyModule_Kilnforge> m_module;
};
