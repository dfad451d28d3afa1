// The client's copy of the renderer definitions: renderer groups, every
// renderer (each with its versions) and the built-in standard parameters,
// kept in the pool directory. "Pool.xml" there records the data stamp of the
// server data the pool was last filled from.
#pragma once

#include "rs/RSGroupList.h"
#include "rs/RSParameterList.h"
#include "rs/RSRendererList.h"
#include "settings/EventObject.h"

#include <wx/object.h>
#include <wx/string.h>

class CRSVersion;

class CRSPool : public wxObject, public CEventObject {
 public:
  CRSPool();
  ~CRSPool() override;
  CRSPool(const CRSPool&) = delete;
  CRSPool& operator=(const CRSPool&) = delete;

  // Stores the pool directory, hands the pool to its lists and creates the
  // standard parameters. Always true.
  bool Init(const wxString& path);

  // Writes "Pool.xml" in the pool directory (created when missing).
  bool SaveIndex();
  // Reads "Pool.xml"; false when it is missing or cannot be parsed.
  bool LoadIndex();

  // The version "Renderer/Version" (both parts trimmed), or null.
  CRSVersion* FindVersion(const wxString& id) const;

  // Removes every group and renderer; the standard parameters and the
  // update index stay.
  void Clear();

  int UpdateIndex = -1;
  CRSGroupList Groups;
  CRSRendererList Renderers;
  CRSParameterList StandardParameters;
  wxString Path;
};
