#include <gtest/gtest.h>

#include <tuple>

#include "../support/GlobalEventQueue.h"
#include "RSTestUtil.h"
#include "rs/RSPool.h"
#include "rs/RSVersion.h"
#include "rs/RSXml.h"

namespace {

struct ComponentFixture : ::testing::Test {
  GlobalEventQueue events;
  TempDir dir;
  CRSPool pool;
  CRSRenderer* renderer = nullptr;
  CRSVersion* version = nullptr;

  ComponentFixture() {
    pool.Init(dir.Path());
    EXPECT_TRUE(LoadXml(
        pool.Renderers,
        "<L><Renderer><Group>G</Group><Name>R</Name>"
        "<Parameters>"
        "<Parameter><ID>frames</ID><Type>0</Type><TypeFlags>0</TypeFlags>"
        "<DisplayName>Frames!</DisplayName></Parameter>"
        "<Parameter><ID>camera</ID></Parameter>"
        "<Parameter><ID>quality</ID><Type>8</Type><TypeFlags>3</TypeFlags>"
        "<DisplayName>Quality</DisplayName>"
        "<DefaultValue> high </DefaultValue></Parameter>"
        "<Parameter><ID>gamma</ID><Type>2</Type><DefaultValue>2.2</DefaultValue></Parameter>"
        "<Parameter><ID>ghost</ID><Inherited>true</Inherited></Parameter>"
        "</Parameters>"
        "<CommandLine><Switches><Switch><CmdLineSwitch>-r</CmdLineSwitch></Switch>"
        "</Switches></CommandLine>"
        "<OutputFilters><OutputFilter><Filter>Error:</Filter></OutputFilter></OutputFilters>"
        "<Versions><RendererVersion><Name>1</Name>"
        "<Parameters>"
        "<Parameter><ID>own</ID></Parameter>"
        "<Parameter><ID>gamma</ID><Inherited>on</Inherited></Parameter>"
        "<Parameter><ID>quality</ID><Inherited>1</Inherited><Disabled>yes</Disabled></Parameter>"
        "<Parameter><ID>missing</ID><Inherited>true</Inherited></Parameter>"
        "<Parameter><ID>ghost</ID><Inherited>true</Inherited></Parameter>"
        "<Parameter><ID>frames</ID><Inherited>true</Inherited>"
        "<DisplayName>Other</DisplayName></Parameter>"
        "</Parameters>"
        "<CommandLine><Switches>"
        "<Switch><Inherited>true</Inherited><CmdLineSwitch>-r</CmdLineSwitch></Switch>"
        "<Switch><Inherited>true</Inherited><CmdLineSwitch>-gone</CmdLineSwitch></Switch>"
        "</Switches></CommandLine>"
        "<OutputFilters>"
        "<OutputFilter><Inherited>true</Inherited><Filter>Error:</Filter></OutputFilter>"
        "<OutputFilter><Inherited>true</Inherited><Filter>Gone</Filter></OutputFilter>"
        "</OutputFilters>"
        "</RendererVersion></Versions></Renderer></L>",
        1));
    renderer = pool.Renderers.GetAt(0);
    version = renderer ? renderer->Versions.GetAt(0) : nullptr;
  }

