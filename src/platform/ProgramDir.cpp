#include "platform/ProgramDir.h"

#include <unistd.h>

#include <string>

wxString ProgramDirFromExePath(const wxString& exePath) {
  const size_t slash = exePath.rfind(wxT('/'));
  if (slash == wxString::npos) return wxString();
  return exePath.Left(slash + 1);
}

wxString GetProgramDir() {
  // /proc/self/exe names the executable with every link resolved.
  std::string buffer(512, '\0');
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", &buffer[0], buffer.size());
    if (n < 0) return wxString();
    if (static_cast<size_t>(n) < buffer.size()) {
      buffer.resize(static_cast<size_t>(n));
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  return ProgramDirFromExePath(wxString::FromUTF8(buffer.data(), buffer.size()));
}
