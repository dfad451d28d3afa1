// What each side tells the other about itself once the challenge succeeded
// (type 2): alias, computer name, a third text, kind, build, a reserved value
// and the machine's physical memory.
#pragma once

#include "net/FieldMsg.h"

class COppositeInfoMsg : public CFieldMsg<COppositeInfoMsg> {
 public:
  static constexpr wxInt32 kType = kOppositeInfoMsgType;
  static constexpr wxUint16 kRemoteControllerKind = 1;
  static constexpr wxUint32 kBuild = 1900;

  COppositeInfoMsg() { SetType(kType); }

  template <class Io, class Self>
  static bool Fields(Io& io, Self& m) {
    return io(m.alias) && io(m.computerName) && io(m.thirdText) && io(m.kind) && io(m.build) &&
           io(m.reserved) && io(m.physicalMemory);
  }

  wxString alias;
  wxString computerName;
  wxString thirdText;
  wxUint16 kind = 0;
  wxUint32 build = 0;
  wxUint32 reserved = 0;
  wxUint64 physicalMemory = 0;

 private:
  wxDECLARE_DYNAMIC_CLASS(COppositeInfoMsg);
};
