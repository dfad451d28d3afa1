#include "netjob/ScenePattern.h"

#include <dirent.h>
#include <sys/stat.h>
#include <wx/filefn.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "netjob/IntRange.h"
#include "platform/StringUtil.h"

namespace {

// Reads a whole decimal integer, blanks around it allowed.
bool ReadStep(const wxString& text, long* out) {
  const wxString step = strutil::Trimmed(text);
  return !step.empty() && step.ToLong(out);
}

// Appends `number` in decimal, zero-padded to `width` characters with the
// sign counted in the width, as "%0*i" writes it.
void AppendNumber(wxString& out, int number, int width) {
  long long value = number;
  const bool negative = value < 0;
  if (negative) value = -value;
  wchar_t digits[24];
  int count = 0;
  do {
    digits[count++] = static_cast<wchar_t>(L'0' + value % 10);
    value /= 10;
  } while (value != 0);
  if (negative) out += wxT('-');
  for (int i = count + (negative ? 1 : 0); i < width; ++i) out += wxT('0');
  while (count > 0) out += digits[--count];
}

// The number of characters AppendNumber writes without padding.
size_t DecimalLength(int number) {
  long long value = number;
  size_t length = value < 0 ? 1 : 0;
  if (value < 0) value = -value;
  do {
    ++length;
    value /= 10;
  } while (value != 0);
  return length;
}

size_t Utf8Length(const wxString& text) {
  size_t length = 0;
  for (wxUniChar c : text) {
    const wxUint32 code = c.GetValue();
    length += code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
  }
  return length;
}

}  // namespace

CScenePattern::CScenePattern() : m_lister(&CScenePattern::ListFolder) {}

bool CScenePattern::Spend(size_t bytes) const {
  if (bytes > m_budget) {
    m_tooLarge = true;
    return false;
  }
  m_budget -= bytes;
  return true;
}

bool CScenePattern::Expand(const wxString& argument, wxArrayString& scenes) const {
  m_tooLarge = false;
  if (!argument.StartsWith(wxT("@"))) {
    if (!Spend(Utf8Length(argument) + kPacketBytesPerScene)) return false;
    scenes.Add(argument);
    return true;
  }
  const wxString pattern = argument.Mid(1);
  if (pattern.find_first_of(wxT("*?")) != wxString::npos) return ExpandWildcard(pattern, scenes);
  if (pattern.Find(wxT('#')) == wxNOT_FOUND) {
    if (!Spend(Utf8Length(pattern) + kPacketBytesPerScene)) return false;
    scenes.Add(pattern);
    return true;
  }
  return ExpandFrames(pattern, scenes);
}

bool CScenePattern::ExpandWildcard(const wxString& pattern, wxArrayString& scenes) const {
  int cut = pattern.Find(wxT('\\'), true);
  if (cut == wxNOT_FOUND) cut = pattern.Find(wxT('/'), true);
  if (cut == wxNOT_FOUND) return false;
  const wxString folder = pattern.Left(cut + 1);
  const wxString mask = pattern.Mid(cut + 1);
  if (mask.empty()) return false;

  // The scene keeps the folder as written; it is listed with "/" separators.
  wxString local = folder;
  local.Replace(wxT("\\"), wxT("/"));
  wxArrayString names;
  m_lister(local, names);
  names.Sort();
  // Hidden names only for a mask that is hidden itself: shared folders hold
  // "._name" companion files that a mask like "*.ma" must not submit.
  const bool hidden = mask.StartsWith(wxT("."));
  const size_t folderBytes = Utf8Length(folder);
  const size_t before = scenes.size();
  for (const wxString& name : names) {
    if (!hidden && name.StartsWith(wxT("."))) continue;
    if (!wxMatchWild(mask, name, false)) continue;
    if (!Spend(folderBytes + Utf8Length(name) + kPacketBytesPerScene)) {
      scenes.RemoveAt(before, scenes.size() - before);
      return false;
    }
    scenes.Add(folder + name);
  }
  return true;
}

