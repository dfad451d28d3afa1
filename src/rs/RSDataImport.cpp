#include "rs/RSDataImport.h"

#include "rs/RSDataCommand.h"
#include "rs/RSPool.h"
#include "rs/RSRenderer.h"
#include "settings/Event.h"

#include <unordered_set>
#include <vector>

bool CRSDataImport::Fail(const wxString& text) {
  m_error = text;
  return false;
}

bool CRSDataImport::Import(bool keyed) {
  if (m_pool == nullptr) return Fail(wxT("no renderer pool to import into"));
  if (m_root.GetName() != wxT("DataRoot")) {
    return Fail(wxString::Format(wxT("unexpected document element \"%s\""), m_root.GetName()));
  }
  const wxInt32 kind = GetDocumentKind();
  const CDataNode* content = m_root.FindChild("Content");
  if (content == nullptr) return Fail(wxT("the document has no content"));
  // Mode 1 for a whole pool: what the document no longer holds is dropped.
  // Mode 2 for single objects: merged by name into what the pool has.
  const int mode = kind == CRSDataCommand::kPool ? 1 : 2;
  bool ok = true;
  switch (kind) {
    case CRSDataCommand::kPool:
    case CRSDataCommand::kGroup: {
      const std::unordered_set<const CRSRenderer*> before(m_pool->Renderers.begin(),
                                                          m_pool->Renderers.end());
      ok = m_pool->Groups.Load(*content, mode);
      // A new group that failed is deleted again; the renderers it loaded
      // before the failure are left without a group and go with it, so that
      // the pool holds what the listings and the cache show.
      if (!ok) {
        std::vector<CRSRenderer*> orphans;
        for (CRSRenderer* r : m_pool->Renderers) {
          if (r->Group == nullptr && before.count(r) == 0) orphans.push_back(r);
        }
        for (CRSRenderer* r : orphans) {
          m_pool->Renderers.Detach(r);
          delete r;
        }
      }
      break;
    }
    case CRSDataCommand::kRenderer:
      ok = m_pool->Renderers.Load(*content, mode);
      break;
    case CRSDataCommand::kVersion: {
      // Every version names the renderer it belongs to.
      CDataNodeList versions(false);
      content->CollectChildren("RendererVersion", &versions);
      wxString parent;
      for (const CDataNode* v : versions) {
        const CDataNode* p = v->FindChild("Parent");
        const wxString name = p ? p->GetText() : wxString();
        if (parent.empty()) parent = name;
        if (name.empty() || name != parent)
          return Fail(wxT("versions of one record must name one parent renderer"));
      }
      if (versions.GetCount() == 0) break;
      CRSRenderer* renderer = m_pool->Renderers.FindByKey(parent);
      if (renderer == nullptr)
        return Fail(wxString::Format(wxT("no renderer \"%s\" for its versions"), parent));
      ok = renderer->Versions.Load(*content, mode);
      break;
    }
    default:
      return Fail(wxT("unknown content type"));
  }
  (void)keyed;
  if (!ok) return Fail(wxT("the renderer definitions could not be read"));
  return true;
}

void CRSDataImport::Complete() {
  UEvent event(kEvDataImported, this);
  event.Raise();
}
