#include "netjob/NetJobPacketMsg.h"

#include <string>

wxIMPLEMENT_DYNAMIC_CLASS(CNetJobPacketMsg, CCompressedMsgBase);

bool CNetJobPacketMsg::WriteData(CMemoryStream& stream) {
  std::string bytes;
  m_body.Write(bytes);
  if (bytes.size() > CMsgBase::kMaxUnpackedSize) return false;
  return stream.Write(bytes.data(), static_cast<wxUint32>(bytes.size()));
}
