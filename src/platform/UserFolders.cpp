#include "platform/UserFolders.h"

#include <errno.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/Utf8.h"

namespace {

constexpr mode_t kPrivateFolderMode = 0700;
const wxChar kProductFolder[] = wxT("kilnforge");

wxString ProcessGetenv(const char* name) {
  const char* value = std::getenv(name);
  return value ? wxString::FromUTF8(value) : wxString();
}

// $HOME, or the home folder of the user database when it is not set.
wxString ProcessHome() {
  wxString home = ProcessGetenv("HOME");
  if (!home.empty()) return home;
  if (const passwd* entry = ::getpwuid(::geteuid())) {
    if (entry->pw_dir) return wxString::FromUTF8(entry->pw_dir);
  }
  return wxString();
}

}  // namespace

CUserFolders::CUserFolders() : CUserFolders(ProcessGetenv, ::geteuid(), ProcessHome()) {}

CUserFolders::CUserFolders(Getenv getenv, uid_t uid, const wxString& home)
    : m_getenv(std::move(getenv)), m_uid(uid), m_home(home) {}

bool CUserFolders::Owns(const wxString& dir) const {
  struct stat st;
  return !dir.empty() && ::stat(utf8text::From(dir).c_str(), &st) == 0 && st.st_uid == m_uid;
}

wxString CUserFolders::Folder(const char* variable, const wxString& fallback) const {
  // The XDG rule: a relative value is invalid and ignored.
  wxString base = m_getenv ? m_getenv(variable) : wxString();
  if (!base.StartsWith(wxT("/"))) base = m_home + wxT("/") + fallback;
  while (base.length() > 1 && base.EndsWith(wxT("/"))) base.RemoveLast();
  return base + wxT("/") + kProductFolder;
}

bool CUserFolders::MakePrivateDirs(const wxString& path) {
  const std::string native = utf8text::From(path);
  if (native.empty()) return false;
  for (size_t pos = 1; pos <= native.size(); ++pos) {
    if (pos != native.size() && native[pos] != '/') continue;
    if (::mkdir(native.substr(0, pos).c_str(), kPrivateFolderMode) != 0 && errno != EEXIST)
      return false;
  }
  struct stat st;
  return ::stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
