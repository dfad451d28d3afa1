#include "rs/RSComponent.h"

#include "rs/DataXMLSerializer.h"
#include "platform/FileIO.h"
#include "rs/RSCoreRenderer.h"
#include "rs/RSXml.h"

bool CRSComponent::SaveToFile(const wxString& dir) {
  CDataNode root;
  root.SetName(GetName());
  Save(root, 0);
  return CDataXMLSerializer(&root).SaveFile(CFileIO::JoinPath(dir, GetFileName()));
}

bool CRSComponent::LoadFromFile(const wxString& dir) {
  CDataNode root;
  if (!CDataXMLSerializer(&root).LoadFile(CFileIO::JoinPath(dir, GetFileName()))) return false;
  Reset();
  return Load(root, 0);
}

void CRSComponent::CopyFrom(const CRSComponent& other) {
  Inherited = other.Inherited;
  Disabled = other.Disabled;
}

wxString CRSComponent::GetName() const { return wxT("RSComponent"); }

bool CRSComponent::OnAttached() { return true; }

wxString CRSComponent::GetFileName() const { return wxString(); }

void CRSComponent::Delete() {
  const wxString file = GetFileName();
  if (!Owner || Owner->Path.empty() || file.empty()) return;
  CFileIO::Remove(CFileIO::JoinPath(Owner->Path, file));
}

bool CRSComponent::Attach(CRSCoreRenderer* owner) {
  if (!owner) return false;
  SetPool(owner->Pool);
  Owner = owner;
  return OnAttached();
}

bool CRSComponent::BelongsToVersion() const { return Owner && Owner->Upper; }

CRSCoreRenderer* CRSComponent::GetUpperOwner() const { return Owner ? Owner->Upper : nullptr; }

void CRSComponent::SaveCommon(CDataNode& node) const {
  rsxml::WriteBool(node, "Inherited", Inherited);
  if (Inherited) rsxml::WriteBool(node, "Disabled", Disabled);
}

void CRSComponent::LoadCommon(const CDataNode& node) {
  Inherited = rsxml::ReadBool(node, "Inherited", false);
  Disabled = Inherited ? rsxml::ReadBool(node, "Disabled", false) : false;
}
