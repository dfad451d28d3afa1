#include "net/Zlib.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>

wxUint32 CZlib::CompressBound(wxUint32 length) {
  const wxUint64 classic = wxUint64(length) + length / 200 + 12;
  return static_cast<wxUint32>(std::max<wxUint64>(classic, compressBound(length)));
}

bool CZlib::Compress(const wxUint8* input, wxUint32 length, CCompressedBuffer& output) {
  const wxUint32 bound = CompressBound(length);
  output.bytes.reset(new (std::nothrow) wxUint8[bound]);
  output.compressedLength = 0;
  output.uncompressedLength = length;
  if (!output.bytes) return false;
  uLongf written = bound;
  static const Bytef kEmpty = 0;
  if (compress2(output.bytes.get(), &written, length ? input : &kEmpty, length,
                Z_BEST_COMPRESSION) != Z_OK)
    return false;
  output.compressedLength = static_cast<wxUint32>(written);
  return true;
}

bool CZlib::Decompress(const wxUint8* input, wxUint32 compressedLength, wxUint32 uncompressedLength,
                       CMemoryStream& output) {
  // Zero-filled first, so that a short or broken stream leaves zeros.
  wxUint8* target = output.Extend(uncompressedLength);
  if (!target) return false;
  Bytef spare = 0;
  z_stream z;
  std::memset(&z, 0, sizeof z);
  if (inflateInit(&z) != Z_OK) return false;
  z.next_in = const_cast<Bytef*>(input);
  z.avail_in = compressedLength;
  if (!compressedLength) z.next_in = &spare;
  z.next_out = uncompressedLength ? target : &spare;
  z.avail_out = uncompressedLength;
  int rc = inflate(&z, Z_FINISH);
  inflateEnd(&z);
  return rc == Z_STREAM_END && z.total_out == uncompressedLength;
}
