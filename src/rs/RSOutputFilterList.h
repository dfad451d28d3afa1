// The output filters of a renderer or version, keyed by their filter text.
#pragma once

#include "rs/RSArray.h"
#include "rs/RSComponent.h"
#include "rs/RSOutputFilter.h"

class CRSOutputFilterList : public CRSArray<CRSOutputFilter, wxString>, public CRSComponent {
 public:
  CRSOutputFilterList() : CRSArray<CRSOutputFilter, wxString>("OutputFilter", "Filter", true) {}

  const wxString& GetKey(const CRSOutputFilter* item) const override { return item->Filter; }
  bool OnItemAdded(CRSOutputFilter* item) override { return Owner ? item->Attach(Owner) : true; }
  // A version's list drops the inherited filters its renderer does not define.
  bool Load(const CDataNode& node, int mode) override;
  // Drops from a version's list the inherited filters its renderer does not
  // define.
  void DropUndefinedInherited();
  void Reset() override { Clear(true); }
  void CopyFrom(const CRSComponent& other) override;
  wxString GetName() const override { return wxT("OutputFilters"); }
  wxString GetFileName() const override { return wxT("OutputFilters.xml"); }
};
