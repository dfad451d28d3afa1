#include "net/UserData0Msg.h"

#include "net/MemoryStream.h"
#include "net/UserData.h"

wxIMPLEMENT_DYNAMIC_CLASS(CUserData0Msg, CGenericMsg);

CUserData0Msg::CUserData0Msg() { SetType(kType); }

void CUserData0Msg::ApplyTo(CUserData& data) const {
  data.SetTexts(text1, text2, flag);
  data.GetRights().Set(rights);
  data.SetPriorityLimit(priorityLimit);
  data.SetJobColour(jobColour);
}

bool CUserData0Msg::WriteBody(CMemoryStream& stream) {
  return stream.WriteString(text1) && stream.WriteString(text2) && stream.WriteBool(flag) &&
         stream.WriteUInt32(rights) && stream.WriteInt32(priorityLimit) &&
         stream.WriteUInt32(reserved) && stream.WriteUInt32(jobColour);
}

bool CUserData0Msg::ReadBody(CMemoryStream& stream) {
  ReadText(stream, text1) && ReadText(stream, text2) && stream.ReadBool(flag) &&
      stream.ReadUInt32(rights) && stream.ReadInt32(priorityLimit) &&
      stream.ReadUInt32(reserved) && stream.ReadUInt32(jobColour);
  return !IsOverLimit();
}
