// The login: user name and password as the user gave them, sent once the
// challenge has succeeded. The server acknowledges it with result 1 or
// refuses it with a reason.
#pragma once

#include "net/FieldMsg.h"

class CLoginMsg : public CFieldMsg<CLoginMsg> {
 public:
  static constexpr wxInt32 kType = kLoginMsgType;

  CLoginMsg();

  bool login = true;
  wxString userName;
  wxString password;

  template <class Io, class Self>
  static bool Fields(Io& io, Self& m) {
    return io(m.login) && io(m.userName) && io(m.password);
  }

 private:
  wxDECLARE_DYNAMIC_CLASS(CLoginMsg);
};
