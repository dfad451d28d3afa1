// The second part of the user data: the client pools the user may use. Each
// pool record carries many fields; the program keeps the identifier and the
// name, joined by "|". Only reading is needed by the program; writing exists
// so that tests and tools can build the message. The list it builds is
// bounded: a message whose pools would take more than kMaxPoolListBytes is
// refused as over the limit, like a body that unpacks too large.
#pragma once

#include <wx/arrstr.h>

#include "net/CompressedMsgBase.h"

class CUserData1Msg : public CCompressedMsgBase {
 public:
  static constexpr wxInt32 kType = kUserData1MsgType;

  // Memory the pool list may take, counted as the entries' text plus a fixed
  // cost per entry; far above any real farm, far below what 256 MiB of
  // records could otherwise make the client hold.
  static constexpr size_t kMaxPoolListBytes = 64u * 1024 * 1024;
  static constexpr size_t kPoolEntryCost = 64;

  CUserData1Msg();

  // Identifier "|" name of each pool, in the order received.
  wxArrayString pools;

 protected:
  // Written by hand: of each pool record only two texts are kept, and the
  // list is weighed against its own budget as it is read.
  bool WriteData(CMemoryStream& stream) const override;
  bool ReadData(CMemoryStream& stream) override;

 private:
  wxDECLARE_DYNAMIC_CLASS(CUserData1Msg);
};
