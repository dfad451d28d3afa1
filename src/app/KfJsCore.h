// The remote-controller core: owns the long-lived components of one run and
// is the console every command prints through. Exactly one core exists per
// process; it registers itself in the process-wide pointer, which only the
// application uses: the components below get what they need from it when
// they are created.
#pragma once

#include <wx/object.h>
#include <wx/string.h>

#include <functional>
#include <memory>
#include <string>

#include "app/SubmitCommand.h"
#include "net/NwUserCommander.h"
#include "platform/Console.h"
#include "platform/UserFolders.h"
#include "rs/RSDataManager_JS.h"
#include "rs/RSPool.h"
#include "script/PythonInterpreter.h"
#include "settings/EventQueue.h"
#include "settings/LogFile.h"
#include "settings/OptionSet.h"
#include "update/UpdateControl.h"

class CKfJsCmdLine;

// Exit codes of the process beyond a job ID returned with -retnjid.
constexpr int kKfExitOk = 0;
constexpr int kKfExitFailure = -1;

class CKfJsCore : public wxObject, public CConsole {
 public:
  CKfJsCore();
  ~CKfJsCore() override;

  CKfJsCore(const CKfJsCore&) = delete;
  CKfJsCore& operator=(const CKfJsCore&) = delete;

  // The process-wide core, or null outside its lifetime.
  static CKfJsCore* Get();

  // Hands the message classes of the net job and render-system layers to the
  // network engine's registry; done before the first connection is set up.
  static void AddMessageClasses();

  // Finalises the embedded runtime, which runs the scripts' exit handlers;
  // done at the end of the run while everything they may use still exists.
  void FinishScripts() { m_interpreter.Finalize(); }

  // Prints unless quiet (errors and debug lines print even then); copies
  // everything to the log sink, when one is set, even when quiet.
  void OutputText(const wxString& text) override;
  void OutputLevelText(int level, const wxString& text) override;
  // The same for valid UTF-8 text: the standard output gets the bytes as they
  // are, so that a large text is never widened into a wxString for it.
  void OutputUtf8(const std::string& text);

  bool IsQuiet() const { return m_quiet; }
  void SetQuiet(bool quiet) { m_quiet = quiet; }

  const wxString& GetProgramDir() const { return m_programDir; }
  void SetProgramDir(const wxString& dir) { m_programDir = dir; }
  const wxString& GetUserDir() const { return m_userDir; }
  void SetUserDir(const wxString& dir) { m_userDir = dir; }

  // Settles the per-user folders for the program directory set before: when
  // that directory is not the running user's own (an installed program), the
  // user directory defaults to the user's state folder and the renderer
  // cache moves to the user's cache folder.
  void SetUserFolders(const CUserFolders& folders);
  // True when the program directory belongs to another user: nothing is
  // written there and no program is started from there.
  bool IsSharedInstall() const { return m_sharedInstall; }
  // The user directory to use when -userdir gives none.
  wxString GetDefaultUserDir() const { return m_sharedInstall ? m_stateDir : wxString(); }
  // Where the renderer definitions are cached.
  wxString GetRendererCacheDir() const;
  // The folder of the user's own KfRcCmd.conf and KfRcDefaults.conf.
  const wxString& GetUserConfigDir() const { return m_userConfigDir; }
  // Creates the user directory when missing: private (0700) when it is a
  // per-user folder of an installed program.
  void MakeUserDir() const;

  // Path of `name` in the program directory, or in the user directory when
  // `useUserDir` is set and a user directory was given.
  wxString GetDataPath(const wxString& name, bool useUserDir) const;

  // The program's global event queue (UEventQueue::Global()).
  UEventQueue& GetEventQueue() { return m_eventQueue; }

  // The parsed command line the run follows (owned by the application; its
  // switches read the defaults files as they are asked for).
  void SetCmdLine(CKfJsCmdLine* cmdLine) { m_cmdLine = cmdLine; }
  // What scripts reach: this console and the program's folders as set now
  // (an installed program's own folder is not the user's to write in).
  CPythonInterpreter::Host GetScriptHost();
  // What an update check needs of the program: its folder and this console.
  CUpdateControl::Host GetUpdateHost();

  // Checks made before the run: false when an update is being installed.
  // Also points the interpreter at the program's script folder.
  bool StartUpChecks();
  // Releases what StartUpChecks set up.
  void ReleaseStartUp();

  // Starts the components, runs the one command the command line asks for,
  // tears down and returns the process exit code. Needs the command line.
  int Run();

  // Seams: where console text goes (standard output by default) and where the
  // log copy goes (nowhere by default).
  using TextSink = std::function<void(const wxString&)>;
  void SetConsoleSink(TextSink sink) {
    m_console = std::move(sink);
    m_consoleIsStdout = false;
  }
  void SetLogSink(TextSink sink) { m_log = std::move(sink); }

 private:
  // First member: destroyed last, after the process pointer is cleared, so
  // subscribers torn down with the core find no queue and leave it alone.
  UEventQueue m_eventQueue;
  CLogFile m_logFile;
  COptionSet m_options;
  wxString m_programDir;
  CPythonInterpreter m_interpreter;
  CKfJsCmdLine* m_cmdLine = nullptr;
  wxString m_userDir;
  bool m_sharedInstall = false;
  wxString m_stateDir;
  wxString m_cacheDir;
  wxString m_userConfigDir;
  bool m_quiet = false;
  TextSink m_console;
  bool m_consoleIsStdout = true;
  TextSink m_log;
  // Destroyed in reverse: the commander first, the pool last.
  CRSPool m_pool;
  CRSDataManager_JS m_dataManager;
  std::unique_ptr<CNwUserCommander> m_commander;

  // Steps of Run(), in order.
  void OpenLogAndFolders();
  void PrintBanner();
  // -env and the quiet mode of the commands; true when -env was handled.
  bool HandleEnvironmentSwitch();
  bool PrepareConfiguration();
  bool InitializeCore();
  // Where the server is and who logs in: the configuration and the command line.
  CNwUserCommander::LogonSettings GetLogonSettings() const;
  // From the network part on: the connection, the command and the clean-up.
  int RunNetwork();
  // Connects and runs the one command: a submission unless another is asked for.
  int RunCommand();
  // What a submission takes from the configuration and the folders.
  CSubmitCommand::Settings GetSubmitSettings() const;
  void RunExecuteCommand();
  void RunQueryCommand();
  void RunControlCommands();
  void RunListPoolsCommand();
  void RunListRenderersCommand(bool capabilities);
  void RunListParamsCommand();
};
