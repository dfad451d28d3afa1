// The whole read of the renderer cache imports the groups as the file is
// parsed; whatever the file holds, the pool, the result and the error must
// be those of the document parsed whole and then imported.
#include <gtest/gtest.h>

#include <wx/init.h>

#include <string>

#include "../support/TempDir.h"
#include "platform/ReadOnlyFile.h"
#include "rs/DataXMLSerializer.h"
#include "rs/RSDataCommand.h"
#include "rs/RSDataImport.h"
#include "rs/RSPool.h"
#include "rs/RSSamplePool.h"

namespace {

struct Outcome {
  bool ok = false;
  wxString error;
  size_t renderers = 0;
  std::string saved;
  std::string contentText;
};

// `streamed`: read from the file as the run reads its cache; otherwise
// parsed whole from the bytes. A failed read leaves the pool empty, as the
// run resets it.
Outcome Import(const TempDir& temp, const std::string& bytes, bool streamed, size_t budget) {
  CRSPool pool;
  pool.Init(temp.Path());
  CRSDataImport import;
  bool ok = import.Bind(&pool);
  wxString error;
  if (streamed) {
    temp.Write("Renderers.kren", bytes);
    CReadOnlyFile file;
    ok = ok && file.Open(temp.Path("Renderers.kren")) &&
         import.ReadFile(file, wxT("cache"), CDataXMLSerializer::kMaxFileBytes, budget);
  } else {
    CDataXMLSerializer parser(&import.GetRoot());
    parser.SetTreeBudget(budget);
    ok = ok && parser.ParseUTF8(bytes);
    error = parser.GetError();
  }
  ok = ok && import.GetDocumentKind() == CRSDataCommand::kPool && import.Import();
  if (!ok) pool.Clear();
  CDataNode root;
  SavePoolDocument(pool, root);
  if (error.empty()) error = import.GetError();
  const CDataNode* content = import.GetRoot().FindChild("Content");
  return Outcome{ok, error, pool.Renderers.GetCount(), CDataXMLSerializer(&root).ToUTF8(),
                 content ? content->GetTextUTF8() : std::string()};
}

void ExpectSame(const TempDir& temp, const std::string& bytes, const std::string& what,
                size_t budget = CDataXMLSerializer::kMaxTreeBytes) {
  const Outcome whole = Import(temp, bytes, false, budget);
  const Outcome streamed = Import(temp, bytes, true, budget);
  EXPECT_EQ(whole.ok, streamed.ok) << what;
  EXPECT_EQ(whole.error, streamed.error) << what;
  EXPECT_EQ(whole.renderers, streamed.renderers) << what;
  EXPECT_TRUE(whole.saved == streamed.saved) << what;
  EXPECT_EQ(whole.contentText, streamed.contentText) << what;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// The text of the first "Name" from `from` on replaced by `name`.
std::string Renamed(std::string text, size_t from, const std::string& name) {
  const size_t begin = text.find("<Name>", from) + 6;
  text.replace(begin, text.find("</Name>", begin) - begin, name);
  return text;
}

}  // namespace

TEST(RSDataImportTest, TheStreamedImportIsTheWholeImportForEveryDocument) {
  wxInitializer init;
  TempDir temp;
  CRSPool sample;
  sample.Init(temp.Path());
  RSSampleSize size;
  size.renderers = 3;
  size.versionsPerRenderer = 1;
  size.parametersPerObject = 2;
  size.renderersPerGroup = 1;
  FillSamplePool(sample, size, 3);
  CDataNode root;
  SavePoolDocument(sample, root);
  const std::string pool = CDataXMLSerializer(&root).ToUTF8();
  ASSERT_TRUE(Import(temp, pool, true, CDataXMLSerializer::kMaxTreeBytes).ok);

  const size_t first = pool.find("<RendererGroup>");
  const size_t second = pool.find("<RendererGroup>", first + 1);
  const size_t third = pool.find("<RendererGroup>", second + 1);
  ASSERT_NE(third, std::string::npos);
  const size_t nameAt = pool.find("<Name>", first) + 6;
  const std::string firstName = pool.substr(nameAt, pool.find("</Name>", nameAt) - nameAt);
  const std::string documents[] = {
      pool,
      // The middle group fails to load, and with it the whole read.
      Renamed(pool, second, ".."),
      // The middle group has the first one's name and merges into it.
      Renamed(pool, second, firstName),
      // Not streamed: the kind after the content, or not a pool.
      Replaced(Replaced(pool, "<ContentType>Pool/1.0</ContentType>", ""), "</DataRoot>",
               "<ContentType>Pool/1.0</ContentType></DataRoot>"),
      Replaced(pool, "Pool/1.0", "Group/1.0"),
      // Text between the groups is read as if they were still there.
      Replaced(pool, "</RendererGroup>", "</RendererGroup>\n  text \n"),
      // A second content is not imported.
      Replaced(pool, "</DataRoot>",
               "<Content>" + Renamed(pool.substr(first, second - first), 0, "Extra") +
                   "</Content></DataRoot>"),
  };
  for (size_t d = 0; d < sizeof documents / sizeof documents[0]; ++d) {
    const std::string& doc = documents[d];
    const std::string name = "document " + std::to_string(d);
    // Every other cut is closed again, so that it may parse.
    for (size_t cut = 0; cut < doc.size(); cut += 499) {
      ExpectSame(temp, doc.substr(0, cut) + (cut % 2 ? "" : "</Content></DataRoot>"),
                 name + " cut at " + std::to_string(cut));
    }
    ExpectSame(temp, doc, name);
    // The budget counts what the groups took, though they are freed: this
    // one runs out in a later group.
    ExpectSame(temp, doc, name + " on a small budget", doc.size() * 3);
  }

  // A blank written "&nbsp;" that spans two pieces of the file, at every
  // place it can be cut.
  const size_t piece = 1u << 20;
  const std::string wide =
      Replaced(pool, "<Description>", "<Description>" + std::string(piece / 2, 'x') + "&nbsp;");
  for (size_t k = 1; k < 6; ++k) {
    std::string doc = wide;
    doc.insert(first, std::string(piece - k - (doc.find("x&nbsp;") + 1), ' '));
    ExpectSame(temp, doc, "a blank cut after " + std::to_string(k));
    EXPECT_TRUE(Import(temp, doc, true, CDataXMLSerializer::kMaxTreeBytes).ok);
  }
}
