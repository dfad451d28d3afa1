// A control verb for one object on the server (type 15): a net job, a chunk
// of a net job, a client pool, or a command line to run on a render client
// or on every client of a pool. The server acknowledges it with result 1, or
// refuses it with 0 and a text the user is shown.
#pragma once

#include "net/FieldMsg.h"

class CServerControlMsg : public CFieldMsg<CServerControlMsg> {
 public:
  static constexpr wxInt32 kType = kServerControlMsgType;

  // What the target names.
  enum Kind : wxUint16 { kNone = 0, kClient = 1, kPool = 2, kNetJob = 3, kChunk = 5 };

  CServerControlMsg() { SetType(kType); }

  template <class Io, class Self>
  static bool Fields(Io& io, Self& m) {
    return io(m.kind) && io(m.target) && io(m.code) && io(m.number) && io(m.argument);
  }

  wxUint16 kind = kNone;
  // A client name, a pool identifier or a net job ID in decimal.
  wxString target;
  // The verb's code.
  wxUint16 code = 0;
  // 0 for a control verb; 1 runs a command only on idle clients.
  wxUint32 number = 0;
  // Empty, "chunk|" for a chunk, or "command\narguments" for a command line.
  wxString argument;

 private:
  wxDECLARE_DYNAMIC_CLASS(CServerControlMsg);
};
