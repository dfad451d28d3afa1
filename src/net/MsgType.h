// The message types of the protocol: the one table of their numbers, each
// named after the class that reads it. A class takes its number from here
// (its kType), and the engine's registry pairs each number with its class;
// the classes of the net job packet and the render-system data belong to
// the layers above this one, which hand them in (CNetEngine::AddMessageClass).
// Numbers from 1024 up are the engine's own messages.
#pragma once

#include <wx/defs.h>

enum NetMsgType : wxInt32 {
  kGenericMsgType = 0,
  kChallengeMsgType = 1,
  kOppositeInfoMsgType = 2,
  kTextMsgType = 3,
  kLoginMsgType = 7,
  kUserData0MsgType = 8,
  kUserData1MsgType = 9,
  kNetJobPacketMsgType = 14,
  kServerControlMsgType = 15,
  kRSDataMsgType = 22,
  kDataQueryMsgType = 24,
  kMsgAckMsgType = 1024,
  kRequestMsgType = 1025,
};
