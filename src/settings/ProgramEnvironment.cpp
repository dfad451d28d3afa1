#include "settings/ProgramEnvironment.h"

#include <stdlib.h>

#include "platform/FileIO.h"
#include "platform/MachineEnvironment.h"

namespace {

const wxString kEnvironmentFile = wxT("Kilnforge.env");
const wxString kProgramDirVariable = wxT("KF_CMDRC_DIR");

wxString WithSlash(const wxString& dir) {
  return dir.empty() || dir.EndsWith(wxT("/")) ? dir : dir + wxT("/");
}

void SetFromLine(wxString line) {
  line.Trim(true).Trim(false);
  if (line.empty() || line[0] == wxT(';') || line[0] == wxT('#')) return;
  wxString name = line;
  wxString value;
  const size_t first = line.find(wxT('='));
  if (first != wxString::npos) {
    name = line.substr(0, first);
    const size_t second = line.find(wxT('='), first + 1);
    value = line.substr(first + 1, second == wxString::npos ? wxString::npos : second - first - 1);
  }
  name.Trim(true).Trim(false);
  value.Trim(true).Trim(false);
  if (name.empty() || name.find(wxT('\0')) != wxString::npos) return;
  ::setenv(name.utf8_str().data(), value.utf8_str().data(), 1);
}

}  // namespace

bool LoadEnvironmentFile(const wxString& programDir) {
  wxString text;
  if (!CFileIO::ReadText(WithSlash(programDir) + kEnvironmentFile, &text)) return false;
  size_t start = 0;
  while (start < text.length()) {
    size_t end = text.find_first_of(wxT("\r\n"), start);
    if (end == wxString::npos) end = text.length();
    SetFromLine(text.substr(start, end - start));
    start = end + 1;
  }
  return true;
}

void RegisterProgramDir(const wxString& programDir) {
  if (programDir.empty()) return;
  CMachineEnvironment().Set(kProgramDirVariable, WithSlash(programDir));
}

void UnregisterProgramDir() { CMachineEnvironment().Remove(kProgramDirVariable); }
