#include "rs/FileUtil.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>

namespace rsfile {
namespace {

std::string Native(const wxString& path) {
  const wxScopedCharBuffer utf8 = path.utf8_str();
  return std::string(utf8.data(), utf8.length());
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

bool ReadFile(const wxString& path, std::string* bytes) {
  bytes->clear();
  // Non-blocking, and regular files only: a named pipe in place of a render
  // set or of the cache must fail, not hold the run forever.
  const int fd = ::open(Native(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  if (st.st_size > 0) bytes->reserve(static_cast<size_t>(st.st_size));
  char buffer[65536];
  bool ok = true;
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof(buffer));
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    if (n == 0) break;
    bytes->append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  // A file that shrank while it was read counts as unreadable.
  if (ok && bytes->size() < static_cast<size_t>(st.st_size)) ok = false;
  return ok;
}

bool WriteFileAtomic(const wxString& path, const char* data, size_t size) {
  static std::atomic<unsigned> counter{0};
  const std::string target = Native(path);
  if (target.empty()) return false;
  char suffix[64];
  std::snprintf(suffix, sizeof(suffix), ".tmp.%ld.%u", static_cast<long>(::getpid()),
                counter.fetch_add(1));
  const std::string temp = target + suffix;
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, data, size);
  const bool closed = ::close(fd) == 0;
  if (!written || !closed || ::rename(temp.c_str(), target.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

bool FileExists(const wxString& path) {
  struct stat st;
  return ::stat(Native(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirExists(const wxString& path) {
  struct stat st;
  return ::stat(Native(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RemoveFile(const wxString& path) {
  if (!FileExists(path)) return true;
  return ::unlink(Native(path).c_str()) == 0;
}

bool RemoveDirIfEmpty(const wxString& path) {
  if (!DirExists(path)) return false;
  return ::rmdir(Native(path).c_str()) == 0;
}

bool MakeDirs(const wxString& path) {
  const std::string native = Native(path);
  if (native.empty()) return false;
  for (size_t pos = 1; pos <= native.size(); ++pos) {
    if (pos != native.size() && native[pos] != '/') continue;
    const std::string part = native.substr(0, pos);
    if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
  }
  return DirExists(path);
}

wxString JoinPath(const wxString& dir, const wxString& name) {
  if (dir.empty()) return name;
  if (dir.EndsWith(wxT("/"))) return dir + name;
  return dir + wxT("/") + name;
}

}  // namespace rsfile
