// The message (type 14) that carries one net job to the server; its body is
// compressed. The body is laid out by one ordered table of fields (in the
// .cpp), each naming how its value is taken from the net job and written:
// adding a field to the wire is one row there. The packet keeps its own copy
// of the values, as the body bytes they make. This program only sends it.
#pragma once

#include "net/CompressedMsgBase.h"
#include "net/MemoryStream.h"
#include "netjob/JsNetJobBase.h"

class CNetJobPacketMsg : public CCompressedMsgBase {
 public:
  static constexpr wxInt32 kType = kNetJobPacketMsgType;

  CNetJobPacketMsg();

  // Writes the body from `job`; the packet keeps no reference to the job.
  bool MarshalFrom(CJsNetJobBase& job);

  // The body as marshalled, uncompressed.
  bool WriteData(CMemoryStream& stream) const override;
  const CMemoryStream& GetBody() const { return m_body; }

  // The name of the renderer as the server knows it: "Group/Renderer", or
  // the renderer alone when it has no group; empty without a renderer.
  static wxString RendererFullName(const CRSVersion* version);

 private:
  CMemoryStream m_body{CMemoryStream::kWrite};

  wxDECLARE_DYNAMIC_CLASS(CNetJobPacketMsg);
};
