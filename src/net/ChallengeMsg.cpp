#include "net/ChallengeMsg.h"

wxIMPLEMENT_DYNAMIC_CLASS(CChallengeMsg, CGenericMsg);

const wxChar* const CChallengeMsg::kRemoteControllerId = wxT("Kilnforge.V2.RemoteController");

CChallengeMsg::CChallengeMsg() {
  SetType(kType);
  SetRaw(true);
}

bool CChallengeMsg::WriteBody(CMemoryStream& stream) {
  return stream.WriteString(m_identifier) && stream.WriteInt32(m_version) &&
         stream.WriteString(m_updateInfo);
}

bool CChallengeMsg::ReadBody(CMemoryStream& stream) {
  stream.ReadString(m_identifier);
  stream.ReadInt32(m_version);
  stream.ReadString(m_updateInfo);
  return true;
}
