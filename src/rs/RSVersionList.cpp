#include "rs/RSVersionList.h"

#include "rs/RSRenderer.h"

bool CRSVersionList::OnItemAdded(CRSVersion* item) {
  item->Renderer = Owner;
  return item->Init(wxString(), Owner, 0xFFFF);
}

bool CRSVersionList::Load(const CDataNode& node, int mode) {
  if (mode == 0) {
    Clear(true);
  } else if (mode == 1) {
    RemoveItemsNotIn(node);
  }
  return CRSArray<CRSVersion, wxString>::Load(node, mode);
}

CRSVersion* CRSVersionList::GetDefaultVersion() const {
  for (CRSVersion* v : *this) {
    if (v->DefaultVersion) return v;
  }
  return GetAt(0);
}
