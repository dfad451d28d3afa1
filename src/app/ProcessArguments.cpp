#include "app/ProcessArguments.h"

#include <fstream>
#include <iterator>
#include <string>

#include "platform/Utf8.h"

wxArrayString SplitProcessArguments(const std::string& bytes, size_t* invalidPosition) {
  wxArrayString args;
  if (invalidPosition) *invalidPosition = 0;
  size_t start = 0;
  size_t position = 0;  // 0 is the program itself
  while (start < bytes.size()) {
    size_t end = bytes.find('\0', start);
    if (end == std::string::npos) end = bytes.size();
    if (position > 0) {
      const char* data = bytes.data() + start;
      if (utf8text::IsValid(data, end - start)) {
        args.Add(utf8text::ToWx(data, end - start));
      } else if (invalidPosition && *invalidPosition == 0) {
        *invalidPosition = position;
      }
    }
    ++position;
    start = end + 1;
  }
  return args;
}

bool ReadProcessArguments(wxArrayString* args, size_t* invalidPosition) {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  if (!in) return false;
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return false;
  *args = SplitProcessArguments(bytes, invalidPosition);
  return true;
}
