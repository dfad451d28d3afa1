#include "settings/ExtendedSettingsScript.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "../support/TempDir.h"

namespace {

using XSS = UExtendedSettingsScript;

wxString Format(const XSS& doc, int mode) {
  wxString text;
  EXPECT_TRUE(doc.FormatText(mode, &text));
  return text;
}

TEST(ExtendedSettingsScriptTest, BlockCommentsEndOutsideQuotesOnlyAndAnyLineEndIsAccepted) {
  for (const wxChar* eol : {wxT("\r\n"), wxT("\n"), wxT("\r")}) {
    wxString text = wxT("// header\n"
                        "General\n"
                        "{\n"
                        "  Name = \"a // b\"  // trailing note\n"
                        "\n"
                        "  Count = 5 // note\n"
                        "  Half = \"x // y\" // \"quoted\" note\n"
                        "}");  // the last line without a line end
    text.Replace(wxT("\n"), eol);
    XSS doc;
    ASSERT_TRUE(doc.LoadFromText(text, XSS::kBlock));
    UXSSSection& root = doc.GetRootSection();
    EXPECT_EQ(root.GetString(wxT("General::Name")), wxT("a // b"));
    EXPECT_EQ(root.GetInt(wxT("General::Count")), 5);
    EXPECT_EQ(root.GetString(wxT("General::Half")), wxT("x // y"));
  }
}

TEST(ExtendedSettingsScriptTest, IniCommentsAndHeaders) {
  XSS doc;
  ASSERT_TRUE(doc.LoadFromText(wxT("; comment\n"
                                   "[RemoteController.Server]\n"
                                   "ServerPort = 80 # the port\n"
                                   "UserPwd = \"a;b#c\"\n"
                                   "Plain = a;b\n"
                                   "[Other]\n"
                                   "X = $(scene)   # night run\n"
                                   "[RemoteController.Server]\n"
                                   "ServerPort = 81\n"
                                   "UserName = Admin\n"),
                               XSS::kIni));
  UXSSSection& root = doc.GetRootSection();
  UXSSSection* server = root.FindSection(wxT("RemoteController.Server"));
  ASSERT_NE(server, nullptr);
  EXPECT_EQ(server->GetFullName(), wxT("root.RemoteController.Server"));
  // The second header adds to the same section; the first value of a name wins.
  EXPECT_EQ(server->GetInt(wxT("ServerPort")), 80);
  EXPECT_EQ(server->GetString(wxT("UserName")), wxT("Admin"));
  EXPECT_EQ(server->GetString(wxT("UserPwd")), wxT("\"a;b#c\""));
  EXPECT_EQ(server->GetString(wxT("Plain")), wxT("a"));
  EXPECT_EQ(server->GetValues().size(), 4u);
  EXPECT_EQ(root.GetString(wxT("Other::X")), wxT("$(scene)"));
  ASSERT_EQ(root.GetSections().size(), 2u);
  EXPECT_EQ(root.GetSections()[0]->GetName(), wxT("RemoteController"));
  EXPECT_EQ(root.GetSections()[1]->GetName(), wxT("Other"));
}

TEST(ExtendedSettingsScriptTest, BlockFaultsFailTheLoad) {
  const wxString faulty[] = {
      wxT("A\n{\nX = 1\n}\n}\n"),          // one closing brace too many
      wxT("}\n{\n"),                       // balanced, but leaves the root
      wxT("A\nX = 1\n{\n}\n"),             // section not followed by "{"
      wxT("A\n{\n}\nB\n"),                 // section name on the last line
      wxT("A\n{\n1 x = 1\n}\n"),           // name with a blank
      wxT("A\n{\nX = \n}\n"),              // empty value
      wxT("A\n{\nX = \"open\n}\n"),        // odd number of quotes
      wxT("A\n{\nX = = 1\n}\n"),           // empty field between "="
      wxT("A\n{\n#\n}\n"),                 // one character that is no letter
      wxT("Two words\n{\n}\n"),            // not a name
  };
  for (const wxString& text : faulty) {
    XSS doc;
    EXPECT_FALSE(doc.LoadFromText(text, XSS::kBlock)) << text;
  }
  XSS ok;
  EXPECT_TRUE(ok.LoadFromText(wxT("A\n{\nX = \"a=b\"\nB\n{\n}\n}\nC\n{\n}\n"), XSS::kBlock));
  EXPECT_EQ(ok.GetRootSection().GetString(wxT("A::X")), wxT("a=b"));
  EXPECT_NE(ok.GetRootSection().FindSection(wxT("A.B")), nullptr);
  EXPECT_NE(ok.GetRootSection().FindSection(wxT("C")), nullptr);
}

TEST(ExtendedSettingsScriptTest, AddressingByPath) {
  XSS doc;
  UXSSSection& root = doc.GetRootSection();
  // Looking up never creates; a typed read of a missing key does.
  EXPECT_EQ(root.FindValue(wxT("Missing::Key")), nullptr);
  EXPECT_EQ(root.FindSection(wxT("Missing")), nullptr);
  EXPECT_EQ(root.GetInt(wxT("Missing::Key"), 7), 7);
  EXPECT_EQ(root.GetInt(wxT("Missing::Key"), 9), 7);

  root.SetString(wxT("A.B.C::Name"), wxT("deep"));
  UXSSSection* a = root.FindSection(wxT("A"));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->GetString(wxT("B.C::Name")), wxT("deep"));
  EXPECT_EQ(root.CreateSections(wxT("A.B")), a->FindChild(wxT("B")));
  // Names compare with case.
  EXPECT_EQ(root.FindSection(wxT("a")), nullptr);
  EXPECT_EQ(root.FindValue(wxT("A.B.C::name")), nullptr);

