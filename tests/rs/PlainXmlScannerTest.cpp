#include "rs/PlainXmlScanner.h"
#include "rs/DataXMLSerializer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// The tree in full: names, every text of every value, children.
void Dump(const CDataNode& node, std::string* out) {
  out->append(node.GetNameUTF8());
  for (size_t i = 0; i < node.GetValue().GetCount(); ++i) {
    out->append("{" + node.GetValue().GetAtUTF8(i) + "}");
  }
  out->push_back('[');
  for (const CDataNode* child : node.GetChildren()) Dump(*child, out);
  out->push_back(']');
}

// What a reader made of a document: success, the error text, the tree.
std::string Read(const std::string& document, bool fullParserOnly, size_t budget) {
  CDataNode root;
  CDataXMLSerializer serializer(&root);
  serializer.SetFullParserOnly(fullParserOnly);
  serializer.SetTreeBudget(budget);
  std::string outcome = serializer.ParseUTF8(document) ? "ok " : "failed ";
  outcome += serializer.GetError().utf8_string() + " ";
  Dump(root, &outcome);
  return outcome;
}

void ExpectSameAsFullParser(const std::string& document,
                            size_t budget = CDataXMLSerializer::kMaxTreeBytes) {
  EXPECT_EQ(Read(document, false, budget), Read(document, true, budget)) << document;
}

TEST(PlainXmlScannerTest, DocumentsReadAsTheFullParserReadsThem) {
  const char* documents[] = {
      // The writer's own form, and what it may hold.
      "<A>x\n\t<B>1</B>\n\t<C></C>\n</A>\n",
      "<A>&amp;&lt;&gt;&quot;&apos;&nbsp;&#196;&#x41;&#1114111;\\n\\\\</A>",
      "<A>\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBF\xBD</A>",
      "<a.b-c_1><_/><Z9/></a.b-c_1>\n\t \n",
      "<A> \n\t<B> x </B>\t\n y \n</A>",
      // Markup the plain form does not hold.
      "<A>a\r\nb\rc</A>\r\n",
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<A>x</A>",
      "\xEF\xBB\xBF<A>x</A>",
      "<A>x<!-- c -->y<?pi z?><![CDATA[w]]>v</A><!-- after -->",
      "<A x='1'><B\ty=\"2\"/></A>",
      "<A >x</A >",
      "<A>a>b]]>c</A>",
      "<A&nbsp;>x</A>",
      "<A>\x7F\x01</A>",
      "<!DOCTYPE A [<!ENTITY e \"v\">]><A>&e;</A>",
      // Faults, whose text and line must be the full parser's.
      "<A>\n\t<B>x</C>\n</A>",
      "<A>\n\n&unknown;</A>",
      "<A>\n&#0;&#xD800;&#65534;</A>",
      "<A>&#12345678901;</A>",
      "<A>\n\t<B>\xC3</B></A>",
      "<A>\xE0\x80\x80\xED\xA0\x80\xEF\xBF\xBE\xF4\x90\x80\x80\xFF</A>",
      "<A></A>\n<B></B>",
      "<A></A>\njunk",
      "text<A/>",
      "<A>\n\t<B>x</B>\n",
      "<A>\n\t<B",
      "<A>&am",
      "",
      "\n\n",
      "<1A></1A>",
      "<></>",
      "</A>",
      "<A/",
  };
  for (const char* document : documents) ExpectSameAsFullParser(document);

  // Long names and deep nesting take the full parser's way at their limits.
  const std::string name(CPlainXmlScanner::kMaxTagBytes + 10, 'n');
  ExpectSameAsFullParser("<A><" + name + ">x</" + name + "></A>");
  std::string deep;
  for (int i = 0; i < CDataXMLSerializer::kMaxDepth + 1; ++i) deep += "<a>";
  ExpectSameAsFullParser(deep);
  // A budget runs out at the same place.
  for (size_t budget : {200, 400, 1000}) {
    ExpectSameAsFullParser("<A>x\n\t<B>" + std::string(300, 'y') + "</B>\n\t<C/>\n</A>", budget);
  }
}

