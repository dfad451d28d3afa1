#include "settings/LogFile.h"

#include <errno.h>
#include <unistd.h>

#include "platform/FileIO.h"

CLogFile::~CLogFile() { Close(); }

bool CLogFile::OpenPath(const wxString& path) {
  Close();
  m_error = false;
  if (path.empty()) return false;
  // Each run writes a file of its own, put in place of the old one: two runs
  // at the same moment never write into one file.
  m_fd = CFileIO::CreateReplacing(path, 0666);
  return m_fd >= 0;
}

void CLogFile::Close() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
}

void CLogFile::Write(const wxString& text) {
  if (m_fd < 0 || m_error || text.empty()) return;
  const wxScopedCharBuffer utf8 = text.utf8_str();
  const char* data = utf8.data();
  size_t left = utf8.length();
  // Unbuffered: every piece is in the file as soon as Write returns, so the
  // transcript is complete however the run ends.
  while (left > 0) {
    const ssize_t n = ::write(m_fd, data, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      m_error = true;
      return;
    }
    data += n;
    left -= static_cast<size_t>(n);
  }
}
