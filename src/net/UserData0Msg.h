// The first part of the user data: two texts and a flag the program only
// carries, the user's rights, priority limit and net job colour.
#pragma once

#include "net/GenericMsg.h"

class CUserData;

class CUserData0Msg : public CGenericMsg {
 public:
  static constexpr wxInt32 kType = 8;

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

 protected:
  bool WriteBody(CMemoryStream& stream) override;
  bool ReadBody(CMemoryStream& stream) override;

 private:
  wxDECLARE_DYNAMIC_CLASS(CUserData0Msg);
};
