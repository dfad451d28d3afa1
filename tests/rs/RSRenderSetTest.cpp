#include "RSTestUtil.h"

#include "rs/DataContainer.h"
#include "rs/RSPool.h"
#include "rs/RSRenderSet.h"
#include "rs/RSVersion.h"
#include "settings/ExtendedSettingsScript.h"

#include <gtest/gtest.h>

namespace {

TEST(RSRenderSetTest, SavesInByteOrderWithCountNames) {
  CRSRenderSet set;
  set.Renderer = wxT("Maya/2024");
  set.AddValue(wxT("width"))->AddString(wxT(" 1920 "));
  set.AddValue(wxT("Zed"))->AddString(wxT("z"));
  set.AddValue(wxT("layer#"))->AddString(wxT("a"));
  set.GetOrAddValue(wxT("layer#"))->AddString(wxT("b"));
  set.AddValue(wxT("empty"));
  wxString text;
  ASSERT_TRUE(set.SaveToFile(wxString(), &text));
  EXPECT_EQ(
      text,
      wxT("<RenderSet>\n\t<Renderer>Maya/2024</Renderer>\n\t<Values>\n"
          "\t\t<Zed>\n\t\t\t<Value>z</Value>\n\t\t</Zed>\n"
          "\t\t<empty></empty>\n"
          "\t\t<layer__Count__>\n\t\t\t<Value>a</Value>\n\t\t\t<Value>b</Value>\n"
          "\t\t</layer__Count__>\n"
          "\t\t<width>\n\t\t\t<Value>1920</Value>\n\t\t</width>\n\t</Values>\n</RenderSet>\n"));

  CRSRenderSet back;
  ASSERT_TRUE(back.LoadFromFile(wxString(), text));
  EXPECT_EQ(back.Renderer, wxT("Maya/2024"));
  ASSERT_NE(back.FindValue(wxT("layer#")), nullptr);
  EXPECT_EQ(back.FindValue(wxT("layer#"))->Strings.size(), 2u);
  EXPECT_EQ(back.FindValue(wxT("layer__Count__")), nullptr);
  EXPECT_EQ(back.GetCount(), 4u);

  // The packet's UTF-8 form is the same document, non-ASCII text included.
  set.AddValue(wxT("outdir"))->AddString(wxString::FromUTF8("/r\xc3\xa9nders/\xe2\x82\xac"));
  ASSERT_TRUE(set.SaveToFile(wxString(), &text));
  const std::string utf8 = set.ToUTF8();
  EXPECT_EQ(wxString::FromUTF8(utf8.data(), utf8.size()), text);
  EXPECT_NE(utf8.find("/r\xc3\xa9nders/\xe2\x82\xac"), std::string::npos);
}

TEST(RSRenderSetTest, MergeKeepsWhatTheSetHolds) {
  TempDir dir;
  CRSRenderSet file;
  file.Renderer = wxT("Other/1");
  file.AddValue(wxT("camera"))->AddString(wxT("fileCam"));
  file.AddValue(wxT("threads"))->AddString(wxT("8"));
  ASSERT_TRUE(file.SaveToFile(dir.Path("set.kset")));

  CRSRenderSet set;
  set.Renderer = wxT("Mine/2");
  set.AddValue(wxT("camera"))->AddString(wxT("myCam"));
  set.AddValue(wxT("frames"))->AddString(wxT("1-10"));
  ASSERT_TRUE(set.LoadFromFile(dir.Path("set.kset"), wxString(), true));
  EXPECT_EQ(set.Renderer, wxT("Mine/2"));
  EXPECT_EQ(set.FindValue(wxT("camera"))->Strings[0], wxT("myCam"));
  EXPECT_EQ(set.FindValue(wxT("threads"))->Strings[0], wxT("8"));
  EXPECT_NE(set.FindValue(wxT("frames")), nullptr);

  ASSERT_TRUE(set.LoadFromFile(dir.Path("set.kset"), wxString(), false));
  EXPECT_EQ(set.Renderer, wxT("Other/1"));
  EXPECT_EQ(set.FindValue(wxT("camera"))->Strings[0], wxT("fileCam"));
  EXPECT_EQ(set.FindValue(wxT("frames")), nullptr);

  // Failures: no "Values", not XML, no file. A failed parse changes nothing.
  EXPECT_FALSE(set.LoadFromFile(wxString(), wxT("<RenderSet><Renderer>x</Renderer></RenderSet>")));
  EXPECT_TRUE(set.LoadFromFile(wxString(), wxT("<RenderSet><Values/></RenderSet>")));
  EXPECT_EQ(set.GetCount(), 0u);
  set.AddValue(wxT("keep"));
  EXPECT_FALSE(set.LoadFromFile(wxString(), wxT("<RenderSet><Values>")));
  EXPECT_FALSE(set.LoadFromFile(dir.Path("missing.kset")));
  EXPECT_NE(set.FindValue(wxT("keep")), nullptr);
  EXPECT_FALSE(set.SaveToFile(dir.Path("no/dir/set.kset")));
}

TEST(RSRenderSetTest, ValuesAndDefaults) {
  CRSPool pool;
  pool.Init(wxT("/nonexistent"));
  ASSERT_TRUE(LoadXml(
      pool.Renderers,
      "<L><Renderer><Group>G</Group><Name>R</Name><Parameters>"
      "<Parameter><ID>a</ID><DefaultValue> 5 </DefaultValue></Parameter>"
      "<Parameter><ID>b</ID><DefaultValue>x</DefaultValue></Parameter>"
      "<Parameter><ID>c</ID><DefaultValue>y</DefaultValue></Parameter>"
      "<Parameter><ID>d</ID><DefaultValue>   </DefaultValue></Parameter>"
      "</Parameters><CommandLine><Switches/></CommandLine><Versions><RendererVersion><Name>1</Name>"
      "<Parameters/>"
      "<CommandLine><Switches/></CommandLine></RendererVersion></Versions></Renderer></L>",
      1));
  const CRSVersion* version = pool.FindVersion(wxT("R/1"));
  ASSERT_NE(version, nullptr);

  CRSRenderSet set;
  set.SetRenderer(*version);
  EXPECT_EQ(set.Renderer, wxT("R/1"));
  set.AddValue(wxT("b"))->AddString(wxT("mine"));
  set.AddValue(wxT("c"));
  set.FillDefaults(*version);
  EXPECT_EQ(set.FindValue(wxT("a"))->Strings[0], wxT("5"));
  EXPECT_EQ(set.FindValue(wxT("b"))->Strings[0], wxT("mine"));
  EXPECT_EQ(set.FindValue(wxT("c"))->Strings[0], wxT("y"));
  EXPECT_EQ(set.FindValue(wxT("d")), nullptr);

  CRSRenderSetValue copy = set.GetValueCopy(wxT("b"));
  copy.SetString(wxT("changed"));
  EXPECT_EQ(set.FindValue(wxT("b"))->Strings[0], wxT("mine"));
  EXPECT_EQ(set.GetValueCopy(wxT("zz")).Name, wxT("zz"));
  EXPECT_EQ(set.GetValueCopy(wxT("zz")).Strings.size(), 0u);
  EXPECT_TRUE(set.RemoveValue(wxT("b")));
  EXPECT_FALSE(set.RemoveValue(wxT("b")));
  EXPECT_EQ(set.AddValue(wxT("a"))->Strings.size(), 0u);
}

TEST(DataContainerTest, LoadsNumberedValueSections) {
  UExtendedSettingsScript script;
  wxString text = wxT("Preset\n{\n\tValueCount = 12\n");
  for (int i = 1; i <= 12; ++i) {
    if (i == 5) continue;
    text += wxString::Format(
        wxT("\tValue%02i\n\t{\n\t\tType = %i\n\t\tName = \"n%i\"\n\t\tValue = \"%s\"\n\t}\n"), i,
        i % 5, i, i % 5 == 3 ? wxT("1.5") : wxT("42"));
  }
  text += wxT("\tValue13\n\t{\n\t\tType = 4\n\t\tName = \"n13\"\n\t\tValue = \"beyond\"\n\t}\n}\n");
  ASSERT_TRUE(script.LoadFromText(text, UExtendedSettingsScript::kBlock));
  UXSSSection* section = script.GetRootSection().FindChild(wxT("Preset"));
  ASSERT_NE(section, nullptr);

  CDataContainer container;
  container.Load(*section);
  EXPECT_EQ(container.GetCount(), 11u);
  EXPECT_FALSE(container.Has(wxT("n5")));
  EXPECT_FALSE(container.Has(wxT("n13")));
  EXPECT_EQ(container.Get(wxT("n2")).Int, 42);
  EXPECT_EQ(container.Get(wxT("n2")).ToText(), wxT("42"));
  EXPECT_DOUBLE_EQ(container.Get(wxT("n3")).Double, 1.5);
  EXPECT_EQ(container.Get(wxT("n3")).ToText(), wxT("1.500000"));
  EXPECT_EQ(container.Get(wxT("n4")).Text, wxT("42"));
  EXPECT_EQ(container.Get(wxT("n1")).Type, CDataContainerValue::kBool);
  EXPECT_FALSE(container.Get(wxT("n1")).Bool);
  EXPECT_EQ(container.Get(wxT("absent")).Type, CDataContainerValue::kNone);
  CDataContainerValue def;
  def.FromText(wxT("7"), CDataContainerValue::kInt);
  EXPECT_EQ(container.Get(wxT("absent"), def).Int, 7);
  EXPECT_EQ(section->FindValue(wxT("absent")), nullptr);

  CDataContainerValue b;
  b.FromText(wxT("True"), CDataContainerValue::kBool);
  EXPECT_FALSE(b.Bool);
  b.FromText(wxT("true"), CDataContainerValue::kBool);
  EXPECT_EQ(b.ToText(), wxT("true"));
}

}  // namespace
