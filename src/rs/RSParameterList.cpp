#include "rs/RSParameterList.h"

#include "rs/RSCoreRenderer.h"

CRSParameterList::CRSParameterList(bool ownsItems)
    : CRSArray<CRSParameter, wxString>("Parameter", "ID", ownsItems), CRSComponent(true) {}

bool CRSParameterList::OnItemAdded(CRSParameter* item) {
  return Owner ? item->Attach(Owner) : true;
}

bool CRSParameterList::Load(const CDataNode& node, int mode) {
  if (!CRSArray<CRSParameter, wxString>::Load(node, mode)) return false;
  DropUndefinedInherited();
  return true;
}

void CRSParameterList::DropUndefinedInherited() {
  const CRSCoreRenderer* upper = GetUpperOwner();
  if (!upper) return;
  for (size_t i = GetCount(); i-- > 0;) {
    const CRSParameter* p = GetAt(i);
    if (p->Inherited && !upper->Parameters.FindByID(p->ID, false)) RemoveAt(i);
  }
}

void CRSParameterList::CopyFrom(const CRSComponent& other) {
  CRSComponent::CopyFrom(other);
  const auto* list = dynamic_cast<const CRSParameterList*>(&other);
  if (!list || list == this) return;
  Clear(true);
  if (!OwnsItems) {
    for (CRSParameter* p : *list) Add(p);
    return;
  }
  for (const CRSParameter* p : *list) {
    CRSParameter* copy = AddNew();
    copy->CopyFrom(*p);
  }
}

CRSParameter* CRSParameterList::AddNew(int index) {
  auto* item = new CRSParameter();
  item->SetPool(Pool);
  Insert(index < 0 ? GetCount() : static_cast<size_t>(index), item);
  OnItemAdded(item);
  return item;
}

CRSParameter* CRSParameterList::FindByID(const wxString& id, bool inherited) const {
  for (CRSParameter* p : *this) {
    if (p->Inherited == inherited && p->ID == id) return p;
  }
  return nullptr;
}
