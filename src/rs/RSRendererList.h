// A list of renderers keyed by name: the pool's list owns every renderer of
// the pool; a group's list only refers to the renderers of that group.
#pragma once

#include "rs/RSArray.h"
#include "rs/RSRenderer.h"

class CRSGroup;

class CRSRendererList : public CRSArray<CRSRenderer, wxString> {
 public:
  // `group` is the group that holds a non-owning list, null for the pool's.
  explicit CRSRendererList(bool ownsItems, CRSGroup* group = nullptr)
      : CRSArray<CRSRenderer, wxString>("Renderer", "Name", ownsItems), OwnerGroup(group) {}

  const wxString& GetKey(const CRSRenderer* item) const override { return item->Name; }
  // Initialises a new renderer (empty path, no upper object, every component).
  bool OnItemAdded(CRSRenderer* item) override;
  // A renderer taken out of its group's list leaves the group.
  void OnItemRemoved(CRSRenderer* item) override;
  // Mode 0 rebuilds the list; mode 1 first drops the renderers the incoming
  // data no longer names.
  bool Load(const CDataNode& node, int mode) override;

  CRSRenderer* FindByName(const wxString& name) const { return FindByKey(name); }

  CRSGroup* OwnerGroup;
};
