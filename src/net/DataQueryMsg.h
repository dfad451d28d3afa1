// The answer to a data query: one text. Answers can be large (megabytes of
// job lines), so the text is kept as the UTF-8 bytes it travels in and is
// widened into a wxString only when asked for one.
#pragma once

#include "net/CompressedMsgBase.h"

#include <string>

class CDataQueryMsg : public CCompressedMsgBase {
 public:
  static constexpr wxInt32 kType = kDataQueryMsgType;

  CDataQueryMsg();

  // The text as every text of the protocol is read: UTF-8, or Latin-1 when
  // the bytes are not valid UTF-8.
  wxString GetText() const;
  void SetText(const wxString& text);
  // That text in UTF-8, without widening it when the bytes are UTF-8 already.
  std::string GetUtf8Text() const;
  // The same, handed over; the message keeps no text.
  std::string TakeUtf8Text();

 protected:
  // Written by hand: the text stays in the bytes it came in (see above).
  bool WriteData(CMemoryStream& stream) const override;
  bool ReadData(CMemoryStream& stream) override;

 private:
  // The bytes as they came, up to their terminating zero.
  std::string m_bytes;

  wxDECLARE_DYNAMIC_CLASS(CDataQueryMsg);
};
