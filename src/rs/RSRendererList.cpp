#include "rs/RSRendererList.h"

#include "rs/RSGroup.h"
#include "rs/RSPool.h"

#include <map>
#include <utility>

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
  // A group's list also matches an incoming renderer the pool already holds
  // in the group the renderer's data names (a renderer listed under one group
  // that names another stays one renderer when loaded again); the same name
  // in two groups is two renderers.
  if (OwnerGroup && Pool && mode != 0 && mode != 3) {
    // By group name and renderer name, made at the first renderer this list
    // does not hold.
    std::map<std::pair<wxString, wxString>, CRSRenderer*> known;
    bool made = false;
    for (const CDataNode* child : node.GetChildren()) {
      if (child->GetNameUTF8() != ItemElement) continue;
      const wxString name = ReadChildText(*child, KeyName);
      if (FindByKey(name)) continue;
      if (!made) {
        for (CRSRenderer* r : Pool->Renderers) {
          if (r->Group) known.emplace(std::make_pair(r->Group->Name, r->Name), r);
        }
        made = true;
      }
      auto it = known.find(std::make_pair(ReadChildText(*child, "Group"), name));
      if (it != known.end()) Add(it->second);
    }
  }
  return CRSArray<CRSRenderer, wxString>::Load(node, mode);
}
