// The first part of the user data: two texts and a flag the program only
// carries, the user's rights, priority limit and net job colour.
#pragma once

#include "net/FieldMsg.h"

class CUserData;

class CUserData0Msg : public CFieldMsg<CUserData0Msg> {
 public:
  static constexpr wxInt32 kType = kUserData0MsgType;

  CUserData0Msg();

  // Copies texts, flag, rights, priority limit and job colour.
  void ApplyTo(CUserData& data) const;

  wxString text1;
  wxString text2;
  bool flag = false;
  wxUint32 rights = 0;
  wxInt32 priorityLimit = 0;
  wxUint32 reserved = 0;
  wxUint32 jobColour = 0xFF000000;

  template <class Io, class Self>
  static bool Fields(Io& io, Self& m) {
    return io(m.text1) && io(m.text2) && io(m.flag) && io(m.rights) && io(m.priorityLimit) &&
           io(m.reserved) && io(m.jobColour);
  }

 private:
  wxDECLARE_DYNAMIC_CLASS(CUserData0Msg);
};
