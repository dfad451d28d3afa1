// The data tree and what is built on it: the fuzzer's bytes parsed as an XML
// document, then read as a render set and as renderer definitions (an
// exchange document imported into a pool, renderer and group lists), and the
// pool shown by the listing commands. What the program writes it must read
// back unchanged: the tree's XML text, a render set, an exported pool. The
// plain scanner must read every document as the full parser alone does.
#include "FuzzSupport.h"

#include "app/KfJsCore.h"
#include "app/ListCommands.h"
#include "platform/Utf8.h"
#include "rs/DataXMLSerializer.h"
#include "rs/RSDataExport.h"
#include "rs/RSDataImport.h"
#include "rs/RSPool.h"
#include "rs/RSRenderSet.h"
#include "rs/RSRenderer.h"
#include "rs/RSVersion.h"

#include <cstring>
#include <string>

namespace {

// The reader undoes the writer's replacements once more after the XML parser
// has resolved its entities, so a value that itself holds such a replacement
// ("&amp;" as text) reads back shorter: the format cannot carry it, and only
// trees without one must come back unchanged. In written text such a value
// shows as "&amp;" followed by the rest of a replacement.
bool HoldsReplacementText(const std::string& written) {
  static const char* const kRests[] = {"amp;", "apos;", "lt;", "gt;", "quot;", "nbsp;", "#"};
  for (size_t at = written.find("&amp;"); at != std::string::npos;
       at = written.find("&amp;", at + 1)) {
    for (const char* rest : kRests) {
      if (written.compare(at + 5, std::strlen(rest), rest) == 0) return true;
    }
  }
  return false;
}

void CheckTree(CDataNode& root) {
  const std::string text = CDataXMLSerializer(&root).ToUTF8();
  if (HoldsReplacementText(text)) return;
  CDataNode again;
  if (!CDataXMLSerializer(&again).ParseUTF8(text))
    kffuzz::Fail("the tree's own XML does not parse");
  if (CDataXMLSerializer(&again).ToUTF8() != text)
    kffuzz::Fail("a tree changes when written and read");
}

void CheckRenderSet(const CDataNode& root) {
  CRSRenderSet set;
  set.Load(root, 1);
  set.Load(root, 2);
  wxString text;
  set.SaveToFile(wxString(), &text);
  CRSRenderSet again;
  if (!again.LoadFromFile(wxString(), text))
    kffuzz::Fail("a written render set does not read back");
  wxString second;
  again.SaveToFile(wxString(), &second);
  if (second != text) kffuzz::Fail("a render set changes when written and read");
}

wxString Export(CRSPool& pool) {
  CRSDataExport exporter;
  if (!exporter.Bind(&pool) || !exporter.ExportPool()) kffuzz::Fail("a pool cannot be exported");
  return exporter.ToText();
}

void CheckPool(const std::string& text, const CDataNode& root) {
  CRSPool pool;
  pool.Init(wxT("/nonexistent/kf-fuzz-pool"));
  CRSDataImport importer;
  importer.Bind(&pool);
  if (importer.ParseText(utf8text::ToWx(text))) importer.Import();
  pool.Renderers.Load(root, 2);
  pool.Groups.Load(root, 2);

  // An exported pool imports into the same pool.
  const wxString exported = Export(pool);
  CRSPool copy;
  copy.Init(wxT("/nonexistent/kf-fuzz-pool"));
  CRSDataImport reimport;
  reimport.Bind(&copy);
  if (!reimport.ParseText(exported) || !reimport.Import())
    kffuzz::Fail("an exported pool does not import");
  if (Export(copy) != exported && !HoldsReplacementText(utf8text::From(exported)))
    kffuzz::Fail("a pool changes when exported and imported");

  CListCommands lists(kffuzz::SilentCore(), false, true);
  lists.ListRenderers(pool, wxString(), false);
  lists.ListRenderers(pool, wxString(), true);
  CListCommands compact(kffuzz::SilentCore(), true, false);
  compact.ListRenderers(pool, wxString(), false);
  CRSRenderSet set;
  for (size_t r = 0; r < pool.Renderers.GetCount(); ++r) {
    CRSRenderer* renderer = pool.Renderers.GetAt(r);
    lists.ListParams(pool, renderer->Name);
    for (size_t v = 0; v < renderer->Versions.GetCount(); ++v) {
      CRSVersion* version = renderer->Versions.GetAt(v);
      lists.ListParams(pool, version->GetID());
      set.Load(root, 1);
      set.FillDefaults(*version);
    }
  }
}

bool SameTree(const CDataNode& a, const CDataNode& b) {
  if (a.GetNameUTF8() != b.GetNameUTF8() || a.GetValue().GetCount() != b.GetValue().GetCount() ||
      a.GetChildCount() != b.GetChildCount()) {
    return false;
  }
  for (size_t i = 0; i < a.GetValue().GetCount(); ++i) {
    if (a.GetValue().GetAtUTF8(i) != b.GetValue().GetAtUTF8(i)) return false;
  }
  auto other = b.GetChildren().begin();
  for (const CDataNode* child : a.GetChildren()) {
    if (!SameTree(*child, **other++)) return false;
  }
  return true;
}

// The plain scanner and the full parser read every document alike: the same
// outcome, the same error text, the same tree.
void CheckReaders(const std::string& text, bool ok, const wxString& error, const CDataNode& root) {
  CDataNode full;
  CDataXMLSerializer parser(&full);
  parser.SetFullParserOnly(true);
  if (parser.ParseUTF8(text) != ok || parser.GetError() != error)
    kffuzz::Fail("the plain scanner and the full parser disagree on a document");
  if (ok && !SameTree(root, full)) kffuzz::Fail("the plain scanner builds another tree");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kffuzz::Init();
  kffuzz::SilentCore();
  const std::string text(reinterpret_cast<const char*>(data), size);
  CDataNode root;
  CDataXMLSerializer serializer(&root);
  const bool parsed = serializer.ParseUTF8(text);
  CheckReaders(text, parsed, serializer.GetError(), root);
  if (!parsed) return 0;
  CheckTree(root);
  CheckRenderSet(root);
  CheckPool(text, root);
  return 0;
}
