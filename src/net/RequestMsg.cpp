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
  // Counts come from the peer: only what is really in the stream is read.
  wxUint32 count = 0;
  if (stream.ReadUInt32(count)) {
    integers.clear();
    for (wxInt32 value = 0; count > 0 && stream.ReadInt32(value); --count) integers.push_back(value);
  }
  count = 0;
  if (stream.ReadUInt32(count)) {
    strings.clear();
    for (wxString text; count > 0 && stream.ReadString(text); --count) strings.Add(text);
  }
  return true;
}
