// Writes the fields of a message into a memory stream in the order the
// message's field description names them. The same description, run with a
// CWireReader, reads them back, so that a message's layout is written once.
#pragma once

#include "net/MemoryStream.h"

class CWireWriter {
 public:
  explicit CWireWriter(CMemoryStream& stream) : m_stream(stream) {}

  // False when the stream cannot take the value.
  bool operator()(bool value) { return m_stream.WriteBool(value); }
  bool operator()(wxUint8 value) { return m_stream.WriteUInt8(value); }
  bool operator()(wxUint16 value) { return m_stream.WriteUInt16(value); }
  bool operator()(wxUint32 value) { return m_stream.WriteUInt32(value); }
  bool operator()(wxInt32 value) { return m_stream.WriteInt32(value); }
  bool operator()(wxUint64 value) { return m_stream.WriteUInt64(value); }
  bool operator()(const wxString& text) { return m_stream.WriteString(text); }
  bool operator()(const std::vector<wxInt32>& list) { return m_stream.WriteInt32List(list); }
  bool operator()(const wxArrayString& list) { return m_stream.WriteStringList(list); }

 private:
  CMemoryStream& m_stream;
};
