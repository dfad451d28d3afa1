#include "rs/RSVersion.h"

#include "platform/FileIO.h"
#include "rs/RSRenderer.h"
#include "rs/RSXml.h"

#include <unordered_set>

using namespace rsxml;

void CRSVersion::Save(CDataNode& node, int mode) {
  WriteString(node, "Name", Name);
  WriteString(node, "Description", Description);
  WriteInt(node, "Capabilities", Capabilities);
  WriteBool(node, "DefaultVersion", DefaultVersion);
  WriteBool(node, "Visible", Visible);
  WriteString(node, "Parent", Renderer ? Renderer->Name : wxString());
  SaveComponents(node, mode);
  WriteString(node, "Uuid", Uuid);
}

bool CRSVersion::Load(const CDataNode& node, int mode) {
  ReadStringInto(node, "Name", &Name);
  ReadStringInto(node, "Description", &Description);
  Capabilities = ReadInt(node, "Capabilities", 0);
  DefaultVersion = ReadBool(node, "DefaultVersion", false);
  Visible = ReadBool(node, "Visible", false);
  if (!IsValidName(Name)) return false;
  if (mode != 0) {
    if (!LoadComponents(node, mode)) return false;
    LoadUuid(node);
  }
  return true;
}

void CRSVersion::Reset() {
  CRSCoreRenderer::Reset();
  Name.clear();
  Description.clear();
  DefaultVersion = false;
  Visible = false;
}

void CRSVersion::Delete() {
  DeleteComponents();
  if (!Path.empty()) CFileIO::RemoveDirIfEmpty(Path);
}

bool CRSVersion::HasCapabilities(int32_t mask) const {
  const int32_t missing = mask & ~Capabilities;
  if (missing == 0) return true;
  return Renderer && Renderer->HasCapabilities(missing);
}

wxString CRSVersion::GetID() const {
  if (!Renderer) return Name;
  return wxString::Format(wxT("%s/%s"), Renderer->Name, Name);
}

int32_t CRSVersion::GetCapabilities() const {
  return (Renderer ? Renderer->Capabilities : 0) | Capabilities;
}

void CRSVersion::GetEffectiveParameters(CRSParameterList& list) const {
  if (!Renderer) return;
  // The list only refers to parameters owned by this version and its renderer.
  list.Clear(true);
  list.OwnsItems = false;
  for (CRSParameter* p : Parameters) list.Add(p);

  const CRSParameterList& theirs = Renderer->Parameters;
  std::unordered_set<wxString, wxStringHash, wxStringEqual> disabled;
  for (size_t i = list.GetCount(); i-- > 0;) {
    CRSParameter* p = list.GetAt(i);
    if (!p->Inherited) continue;
    CRSParameter* source = theirs.FindByID(p->ID, false);
    list.Detach(p);
    if (p->Disabled) {
      disabled.insert(p->ID);
    } else if (source && !list.Contains(source)) {
      list.Insert(i, source);
    }
  }

  std::unordered_set<wxString, wxStringHash, wxStringEqual> present;
  for (const CRSParameter* p : list) present.insert(p->ID);
  size_t front = 0;
  for (CRSParameter* p : theirs) {
    if (present.count(p->ID) || disabled.count(p->ID)) continue;
    present.insert(p->ID);
    list.Insert(front++, p);
  }
}

void CRSVersion::DropUndefinedInherited() {
  Parameters.DropUndefinedInherited();
  CommandLine.DropUndefinedInherited();
  OutputFilters.DropUndefinedInherited();
}

int32_t CRSVersion::GetParameterCapabilities() const {
  CRSParameterList list(false);
  GetEffectiveParameters(list);
  int32_t caps = 0;
  if (list.Contains(wxT("outfile"))) caps |= kCapOutFile;
  if (list.Contains(wxT("outdir"))) caps |= kCapOutDir;
  if (list.Contains(wxT("projdir"))) caps |= kCapProjDir;
  if (const CRSParameter* camera = list.Contains(wxString(wxT("camera")))) {
    caps |= kCapCamera;
    if (camera->IsSplitting()) caps |= kCapCameraSplitting;
  }
  if (const CRSParameter* layer = list.Contains(wxString(wxT("layer")))) {
    caps |= kCapLayer;
    if (layer->IsSplitting()) caps |= kCapLayerSplitting;
  }
  if (list.Contains(wxT("frames"))) caps |= kCapFrames;
  if (list.Contains(wxT("fstep"))) caps |= kCapFrameStep;
  if (list.Contains(wxT("width")) && list.Contains(wxT("height"))) caps |= kCapImageSize;
  return caps;
}
