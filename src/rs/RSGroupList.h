// The renderer groups of the pool, keyed by name and owned by the list.
#pragma once

#include "rs/RSArray.h"
#include "rs/RSGroup.h"

class CRSGroupList : public CRSArray<CRSGroup, wxString> {
 public:
  CRSGroupList() : CRSArray<CRSGroup, wxString>("RendererGroup", "Name", true) {}

  const wxString& GetKey(const CRSGroup* item) const override { return item->Name; }
  CRSGroup* FindByName(const wxString& name) const { return FindByKey(name); }
};
