// Moves objects from an exchange document into the pool. The document's
// "Content" holds the objects in the form they write themselves:
//   Pool/1.0      one "RendererGroup" per group, each with its renderers,
//                 their components and versions (the renderer cache and the
//                 server's pool record have this form);
//   Group/1.0     "RendererGroup" elements, merged into the pool;
//   Renderer/1.0  "Renderer" elements (with their "Group"), merged;
//   Version/1.0   "RendererVersion" elements whose "Parent" names a renderer
//                 of the pool.
// Elements of other names are skipped. An object that does not load fails
// the import with the reason kept in GetError().
#pragma once

#include "rs/RSDataExchange.h"

class CRSDataImport : public CRSDataExchange {
 public:
  // Imports the document into the bound pool. `keyed` tells that it came
  // from a keyed record (mode 0); such a document is read like any other.
  bool Import(bool keyed = false);
  // Announces a finished import ("CRSDataImport::evDataImported").
  void Complete();

 protected:
  bool Fail(const wxString& text);
};

// The client's import.
class CRSDataImport_JS : public CRSDataImport {};
