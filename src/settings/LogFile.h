// The run's log file, KfRcCmd.log: opened and emptied at the start of every
// run, it receives a byte-exact UTF-8 copy of the console transcript when the
// user asks for one (the console's log sink calls Write). A file that cannot be
// opened or written leaves the program without a log, silently.
#pragma once

#include <wx/string.h>

#include <functional>

class CLogFile {
 public:
  CLogFile() = default;
  ~CLogFile();

  CLogFile(const CLogFile&) = delete;
  CLogFile& operator=(const CLogFile&) = delete;

  // Puts a new, empty file in place of `path` (mode 0666 less the umask; an
  // old file keeps its permissions) and keeps it open for writing. Closes a
  // file opened before.
  bool OpenPath(const wxString& path);
  void Close();
  bool IsOpened() const { return m_fd >= 0; }

  // Appends the UTF-8 bytes of `text`, unchanged and with no line end added.
  // Does nothing while the file is not open.
  void Write(const wxString& text);
  // True once a write failed; later writes are dropped.
  bool HasError() const { return m_error; }

  // A log sink for the console that writes to this file, which must
  // outlive the sink.
  std::function<void(const wxString&)> Sink() {
    return [this](const wxString& text) { Write(text); };
  }

 private:
  int m_fd = -1;
  bool m_error = false;
};
