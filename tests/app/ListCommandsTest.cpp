#include "app/ListCommands.h"

#include <gtest/gtest.h>

#include "app/KfJsCore.h"
#include "rs/RSGroup.h"
#include "rs/RSPool.h"
#include "rs/RSRenderer.h"
#include "rs/RSVersion.h"

namespace {

const wxString kRule = wxString(wxT('-'), 75) + wxT("\n\n");

struct ListTest : ::testing::Test {
  CKfJsCore core;
  wxString console;
  CRSPool pool;

  ListTest() {
    core.SetConsoleSink([this](const wxString& t) { console += t; });
    core.SetQuiet(true);
    pool.Init(wxT("/nonexistent/Renderers"));
  }

  CRSGroup* AddGroup(const wxChar* name, bool visible) {
    auto* group = new CRSGroup();
    group->SetPool(&pool);
    group->Name = name;
    group->Visible = visible;
    pool.Groups.Add(group);
    return group;
  }
  CRSRenderer* AddRenderer(const wxChar* group, const wxChar* name, bool visible, int caps = 0) {
    auto* renderer = new CRSRenderer();
    renderer->SetPool(&pool);
    pool.Renderers.OnItemAdded(renderer);
    pool.Renderers.Add(renderer);
    renderer->Name = name;
    renderer->Visible = visible;
    renderer->Capabilities = caps;
    renderer->SetGroup(group);
    return renderer;
  }
  CRSVersion* AddVersion(CRSRenderer* renderer, const wxChar* name, bool isDefault, bool visible,
                         int caps = 0) {
    auto* version = new CRSVersion();
    version->SetPool(&pool);
    renderer->Versions.OnItemAdded(version);
    renderer->Versions.Add(version);
    version->Name = name;
    version->DefaultVersion = isDefault;
    version->Visible = visible;
    version->Capabilities = caps;
    return version;
  }
  CRSParameter* AddParameter(CRSRenderer* renderer, const wxChar* id, int type,
                             const wxChar* displayName) {
    CRSParameter* parameter = renderer->Parameters.AddNew();
    parameter->ID = id;
    parameter->Type = type;
    parameter->DisplayName = displayName;
    return parameter;
  }

