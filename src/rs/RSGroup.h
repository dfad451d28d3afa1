// A renderer group of the pool: a name, a description, visibility, and the
// renderers that belong to it (the pool owns them).
#pragma once

#include "rs/RSObject.h"
#include "rs/RSRendererList.h"

class CRSGroup : public CRSObject {
 public:
  CRSGroup();
  // The group's renderers forget it.
  ~CRSGroup() override;

  void Save(CDataNode& node, int mode) override;
  // Fails on an invalid name or a failed nested renderer list; the renderers
  // the list loaded join the pool's renderers.
  bool Load(const CDataNode& node, int mode) override;
  void Reset() override;
  void OnPoolChanged() override { Renderers.SetPool(Pool); }

  CRSRendererList Renderers;
  wxString Name;
  wxString Description;
  bool Visible = false;
};
