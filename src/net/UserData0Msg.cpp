#include "net/UserData0Msg.h"

#include "net/UserData.h"

wxIMPLEMENT_DYNAMIC_CLASS(CUserData0Msg, CGenericMsg);

CUserData0Msg::CUserData0Msg() { SetType(kType); }

void CUserData0Msg::ApplyTo(CUserData& data) const {
  data.SetTexts(text1, text2, flag);
  data.GetRights().Set(rights);
  data.SetPriorityLimit(priorityLimit);
  data.SetJobColour(jobColour);
}