  // Groups "beta", a hidden one and "Alpha", added in this order; "beta"
  // holds a hidden renderer and one whose default version is hidden.
  void BuildRendererPool() {
    AddGroup(wxT("beta"), true);
    AddGroup(wxT("Hidden"), false);
    AddGroup(wxT("Alpha"), true);
    AddVersion(AddRenderer(wxT("beta"), wxT("zed"), true), wxT("9"), false, true);
    AddVersion(AddRenderer(wxT("beta"), wxT("Ant"), false), wxT("1"), true, true);
    CRSRenderer* bee = AddRenderer(wxT("beta"), wxT("bee"), true, 0x10);
    AddVersion(bee, wxT("1"), false, true, 0x1);
    AddVersion(bee, wxT("2"), true, false, 0x2);
    AddVersion(bee, wxT("3"), false, false);
    AddVersion(bee, wxT("4"), false, true, 0x10000);
    AddVersion(AddRenderer(wxT("Hidden"), wxT("Old"), true), wxT("1"), true, true);
    AddVersion(AddRenderer(wxT("Alpha"), wxT("Kiln"), true), wxT("2.0"), true, true);
  }
};

TEST_F(ListTest, RenderersSortIgnoringCaseWithTheDefaultVersionFirst) {
  BuildRendererPool();
  CListCommands(core, false, false).ListRenderers(pool, wxString(), false);
  EXPECT_EQ(console, wxT("Renderer list (Group: Renderer/Version):\n") + kRule +
                         wxT("Alpha: Kiln/2.0 *\n"
                             "beta: bee/2 *\n"
                             "beta: bee/1\n"
                             "beta: bee/4\n"
                             "beta: zed/9 *\n"
                             "\n* = Default version\n"
                             "Note: The group name and * are not part of the renderer ID\n"));
  EXPECT_TRUE(core.IsQuiet());

  console.clear();
  CListCommands(core, true, false).ListRenderers(pool, wxString(), false);
  EXPECT_EQ(console, wxT("Kiln/2.0\nbee/2\nbee/1\nbee/4\nzed/9\n"));
}

TEST_F(ListTest, GroupFilterIgnoresCaseAndCapabilitiesCombineBits) {
  BuildRendererPool();
  CListCommands(core, false, false).ListRenderers(pool, wxT("BETA"), true);
  EXPECT_EQ(console, wxT("beta/bee/2:18\nbeta/bee/1:17\nbeta/bee/4:65552\nbeta/zed/9:0\n"));

  // A hidden group stays hidden even when named; an unknown one lists nothing.
  console.clear();
  CListCommands(core, true, false).ListRenderers(pool, wxT("hidden"), false);
  CListCommands(core, true, false).ListRenderers(pool, wxT("Gamma"), true);
  EXPECT_EQ(console, wxT(""));
}

struct ParamsTest : ListTest {
  ParamsTest() {
    AddGroup(wxT("G"), true);
    CRSRenderer* renderer = AddRenderer(wxT("G"), wxT("R"), true);
    CRSParameter* quality = AddParameter(renderer, wxT("quality"), CRSParameter::kEnum,
                                         wxT("Quality"));
    quality->AddEnumValue(wxT("low"), wxT("1"));
    quality->AddEnumValue(wxT("high"), wxT("2"));
    quality->Group = wxT("Render");
    quality->DefaultValue = wxT("low");
    quality->Mandatory = true;
    quality->UseRange = true;
    quality->MaxValue = 10.5f;
    quality->AddDependency(wxT("threads"));
    CRSParameter* verbose = AddParameter(renderer, wxT("verbose"), CRSParameter::kBoolValues,
                                         wxT("Verbose"));
    verbose->Help = wxT("Print more");
    verbose->TrueValue = wxT("on");
    verbose->FalseValue = wxT("off");
    verbose->AddDependency(wxT("quality"));
    verbose->AddDependency(wxT("threads"));
    AddParameter(renderer, wxT("sf"), CRSParameter::kNumber, wxT("Start frame"))->Settable = false;
    CRSParameter* outdir = AddParameter(renderer, wxT("outdir"), CRSParameter::kDirectory,
                                        wxT("Output directory"));
    outdir->Settable = false;
    AddParameter(renderer, wxT("averyveryverylongid"), CRSParameter::kText, wxT("Long"))
        ->TypeFlags = 1;
    AddVersion(renderer, wxT("1.0"), false, true);
    AddVersion(renderer, wxT("2.0"), true, true);
  }
};

TEST_F(ParamsTest, DecoratedFormWithMachineLines) {
  CListCommands(core, false, true).ListParams(pool, wxT("R/1.0"));
  const wxString pad(wxT(' '), 16);
  EXPECT_EQ(console, wxT("Parameters list for R/1.0:\n") + kRule +
                         wxT("quality         Quality (Default = low) [Render] *\n") + pad +
                         wxT("No description available\n"
                             "8|0|1|0.000|10.500|threads|low=1;high=2\n"
                             "verbose         Verbose\n") +
                         pad +
                         wxT("Print more\n"
                             "3|0|0|0.000|0.000|quality;threads|True=on;False=off\n"
                             "outdir          Output directory\n") +
                         pad +
                         wxT("No description available\n"
                             "7|0|0|0.000|0.000||\n"
                             "averyveryverylongidLong\n") +
                         pad +
                         wxT("No description available\n"
                             "0|1|0|0.000|0.000||\n"
                             "\n* denotes mandatory parameters\n"));
  EXPECT_TRUE(core.IsQuiet());
}

TEST_F(ParamsTest, CompactFormListsOnlyIdsAndTheDefaultVersionStandsForTheRenderer) {
  CListCommands(core, true, true).ListParams(pool, wxT("R"));
  EXPECT_EQ(console, wxT("quality\nverbose\noutdir\naveryveryverylongid\n"));
  console.clear();
  CListCommands(core, false, false).ListParams(pool, wxT(" R "));
  EXPECT_TRUE(console.StartsWith(wxT("Parameters list for R/2.0:\n")));
}

TEST_F(ParamsTest, UnknownRendererOrVersionPrintsNothing) {
  CListCommands(core, false, true).ListParams(pool, wxT("r/1.0"));
  CListCommands(core, false, true).ListParams(pool, wxT("R/3.0"));
  CListCommands(core, false, true).ListParams(pool, wxT(""));
  EXPECT_EQ(console, wxT(""));
}

}  // namespace
