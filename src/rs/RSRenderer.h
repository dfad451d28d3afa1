// A renderer: its name, group, file mask, its eight components and its
// versions. A renderer belongs to one group of the pool, found or created by
// name, and forgets the group when the group is deleted.
#pragma once

#include "rs/RSCoreRenderer.h"
#include "rs/RSVersionList.h"

#include <cstdint>

class CRSGroup;
class UEvent;

class CRSRenderer : public CRSCoreRenderer {
 public:
  CRSRenderer();
  ~CRSRenderer() override;

  void Save(CDataNode& node, int mode) override;
  // Fails on an invalid name at once, and at the end when "Group" is empty.
  bool Load(const CDataNode& node, int mode) override;
  void Reset() override;
  // Deletes the component files, leaves the group, deletes the versions and
  // removes the renderer's directory when it is empty.
  void Delete() override;
  void OnPoolChanged() override;

  // Joins the group of that name in the pool, creating it (visible, at the
  // end of the pool's groups) when there is none, and leaves the previous one.
  void SetGroup(const wxString& name);
  // Leaves the current group.
  void LeaveGroup();

  // The group being loaded whose renderer list created this renderer: it is
  // not in the pool's group list before its load ends.
  void SetLoadingGroup(CRSGroup* group) { m_loadingGroup = group; }

  CRSGroup* Group = nullptr;
  wxString GroupName;
  wxString Name;
  wxString Description;
  wxString FileMask;
  bool Visible = false;
  CRSVersionList Versions;

 private:
  friend class CRSGroup;
  // The group is going away: drop the pointer without touching the group.
  void ForgetGroup();
  uint32_t OnGroupDeleted(UEvent& event);

  CRSGroup* m_loadingGroup = nullptr;
};
