#include "app/ProcessArguments.h"

#include <fstream>
#include <iterator>
#include <string>

wxArrayString SplitProcessArguments(const std::string& bytes) {
  wxArrayString args;
  size_t start = 0;
  bool first = true;
  while (start < bytes.size()) {
    size_t end = bytes.find('\0', start);
    if (end == std::string::npos) end = bytes.size();
    if (!first) {
      wxString arg = wxString::FromUTF8(bytes.data() + start, end - start);
      // Bytes that are not UTF-8 are kept as Latin-1 rather than lost.
      if (arg.empty() && end > start) arg = wxString(bytes.data() + start, wxConvISO8859_1, end - start);
      args.Add(arg);
    }
    first = false;
    start = end + 1;
  }
  return args;
}

bool ReadProcessArguments(wxArrayString* args) {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  if (!in) return false;
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return false;
  *args = SplitProcessArguments(bytes);
  return true;
}
