// A growable byte buffer with one cursor, in which every message is written
// and read. It is the one place that knows the wire encoding of values:
// integers little-endian, booleans one byte, doubles as their eight IEEE
// bytes, strings as their UTF-8 bytes and one 0 byte, lists as a 32-bit count
// and the items. Reads never go past the content: a failed read copies
// nothing and leaves the cursor (and the caller's value) as they were.
#pragma once

#include <wx/object.h>
#include <wx/arrstr.h>
#include <wx/string.h>

#include <vector>

class CMemoryStream : public wxObject {
 public:
  enum Mode : wxUint32 { kRead = 0, kWrite = 1, kReadWrite = 2 };

  // Allocates `blockSize` bytes at once (0 means 4096).
  explicit CMemoryStream(wxUint32 mode = kReadWrite, wxUint32 blockSize = 0);
  ~CMemoryStream() override;

  CMemoryStream(const CMemoryStream&) = delete;
  CMemoryStream& operator=(const CMemoryStream&) = delete;

  // False when the initial allocation failed.
  bool IsValid() const { return m_buffer != nullptr; }

  // Copies `n` bytes to the cursor, growing the buffer geometrically (always
  // to a multiple of 4096 bytes). False when the memory cannot be had.
  bool Write(const void* bytes, wxUint32 n);
  // Copies `n` bytes from the cursor; false (nothing copied) when fewer remain.
  bool Read(void* bytes, wxUint32 n);

  void Rewind() { m_pos = 0; }
  // Advances the cursor, never beyond the content.
  void Skip(wxUint32 n);
  // Frees the buffer and starts over with a fresh block of the block size.
  bool Reset();
  // Empties the content but keeps the memory (for buffers reused per frame).
  void Clear() { m_pos = 0; m_size = 0; }
  // Makes room for `capacity` bytes of content without changing it.
  bool Reserve(wxUint32 capacity);
  // Writes `n` zero bytes at the cursor and returns where they start, so that
  // a producer can fill them in place; null when the memory cannot be had.
  wxUint8* Extend(wxUint32 n);

  // The bytes from the cursor to the end of the content and their count.
  const wxUint8* Remaining(wxUint32* count) const;
  wxUint32 RemainingCount() const { return m_size - m_pos; }
  const wxUint8* Data() const { return m_buffer; }
  wxUint32 Size() const { return m_size; }
  wxUint32 Capacity() const { return m_capacity; }
  wxUint32 Tell() const { return m_pos; }

  // The first 4 bytes as a 32-bit length, 0 when fewer are there.
  wxUint32 PeekLength() const;
  // Writes the current size over the first 4 bytes; cursor and size stay.
  void PatchLength();

  wxUint32 GetMode() const { return m_mode; }
  void SetMode(wxUint32 mode) { m_mode = mode; }
  bool IsReading() const { return m_mode == kRead || m_mode == kReadWrite; }

  bool WriteUInt8(wxUint8 value) { return Write(&value, 1); }
  bool WriteBool(bool value) { return WriteUInt8(value ? 1 : 0); }
  bool WriteUInt16(wxUint16 value);
  bool WriteUInt32(wxUint32 value);
  bool WriteInt32(wxInt32 value) { return WriteUInt32(static_cast<wxUint32>(value)); }
  bool WriteUInt64(wxUint64 value);
  // The UTF-8 bytes of `text` up to its first NUL, then one 0 byte.
  bool WriteString(const wxString& text);
  // The UTF-8 bytes as given, an embedded NUL included, then one 0 byte. The
  // net job packet has always sent its texts whole this way.
  bool WriteUtf8(const char* bytes, size_t length);
  bool WriteWholeString(const wxString& text);
  bool WriteDouble(double value);
  // A 32-bit count, then the items; `prefix` goes before every string, and
  // each is written whole.
  bool WriteStringList(const wxArrayString& list, const wxString& prefix = wxString());
  bool WriteInt32List(const std::vector<wxInt32>& list);

  bool ReadUInt8(wxUint8& value) { return Read(&value, 1); }
  // Any non-zero byte reads as true.
  bool ReadBool(bool& value);
  bool ReadUInt16(wxUint16& value);
  bool ReadUInt32(wxUint32& value);
  bool ReadInt32(wxInt32& value);
  bool ReadUInt64(wxUint64& value);
  // Takes the bytes up to the first 0 byte (consumed) or the end of the
  // content. False, with `text` unchanged, when nothing remains.
  bool ReadString(wxString& text);
  // The byte length of the text ReadString would read next, so that a reader
  // can refuse it before it is converted.
  wxUint32 NextStringLength() const;

 private:
  bool Grow(wxUint32 needed);

  wxUint8* m_buffer = nullptr;
  wxUint32 m_pos = 0;
  wxUint32 m_capacity = 0;
  wxUint32 m_size = 0;
  wxUint32 m_blockSize;
  wxUint32 m_mode;
  bool m_mapped = false;  // large buffers are mapped, not from the heap
};

// Text from bytes received from a peer: UTF-8, or Latin-1 when the bytes are
// not valid UTF-8 (so that nothing a peer sends turns into an empty text).
wxString TextFromWire(const char* bytes, size_t length);