  std::vector<wxString> IDs(const CRSParameterList& list) {
    std::vector<wxString> ids;
    for (const CRSParameter* p : list) ids.push_back(p->ID);
    return ids;
  }
};

TEST_F(ComponentFixture, StandardParametersKeepTheirDefinition) {
  ASSERT_NE(version, nullptr);
  const CRSParameter* frames = renderer->Parameters.Contains(wxT("frames"));
  // How it is shown may change.
  EXPECT_EQ(std::make_tuple(frames->Type, frames->TypeFlags, frames->Standard, frames->DisplayName),
            std::make_tuple(2, 3u, true, std::string("Frames!")));
  const CRSParameter* quality = renderer->Parameters.Contains(wxT("quality"));
  EXPECT_EQ(std::make_tuple(quality->Type, quality->TypeFlags, quality->Standard),
            std::make_tuple(8, 3u, false));
  // An inherited standard parameter shows the standard name, whatever the file says.
  const CRSParameter* inherited = version->Parameters.Contains(wxT("frames"));
  ASSERT_NE(inherited, nullptr);
  EXPECT_EQ(inherited->DisplayName, "Frame list");
}

TEST_F(ComponentFixture, VersionLoadDropsInheritedItemsTheRendererLacks) {
  // "missing" is unknown to the renderer, "ghost" is only inherited there.
  EXPECT_EQ(IDs(version->Parameters),
            (std::vector<wxString>{wxT("own"), wxT("gamma"), wxT("quality"), wxT("frames")}));
  ASSERT_EQ(version->CommandLine.Switches.GetCount(), 1u);
  EXPECT_EQ(version->CommandLine.Switches.GetAt(0)->CmdLineSwitch, wxT("-r"));
  ASSERT_EQ(version->OutputFilters.GetCount(), 1u);
  EXPECT_EQ(version->OutputFilters.GetAt(0)->Filter, wxT("Error:"));

  // The renderer read again without its versions and without "gamma", "-r"
  // and "Error:": the kept version lets go of them too.
  ASSERT_TRUE(LoadXml(pool.Renderers,
                      "<L><Renderer><Group>G</Group><Name>R</Name><Parameters>"
                      "<Parameter><ID>quality</ID></Parameter>"
                      "<Parameter><ID>frames</ID></Parameter>"
                      "</Parameters><CommandLine><Switches/></CommandLine></Renderer></L>",
                      2));
  ASSERT_EQ(renderer->Versions.GetAt(0), version);
  EXPECT_EQ(IDs(version->Parameters),
            (std::vector<wxString>{wxT("own"), wxT("quality"), wxT("frames")}));
  EXPECT_EQ(version->CommandLine.Switches.GetCount(), 0u);
  EXPECT_EQ(version->OutputFilters.GetCount(), 0u);
}

TEST_F(ComponentFixture, EffectiveParameters) {
  CRSParameterList effective(false);
  version->GetEffectiveParameters(effective);
  // The renderer's own parameters come first in its order; "quality" is
  // inherited and disabled and stays out; "gamma" is the renderer's object.
  EXPECT_EQ(IDs(effective), (std::vector<wxString>{wxT("camera"), wxT("ghost"), wxT("own"),
                                                   wxT("gamma"), wxT("frames")}));
  EXPECT_EQ(effective.GetAt(3), renderer->Parameters.Contains(wxT("gamma")));
  EXPECT_EQ(effective.GetAt(4), renderer->Parameters.Contains(wxT("frames")));
  EXPECT_EQ(effective.GetAt(4)->DisplayName, "Frames!");

  EXPECT_EQ(version->GetParameterCapabilities(), CRSVersion::kCapCamera | CRSVersion::kCapFrames);
}

TEST_F(ComponentFixture, ParameterFieldsAndLists) {
  CRSParameterList list;
  list.SetPool(&pool);
  EXPECT_FALSE(LoadXml(  // the empty ID fails the list
      list,
      "<Parameters><Parameter><ID>p</ID><TypeFlags>x7</TypeFlags><Mandatory>ON</Mandatory>"
      "<Invisible>y</Invisible><MinValue>-1.25</MinValue><MaxValue>1e3</MaxValue>"
      "<EnumValues><EnumValue><Name>low</Name><Value>1</Value></EnumValue>"
      "<EnumValue><Name>high</Name><Value>a=b</Value></EnumValue>"
      "<EnumValue><Name>low</Name><Value>0</Value></EnumValue></EnumValues>"
      "<Dependencies><Dependency>p</Dependency><Dependency>q</Dependency><Dependency>q</Dependency>"
      "</Dependencies></Parameter><Parameter><ID></ID></Parameter></Parameters>",
      1));
  ASSERT_EQ(list.GetCount(), 1u);
  const CRSParameter* p = list.GetAt(0);
  EXPECT_EQ(std::make_tuple(p->TypeFlags, p->Mandatory, p->Invisible, p->MinValue, p->MaxValue),
            std::make_tuple(0u, true, false, -1.25f, 1000.0f));
  std::vector<std::string> names;
  p->GetEnumNames(names);
  EXPECT_EQ(names, (std::vector<std::string>{"low", "high"}));
  EXPECT_EQ(p->GetEnumValue("low"), "0");
  EXPECT_EQ(p->GetEnumValue("high"), "a=b");
  EXPECT_EQ(p->GetEnumValue("HIGH"), "");
  ASSERT_EQ(p->Dependencies.size(), 1u);
  EXPECT_EQ(p->Dependencies[0], "q");

  // Numbers are written in "%f" form; whole pools round-trip in the pool test.
  const std::string saved = SavedXml(list, "Parameters", 1);
  EXPECT_NE(saved.find("<MinValue>-1.250000</MinValue>"), std::string::npos);
  EXPECT_NE(saved.find("<TypeFlags>0</TypeFlags>"), std::string::npos);

  // A long list is matched through an index: the first entry of a name is still the one replaced.
  std::string many = "<Parameter><ID>m</ID><EnumValues>";
  for (int i = 0; i < 20; ++i) {
    many += "<EnumValue><Name>n" + std::to_string(i % 18) + "</Name><Value>" + std::to_string(i) +
            "</Value></EnumValue>";
  }
  CRSParameter m;
  ASSERT_TRUE(LoadXml(m, many + "</EnumValues></Parameter>", 1));
  EXPECT_EQ(m.EnumValues.size(), 18u);
  EXPECT_EQ(m.EnumValues[1], "n1=19");

  // A text that is not UTF-8 is read as U+FFFD, so that it is saved as UTF-8.
  CDataNode broken;
  broken.AddChild("ID")->SetTextUTF8("b");
  broken.AddChild("Help")->SetTextUTF8("a\xC3");
  CRSParameter b;
  ASSERT_TRUE(b.Load(broken, 1));
  EXPECT_EQ(b.Help, "a\xEF\xBF\xBD");
}

TEST(RSParameterTest, SplittingAndBools) {
  CRSParameter p;
  p.Type = CRSParameter::kInteger;
  p.SplittableList = true;
  EXPECT_TRUE(p.IsSplitting());
  p.TypeFlags = CRSParameter::kFlagMultiValue;
  EXPECT_FALSE(p.IsSplitting());
  p.ForceSplitting = true;
  EXPECT_TRUE(p.IsSplitting());

  for (const char* yes : {"true", "TRUE", "yes", "On", "1"})
    EXPECT_TRUE(rsxml::ParseBool(yes)) << yes;
  for (const char* no : {"y", "", "2", "false", " true"}) EXPECT_FALSE(rsxml::ParseBool(no)) << no;
  EXPECT_EQ(rsxml::ParseInt(" -12abc"), -12);
  EXPECT_EQ(rsxml::ParseInt("abc"), 0);
  EXPECT_EQ(rsxml::ParseUInt("4294967295"), 4294967295u);
  EXPECT_EQ(rsxml::FormatFloat(1.5f), "1.500000");
}

TEST_F(ComponentFixture, CommandLineNeedsSwitches) {
  CRSCommandLine cl;
  ASSERT_TRUE(cl.Attach(renderer));
  EXPECT_FALSE(LoadXml(cl, "<CommandLine><ForceQuotes>true</ForceQuotes></CommandLine>", 1));
  EXPECT_TRUE(cl.ForceQuotes);
  EXPECT_TRUE(LoadXml(cl, "<CommandLine><Switches/></CommandLine>", 1));
  EXPECT_EQ(cl.Switches.GetCount(), 0u);

  // A renderer whose command line lacks "Switches" fails to load.
  EXPECT_FALSE(LoadXml(
      pool.Renderers,
      "<L><Renderer><Group>G</Group><Name>Bad</Name><Parameters/><CommandLine/></Renderer></L>",
      2));
  EXPECT_EQ(pool.Renderers.FindByName(wxT("Bad")), nullptr);
}

TEST_F(ComponentFixture, SwitchesMatchByTextExceptInModeZero) {
  const std::string xml =
      "<CommandLine><Switches><Switch><CmdLineSwitch>-x</CmdLineSwitch>"
      "<Delimiter>2</Delimiter></Switch>"
      "<Switch><CmdLineSwitch>-x</CmdLineSwitch><Parameters>frames</Parameters></Switch></Switches>"
      "</CommandLine>";
  CRSCommandLine cl;
  ASSERT_TRUE(cl.Attach(renderer));
  ASSERT_TRUE(LoadXml(cl, xml, 2));
  ASSERT_EQ(cl.Switches.GetCount(), 1u);
  EXPECT_EQ(cl.Switches.GetAt(0)->Delimiter, 1);  // the second element updated the first
  EXPECT_EQ(cl.Switches.GetAt(0)->Parameters, wxT("frames"));
  EXPECT_EQ(cl.Switches.GetAt(0)->Owner, renderer);
  cl.Reset();
  ASSERT_TRUE(LoadXml(cl, xml, 0));
  EXPECT_EQ(cl.Switches.GetCount(), 2u);

  CRSCommandLine copy;
  copy.CopyFrom(cl);
  ASSERT_EQ(copy.Switches.GetCount(), 2u);
  EXPECT_NE(copy.Switches.GetAt(0), cl.Switches.GetAt(0));
}

TEST_F(ComponentFixture, FiltersReturnCodesExecutablesScript) {
  CRSOutputFilterList filters;
  ASSERT_TRUE(LoadXml(filters,
                      "<OutputFilters><OutputFilter><Filter>warn</Filter>"
                      "<Exclusions>a\\n\\nb</Exclusions></OutputFilter>"
                      "<OutputFilter><Filter>none</Filter><Exclusions></Exclusions>"
                      "<Action>3</Action></OutputFilter>"
                      "</OutputFilters>",
                      2));
  const CRSOutputFilter* warn = filters.GetAt(0);
  ASSERT_EQ(warn->Exclusions.size(), 3u);
  EXPECT_EQ(warn->Exclusions[1], wxT(""));
  EXPECT_EQ(warn->Action, 1);
  EXPECT_EQ(filters.GetAt(1)->Exclusions.size(), 0u);
  EXPECT_EQ(filters.GetAt(1)->Action, 3);
  EXPECT_NE(SavedXml(filters, "OutputFilters", 2).find("<Exclusions>a\\n\\nb</Exclusions>"),
            std::string::npos);

  CRSReturnCodes codes;
  ASSERT_TRUE(LoadXml(codes,
                      "<ReturnCodes><ReturnCode>0</ReturnCode><ReturnCode>x</ReturnCode>"
                      "<ReturnCode>-3</ReturnCode></ReturnCodes>",
                      1));
  EXPECT_EQ(codes.InterpretationType, 1);
  EXPECT_EQ(codes.ReturnCodes, (std::vector<int32_t>{0, 0, -3}));

  CRSExecutables exe;
  exe.Windows.Bit64 = wxT("C:\\r.exe");
  exe.Macintosh.Bit32 = wxT("/Applications/r");
  ASSERT_TRUE(LoadXml(
      exe, "<Executables><Linux><_64bit>/usr/bin/r</_64bit></Linux><Info>i</Info></Executables>",
      1));
  EXPECT_EQ(exe.Linux.Bit64, wxT("/usr/bin/r"));
  EXPECT_EQ(exe.Windows.Bit64, wxT("C:\\r.exe"));
  EXPECT_EQ(exe.Macintosh.Bit32, wxT("/Applications/r"));

  CRSEnvironment env;
  ASSERT_TRUE(LoadXml(
      env,
      "<Environment><Variable><Inherited>true</Inherited><Disabled>true</Disabled><Name>A</Name>"
      "<Value>1</Value></Variable></Environment>",
      1));
  EXPECT_FALSE(env.GetAt(0)->Inherited);
  EXPECT_FALSE(env.GetAt(0)->Disabled);

  CRSPythonScript script;
  ASSERT_TRUE(LoadXml(script,
                      "<Script>print(1)\\r\\nprint(2)\n\t<Inherited>true</Inherited>"
                      "\n\t<Disabled>true</Disabled>\n</Script>",
                      1));
  EXPECT_EQ(script.Script, wxT("print(1)\r\nprint(2)"));
  EXPECT_TRUE(script.Inherited && script.Disabled);
}

// Badly placed elements are seeds of the render-system fuzz target, which
// loads them on every test run.

}  // namespace
