#include "platform/ReadOnlyFile.h"

#include "platform/Utf8.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

bool CReadOnlyFile::Open(const wxString& path) {
  Close();
  if (path.empty()) return false;
  // Non-blocking, so that a named pipe in place of the file cannot hang us.
  m_fd = ::open(utf8text::From(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (m_fd < 0) return false;
  struct stat st;
  if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) {
    Close();
    return false;
  }
  m_identity.size = static_cast<uint64_t>(st.st_size);
  m_identity.mtimeSec = static_cast<int64_t>(st.st_mtim.tv_sec);
  m_identity.mtimeNsec = static_cast<int64_t>(st.st_mtim.tv_nsec);
  m_identity.inode = static_cast<uint64_t>(st.st_ino);
  return true;
}

void CReadOnlyFile::Close() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
  m_identity = Identity();
}

bool CReadOnlyFile::ReadAll(std::string* bytes, size_t maxBytes) {
  bytes->clear();
  if (m_fd >= 0 && m_identity.size <= maxBytes) {
    bytes->reserve(static_cast<size_t>(m_identity.size));
  }
  static constexpr size_t kPieceBytes = 65536;
  const bool ok = ReadInPieces(maxBytes, kPieceBytes, [bytes](const char* data, size_t length) {
    bytes->append(data, length);
  });
  if (!ok) bytes->clear();
  return ok;
}

bool CReadOnlyFile::ReadInPieces(size_t maxBytes, size_t pieceBytes,
                                 const std::function<void(const char*, size_t)>& take) {
  if (m_fd < 0 || m_identity.size > maxBytes || pieceBytes == 0) return false;
  std::vector<char> buffer(pieceBytes);
  uint64_t offset = 0;
  for (;;) {
    const ssize_t n = ::pread(m_fd, buffer.data(), buffer.size(), static_cast<off_t>(offset));
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    // A file that grows while it is read stays within the bound too.
    if (static_cast<uint64_t>(n) > maxBytes - offset) return false;
    take(buffer.data(), static_cast<size_t>(n));
    offset += static_cast<uint64_t>(n);
  }
  // A file that shrank while it was read counts as unreadable.
  return offset >= m_identity.size;
}

bool CReadOnlyFile::AppendRange(uint64_t offset, uint64_t length, std::string* bytes) {
  if (m_fd < 0 || offset > m_identity.size || length > m_identity.size - offset) return false;
  const size_t start = bytes->size();
  bytes->resize(start + static_cast<size_t>(length));
  uint64_t done = 0;
  while (done < length) {
    const ssize_t n = ::pread(m_fd, &(*bytes)[start + done], static_cast<size_t>(length - done),
                              static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      // The file shrank while it was read.
      bytes->resize(start);
      return false;
    }
    done += static_cast<uint64_t>(n);
  }
  return true;
}
