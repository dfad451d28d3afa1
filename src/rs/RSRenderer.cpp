#include "rs/RSRenderer.h"

#include "platform/FileIO.h"
#include "rs/RSGroup.h"
#include "rs/RSPool.h"
#include "rs/RSXml.h"
#include "settings/Event.h"

using namespace rsxml;

CRSRenderer::CRSRenderer() : Versions(this) {}

CRSRenderer::~CRSRenderer() { LeaveGroup(); }

void CRSRenderer::Save(CDataNode& node, int mode) {
  WriteString(node, "Group", Group ? Group->Name : GroupName);
  WriteString(node, "Name", Name);
  WriteString(node, "Description", Description);
  WriteString(node, "FileMask", FileMask);
  WriteInt(node, "Capabilities", Capabilities);
  WriteBool(node, "Visible", Visible);
  if (mode == 0) return;
  SaveComponents(node, mode);
  WriteString(node, "Uuid", Uuid);
  if (mode != 3) Versions.Save(*node.AddChild("Versions"), mode);
}

bool CRSRenderer::Load(const CDataNode& node, int mode) {
  // The loading group only helps this one load.
  struct ClearHint {
    CRSGroup** hint;
    ~ClearHint() { *hint = nullptr; }
  } clearHint{&m_loadingGroup};
  ReadStringInto(node, "Group", &GroupName);
  ReadStringInto(node, "Name", &Name);
  ReadStringInto(node, "Description", &Description);
  ReadStringInto(node, "FileMask", &FileMask);
  Capabilities = ReadInt(node, "Capabilities", 0);
  Visible = ReadBool(node, "Visible", false);
  if (!IsValidName(Name)) return false;
  // A group name that no group may carry is taken like a missing one: the
  // renderer reads on and fails at the end. Made into a group, it would be
  // written to the cache as a group that can never be read back.
  const bool hasGroup = !GroupName.empty() && IsValidName(GroupName);
  if (hasGroup) SetGroup(GroupName);
  if (mode != 0) {
    const bool loaded = LoadComponents(node, mode);
    // A version that this load does not read again still holds what it
    // inherited from the components as they were. What the renderer no longer
    // defines goes now, as it would when the version is read next: the pool
    // stays one that its own export brings back unchanged.
    for (CRSVersion* version : Versions) version->DropUndefinedInherited();
    if (!loaded) return false;
    LoadUuid(node);
    if (mode != 3) {
      const CDataNode* versions = node.FindChild("Versions");
      if (versions && !Versions.Load(*versions, mode)) return false;
    }
  }
  return hasGroup;
}

void CRSRenderer::Reset() {
  CRSCoreRenderer::Reset();
  GroupName.clear();
  Name.clear();
  Description.clear();
  FileMask.clear();
  Visible = false;
}

void CRSRenderer::Delete() {
  DeleteComponents();
  LeaveGroup();
  for (CRSVersion* v : Versions) v->Delete();
  Versions.Clear(true);
  if (!Path.empty()) CFileIO::RemoveDirIfEmpty(Path);
}

void CRSRenderer::OnPoolChanged() { Versions.SetPool(Pool); }

void CRSRenderer::SetGroup(const wxString& name) {
  CRSGroup* group = nullptr;
  if (Group && Group->Name == name) {
    group = Group;
  } else if (m_loadingGroup && m_loadingGroup->Name == name) {
    group = m_loadingGroup;
  } else if (Pool) {
    group = Pool->Groups.FindByKey(name);
    if (!group) {
      group = new CRSGroup();
      group->SetPool(Pool);
      group->Name = name;
      group->Visible = true;
      Pool->Groups.Add(group);
    }
  }
  GroupName = name;
  if (group == Group) {
    if (group) group->Renderers.Add(this);
    return;
  }
  LeaveGroup();
  if (!group) return;
  Group = group;
  group->Renderers.Add(this);
  Subscribe(kEvGroupDeleted, [this](UEvent& event) { return OnGroupDeleted(event); }, group);
}

void CRSRenderer::LeaveGroup() {
  CRSGroup* group = Group;
  if (!group) return;
  ForgetGroup();
  group->Renderers.Detach(this);
}

void CRSRenderer::ForgetGroup() {
  if (!Group) return;
  Group = nullptr;
  Unsubscribe(kEvGroupDeleted);
}

uint32_t CRSRenderer::OnGroupDeleted(UEvent& /*event*/) {
  // The group still exists while its deletion is announced: leave its list
  // too, so that it never holds a renderer that no longer points back at it
  // (and that may be deleted before it).
  LeaveGroup();
  return 0;
}
