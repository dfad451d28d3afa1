#include "platform/MachineEnvironment.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/FileIO.h"
#include "platform/Utf8.h"

namespace {

// The lines of the file without their line feeds; a missing file has none.
bool ReadLines(const wxString& path, std::vector<wxString>* lines) {
  lines->clear();
  if (!CFileIO::Exists(path)) return true;
  wxString text;
  if (!CFileIO::ReadText(path, &text)) return false;
  size_t start = 0;
  while (start < text.length()) {
    size_t end = text.find(wxT('\n'), start);
    if (end == wxString::npos) end = text.length();
    lines->push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return true;
}

// The variable a line assigns, or empty for blank lines and comments.
wxString AssignedName(const wxString& line, wxString* rawValue = nullptr) {
  wxString trimmed = line;
  trimmed.Trim(false);
  if (trimmed.empty() || trimmed[0] == wxT('#') || trimmed[0] == wxT(';')) return wxString();
  const size_t equals = trimmed.find(wxT('='));
  if (equals == wxString::npos) return wxString();
  wxString name = trimmed.substr(0, equals);
  name.Trim(true);
  if (rawValue != nullptr) {
    *rawValue = trimmed.substr(equals + 1);
    rawValue->Trim(true).Trim(false);
  }
  return name;
}

bool Write(const wxString& path, const std::vector<wxString>& lines) {
  wxString text;
  for (const wxString& line : lines) text += line + wxT("\n");
  const std::string native = std::string(path.utf8_str());
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::path(native).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, ec);
  return CFileIO::WriteAtomically(path, utf8text::From(text), 0644);
}

bool HasContent(const std::vector<wxString>& lines) {
  for (const wxString& line : lines) {
    wxString trimmed = line;
    if (!trimmed.Trim(true).Trim(false).empty()) return true;
  }
  return false;
}

}  // namespace

CMachineEnvironment::CMachineEnvironment() {
  const char* path = std::getenv(kFileVariable);
  m_path = wxString::FromUTF8(path != nullptr && *path != '\0' ? path : kDefaultFile);
}

wxString CMachineEnvironment::Escape(const wxString& value) {
  wxString out;
  for (const wxUniChar c : value) {
    if (c == wxT('\\') || c == wxT('"') || c == wxT('\'') || c == wxT('$')) out += wxT('\\');
    out += c;
  }
  return out;
}

bool CMachineEnvironment::Set(const wxString& name, const wxString& value) {
  if (name.empty() || value.find_first_of(wxT("\r\n")) != wxString::npos) return false;
  std::vector<wxString> lines;
  if (!ReadLines(m_path, &lines)) return false;
  const wxString assignment = name + wxT("=") + Escape(value);
  bool found = false;
  bool changed = false;
  std::vector<wxString> kept;
  for (const wxString& line : lines) {
    if (AssignedName(line) != name) {
      kept.push_back(line);
    } else if (!found) {
      found = true;
      changed |= line != assignment;
      kept.push_back(assignment);
    } else {
      changed = true;  // a second assignment of the same name goes
    }
  }
  if (!found) {
    kept.push_back(assignment);
    changed = true;
  }
  return !changed || Write(m_path, kept);
}

bool CMachineEnvironment::Remove(const wxString& name) {
  if (name.empty()) return true;
  std::vector<wxString> lines;
  if (!ReadLines(m_path, &lines)) return false;
  std::vector<wxString> kept;
  for (const wxString& line : lines) {
    if (AssignedName(line) != name) kept.push_back(line);
  }
  if (kept.size() == lines.size()) return true;
  if (!HasContent(kept)) return CFileIO::Remove(m_path);
  return Write(m_path, kept);
}

bool CMachineEnvironment::Get(const wxString& name, wxString* value) const {
  std::vector<wxString> lines;
  if (!ReadLines(m_path, &lines)) return false;
  for (const wxString& line : lines) {
    wxString raw;
    if (AssignedName(line, &raw) != name) continue;
    value->clear();
    for (size_t i = 0; i < raw.length(); ++i) {
      if (raw[i] == wxT('\\') && i + 1 < raw.length()) ++i;
      *value += raw[i];
    }
    return true;
  }
  return false;
}
