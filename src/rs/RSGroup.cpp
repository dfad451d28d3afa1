#include "rs/RSGroup.h"

#include "rs/RSPool.h"
#include "rs/RSXml.h"

#include <vector>

using namespace rsxml;

CRSGroup::CRSGroup() : Renderers(false, this) {}

CRSGroup::~CRSGroup() {
  for (CRSRenderer* r : Renderers) {
    if (r->Group == this) r->ForgetGroup();
  }
  Renderers.Clear(false);
}

void CRSGroup::Save(CDataNode& node, int mode) {
  WriteString(node, "Name", Name);
  WriteString(node, "Description", Description);
  WriteBool(node, "Visible", Visible);
  if (mode == 0) return;
  WriteString(node, "Uuid", Uuid);
  if (mode != 3) Renderers.Save(*node.AddChild("Renderers"), mode);
}

bool CRSGroup::Load(const CDataNode& node, int mode) {
  ReadStringInto(node, "Name", &Name);
  ReadStringInto(node, "Description", &Description);
  Visible = ReadBool(node, "Visible", false);
  if (!IsValidName(Name)) return false;
  if (mode == 0) return true;
  LoadUuid(node);
  if (mode == 3) return true;
  const CDataNode* renderers = node.FindChild("Renderers");
  if (!renderers) return true;
  // Renderers live in the pool; without one they could not be kept.
  if (!Pool) return false;
  const bool ok = Renderers.Load(*renderers, mode);
  // Whatever the list loaded belongs to the pool, even after a failure; a
  // renderer whose data names another group has joined that one instead.
  const std::vector<CRSRenderer*> loaded(Renderers.begin(), Renderers.end());
  for (CRSRenderer* r : loaded) {
    Pool->Renderers.Add(r);
    if (r->Group != this) Renderers.Detach(r);
  }
  return ok;
}

void CRSGroup::Reset() {
  Name.clear();
  Description.clear();
  Visible = false;
}
