#include "NetTestSupport.h"

#include <algorithm>
#include <cstring>

wxIMPLEMENT_DYNAMIC_CLASS(CBlobMsg, CGenericMsg);

std::string SerializeToString(CMsgBase& message) {
  CMemoryStream stream(CMemoryStream::kWrite);
  if (!message.Serialize(stream)) return std::string();
  return std::string(reinterpret_cast<const char*>(stream.Data()), stream.Size());
}

bool Deserialize(CMsgBase& message, const std::string& bytes) {
  CMemoryStream stream(CMemoryStream::kRead);
  stream.Write(bytes.data(), static_cast<wxUint32>(bytes.size()));
  return message.Serialize(stream);
}

std::string U32(wxUint32 value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>(value >> (8 * i));
  return bytes;
}

wxUint32 ReadU32(const std::string& bytes, size_t offset) {
  wxUint32 value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<wxUint8>(bytes.at(offset + i));
  return value;
}

std::string Frame(wxUint32 serial, wxUint32 index, wxUint32 count, const std::string& payload) {
  return U32(static_cast<wxUint32>(payload.size()) + 16) + U32(serial) + U32(index) + U32(count) +
         payload;
}

std::string Framed(const std::string& serialized, wxUint32 serial) {
  const size_t piece = 16368;
  const wxUint32 count = static_cast<wxUint32>((serialized.size() + piece - 1) / piece);
  std::string out;
  for (wxUint32 i = 0; i < count; ++i)
    out += Frame(serial, i, count, serialized.substr(i * piece, piece));
  return out;
}

void CFakeSocket::DeliverDue() {
  if (!m_clock) return;
  while (!arrivals.empty() && arrivals.begin()->first <= m_clock->Now()) {
    incoming.push_back(arrivals.begin()->second);
    arrivals.erase(arrivals.begin());
  }
}

wxUint32 CFakeSocket::IoRead(void* buffer, wxUint32 size, int* error, bool* peerClosed) {
  *error = 0;
  DeliverDue();
  while (!incoming.empty() && incoming.front().empty()) incoming.pop_front();
  if (incoming.empty()) {
    *peerClosed = peerClosesAfterIncoming;
    return 0;
  }
  std::string& chunk = incoming.front();
  const size_t n = std::min<size_t>(size, chunk.size());
  std::memcpy(buffer, chunk.data(), n);
  chunk.erase(0, n);
  return static_cast<wxUint32>(n);
}

wxUint32 CFakeSocket::IoWrite(const void* buffer, wxUint32 size, int* error) {
  if (writeError) {
    *error = writeError;
    writeError = 0;
    return 0;
  }
  const wxUint32 n = std::min(size, writeBudget);
  written.append(static_cast<const char*>(buffer), n);
  writeBudget -= n;
  *error = n < size ? wxSOCKET_WOULDBLOCK : 0;
  return n;
}

void CFakeSocket::IoTest(bool* lost, bool* readable, bool* writable) {
  DeliverDue();
  const bool unread = std::any_of(incoming.begin(), incoming.end(),
                                  [](const std::string& chunk) { return !chunk.empty(); });
  *lost = false;
  *readable = unread || peerClosesAfterIncoming;
  *writable = writeBudget > 0;
}

void CFakeSocket::IoWait(wxUint32 ms, bool) {
  ++waits;
  waitRequests.push_back(ms);
  if (!m_clock) return;
  const wxUint32 end = m_clock->Now() + ms;
  if (!arrivals.empty() && arrivals.begin()->first < end)
    m_clock->Set(std::max(m_clock->Now(), arrivals.begin()->first));
  else
    m_clock->Set(end);
  DeliverDue();
}