// Documents pieced together from fragments of both forms, valid or not: what
// one reader accepts the other must accept, with the same tree, and what one
// refuses the other must refuse with the same words.
TEST(PlainXmlScannerTest, RandomDocumentsReadAsTheFullParserReadsThem) {
  const std::vector<std::string> fragments = {
      "<A>", "</A>", "<B>", "</B>", "<a.b>", "</a.b>", "<C/>", "text", " ", "\n", "\t", "\r\n",
      "\r", "&amp;", "&lt;", "&nbsp;", "&nb", "sp;", "&#196;", "&#x41;", "&#0;", "&#xD800;",
      "&bogus;", "&", ">", "]]>", "<!-- c -->", "<?p x?>", "<![CDATA[x]]>", "<A x='1'>", "< A>",
      "</A >", "\xC3\xA4", "\xC3", "\xE0\x80\x80", "\xED\xA0\x80", "\xEF\xBF\xBE", "\xF4\x90\x80",
      "\xF0\x9F\x98\x80", "\x7F", "\x01", "\xFF", "\\n", "\\\\", "<?xml version='1.0'?>", "/",
  };
  std::mt19937 random(20261206);
  for (int n = 0; n < 4000; ++n) {
    std::string document = random() % 8 ? "<A>" : "";
    const int count = static_cast<int>(random() % 24);
    for (int i = 0; i < count; ++i) document += fragments[random() % fragments.size()];
    if (random() % 4) document += "</A>";
    if (random() % 4 == 0) document += "\n";
    ExpectSameAsFullParser(document);
    if (HasFailure()) return;
  }
}

// Records what the scanner reports, texts joined, and where it left.
class Recorder : public CPlainXmlScanner::Sink {
 public:
  bool StartElement(const char* name, size_t length) override {
    m_events += "<" + std::string(name, length) + ">";
    return true;
  }
  bool EndElement() override {
    m_events += "</>";
    return true;
  }
  bool Text(const char* data, size_t length) override {
    m_events.append(data, length);
    return true;
  }
  std::string m_events;
};

// Everything the scanner reports, and the bytes it leaves with the markup that
// primes the full parser, for the document fed in two pieces cut at `cut`.
std::string ScanInPieces(const std::string& document, size_t cut) {
  Recorder recorder;
  CPlainXmlScanner scanner(&recorder);
  CPlainXmlScanner::Status status = scanner.Feed(document.data(), cut);
  size_t fed = cut;
  if (status == CPlainXmlScanner::Status::kOk) {
    status = scanner.Feed(document.data() + cut, document.size() - cut);
    fed = document.size();
  }
  if (status == CPlainXmlScanner::Status::kOk) status = scanner.Finish();
  std::string result = recorder.m_events + "|" + std::to_string(scanner.LineFeeds());
  if (status == CPlainXmlScanner::Status::kLeft) {
    result += "|left " + scanner.ReplayPrefix() +
              std::string(scanner.RestData(), scanner.RestLength()) + document.substr(fed);
  }
  return result;
}

TEST(PlainXmlScannerTest, APieceBoundaryAnywhereChangesNothing) {
  const std::string documents[] = {
      "<Root>a &amp; b\n\t<Item>\xC3\xA4&#196;&nbsp;x</Item>\n\t<Empty/>\n</Root>\n \n",
      "<Root>\n\t<Item>x</Item>\n\t<Item>y<!-- left here -->z</Item>\n</Root>",
      "<Root>\n\t<Item>\xE2\x82\xAC\xE2\x82</Item>\n</Root>",
  };
  for (const std::string& document : documents) {
    const std::string whole = ScanInPieces(document, document.size());
    for (size_t cut = 0; cut < document.size(); ++cut) {
      EXPECT_EQ(ScanInPieces(document, cut), whole) << document << " cut at " << cut;
    }
  }
  EXPECT_EQ(ScanInPieces(documents[0], documents[0].size()),
            "<Root>a & b\n\t<Item>\xC3\xA4\xC3\x84 x</>\n\t<Empty></>\n</>|5");
}

}  // namespace
