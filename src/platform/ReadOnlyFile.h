// A regular file opened for reading, so that what is read and the identity
// that describes it (size, modification time to the nanosecond, inode) come
// from the same open file even when the name is replaced meanwhile. Used
// where a file is read in pieces: a file replaced by rename gets a new inode,
// so an unchanged identity means unchanged bytes.
#pragma once

#include <wx/string.h>

#include <cstdint>
#include <functional>
#include <string>

class CReadOnlyFile {
 public:
  struct Identity {
    uint64_t size = 0;
    int64_t mtimeSec = 0;
    int64_t mtimeNsec = 0;
    uint64_t inode = 0;

    bool operator==(const Identity& o) const {
      return size == o.size && mtimeSec == o.mtimeSec && mtimeNsec == o.mtimeNsec &&
             inode == o.inode;
    }
    bool operator!=(const Identity& o) const { return !(*this == o); }
  };

  CReadOnlyFile() = default;
  ~CReadOnlyFile() { Close(); }
  CReadOnlyFile(const CReadOnlyFile&) = delete;
  CReadOnlyFile& operator=(const CReadOnlyFile&) = delete;

  // False when the file does not exist or is not a regular file (a folder, a
  // pipe, a device); opening never blocks.
  bool Open(const wxString& path);
  void Close();
  bool IsOpen() const { return m_fd >= 0; }
  const Identity& GetIdentity() const { return m_identity; }

  // The whole file, read to its end; false when it is larger than `maxBytes`
  // (checked before anything is allocated, and again while it grows) or
  // shorter than when it was opened. A file that grew while it was read
  // reads longer than its identity's size.
  bool ReadAll(std::string* bytes, size_t maxBytes);
  // The same read, handed to `take` in pieces of at most `pieceBytes` bytes
  // as they arrive, so that the whole file is never held; false as ReadAll.
  bool ReadInPieces(size_t maxBytes, size_t pieceBytes,
                    const std::function<void(const char* data, size_t length)>& take);
  // Appends `length` bytes from `offset`; false when the range is not inside
  // the file.
  bool AppendRange(uint64_t offset, uint64_t length, std::string* bytes);

 private:
  int m_fd = -1;
  Identity m_identity;
};
