// What each side tells the other about itself once the challenge succeeded
// (type 2): alias, computer name, a third text, kind, build, a reserved value
// and the machine's physical memory.
#pragma once

#include "net/GenericMsg.h"

class COppositeInfoMsg : public CGenericMsg {
 public:
  static constexpr wxInt32 kType = 2;
  static constexpr wxUint16 kRemoteControllerKind = 1;
  static constexpr wxUint32 kBuild = 1900;

  COppositeInfoMsg() { SetType(kType); }

  bool WriteBody(CMemoryStream& stream) override;
  bool ReadBody(CMemoryStream& stream) override;

  wxString alias;
  wxString computerName;
  wxString thirdText;
  wxUint16 kind = 0;
  wxUint32 build = 0;
  wxUint64 physicalMemory = 0;

 private:
  wxDECLARE_DYNAMIC_CLASS(COppositeInfoMsg);
};
