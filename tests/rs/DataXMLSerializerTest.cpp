#include "rs/DataXMLSerializer.h"
#include "platform/Utf8.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "../support/TempDir.h"

namespace {

// Writes a one-node tree holding `text` and parses it back.
wxString RoundTrip(const wxString& text, std::string* xml = nullptr) {
  CDataNode root;
  root.SetName(wxT("V"));
  root.SetText(text);
  const std::string written = CDataXMLSerializer(&root).ToUTF8();
  if (xml) *xml = written;
  CDataNode back;
  EXPECT_TRUE(CDataXMLSerializer(&back).ParseUTF8(written)) << written;
  EXPECT_EQ(back.GetValue().GetCount(), text.empty() ? 0u : 1u) << written;
  return back.GetText();
}

// `text` is written as the document `xml` and read back whole.
void ExpectWritten(const wxString& text, const std::string& xml) {
  std::string written;
  EXPECT_EQ(RoundTrip(text, &written), text);
  EXPECT_EQ(written, xml);
}

TEST(DataXMLSerializerTest, TextAndChildrenShareAnElementAndEachLevelIndentsByATab) {
  CDataNode root;
  root.SetName(wxT("A"));
  root.SetText(wxT("a<b"));
  CDataNode* b = root.AddChild("B");
  b->AddChild("C", wxT("1"));
  b->AddChild("D");
  root.AddChild("E", wxT("2"));
  const std::string xml = "<A>a&lt;b\n\t<B>\n\t\t<C>1</C>\n\t\t<D></D>\n\t</B>\n\t<E>2</E>\n</A>\n";
  EXPECT_EQ(CDataXMLSerializer(&root).ToUTF8(), xml);

  CDataNode back;
  ASSERT_TRUE(CDataXMLSerializer(&back).ParseUTF8(xml));
  EXPECT_EQ(back.GetName(), wxT("A"));
  EXPECT_EQ(back.GetText(), wxT("a<b"));
  ASSERT_EQ(back.GetChildCount(), 2u);
  EXPECT_EQ(back.GetChild(1)->GetText(), wxT("2"));
  EXPECT_EQ(back.GetChild(0)->GetChild(0)->GetParent(), back.GetChild(0));
}

TEST(DataXMLSerializerTest, BlanksRoundTripWhileLayoutStaysOut) {
  ExpectWritten(wxT("   "), "<V>&nbsp;&nbsp;&nbsp;</V>\n");
  // Blanks inside other text are written as they are.
  ExpectWritten(wxT(" a  b "), "<V> a  b </V>\n");

  // A blank value next to children, and children whose values are blank.
  CDataNode root;
  root.SetName(wxT("R"));
  root.SetText(wxT("  "));
  root.AddChild("S", wxT(" "));
  root.AddChild("T", wxT("x  "));
  root.AddChild("U");
  CDataNode back;
  ASSERT_TRUE(CDataXMLSerializer(&back).ParseUTF8(CDataXMLSerializer(&root).ToUTF8()));
  EXPECT_EQ(back.GetText(), wxT("  "));
  ASSERT_EQ(back.GetChildCount(), 3u);
  EXPECT_EQ(back.GetChild(0)->GetText(), wxT(" "));
  EXPECT_EQ(back.GetChild(1)->GetText(), wxT("x  "));
  EXPECT_EQ(back.GetChild(2)->GetValue().GetCount(), 0u);
}

TEST(DataXMLSerializerTest, HandWrittenIndentationIsNotAValue) {
  CDataNode root;
  ASSERT_TRUE(CDataXMLSerializer(&root).ParseUTF8(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!-- set -->\r\n<RenderSet>\r\n"
      "    <Values>\r\n        <camera>\r\n            <Value>cam1</Value>\r\n"
      "        </camera>\r\n    </Values>\r\n    <Empty>\r\n    </Empty>\r\n</RenderSet>\r\n"));
  EXPECT_EQ(root.GetValue().GetCount(), 0u);
  CDataNode* values = root.FindChild("Values");
  ASSERT_NE(values, nullptr);
  EXPECT_EQ(values->GetValue().GetCount(), 0u);
  EXPECT_EQ(values->FindChild("camera")->GetValue().GetCount(), 0u);
  EXPECT_EQ(values->FindChild("camera")->FindChild("Value")->GetText(), wxT("cam1"));
  EXPECT_EQ(root.FindChild("Empty")->GetValue().GetCount(), 0u);
}

TEST(DataXMLSerializerTest, BackslashSequencesAndControlCharacters) {
  CDataNode root;
  ASSERT_TRUE(CDataXMLSerializer(&root).ParseUTF8("<V>line1\\nline2\\ttab\\r\\q\\\\</V>"));
  EXPECT_EQ(root.GetText(), wxT("line1\nline2\ttab\rq\\"));

  ExpectWritten(wxT("C:\\renders\\new"), "<V>C:\\\\renders\\\\new</V>\n");
  std::string xml;
  const wxString script = wxT("import os\r\n\tprint('x')\r\n\r\n");
  EXPECT_EQ(RoundTrip(script, &xml), script);
  EXPECT_EQ(xml.find_first_of("\r\t"), std::string::npos);
  EXPECT_EQ(RoundTrip(wxT("\n")), wxT("\n"));
  EXPECT_EQ(RoundTrip(wxT(" \t ")), wxT(" \t "));
  // Characters that XML cannot carry are left out rather than breaking the document.
  EXPECT_EQ(RoundTrip(wxT("a\x01z")), wxT("az"));
}

TEST(DataXMLSerializerTest, MarkupAndLatinLetters) {
  ExpectWritten(wxT("a&b 'c' \"d\" <e>"), "<V>a&amp;b &apos;c&apos; &quot;d&quot; &lt;e&gt;</V>\n");

  const wxString latin =
      wxString::FromUTF8("\xC3\x84\xC3\x96\xC3\x9C\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F");
  ExpectWritten(latin, "<V>&#196;&#214;&#220;&#228;&#246;&#252;&#223;</V>\n");
  // Other letters travel as UTF-8.
  const wxString other = wxString::FromUTF8("\xC3\xA9t\xC3\xA9 \xE6\x97\xA5");
  ExpectWritten(other, "<V>\xC3\xA9t\xC3\xA9 \xE6\x97\xA5</V>\n");

  // What the XML parser leaves of an escape is undone once more, as the
  // server's own reader does.
  CDataNode root;
  ASSERT_TRUE(CDataXMLSerializer(&root).ParseUTF8("<V>&amp;lt;&amp;#228;&#252;</V>"));
  EXPECT_EQ(root.GetTextUTF8(), "<\xC3\xA4\xC3\xBC");
}

TEST(DataXMLSerializerTest, EscapedLengthMatchesTheWriter) {
  const char* texts[] = {"",
                         "   ",
                         "plain",
                         "a&b<c>d'e\"f",
                         "C:\\x\n\r\t",
                         " \v ",
                         "\xC3\x84\xC3\x9F\xC3\xA9\xE6\x97\xA5",
                         "\x01\x1F ok",
                         "\xEF\xBF\xBE\xEF\xBF\xBD",
                         "\xC3"};
  for (const char* text : texts) {
    std::string out;
    CDataXMLSerializer::AppendEscaped(&out, text);
    EXPECT_EQ(CDataXMLSerializer::EscapedLength(text), out.size()) << text;
  }
}

TEST(DataXMLSerializerTest, Utf8ConversionsNeverLoseATextWhole) {
  const wxString wide = wxString::FromUTF8("x\xF0\x9F\x98\x80y\xC3\xA4");
  EXPECT_EQ(utf8text::From(wide), "x\xF0\x9F\x98\x80y\xC3\xA4");
  EXPECT_EQ(utf8text::ToWx(utf8text::From(wide)), wide);
  // Broken sequences become U+FFFD, the rest stays.
  const std::string broken = "a\xC3" "b\xE6\x97" "c\xFF\xC0\x80" "d\xED\xA0\x80";
  const wxString bad(wxUniChar(0xFFFD));
  EXPECT_EQ(utf8text::ToWx(broken),
            wxT("a") + bad + wxT("b") + bad + wxT("c") + bad + bad + wxT("d") + bad);
  const std::string longText(1000, 'q');
  EXPECT_EQ(utf8text::ToWx(longText).length(), 1000u);
  // Comparing without converting agrees with comparing the converted text.
  for (const std::string& bytes : {broken, utf8text::From(wide), std::string("x"), std::string()}) {
    for (const wxString& text : {wide, utf8text::ToWx(broken), wxString(wxT("x")), wxString()})
      EXPECT_EQ(utf8text::Equals(text, bytes.data(), bytes.size()), text == utf8text::ToWx(bytes));
  }
}

TEST(DataXMLSerializerTest, SeveralTextsInOneElement) {
  CDataNode root;
  ASSERT_TRUE(CDataXMLSerializer(&root).ParseUTF8("<A>x<B>1</B>y<!-- c -->z<![CDATA[skip]]></A>"));
  const CDataNodeValue& value = root.GetValue();
  ASSERT_EQ(value.GetCount(), 3u);
  EXPECT_EQ(value.GetAt(0) + value.GetAt(1) + value.GetAt(2), wxT("xyz"));
  // Only the first text is written back.
  EXPECT_EQ(CDataXMLSerializer(&root).ToUTF8(), "<A>x\n\t<B>1</B>\n</A>\n");
}

TEST(DataXMLSerializerTest, BadDocumentsFailAndLeaveAnEmptyRoot) {
  const char* bad[] = {
      "",
      "   ",
      "<A><B></A>",
      "<A>\n\t<B>x</B>\n",  // truncated
      "<A>&unknown;</A>",
      "<A></A><B></B>",
      "just text",
      "<A>\xFF\xFE</A>",
      "<A x='1></A>",
  };
  for (const char* text : bad) {
    CDataNode root;
    root.SetName(wxT("Old"));
    root.AddChild("Child");
    CDataXMLSerializer serializer(&root);
    EXPECT_FALSE(serializer.ParseUTF8(text, std::strlen(text))) << text;
    EXPECT_TRUE(root.GetName().empty()) << text;
    EXPECT_EQ(root.GetChildCount(), 0u) << text;
    EXPECT_FALSE(serializer.GetError().empty()) << text;
  }
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<a>";
  CDataNode root;
  EXPECT_FALSE(CDataXMLSerializer(&root).ParseUTF8(deep));
  std::string fine;
  for (int i = 0; i < 100; ++i) fine += "<a>";
  for (int i = 0; i < 100; ++i) fine += "</a>";
  EXPECT_TRUE(CDataXMLSerializer(&root).ParseUTF8(fine));
}

TEST(DataXMLSerializerTest, TreesBeyondTheirMemoryBudgetAreRefused) {
  // Scaled down: 10 nodes' fixed cost and their names fit, one more node or
  // a long text does not.
  const size_t node = CDataXMLSerializer::kNodeCost + 1;
  std::string ten = "<a>";
  for (int i = 0; i < 9; ++i) ten += "<b/>";
  ten += "</a>";
  CDataNode root;
  CDataXMLSerializer serializer(&root);
  serializer.SetTreeBudget(10 * node);
  EXPECT_TRUE(serializer.ParseUTF8(ten));
  EXPECT_EQ(root.GetChildCount(), 9u);
  const std::string eleven = "<a><b/>" + ten.substr(3);
  EXPECT_FALSE(serializer.ParseUTF8(eleven));
  EXPECT_EQ(root.GetChildCount(), 0u);
  EXPECT_NE(serializer.GetError().Find(wxT("memory")), wxNOT_FOUND);
  serializer.SetTreeBudget(node + 100);
  EXPECT_TRUE(serializer.ParseUTF8("<a>" + std::string(100, 'x') + "</a>"));
  EXPECT_FALSE(serializer.ParseUTF8("<a>" + std::string(101, 'x') + "</a>"));
  // A text arriving in many pieces (entities cut it) is weighed as it grows.
  std::string pieces = "<a>";
  for (int i = 0; i < 60; ++i) pieces += "x&amp;";
  EXPECT_FALSE(serializer.ParseUTF8(pieces + "</a>"));
}

TEST(DataXMLSerializerTest, FilesAreWrittenWholeAndEmptyFilesChangeNothing) {
  TempDir temp;
  const wxString dir = temp.Path();
  const wxString path = temp.Path("Pool.xml");

  CDataNode root;
  root.SetName(wxT("Pool"));
  root.AddChild("UpdateIndex", wxT("17"));
  ASSERT_TRUE(CDataXMLSerializer(&root).SaveFile(path));
  ASSERT_TRUE(CDataXMLSerializer(&root).SaveFile(path));  // replaces the file

  CDataNode back;
  CDataXMLSerializer reader(&back);
  ASSERT_TRUE(reader.LoadFile(path));
  EXPECT_EQ(back.FindChild("UpdateIndex")->GetText(), wxT("17"));

  temp.Write("empty.xml", "");
  EXPECT_TRUE(reader.LoadFile(temp.Path("empty.xml")));
  EXPECT_EQ(back.GetName(), wxT("Pool"));
  EXPECT_FALSE(reader.LoadFile(temp.Path("missing.xml")));
  // A file over the bound is not read at all.
  EXPECT_TRUE(reader.LoadFile(path, 200));
  EXPECT_FALSE(reader.LoadFile(path, 20));
  EXPECT_FALSE(reader.LoadFile(dir));
  EXPECT_FALSE(CDataXMLSerializer(&root).SaveFile(temp.Path("no/such/dir.xml")));
}

TEST(DataNodeTest, ValueAndChildLookups) {
  CDataNodeValue value;
  // The single blank entry gives way to the first text.
  for (const wxChar* text : {wxT("  "), wxT("a"), wxT("b")}) value.AddText(text, false);
  ASSERT_EQ(value.GetCount(), 2u);
  EXPECT_EQ(value.GetText(), wxT("a"));
  value.AddText(wxT("c"), true);
  EXPECT_EQ(value.GetCount(), 1u);
  value.AddFormatted(wxT("%i-%s"), 42, wxString(wxT("x")));
  EXPECT_EQ(value.GetAt(1), wxT("42-x"));

  CDataNode node;
  node.AddChild("Name", wxT("first"));
  node.AddChild("name", wxT("lower"));
  node.AddChild("Name", wxT("second"));
  EXPECT_EQ(node.FindChild(wxT("Name"))->GetText(), wxT("first"));
  EXPECT_EQ(node.FindChild("name")->GetText(), wxT("lower"));
  EXPECT_EQ(node.FindChild("NAME"), nullptr);

  CDataNodeList list;
  EXPECT_EQ(node.CollectChildren(wxT("Name"), &list), 2);
  EXPECT_FALSE(list.IsOwning());
  EXPECT_EQ(list.GetAt(1)->GetText(), wxT("second"));
  EXPECT_EQ(node.CollectChildren(wxT("Name"), nullptr), -1);

  CDataNodeValue def;
  def.SetMode(3);
  def.AddText(wxT("d"), false);
  EXPECT_EQ(node.GetOrAddValue(wxT("Name"), def).GetText(), wxT("first"));
  CDataNodeValue& added = node.GetOrAddValue(wxT("Other"), def);
  EXPECT_EQ(added.GetText(), wxT("d"));
  EXPECT_EQ(added.GetMode(), 3);
  EXPECT_EQ(node.GetChildCount(), 4u);

  node.Reset();
  EXPECT_EQ(node.GetChildCount(), 0u);
  EXPECT_EQ(list.GetCount(), 2u);  // the non-owning list only refers
}

}  // namespace
