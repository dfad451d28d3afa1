// One frame as it travels on the wire: a 16-byte header (frame length,
// message serial, part index, part count, each 32-bit little-endian) and a
// payload of at most 16368 bytes. The header fields are also kept decoded.
#pragma once

#include "net/MemoryStream.h"

class CBaseSocketMsg : public CMemoryStream {
 public:
  static constexpr wxUint32 kHeaderSize = 16;
  static constexpr wxUint32 kMaxFrameSize = 16384;
  static constexpr wxUint32 kMaxPayload = kMaxFrameSize - kHeaderSize;

  CBaseSocketMsg() : CMemoryStream(kReadWrite, kMaxFrameSize) {}

  // Replaces the content with a complete frame carrying `payload`.
  bool Build(wxUint32 serial, wxUint32 partIndex, wxUint32 partCount, const wxUint8* payload,
             wxUint32 length);
  // Reads the header fields from the content; false when it is shorter.
  bool DecodeHeader();

  const wxUint8* Payload() const { return Data() + kHeaderSize; }
  wxUint32 PayloadSize() const { return Size() - kHeaderSize; }

  wxUint32 GetSerial() const { return m_serial; }
  wxUint32 GetPartIndex() const { return m_partIndex; }
  wxUint32 GetPartCount() const { return m_partCount; }

  // Number of frames a message of `size` serialized bytes is cut into.
  static wxUint32 PartsFor(wxUint32 size) { return (size + kMaxPayload - 1) / kMaxPayload; }

 private:
  wxUint32 m_serial = 0;
  wxUint32 m_partIndex = 0;
  wxUint32 m_partCount = 0;
};
