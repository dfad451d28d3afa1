#include "rs/RSSwitchList.h"

void CRSSwitchList::CopyFrom(const CRSComponent& other) {
  CRSComponent::CopyFrom(other);
  const auto* list = dynamic_cast<const CRSSwitchList*>(&other);
  if (!list || list == this) return;
  Clear(true);
  for (const CRSSwitch* s : *list) {
    auto* copy = new CRSSwitch();
    copy->SetPool(Pool);
    OnItemAdded(copy);
    copy->CopyFrom(*s);
    Add(copy);
  }
}
