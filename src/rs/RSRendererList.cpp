#include "rs/RSRendererList.h"

#include "rs/RSGroup.h"
#include "rs/RSPool.h"

bool CRSRendererList::OnItemAdded(CRSRenderer* item) {
  const bool ok = item->Init(wxString(), nullptr, 0xFFFF);
  item->Versions.SetPool(item->Pool);
  item->Versions.Owner = item;
  if (OwnerGroup) item->SetLoadingGroup(OwnerGroup);
  return ok;
}

void CRSRendererList::OnItemRemoved(CRSRenderer* item) {
  if (OwnerGroup && item->Group == OwnerGroup) item->LeaveGroup();
}

bool CRSRendererList::Load(const CDataNode& node, int mode) {
  if (mode == 0) {
    if (OwnsItems) {
      Clear(true);
    } else {
      while (GetCount() > 0) RemoveAt(GetCount() - 1);
    }
  } else if (mode == 1) {
    RemoveItemsNotIn(node);
  }
  // A group's list matches incoming renderers the pool already holds, so that
  // a renderer moving between groups stays one renderer.
  if (OwnerGroup && Pool && mode != 0 && mode != 3) {
    for (const CDataNode* child : node.GetChildren()) {
      if (child->GetNameUTF8() != ItemElement) continue;
      const wxString name = ReadChildText(*child, KeyName);
      if (FindByKey(name)) continue;
      if (CRSRenderer* known = Pool->Renderers.FindByKey(name)) Add(known);
    }
  }
  return CRSArray<CRSRenderer, wxString>::Load(node, mode);
}
