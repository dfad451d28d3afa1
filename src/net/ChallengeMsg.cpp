#include "net/ChallengeMsg.h"

wxIMPLEMENT_DYNAMIC_CLASS(CChallengeMsg, CGenericMsg);

const wxChar* const CChallengeMsg::kRemoteControllerId = wxT("Kilnforge.V2.RemoteController");

CChallengeMsg::CChallengeMsg() {
  SetType(kType);
  SetRaw(true);
}
