#include "rs/RSEnvironment.h"

void CRSEnvironment::CopyFrom(const CRSComponent& other) {
  CRSComponent::CopyFrom(other);
  const auto* list = dynamic_cast<const CRSEnvironment*>(&other);
  if (!list || list == this) return;
  Clear(true);
  for (const CRSEnvVariable* v : *list) {
    auto* copy = new CRSEnvVariable();
    copy->SetPool(Pool);
    OnItemAdded(copy);
    copy->CopyFrom(*v);
    Add(copy);
  }
}
