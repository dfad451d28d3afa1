// The parameters of a renderer or version (its first component), the pool's
// built-in standard parameters, or a non-owning view such as a version's
// effective parameter list. Items are keyed by their ID.
#pragma once

#include "rs/RSArray.h"
#include "rs/RSComponent.h"
#include "rs/RSParameter.h"

class CRSParameterList : public CRSArray<CRSParameter, wxString>, public CRSComponent {
 public:
  explicit CRSParameterList(bool ownsItems = true);

  using CRSArray<CRSParameter, wxString>::Contains;

  const wxString& GetKey(const CRSParameter* item) const override { return item->ID; }
  bool OnItemAdded(CRSParameter* item) override;

  // A version's list drops, after the load, every inherited parameter that
  // the renderer does not define itself.
  bool Load(const CDataNode& node, int mode) override;
  // Drops from a version's list every inherited parameter that the renderer
  // does not define itself.
  void DropUndefinedInherited();
  void Reset() override { Clear(true); }
  void CopyFrom(const CRSComponent& other) override;
  wxString GetName() const override { return wxT("Parameters"); }
  wxString GetFileName() const override { return wxT("Parameters.xml"); }

  // A new parameter with the list's pool, inserted at `index` (-1 appends).
  CRSParameter* AddNew(int index = -1);
  // The first parameter with that ID whose Inherited flag equals `inherited`.
  CRSParameter* FindByID(const wxString& id, bool inherited) const;
  // The first parameter with that ID, or null.
  CRSParameter* Contains(const wxString& id) const { return FindByKey(id); }
};
