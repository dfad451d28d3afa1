#include "net/RequestMsg.h"

wxIMPLEMENT_DYNAMIC_CLASS(CRequestMsg, CGenericMsg);

bool CRequestMsg::WriteBody(CMemoryStream& stream) {
  bool ok = stream.WriteInt32(mode) && stream.WriteInt32(requestedType) &&
            stream.WriteUInt32(parameter) && stream.WriteString(text1) &&
            stream.WriteString(text2) && stream.WriteUInt32(wxUint32(integers.size()));
  for (size_t i = 0; ok && i < integers.size(); ++i) ok = stream.WriteInt32(integers[i]);
  ok = ok && stream.WriteUInt32(wxUint32(strings.size()));
  for (size_t i = 0; ok && i < strings.size(); ++i) ok = stream.WriteString(strings[i]);
  return ok;
}

bool CRequestMsg::ReadBody(CMemoryStream& stream) {
  stream.ReadInt32(mode);
  stream.ReadInt32(requestedType);
  stream.ReadUInt32(parameter);
  stream.ReadString(text1);
  stream.ReadString(text2);
  // Counts come from the peer: only what is really in the stream is read,
  // and the lists together take no more than their memory budget.
  size_t held = 0;
  wxUint32 count = 0;
  if (stream.ReadUInt32(count)) {
    integers.clear();
    for (wxInt32 value = 0; count > 0 && stream.ReadInt32(value); --count) {
      held += sizeof(wxInt32);
      if (held > kMaxListBytes) break;
      integers.push_back(value);
    }
  }
  count = 0;
  if (held <= kMaxListBytes && stream.ReadUInt32(count)) {
    strings.clear();
    for (; count > 0 && stream.RemainingCount() > 0; --count) {
      held += kStringCost + stream.NextStringLength() * sizeof(wxChar);
      if (held > kMaxListBytes) break;
      wxString text;
      stream.ReadString(text);
      strings.Add(text);
    }
  }
  if (held > kMaxListBytes) {
    integers.clear();
    strings.Clear();
    SetOverLimit();
    return false;
  }
  return true;
}