  // The first value of a name stays.
  UXSSValue second(wxT("Name"));
  second.SetString(wxT("other"));
  EXPECT_EQ(root.FindSection(wxT("A.B.C"))->AddValue(second)->GetString(), wxT("deep"));
}

TEST(ExtendedSettingsScriptTest, BlockSaveLayout) {
  XSS doc;
  UXSSSection& root = doc.GetRootSection();
  root.SetString(wxT("General::Name"), wxT("Preset"));
  root.SetInt(wxT("General::SelectedGroups"), -1);
  root.SetInt(wxT("Data::ValueCount"), 1);
  root.SetInt(wxT("Data.Value01::Type"), 2);
  root.SetString(wxT("Data.Value01::Name"), wxT("Priority"));
  root.SetInt(wxT("Data.Value01.Deep::X"), 1);
  root.CreateSections(wxT("Events"));
  root.SetDouble(wxT("Events::Ratio"), 1.5);
  const wxString expected = wxT(
      "General\r\n{\r\n\tName = \"Preset\"\r\n\tSelectedGroups = -1\r\n}\n\r\n"
      "Data\r\n{\r\n\tValueCount = 1\r\n\r\n"
      "\tValue01\r\n\t{\r\n\t\tType = 2\r\n\t\tName = \"Priority\"\r\n\r\n"
      "\t\tDeep\r\n\t\t{\r\n\t\t\tX = 1\r\n\t\t}\r\n"
      "\t}\r\n"
      "}\n\r\n"
      "Events\r\n{\r\n\tRatio = 1.500000\r\n}\r\n");
  EXPECT_EQ(Format(doc, XSS::kBlock), expected);

  // Read back, the same tree gives the same text.
  XSS back;
  ASSERT_TRUE(back.LoadFromText(expected, XSS::kBlock));
  EXPECT_EQ(Format(back, XSS::kBlock), expected);

  // Values read from a file keep their text; root values and a child are
  // separated by an empty line.
  XSS read;
  ASSERT_TRUE(read.LoadFromText(wxT("V = 1.5\nB = TRUE\nC\n{\nK = 1\n}\n"), XSS::kBlock));
  EXPECT_EQ(Format(read, XSS::kBlock),
            wxT("V = 1.5\r\nB = true\r\n\r\nC\r\n{\r\n\tK = 1\r\n}\r\n"));
}

