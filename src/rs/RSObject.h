// Common base of the render-system objects: an identity that survives
// renames, the pool the object belongs to, and the operations every object
// offers: Save/Load into a data-tree element, Delete (its data on disk) and
// Reset. The `mode` of Save and Load is passed down unchanged:
//   0      own attributes only; a list load rebuilds the list;
//   3      own attributes and "Uuid", no nested lists; lists match items by "Uuid";
//   other  everything; lists match items by their key child, and 1 also drops
//          renderers and versions that the incoming data no longer holds.
#pragma once

#include "rs/DataNode.h"
#include "settings/EventObject.h"

#include <wx/object.h>
#include <wx/string.h>

class CRSPool;

class CRSObject : public wxObject, public CEventObject {
 public:
  CRSObject() = default;
  ~CRSObject() override = default;
  CRSObject(const CRSObject&) = default;
  CRSObject& operator=(const CRSObject&) = default;

  // Writes the object as children of `node`.
  virtual void Save(CDataNode& node, int mode);
  // Reads the object from `node`; false when the data is not acceptable.
  virtual bool Load(const CDataNode& node, int mode);
  // Removes the object's data from disk.
  virtual void Delete();
  // Back to the empty state.
  virtual void Reset();
  // Called after SetPool.
  virtual void OnPoolChanged();

  CRSPool* GetPool() const { return Pool; }
  void SetPool(CRSPool* pool);

  // Reads "Uuid" unless KeepUuid is set; an empty or missing value leaves the
  // identifier as it is.
  void LoadUuid(const CDataNode& node);

  wxString Uuid;
  bool KeepUuid = false;
  CRSPool* Pool = nullptr;
};

// A group, renderer or version name is valid when, trimmed and without the
// characters / \ : * ? " < >, it is neither empty nor "." or ".." and holds an
// ASCII letter or digit.
bool IsValidName(const wxString& name);
