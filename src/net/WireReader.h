// Reads the fields of a message from a memory stream in the order the
// message's field description names them (see CWireWriter). A field past the
// end of the stream keeps its value; only what a peer may not make this
// program hold -- a text beyond CMsgBase::kMaxTextBytes, lists beyond
// kMaxListBytes together -- stops the reading, and the message is then over
// the limit.
#pragma once

#include "net/MemoryBudget.h"
#include "net/MemoryStream.h"
#include "net/MsgBase.h"

class CWireReader {
 public:
  // Memory the lists of one message may take together (a string counts its
  // wide characters and a fixed cost).
  static constexpr size_t kMaxListBytes = 64u * 1024 * 1024;
  static constexpr size_t kStringCost = 64;

  explicit CWireReader(CMemoryStream& stream) : m_stream(stream) {}

  bool IsOverLimit() const { return m_overLimit; }

  // False only when the message is over the limit.
  bool operator()(bool& value) { return Fixed(m_stream.ReadBool(value)); }
  bool operator()(wxUint8& value) { return Fixed(m_stream.ReadUInt8(value)); }
  bool operator()(wxUint16& value) { return Fixed(m_stream.ReadUInt16(value)); }
  bool operator()(wxUint32& value) { return Fixed(m_stream.ReadUInt32(value)); }
  bool operator()(wxInt32& value) { return Fixed(m_stream.ReadInt32(value)); }
  bool operator()(wxUint64& value) { return Fixed(m_stream.ReadUInt64(value)); }
  bool operator()(wxString& text) {
    if (m_stream.NextStringLength() > CMsgBase::kMaxTextBytes) return Over();
    m_stream.ReadString(text);
    return true;
  }
  // A list is replaced when its count is there; the count is the peer's word,
  // so only the items really present are taken.
  bool operator()(std::vector<wxInt32>& list) {
    wxUint32 count = 0;
    if (!m_stream.ReadUInt32(count)) return true;
    list.clear();
    for (wxInt32 value = 0; count > 0 && m_stream.ReadInt32(value); --count) {
      if (!m_budget.ChargeBytes(sizeof(wxInt32))) return Over(&list);
      list.push_back(value);
    }
    return true;
  }
  bool operator()(wxArrayString& list) {
    wxUint32 count = 0;
    if (!m_stream.ReadUInt32(count)) return true;
    list.Clear();
    for (; count > 0 && m_stream.RemainingCount() > 0; --count) {
      if (!m_budget.Charge(m_stream.NextStringLength())) return Over(&list);
      wxString text;
      m_stream.ReadString(text);
      list.Add(text);
    }
    return true;
  }

 private:
  static bool Fixed(bool) { return true; }
  bool Over() {
    m_overLimit = true;
    return false;
  }
  template <class List>
  bool Over(List* list) {
    list->clear();
    return Over();
  }

  CMemoryStream& m_stream;
  CMemoryBudget m_budget{kMaxListBytes, kStringCost, sizeof(wxChar)};
  bool m_overLimit = false;
};
