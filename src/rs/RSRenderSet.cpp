#include "rs/RSRenderSet.h"

#include "platform/Utf8.h"
#include "rs/DataXMLSerializer.h"
#include "rs/RSParameterList.h"
#include "rs/RSVersion.h"
#include "rs/RSXml.h"

void CRSRenderSet::Save(CDataNode& node, int mode) {
  rsxml::WriteString(node, "Renderer", Renderer);
  CDataNode* values = node.AddChild("Values");
  for (const auto& entry : m_values) {
    entry.second->Save(*values->AddChild(ElementFromID(entry.first)), mode);
  }
}

bool CRSRenderSet::Load(const CDataNode& node, int mode) {
  if (mode == 1) Renderer = rsxml::ReadString(node, "Renderer");
  const CDataNode* values = node.FindChild("Values");
  if (!values) return false;
  for (const CDataNode* child : values->GetChildren()) {
    const wxString id = IDFromElement(child->GetName());
    if (mode == 2 && FindValue(id)) continue;
    GetOrAddValue(id)->Load(*child, mode);
  }
  return true;
}

void CRSRenderSet::SetRenderer(const CRSVersion& version) { Renderer = version.GetID(); }

CRSRenderSetValue* CRSRenderSet::FindValue(const wxString& id) const {
  auto it = m_values.find(id);
  return it == m_values.end() ? nullptr : it->second.get();
}

CRSRenderSetValue* CRSRenderSet::GetOrAddValue(const wxString& id) {
  std::unique_ptr<CRSRenderSetValue>& slot = m_values[id];
  if (!slot) {
    slot = std::make_unique<CRSRenderSetValue>(id);
    slot->SetPool(Pool);
  }
  return slot.get();
}

CRSRenderSetValue* CRSRenderSet::AddValue(const wxString& id) {
  CRSRenderSetValue* value = GetOrAddValue(id);
  value->Strings.clear();
  return value;
}

CRSRenderSetValue CRSRenderSet::GetValueCopy(const wxString& id) const {
  CRSRenderSetValue copy(id);
  if (const CRSRenderSetValue* value = FindValue(id)) copy.CopyFrom(*value);
  return copy;
}

bool CRSRenderSet::RemoveValue(const wxString& id) { return m_values.erase(id) > 0; }

void CRSRenderSet::Clear() { m_values.clear(); }

void CRSRenderSet::FillDefaults(const CRSVersion& version) {
  CRSParameterList effective(false);
  version.GetEffectiveParameters(effective);
  for (const CRSParameter* p : effective) {
    wxString def = utf8text::ToWx(p->DefaultValue);
    def.Trim(true).Trim(false);
    if (def.empty()) continue;
    const CRSRenderSetValue* value = FindValue(p->ID);
    if (value && !value->Strings.empty()) continue;
    CRSRenderSetValue* fresh = AddValue(p->ID);
    fresh->Strings.Add(def);
  }
}

bool CRSRenderSet::SaveToFile(const wxString& path, wxString* text) {
  CDataNode root;
  root.SetName(wxT("RenderSet"));
  Save(root, 1);
  CDataXMLSerializer serializer(&root);
  bool ok = true;
  if (!path.empty()) ok = serializer.SaveFile(path);
  if (text) *text = serializer.ToText();
  return ok;
}

std::string CRSRenderSet::ToUTF8() {
  CDataNode root;
  root.SetName(wxT("RenderSet"));
  Save(root, 1);
  return CDataXMLSerializer(&root).ToUTF8();
}

bool CRSRenderSet::LoadFromFile(const wxString& path, const wxString& text, bool merge) {
  CDataNode root;
  CDataXMLSerializer serializer(&root);
  const bool parsed =
      path.empty() ? serializer.ParseText(text) : serializer.LoadFile(path, kMaxFileBytes);
  if (!parsed) return false;
  if (!merge) Clear();
  return Load(root, merge ? 2 : 1);
}

wxString CRSRenderSet::ElementFromID(const wxString& id) {
  wxString element = id;
  element.Replace(wxT("#"), wxT("__Count__"));
  return element;
}

wxString CRSRenderSet::IDFromElement(const wxString& element) {
  wxString id = element;
  id.Replace(wxT("__Count__"), wxT("#"));
  return id;
}
