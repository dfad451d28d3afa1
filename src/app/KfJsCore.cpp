#include "app/KfJsCore.h"

#include <cstdio>

#include "platform/FileIO.h"

namespace {
CKfJsCore* g_core = nullptr;

void WriteBytesToStdout(const char* bytes, size_t length) {
  fwrite(bytes, 1, length, stdout);
  fflush(stdout);
}

void WriteToStdout(const wxString& text) {
  const wxScopedCharBuffer utf8 = text.utf8_str();
  WriteBytesToStdout(utf8.data(), utf8.length());
}
}  // namespace

CKfJsCore::CKfJsCore() : m_console(WriteToStdout) {
  g_core = this;
  UEventQueue::SetGlobal(&m_eventQueue);
}

CKfJsCore::~CKfJsCore() {
  // Python's exit handlers and threads still call the host module while the
  // runtime finalises: they find the core whole (program directory, console
  // rules, log) only when that happens before anything of it goes.
  FinishScripts();
  if (g_core == this) g_core = nullptr;
  if (UEventQueue::Global() == &m_eventQueue) UEventQueue::SetGlobal(nullptr);
}

CKfJsCore* CKfJsCore::Get() { return g_core; }

void CKfJsCore::OutputText(const wxString& text) {
  if (!m_quiet && m_console) m_console(text);
  if (m_log) m_log(text);
}

void CKfJsCore::OutputUtf8(const std::string& text) {
  if (!m_quiet && m_console) {
    if (m_consoleIsStdout)
      WriteBytesToStdout(text.data(), text.size());
    else
      m_console(wxString::FromUTF8(text.data(), text.size()));
  }
  if (m_log) m_log(wxString::FromUTF8(text.data(), text.size()));
}

void CKfJsCore::OutputLevelText(int level, const wxString& text) {
  const bool quiet = m_quiet;
  if (level >= kLevelError && level <= kLevelDebug) m_quiet = false;
  OutputText(LevelPrefix(level) + text);
  m_quiet = quiet;
}

wxString CKfJsCore::GetDataPath(const wxString& name, bool useUserDir) const {
  wxString base = (useUserDir && !m_userDir.empty()) ? m_userDir : m_programDir;
  if (!base.empty() && !base.EndsWith(wxT("/"))) base += wxT("/");
  return base + name;
}

void CKfJsCore::SetUserFolders(const CUserFolders& folders) {
  m_sharedInstall = !folders.Owns(m_programDir);
  m_stateDir = folders.StateDir();
  m_cacheDir = folders.RendererCacheDir();
  m_userConfigDir = folders.ConfigDir();
}

wxString CKfJsCore::GetRendererCacheDir() const {
  return m_sharedInstall ? m_cacheDir : GetDataPath(wxT("Renderers"), false);
}

void CKfJsCore::MakeUserDir() const {
  if (m_userDir.empty()) return;
  if (m_sharedInstall) {
    CUserFolders::MakePrivateDirs(m_userDir);
  } else if (!CFileIO::IsDir(m_userDir)) {
    CFileIO::MakeDirs(m_userDir);
  }
}

CPythonInterpreter::Host CKfJsCore::GetScriptHost() {
  CPythonInterpreter::Host host;
  host.console = this;
  host.programDir = m_programDir;
  host.tempDir = GetDataPath(wxT("Temp"), m_sharedInstall);
  return host;
}

CUpdateControl::Host CKfJsCore::GetUpdateHost() {
  CUpdateControl::Host host;
  host.programDir = m_programDir;
  host.sharedInstall = m_sharedInstall;
  host.console = this;
  return host;
}
