#include "net/MemoryStream.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr wxUint32 kGrain = 4096;
// The largest capacity that is still a multiple of the grain.
constexpr wxUint32 kMaxCapacity = 0xFFFFFFFFu - (kGrain - 1);
// Buffers from this size on are mapped memory backed by huge pages where the
// system offers them: filling a large message then costs one page fault per
// 2 MiB instead of one per 4 KiB, which on a virtual machine is most of the
// time spent on it.
constexpr size_t kLargeBuffer = 2 * 1024 * 1024;

void* MapLarge(size_t size) {
  void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return nullptr;
#ifdef MADV_HUGEPAGE
  madvise(p, size, MADV_HUGEPAGE);
#endif
  return p;
}

// Resizes a buffer of `oldSize` bytes (`used` of them content) to `newSize`;
// `mapped` tells, and is updated with, how the memory was obtained. Null on
// failure, with the old buffer untouched.
void* ResizeBuffer(void* p, size_t oldSize, size_t newSize, size_t used, bool* mapped) {
  if (newSize < kLargeBuffer && !*mapped) return std::realloc(p, newSize);
  if (*mapped) {
    void* q = mremap(p, oldSize, newSize, MREMAP_MAYMOVE);
    if (q == MAP_FAILED) return nullptr;
#ifdef MADV_HUGEPAGE
    madvise(q, newSize, MADV_HUGEPAGE);
#endif
    return q;
  }
  void* q = MapLarge(newSize);
  if (!q) return nullptr;
  if (used) std::memcpy(q, p, used);
  std::free(p);
  *mapped = true;
  return q;
}

void FreeBuffer(void* p, size_t size, bool mapped) {
  if (mapped)
    munmap(p, size);
  else
    std::free(p);
}

}  // namespace

CMemoryStream::CMemoryStream(wxUint32 mode, wxUint32 blockSize)
    : m_blockSize(blockSize == 0 ? kGrain : blockSize), m_mode(mode) {
  Reset();
}

CMemoryStream::~CMemoryStream() {
  if (m_buffer) FreeBuffer(m_buffer, m_capacity, m_mapped);
}

bool CMemoryStream::Reset() {
  if (m_buffer) FreeBuffer(m_buffer, m_capacity, m_mapped);
  m_buffer = nullptr;
  m_mapped = false;
  m_pos = 0;
  m_size = 0;
  if (m_blockSize >= kLargeBuffer) {
    m_buffer = static_cast<wxUint8*>(MapLarge(m_blockSize));
    m_mapped = m_buffer != nullptr;
  } else {
    m_buffer = static_cast<wxUint8*>(std::malloc(m_blockSize));
  }
  m_capacity = m_buffer ? m_blockSize : 0;
  return m_buffer != nullptr;
}

bool CMemoryStream::Grow(wxUint32 needed) {
  if (needed <= m_capacity && m_buffer) return true;
  if (needed > kMaxCapacity) return false;
  // Doubling keeps large messages from being copied once per grain.
  wxUint64 target = static_cast<wxUint64>(m_capacity) * 2;
  if (target < needed) target = needed;
  target = (target + kGrain - 1) / kGrain * kGrain;
  if (target > kMaxCapacity) target = kMaxCapacity;
  void* grown = ResizeBuffer(m_buffer, m_buffer ? m_capacity : 0, static_cast<size_t>(target),
                             m_size, &m_mapped);
  if (!grown) return false;
  m_buffer = static_cast<wxUint8*>(grown);
  m_capacity = static_cast<wxUint32>(target);
  return true;
}

bool CMemoryStream::Reserve(wxUint32 capacity) { return Grow(capacity); }

wxUint8* CMemoryStream::Extend(wxUint32 n) {
  if (n > kMaxCapacity - m_pos || !Grow(m_pos + n)) return nullptr;
  wxUint8* start = m_buffer + m_pos;
  if (n) std::memset(start, 0, n);
  m_pos += n;
  if (m_pos > m_size) m_size = m_pos;
  return start;
}

bool CMemoryStream::Write(const void* bytes, wxUint32 n) {
  if (n == 0) return true;
  if (n > kMaxCapacity - m_pos) return false;
  const wxUint32 end = m_pos + n;
  if (!Grow(end)) return false;
  std::memcpy(m_buffer + m_pos, bytes, n);
  m_pos = end;
  if (end > m_size) m_size = end;
  return true;
}

bool CMemoryStream::Read(void* bytes, wxUint32 n) {
  if (n > m_size - m_pos) return false;
  if (n) std::memcpy(bytes, m_buffer + m_pos, n);
  m_pos += n;
  return true;
}

void CMemoryStream::Skip(wxUint32 n) { m_pos = n > m_size - m_pos ? m_size : m_pos + n; }

const wxUint8* CMemoryStream::Remaining(wxUint32* count) const {
  if (count) *count = m_size - m_pos;
  return m_buffer + m_pos;
}

