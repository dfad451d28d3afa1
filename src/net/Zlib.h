// Compression of message bodies with zlib: compress2 at level 9, and
// uncompress into a buffer of the announced size.
#pragma once

#include "net/MemoryStream.h"

#include <wx/object.h>

#include <memory>

// Compressed bytes with both lengths.
class CCompressedBuffer : public wxObject {
 public:
  std::unique_ptr<wxUint8[]> bytes;
  wxUint32 compressedLength = 0;
  wxUint32 uncompressedLength = 0;
};

class CZlib : public wxObject {
 public:
  // Compresses `length` bytes at level 9. False when zlib or memory fails.
  bool Compress(const wxUint8* input, wxUint32 length, CCompressedBuffer& output);
  // Appends exactly `uncompressedLength` bytes to `output`: what the input
  // inflates to, zero-filled where it falls short. False when the input is
  // not a complete zlib stream of that length (the bytes are appended anyway)
  // or when memory fails.
  bool Decompress(const wxUint8* input, wxUint32 compressedLength, wxUint32 uncompressedLength,
                  CMemoryStream& output);

  // The output size Compress reserves for `length` input bytes.
  static wxUint32 CompressBound(wxUint32 length);
};