TEST(ExtendedSettingsScriptTest, ValuesALayoutCannotHoldAreLeftOutOfIt) {
  XSS doc;
  UXSSSection& root = doc.GetRootSection();
  root.SetString(wxT("S::Odd"), wxT("say \"hi"));      // an odd quote refuses a block line
  root.SetString(wxT("S::Comment"), wxT("a // b ; c"));  // INI cuts at ";"
  root.SetString(wxT("S::Env"), wxT("$:HOME"));          // INI reads the variable
  root.SetString(wxT("S::Lines"), wxT("one\ntwo"));      // no layout holds a line end
  root.SetString(wxT("S::Blank"), wxT(" padded "));      // INI trims
  root.SetString(wxT("S::Fine"), wxT("a \"quoted\" word"));
  EXPECT_EQ(Format(doc, XSS::kBlock),
            wxT("S\r\n{\r\n\tComment = \"a // b ; c\"\r\n\tEnv = \"$:HOME\"\r\n"
                "\tBlank = \" padded \"\r\n\tFine = \"a \"quoted\" word\"\r\n}\r\n"));
  EXPECT_EQ(Format(doc, XSS::kIni),
            wxT("[S]\r\nOdd = say \"hi\r\nFine = a \"quoted\" word\r\n\r\n"));
  for (int layout : {XSS::kBlock, XSS::kIni}) {
    XSS back;
    ASSERT_TRUE(back.LoadFromText(Format(doc, layout), layout));
    EXPECT_EQ(back.GetRootSection().GetString(wxT("S::Fine")), wxT("a \"quoted\" word"));
    EXPECT_EQ(back.GetRootSection().FindValue(wxT("S::Lines")), nullptr);
  }
}

TEST(ExtendedSettingsScriptTest, IniSaveLayoutAndRoundTrip) {
  XSS doc;
  UXSSSection& root = doc.GetRootSection();
  root.SetString(wxT("Top"), wxT("t"));
  root.SetString(wxT("A.B::Path"), wxT("D:\\Data"));
  root.SetInt(wxT("A.B::Port"), 80);
  root.SetBool(wxT("A::Flag"), false);
  root.CreateSections(wxT("Empty.Child"));
  root.SetString(wxT("Empty.Child::K"), wxString());
  const wxString expected = wxT(
      "Top = t\r\n\r\n"
      "[A]\r\nFlag = false\r\n\r\n"
      "[A.B]\r\nPath = D:\\Data\r\nPort = 80\r\n\r\n"
      "[Empty.Child]\r\nK = \r\n\r\n");
  EXPECT_EQ(Format(doc, XSS::kIni), expected);

  XSS back;
  ASSERT_TRUE(back.LoadFromText(expected, XSS::kIni));
  EXPECT_EQ(back.GetRootSection().GetString(wxT("A.B::Path")), wxT("D:\\Data"));
  EXPECT_EQ(back.GetRootSection().GetString(wxT("Empty.Child::K")), wxT(""));
  EXPECT_EQ(Format(back, XSS::kIni), expected);
}