wxUint32 CMemoryStream::PeekLength() const {
  if (m_size < 4) return 0;
  const wxUint8* b = m_buffer;
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<wxUint32>(b[3]) << 24);
}

void CMemoryStream::PatchLength() {
  if (m_size < 4) return;
  for (int i = 0; i < 4; ++i) m_buffer[i] = static_cast<wxUint8>(m_size >> (8 * i));
}

bool CMemoryStream::WriteUInt16(wxUint16 value) {
  const wxUint8 b[2] = {static_cast<wxUint8>(value), static_cast<wxUint8>(value >> 8)};
  return Write(b, 2);
}

bool CMemoryStream::WriteUInt32(wxUint32 value) {
  wxUint8 b[4];
  for (int i = 0; i < 4; ++i) b[i] = static_cast<wxUint8>(value >> (8 * i));
  return Write(b, 4);
}

bool CMemoryStream::WriteUInt64(wxUint64 value) {
  wxUint8 b[8];
  for (int i = 0; i < 8; ++i) b[i] = static_cast<wxUint8>(value >> (8 * i));
  return Write(b, 8);
}

bool CMemoryStream::WriteString(const wxString& text) {
  const wxScopedCharBuffer utf8 = text.utf8_str();
  const size_t length = std::strlen(utf8.data());
  if (length > kMaxCapacity) return false;
  return Write(utf8.data(), static_cast<wxUint32>(length)) && WriteUInt8(0);
}

bool CMemoryStream::WriteUtf8(const char* bytes, size_t length) {
  if (length > kMaxCapacity) return false;
  return Write(bytes, static_cast<wxUint32>(length)) && WriteUInt8(0);
}

bool CMemoryStream::WriteWholeString(const wxString& text) {
  const wxScopedCharBuffer utf8 = text.utf8_str();
  return WriteUtf8(utf8.data(), utf8.length());
}

bool CMemoryStream::WriteDouble(double value) {
  static_assert(sizeof(wxUint64) == sizeof(double), "a double is eight bytes");
  wxUint64 bits = 0;
  std::memcpy(&bits, &value, sizeof(bits));
  return WriteUInt64(bits);
}

bool CMemoryStream::WriteStringList(const wxArrayString& list, const wxString& prefix) {
  bool ok = WriteUInt32(static_cast<wxUint32>(list.size()));
  for (size_t i = 0; ok && i < list.size(); ++i) ok = WriteWholeString(prefix + list[i]);
  return ok;
}

bool CMemoryStream::WriteInt32List(const std::vector<wxInt32>& list) {
  bool ok = WriteUInt32(static_cast<wxUint32>(list.size()));
  for (size_t i = 0; ok && i < list.size(); ++i) ok = WriteInt32(list[i]);
  return ok;
}

bool CMemoryStream::ReadBool(bool& value) {
  wxUint8 b;
  if (!ReadUInt8(b)) return false;
  value = b != 0;
  return true;
}

bool CMemoryStream::ReadUInt16(wxUint16& value) {
  wxUint8 b[2];
  if (!Read(b, 2)) return false;
  value = static_cast<wxUint16>(b[0] | (b[1] << 8));
  return true;
}

bool CMemoryStream::ReadUInt32(wxUint32& value) {
  wxUint8 b[4];
  if (!Read(b, 4)) return false;
  value = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<wxUint32>(b[3]) << 24);
  return true;
}

bool CMemoryStream::ReadInt32(wxInt32& value) {
  wxUint32 u;
  if (!ReadUInt32(u)) return false;
  value = static_cast<wxInt32>(u);
  return true;
}

bool CMemoryStream::ReadUInt64(wxUint64& value) {
  wxUint8 b[8];
  if (!Read(b, 8)) return false;
  value = 0;
  for (int i = 7; i >= 0; --i) value = (value << 8) | b[i];
  return true;
}

bool CMemoryStream::ReadString(wxString& text) {
  if (m_pos >= m_size) return false;
  const char* start = reinterpret_cast<const char*>(m_buffer + m_pos);
  const wxUint32 left = m_size - m_pos;
  const void* zero = std::memchr(start, 0, left);
  const wxUint32 length =
      zero ? static_cast<wxUint32>(static_cast<const char*>(zero) - start) : left;
  text = TextFromWire(start, length);
  m_pos += zero ? length + 1 : length;
  return true;
}

wxUint32 CMemoryStream::NextStringLength() const {
  if (m_pos >= m_size) return 0;
  const char* start = reinterpret_cast<const char*>(m_buffer + m_pos);
  const void* zero = std::memchr(start, 0, m_size - m_pos);
  return zero ? static_cast<wxUint32>(static_cast<const char*>(zero) - start) : m_size - m_pos;
}

wxString TextFromWire(const char* bytes, size_t length) {
  if (length == 0) return wxString();
  wxString text = wxString::FromUTF8(bytes, length);
  if (text.empty()) text = wxString(bytes, wxConvISO8859_1, length);
  return text;
}
