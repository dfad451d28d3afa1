#include "rs/RSOutputFilterList.h"

#include "rs/RSCoreRenderer.h"

bool CRSOutputFilterList::Load(const CDataNode& node, int mode) {
  if (!CRSArray<CRSOutputFilter, wxString>::Load(node, mode)) return false;
  DropUndefinedInherited();
  return true;
}

void CRSOutputFilterList::DropUndefinedInherited() {
  const CRSCoreRenderer* upper = GetUpperOwner();
  if (!upper) return;
  for (size_t i = GetCount(); i-- > 0;) {
    const CRSOutputFilter* f = GetAt(i);
    if (!f->Inherited) continue;
    bool defined = false;
    for (const CRSOutputFilter* theirs : upper->OutputFilters) {
      if (!theirs->Inherited && theirs->Filter == f->Filter) {
        defined = true;
        break;
      }
    }
    if (!defined) RemoveAt(i);
  }
}

void CRSOutputFilterList::CopyFrom(const CRSComponent& other) {
  CRSComponent::CopyFrom(other);
  const auto* list = dynamic_cast<const CRSOutputFilterList*>(&other);
  if (!list || list == this) return;
  Clear(true);
  for (const CRSOutputFilter* f : *list) {
    auto* copy = new CRSOutputFilter();
    copy->SetPool(Pool);
    OnItemAdded(copy);
    copy->CopyFrom(*f);
    Add(copy);
  }
}
