// The versions of one renderer, keyed by name and owned by the list.
#pragma once

#include "rs/RSArray.h"
#include "rs/RSVersion.h"

class CRSVersionList : public CRSArray<CRSVersion, wxString> {
 public:
  explicit CRSVersionList(CRSRenderer* owner = nullptr)
      : CRSArray<CRSVersion, wxString>("RendererVersion", "Name", true), Owner(owner) {}

  const wxString& GetKey(const CRSVersion* item) const override { return item->Name; }
  // A new version belongs to the owning renderer.
  bool OnItemAdded(CRSVersion* item) override;
  // Mode 0 rebuilds the list; mode 1 first drops the versions the incoming
  // data no longer names.
  bool Load(const CDataNode& node, int mode) override;

  // The first version marked as default, else the first version, else null.
  CRSVersion* GetDefaultVersion() const;
  CRSVersion* FindByName(const wxString& name) const { return FindByKey(name); }

  CRSRenderer* Owner;
};
