#include "rs/RSObject.h"

#include "platform/Utf8.h"

void CRSObject::Save(CDataNode& /*node*/, int /*mode*/) {}

bool CRSObject::Load(const CDataNode& /*node*/, int /*mode*/) { return true; }

void CRSObject::Delete() {}

void CRSObject::Reset() {}

void CRSObject::OnPoolChanged() {}

void CRSObject::SetPool(CRSPool* pool) {
  Pool = pool;
  OnPoolChanged();
}

void CRSObject::LoadUuid(const CDataNode& node) {
  if (KeepUuid) return;
  const CDataNode* child = node.FindChild("Uuid");
  if (child && !child->GetTextUTF8().empty()) utf8text::Assign(&Uuid, child->GetTextUTF8());
}

bool IsValidName(const wxString& name) {
  wxString rest = name;
  rest.Trim(true).Trim(false);
  wxString kept;
  kept.reserve(rest.length());
  for (wxUniChar c : rest) {
    switch (c.GetValue()) {
      case '/': case '\\': case ':': case '*': case '?': case '"': case '<': case '>':
        continue;
      default:
        kept += c;
    }
  }
  if (kept.empty() || kept == wxT(".") || kept == wxT("..")) return false;
  for (wxUniChar c : kept) {
    const auto v = c.GetValue();
    if ((v >= '0' && v <= '9') || (v >= 'a' && v <= 'z') || (v >= 'A' && v <= 'Z')) return true;
  }
  return false;
}
