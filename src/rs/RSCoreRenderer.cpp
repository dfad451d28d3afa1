#include "rs/RSCoreRenderer.h"

bool CRSCoreRenderer::Init(const wxString& path, CRSCoreRenderer* upper, uint32_t mask) {
  Path = path;
  Upper = upper;
  ComponentMask = mask;
  CRSComponent* const all[] = {&Parameters,    &CommandLine, &Executables, &ReturnCodes,
                               &OutputFilters, &Script,      &Template,    &Environment};
  m_components.clear();
  bool ok = true;
  for (size_t bit = 0; bit < 8; ++bit) {
    if ((mask & (1u << bit)) == 0) continue;
    m_components.push_back(all[bit]);
    if (!all[bit]->Attach(this)) ok = false;
  }
  return ok;
}

bool CRSCoreRenderer::HasCapabilities(int32_t mask) const { return (Capabilities & mask) == mask; }

void CRSCoreRenderer::Reset() {
  ComponentMask = 0xFFFF;
  Capabilities = 0;
  Parameters.Reset();
  CommandLine.Reset();
  Executables.Reset();
  ReturnCodes.Reset();
  OutputFilters.Reset();
  Script.Reset();
  Template.Reset();
  Environment.Reset();
}

void CRSCoreRenderer::SaveComponents(CDataNode& node, int mode) {
  for (CRSComponent* c : m_components) {
    c->Save(*node.AddChild(c->GetName()), mode);
  }
}

bool CRSCoreRenderer::LoadComponents(const CDataNode& node, int mode) {
  for (CRSComponent* c : m_components) {
    c->Reset();
    const CDataNode* child = node.FindChild(c->GetName());
    if (child && c->Load(*child, mode)) continue;
    if (c->Required) return false;
    c->Reset();
  }
  return true;
}

void CRSCoreRenderer::DeleteComponents() {
  for (CRSComponent* c : m_components) c->Delete();
}
