#include "platform/FileIO.h"

#include "platform/ReadOnlyFile.h"
#include "platform/Utf8.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <random>

namespace {

std::string ToNative(const wxString& path) { return utf8text::From(path); }

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

wxString DecodeUtf16(const std::string& bytes, size_t start, bool bigEndian) {
  wxString out;
  out.reserve((bytes.size() - start) / 2);
  for (size_t i = start; i + 1 < bytes.size(); i += 2) {
    const unsigned char a = static_cast<unsigned char>(bytes[i]);
    const unsigned char b = static_cast<unsigned char>(bytes[i + 1]);
    unsigned unit = bigEndian ? (a << 8 | b) : (b << 8 | a);
    if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
      const unsigned char c = static_cast<unsigned char>(bytes[i + 2]);
      const unsigned char d = static_cast<unsigned char>(bytes[i + 3]);
      const unsigned low = bigEndian ? (c << 8 | d) : (d << 8 | c);
      if (low >= 0xDC00 && low < 0xE000) {
        unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    if (unit >= 0xD800 && unit < 0xE000) unit = 0xFFFD;  // lone surrogate
    out += wxUniChar(static_cast<wxUint32>(unit));
  }
  return out;
}

}  // namespace

bool CFileIO::ReadBytes(const wxString& path, std::string* bytes, size_t maxBytes) {
  bytes->clear();
  CReadOnlyFile file;
  return file.Open(path) && file.ReadAll(bytes, maxBytes);
}

wxString CFileIO::DecodeText(const std::string& bytes) {
  const auto byteAt = [&bytes](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (bytes.size() >= 2 && byteAt(0) == 0xFF && byteAt(1) == 0xFE)
    return DecodeUtf16(bytes, 2, false);
  if (bytes.size() >= 2 && byteAt(0) == 0xFE && byteAt(1) == 0xFF)
    return DecodeUtf16(bytes, 2, true);
  size_t start = 0;
  if (bytes.size() >= 3 && byteAt(0) == 0xEF && byteAt(1) == 0xBB && byteAt(2) == 0xBF) start = 3;
  const char* data = bytes.data() + start;
  const size_t length = bytes.size() - start;
  if (length == 0) return wxString();
  const wxString utf8 = wxString::FromUTF8(data, length);
  if (!utf8.empty()) return utf8;
  // Not UTF-8: every byte stands for the character of the same number.
  wxString latin1;
  latin1.reserve(length);
  for (size_t i = 0; i < length; ++i)
    latin1 += wxUniChar(static_cast<wxUint32>(static_cast<unsigned char>(data[i])));
  return latin1;
}

bool CFileIO::ReadText(const wxString& path, wxString* text, size_t maxBytes) {
  std::string bytes;
  if (!ReadBytes(path, &bytes, maxBytes)) {
    text->clear();
    return false;
  }
  *text = DecodeText(bytes);
  return true;
}

std::string CFileIO::TempNameFor(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  // Unpredictable as well as unique: names planted in advance by another
  // user of the folder are not the ones tried.
  static std::random_device random;
  char suffix[32];
  snprintf(suffix, sizeof suffix, ".tmp%ld_%u_%08x", static_cast<long>(::getpid()), counter++,
           static_cast<unsigned>(random()));
  return target + suffix;
}

int CFileIO::CreateTemp(const std::string& target, int mode, std::string* temp) {
  for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
    *temp = TempNameFor(target);
    // A new file only: a link or a file planted at the name is never opened.
    const int fd = ::open(temp->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          static_cast<mode_t>(mode));
    if (fd >= 0) return fd;
    if (errno != EEXIST) break;
  }
  temp->clear();
  return -1;
}

bool CFileIO::WriteAtomically(const wxString& path, const std::string& bytes, int mode,
                              bool keepMode) {
  if (path.empty()) return false;
  const std::string target = ToNative(path);
  // The name itself, not what a link there points to: the rename replaces
  // the link, and only a regular file lends its permissions.
  struct stat st;
  const bool existed = ::lstat(target.c_str(), &st) == 0;
  if (existed && S_ISDIR(st.st_mode)) return false;
  const bool copyMode = keepMode && existed && S_ISREG(st.st_mode);

  std::string temp;
  const int fd = CreateTemp(target, mode, &temp);
  if (fd < 0) return false;

  bool ok = WriteAll(fd, bytes);
  if (ok && copyMode) ok = ::fchmod(fd, st.st_mode & 07777) == 0;
  if (ok) ok = ::fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

int CFileIO::CreateReplacing(const wxString& path, int mode) {
  if (path.empty()) return -1;
  const std::string target = ToNative(path);
  struct stat st;
  const bool existed = ::lstat(target.c_str(), &st) == 0;
  if (existed && S_ISDIR(st.st_mode)) return -1;
  if (existed && (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode))) {
    // A pipe or device the user put there is written in place, never
    // created or emptied. Non-blocking open: a pipe that nobody reads fails
    // at once instead of holding the run; writes block again as usual.
    const int fd = ::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd >= 0) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
  }
  // Anything else (a file, a link, nothing) is replaced by a new file. Where
  // none can be created beside it, there is no file: an existing one is
  // never opened and emptied, since a link there may lead anywhere.
  std::string temp;
  const int fd = CreateTemp(target, mode, &temp);
  if (fd < 0) return -1;
  if (existed && S_ISREG(st.st_mode)) (void)::fchmod(fd, st.st_mode & 07777);
  if (::rename(temp.c_str(), target.c_str()) == 0) return fd;
  ::close(fd);
  ::unlink(temp.c_str());
  return -1;
}

bool CFileIO::Exists(const wxString& path) {
  struct stat st;
  return !path.empty() && ::stat(ToNative(path).c_str(), &st) == 0;
}

bool CFileIO::IsFile(const wxString& path) {
  struct stat st;
  return !path.empty() && ::stat(ToNative(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool CFileIO::IsDir(const wxString& path) {
  struct stat st;
  return !path.empty() && ::stat(ToNative(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CFileIO::Remove(const wxString& path) {
  if (path.empty()) return false;
  return ::unlink(ToNative(path).c_str()) == 0 || errno == ENOENT;
}

bool CFileIO::RemoveDirIfEmpty(const wxString& path) {
  return IsDir(path) && ::rmdir(ToNative(path).c_str()) == 0;
}

bool CFileIO::MakeDirs(const wxString& path) {
  const std::string native = ToNative(path);
  if (native.empty()) return false;
  for (size_t pos = 1; pos <= native.size(); ++pos) {
    if (pos != native.size() && native[pos] != '/') continue;
    if (::mkdir(native.substr(0, pos).c_str(), 0777) != 0 && errno != EEXIST) return false;
  }
  return IsDir(path);
}

wxString CFileIO::JoinPath(const wxString& dir, const wxString& name) {
  if (dir.empty()) return name;
  if (dir.EndsWith(wxT("/"))) return dir + name;
  return dir + wxT("/") + name;
}
