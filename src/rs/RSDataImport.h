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
//
// A pool document read by ReadFile whose "ContentType" comes first has its
// groups loaded one by one as the parser completes them, each group's
// subtree freed at once, so that the whole tree of a large pool never
// exists; Import then finishes what the groups began. The pool, the result
// and the error are those of the same document parsed whole and imported.
#pragma once

#include "rs/DataXMLSerializer.h"
#include "rs/RSDataExchange.h"
#include "rs/RSGroupList.h"

#include <memory>
#include <unordered_set>

class CReadOnlyFile;

class CRSDataImport : public CRSDataExchange {
 public:
  CRSDataImport();
  ~CRSDataImport() override;

  // Reads the document from the open file as ParseUTF8 reads its bytes (see
  // CDataXMLSerializer::ParseFile); a pool document's groups move into the
  // bound pool meanwhile. After a failure the pool may hold some of them:
  // the caller resets it.
  bool ReadFile(CReadOnlyFile& file, const wxString& path,
                size_t maxBytes = CDataXMLSerializer::kMaxFileBytes,
                size_t treeBudget = CDataXMLSerializer::kMaxTreeBytes);

  // Imports the document into the bound pool. `keyed` tells that it came
  // from a keyed record (mode 0); such a document is read like any other.
  bool Import(bool keyed = false);
  // Announces a finished import ("CRSDataImport::evDataImported").
  void Complete();

 protected:
  bool Fail(const wxString& text);

 private:
  // Groups load one at a time, from the tree or as they are parsed: the
  // first failure stops the loading, and the renderers that new groups
  // loaded before it go again in EndGroups.
  void BeginGroups(int mode);
  void LoadGroup(const CDataNode& group);
  bool EndGroups();
  // Takes the elements of a pool document as the parser completes them.
  bool OnElement(const CDataNode& element, int depth);

  std::unique_ptr<CRSGroupList::Loader> m_groups;
  std::unordered_set<const CRSRenderer*> m_before;
  bool m_groupFailed = false;
  // Where the parse of ReadFile is in the document.
  int m_rootChildren = 0;
  bool m_contentEnded = false;
};

// The client's import.
class CRSDataImport_JS : public CRSDataImport {};