TEST(ExtendedSettingsScriptTest, FilesRoundTripAndFailCleanly) {
  TempDir dir;
  XSS doc;
  doc.GetRootSection().SetString(wxT("UpdateControl::Command"), wxT("KfRcCmd -listpools \u00e9"));
  doc.GetRootSection().SetInt(wxT("UpdateControl::ProcessID"), 4242);
  ASSERT_TRUE(doc.Save(dir.Path("UpdControl.xss"), XSS::kBlock));
  EXPECT_EQ(
      dir.Read("UpdControl.xss"),
      "UpdateControl\r\n{\r\n\tCommand = \"KfRcCmd -listpools \xc3\xa9\"\r\n"
      "\tProcessID = 4242\r\n}\r\n");
  EXPECT_EQ(dir.Count(), 1u);  // no temporary file left behind

  XSS back;
  ASSERT_TRUE(back.Load(dir.Path("UpdControl.xss"), XSS::kBlock));
  EXPECT_EQ(back.GetRootSection().GetInt(wxT("UpdateControl::ProcessID")), 4242);
  EXPECT_EQ(back.GetRootSection().GetString(wxT("UpdateControl::Command")),
            wxT("KfRcCmd -listpools \u00e9"));
  // An empty name means the stored one.
  EXPECT_TRUE(back.Load(wxString(), XSS::kBlock));

  // A missing file fails and empties the tree.
  EXPECT_FALSE(back.Load(dir.Path("missing.xss"), XSS::kBlock));
  EXPECT_TRUE(back.GetRootSection().GetSections().empty());
  XSS unnamed;
  EXPECT_FALSE(unnamed.Load(wxString(), XSS::kIni));
  EXPECT_FALSE(unnamed.Save(wxString(), XSS::kIni));
  // A folder or a named pipe is no settings file.
  EXPECT_FALSE(unnamed.Load(dir.Dir(), XSS::kIni));
  ASSERT_EQ(::mkfifo(dir.Native("pipe").c_str(), 0600), 0);
  EXPECT_FALSE(unnamed.Load(dir.Path("pipe"), XSS::kIni));
  EXPECT_FALSE(unnamed.Save(dir.Dir(), XSS::kIni));
  EXPECT_FALSE(unnamed.Save(dir.Path("no/such/folder.xss"), XSS::kIni));

  // An unknown layout writes nothing and leaves an existing file alone.
  const std::string before = dir.Read("UpdControl.xss");
  EXPECT_FALSE(doc.Save(dir.Path("UpdControl.xss"), 2));
  EXPECT_EQ(dir.Read("UpdControl.xss"), before);
}

TEST(ExtendedSettingsScriptTest, ByteOrderMarksAndOtherEncodings) {
  TempDir dir;
  dir.Write("bom.conf", "\xef\xbb\xbf[S]\nK = \xc3\xa4\n");
  dir.Write("latin1.conf", "[S]\nK = \xe4\n");
  dir.Write("utf16.conf", std::string("\xff\xfe[\0S\0]\0\n\0K\0=\0\xe4\0", 16));
  for (const char* name : {"bom.conf", "latin1.conf", "utf16.conf"}) {
    XSS doc;
    ASSERT_TRUE(doc.Load(dir.Path(name), XSS::kIni)) << name;
    EXPECT_EQ(doc.GetRootSection().GetString(wxT("S::K")), wxT("\u00e4")) << name;
  }
}

// Garbage of every kind is the settings fuzz target's.
TEST(ExtendedSettingsScriptTest, DeepNestingIsNoProblem) {
  const int depth = 200000;
  std::string text;
  for (int i = 0; i < depth; ++i) text += "S\n{\n";
  text += "K = 1\n";
  for (int i = 0; i < depth; ++i) text += "}\n";
  {
    XSS doc;
    ASSERT_TRUE(doc.LoadFromText(wxString::FromUTF8(text), XSS::kBlock));
    const UXSSSection* s = &doc.GetRootSection();
    int levels = 0;
    while (!s->GetSections().empty()) {
      s = s->GetSections().front().get();
      ++levels;
    }
    EXPECT_EQ(levels, depth);
  }  // destroyed here without running out of stack
  wxString path(wxT("[S"));
  for (int i = 0; i < depth; ++i) path += wxT(".S");
  XSS ini;
  EXPECT_TRUE(ini.LoadFromText(path + wxT("]\nK = 1\n"), XSS::kIni));
}

}  // namespace
