#include "net/CompressedMsgBase.h"

#include "net/Zlib.h"

wxIMPLEMENT_DYNAMIC_CLASS(CCompressedMsgBase, CGenericMsg);

bool CCompressedMsgBase::WriteBody(CMemoryStream& stream) const {
  CMemoryStream data(CMemoryStream::kWrite);
  if (!data.IsValid() || !WriteData(data)) return false;
  CCompressedBuffer compressed;
  if (!CZlib().Compress(data.Data(), data.Size(), compressed)) return false;
  return stream.WriteUInt32(compressed.compressedLength) &&
         stream.WriteUInt32(compressed.uncompressedLength) &&
         stream.Write(compressed.bytes.get(), compressed.compressedLength);
}

bool CCompressedMsgBase::ReadBody(CMemoryStream& stream) {
  wxUint32 compressedLength = 0;
  wxUint32 uncompressedLength = 0;
  stream.ReadUInt32(compressedLength);
  stream.ReadUInt32(uncompressedLength);
  if (uncompressedLength > kMaxUnpackedSize) {
    SetOverLimit();
    return false;
  }
  // The compressed bytes are inflated where they lie; a length beyond the end
  // of the stream reads as no data at all.
  wxUint32 available = 0;
  const wxUint8* compressed = stream.Remaining(&available);
  if (compressedLength > available) compressedLength = 0;
  stream.Skip(compressedLength);

  CMemoryStream data(CMemoryStream::kRead, 1);
  if (!data.IsValid()) return false;
  // Data that does not inflate to its announced length is still read: its
  // missing tail reads as zeros and empty strings.
  CZlib().Decompress(compressed, compressedLength, uncompressedLength, data);
  if (data.Size() != uncompressedLength) return false;  // out of memory
  data.Rewind();
  return ReadData(data);
}

bool CCompressedMsgBase::WriteData(CMemoryStream&) const { return true; }

bool CCompressedMsgBase::ReadData(CMemoryStream&) { return true; }
