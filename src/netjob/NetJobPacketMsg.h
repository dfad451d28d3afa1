// The message (type 14) that carries one net job to the server. It holds its
// own copy of every value that goes on the wire; its body is compressed.
// This program only sends it.
#pragma once

#include "net/CompressedMsgBase.h"
#include "netjob/NetJobPacketBody.h"

class CNetJobPacketMsg : public CCompressedMsgBase {
 public:
  static constexpr wxInt32 kType = 14;

  CNetJobPacketMsg() { SetType(kType); }

  // Copies the net job's values; the packet keeps no reference to the job.
  bool MarshalFrom(CJsNetJobBase& job) { return m_body.MarshalFrom(job); }

  bool WriteData(CMemoryStream& stream) override;

  const CNetJobPacketBody& GetBody() const { return m_body; }
  CNetJobPacketBody& GetBody() { return m_body; }

 private:
  CNetJobPacketBody m_body;

  wxDECLARE_DYNAMIC_CLASS(CNetJobPacketMsg);
};