bool CScenePattern::ExpandFrames(const wxString& pattern, wxArrayString& scenes) const {
  const size_t start = pattern.find(wxT('#'));
  if (start == wxString::npos) return false;
  const size_t end = pattern.find(wxT(']'), start);
  if (end == wxString::npos) return false;

  // The frame part: "#" characters giving the digit width, then "[ranges;step]".
  int width = 0;
  size_t pos = start;
  while (pos < end && pattern[pos] == wxT('#')) {
    ++width;
    ++pos;
  }
  if (pos >= end || pattern[pos] != wxT('[')) return false;
  wxString ranges = pattern.SubString(pos + 1, end - 1);

  long step = 1;
  const int semicolon = ranges.Find(wxT(';'));
  if (semicolon != wxNOT_FOUND) {
    if (!ReadStep(ranges.Mid(semicolon + 1), &step)) return false;
    ranges = ranges.Left(semicolon);
  }
  // A step of 0 or below would never reach the end of a range.
  if (step <= 0) return false;

  // Every "#" left in the pattern (the frame part itself counts as one) takes the
  // number: cut the pattern into the texts between them once.
  const wxString shaped = pattern.Left(start) + wxT("#") + pattern.Mid(end + 1);
  std::vector<wxString> pieces;
  size_t from = 0;
  for (;;) {
    const size_t hash = shaped.find(wxT('#'), from);
    pieces.push_back(shaped.substr(from, hash == wxString::npos ? wxString::npos : hash - from));
    if (hash == wxString::npos) break;
    from = hash + 1;
  }

  std::vector<int> numbers;
  const wxArrayString parts = strutil::Split(ranges, wxT(','));
  if (parts.empty()) return false;
  for (wxString part : parts) {
    part.Trim(true).Trim(false);
    IntRange range;
    if (!range.FromString(part)) return false;
    const long long count =
        (static_cast<long long>(range.GetTo()) - range.GetFrom()) / step + 1;
    if (static_cast<long long>(numbers.size()) + count > kMaxFrames) return false;
    for (long long n = range.GetFrom(); n <= range.GetTo(); n += step) {
      numbers.push_back(static_cast<int>(n));
    }
  }

  size_t fixed = 0;
  size_t fixedBytes = 0;
  for (const wxString& piece : pieces) {
    fixed += piece.length();
    fixedBytes += Utf8Length(piece);
  }
  const size_t places = pieces.size() - 1;
  // The exact size of the expansion, before any of it is built: every
  // number has at least `width` characters, and at most 11.
  unsigned long long bytes = 0;
  for (int number : numbers) {
    const size_t digits = std::max<size_t>(static_cast<size_t>(width), DecimalLength(number));
    bytes += fixedBytes + places * digits + kPacketBytesPerScene;
    if (bytes > m_budget) break;
  }
  if (!Spend(static_cast<size_t>(std::min<unsigned long long>(bytes, ~size_t(0))))) return false;
  scenes.reserve(scenes.size() + numbers.size());
  for (int number : numbers) {
    wxString digits;
    AppendNumber(digits, number, width);
    wxString scene;
    scene.reserve(fixed + places * digits.length());
    scene += pieces[0];
    for (size_t i = 1; i < pieces.size(); ++i) {
      scene += digits;
      scene += pieces[i];
    }
    scenes.Add(scene);
  }
  return true;
}

void CScenePattern::ListFolder(const wxString& folder, wxArrayString& names) {
  const wxScopedCharBuffer path = folder.utf8_str();
  DIR* dir = opendir(path.data());
  if (dir == nullptr) return;
  std::string base(path.data());
  if (!base.empty() && base.back() != '/') base += '/';
  while (const dirent* entry = readdir(dir)) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    struct stat info;
    if (stat((base + entry->d_name).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    const wxString name = wxString::FromUTF8(entry->d_name);
    if (!name.empty()) names.Add(name);
  }
  closedir(dir);
}
