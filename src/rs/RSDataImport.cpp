#include "rs/RSDataImport.h"

#include "platform/ReadOnlyFile.h"
#include "rs/RSDataCommand.h"
#include "rs/RSPool.h"
#include "rs/RSRenderer.h"
#include "settings/Event.h"

#include <vector>

namespace {

// The levels of a pool document the parser hands over: the root's children
// ("ContentType", "Content") and the children of "Content" (the groups).
constexpr int kRootChildDepth = 1;
constexpr int kGroupDepth = 2;
// How objects load: a whole pool drops what the document no longer holds,
// single objects are merged by name into what the pool has.
constexpr int kPoolMode = 1;
constexpr int kMergeMode = 2;

}  // namespace

CRSDataImport::CRSDataImport() = default;
CRSDataImport::~CRSDataImport() = default;

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
  const int mode = kind == CRSDataCommand::kPool ? kPoolMode : kMergeMode;
  bool ok = true;
  switch (kind) {
    case CRSDataCommand::kPool:
    case CRSDataCommand::kGroup: {
      // The groups read so far were loaded as they were parsed.
      if (!m_groups) BeginGroups(mode);
      for (const CDataNode* child : content->GetChildren()) {
        if (child->GetNameUTF8() == m_pool->Groups.ItemElement) LoadGroup(*child);
      }
      ok = EndGroups();
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

void CRSDataImport::BeginGroups(int mode) {
  m_before.clear();
  m_before.insert(m_pool->Renderers.begin(), m_pool->Renderers.end());
  m_groups = std::make_unique<CRSGroupList::Loader>(m_pool->Groups, mode);
  m_groupFailed = false;
}

void CRSDataImport::LoadGroup(const CDataNode& group) {
  if (!m_groupFailed && !m_groups->LoadItem(group)) m_groupFailed = true;
}

bool CRSDataImport::EndGroups() {
  m_groups.reset();
  if (!m_groupFailed) return true;
  // A new group that failed is deleted again; the renderers it loaded
  // before the failure are left without a group and go with it, so that
  // the pool holds what the listings and the cache show.
  std::vector<CRSRenderer*> orphans;
  for (CRSRenderer* r : m_pool->Renderers) {
    if (r->Group == nullptr && m_before.count(r) == 0) orphans.push_back(r);
  }
  for (CRSRenderer* r : orphans) {
    m_pool->Renderers.Detach(r);
    delete r;
  }
  return false;
}

bool CRSDataImport::ReadFile(CReadOnlyFile& file, const wxString& path, size_t maxBytes,
                             size_t treeBudget) {
  m_groups.reset();
  m_rootChildren = 0;
  m_contentEnded = false;
  CDataXMLSerializer serializer(&m_root);
  serializer.SetTreeBudget(treeBudget);
  serializer.SetElementHandler(
      [this](const CDataNode& element, int depth) { return OnElement(element, depth); },
      kGroupDepth);
  return serializer.ParseFile(file, path, maxBytes) || ParseFailed(serializer);
}

bool CRSDataImport::OnElement(const CDataNode& element, int depth) {
  const std::string& name = element.GetNameUTF8();
  if (depth == kRootChildDepth) {
    // Only a pool document that tells so first streams: whatever else the
    // document is, it is built whole and imported as ever.
    if (++m_rootChildren == 1 && m_pool != nullptr && name == "ContentType" &&
        element.GetParent()->GetNameUTF8() == "DataRoot" &&
        KindOfType(element) == CRSDataCommand::kPool) {
      BeginGroups(kPoolMode);
    }
    // Only the first "Content" is imported.
    if (name == "Content") m_contentEnded = true;
    return false;
  }
  if (!m_groups || m_contentEnded || name != m_pool->Groups.ItemElement ||
      element.GetParent()->GetNameUTF8() != "Content") {
    return false;
  }
  LoadGroup(element);
  return true;
}

void CRSDataImport::Complete() {
  UEvent event(kEvDataImported, this);
  event.Raise();
}
