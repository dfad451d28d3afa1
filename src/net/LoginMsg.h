// The login: user name and password as the user gave them, sent once the
// challenge has succeeded. The server acknowledges it with result 1 or
// refuses it with a reason.
#pragma once

#include "net/GenericMsg.h"

class CLoginMsg : public CGenericMsg {
 public:
  static constexpr wxInt32 kType = 7;

  CLoginMsg();

  bool login = true;
  wxString userName;
  wxString password;

 protected:
  bool WriteBody(CMemoryStream& stream) override;
  bool ReadBody(CMemoryStream& stream) override;

 private:
  wxDECLARE_DYNAMIC_CLASS(CLoginMsg);
};
