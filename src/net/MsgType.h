// The message types of the protocol: the one table of their numbers, each
// named after the class that reads it. A class takes its number from here
// (its kType), and the engine's registry pairs each number with its class;
// the classes of the net job packet and the render-system data belong to
// the layers above this one, which hand them in (CNetEngine::AddMessageClass).
// Numbers from 1024 up are the engine's own messages.
#pragma once

#include <wx/defs.h>

// X(name, number) for each message, where C<name> is the class that reads it
// and k<name>Type its enumerator below. A list rather than only an enum, so
// that what walks every type takes the numbers and the class names from here
// instead of restating them.
#define KF_NET_MSG_TYPES(X) \
  X(GenericMsg, 0)          \
  X(ChallengeMsg, 1)        \
  X(OppositeInfoMsg, 2)     \
  X(TextMsg, 3)             \
  X(LoginMsg, 7)            \
  X(UserData0Msg, 8)        \
  X(UserData1Msg, 9)        \
  X(NetJobPacketMsg, 14)    \
  X(ServerControlMsg, 15)   \
  X(RSDataMsg, 22)          \
  X(DataQueryMsg, 24)       \
  X(MsgAckMsg, 1024)        \
  X(RequestMsg, 1025)

// kGenericMsgType = 0, kChallengeMsgType = 1, ... kRequestMsgType = 1025.
enum NetMsgType : wxInt32 {
#define KF_NET_MSG_TYPE_ENUMERATOR(name, number) k##name##Type = number,
  KF_NET_MSG_TYPES(KF_NET_MSG_TYPE_ENUMERATOR)
#undef KF_NET_MSG_TYPE_ENUMERATOR
};
