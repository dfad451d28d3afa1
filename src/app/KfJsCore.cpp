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

CKfJsCore::CKfJsCore() : m_console(WriteToStdout) { g_core = this; }

CKfJsCore::~CKfJsCore() {
  // Python's exit handlers and threads still call the host module while the
  // runtime finalises: they find the core whole (program directory, console
  // rules, log) only when that happens before anything of it goes.
  FinishScripts();
  if (g_core == this) g_core = nullptr;
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
  static const wxChar* const kPrefix[] = {wxT(""), wxT("WARNING! "), wxT("ERROR! "),
                                          wxT("DEBUG! ")};
  if (level < 0 || level > 3) level = 0;
  const bool quiet = m_quiet;
  if (level >= 2) m_quiet = false;
  OutputText(kPrefix[level] + text);
  m_quiet = quiet;
}

void CKfJsCore::OutputRule(wxChar character, int count) {
  OutputText(wxString(character, count > 0 ? count : 0) + wxT("\n"));
}

void CKfJsCore::OutputNewLines(int count) {
  if (count > 0) OutputText(wxString(wxT('\n'), count));
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
