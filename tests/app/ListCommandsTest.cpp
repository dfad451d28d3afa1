#include "app/ListCommands.h"

#include <gtest/gtest.h>

#include "app/KfJsCore.h"
#include "platform/Utf8.h"
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
  CRSRenderer* AddRenderer(const wxChar* group, const wxChar* name, bool visible) {
    auto* renderer = new CRSRenderer();
    renderer->SetPool(&pool);
    pool.Renderers.OnItemAdded(renderer);
    pool.Renderers.Add(renderer);
    renderer->Name = name;
    renderer->Visible = visible;
    renderer->SetGroup(group);
    return renderer;
  }
  CRSVersion* AddVersion(CRSRenderer* renderer, const wxChar* name, bool isDefault, bool visible) {
    auto* version = new CRSVersion();
    version->SetPool(&pool);
    renderer->Versions.OnItemAdded(version);
    renderer->Versions.Add(version);
    version->Name = name;
    version->DefaultVersion = isDefault;
    version->Visible = visible;
    return version;
  }
  CRSParameter* AddParameter(CRSRenderer* renderer, const wxChar* id, int type,
                             const wxChar* displayName) {
    CRSParameter* parameter = renderer->Parameters.AddNew();
    parameter->ID = id;
    parameter->Type = type;
    parameter->DisplayName = utf8text::From(displayName);
    return parameter;
  }
};

// Sorting, hidden groups, renderers and versions, the group filter and the
// capabilities of the renderer list are compared whole end to end; the
// parameter layout below has cases the demo farm has not.
struct ParamsTest : ListTest {
  ParamsTest() {
    AddGroup(wxT("G"), true);
    CRSRenderer* renderer = AddRenderer(wxT("G"), wxT("R"), true);
    CRSParameter* quality = AddParameter(renderer, wxT("quality"), CRSParameter::kEnum,
                                         wxT("Quality"));
    quality->AddEnumValue("low", "1");
    quality->AddEnumValue("high", "2");
    quality->Group = "Render";
    quality->DefaultValue = "low";
    quality->Mandatory = true;
    quality->UseRange = true;
    quality->MaxValue = 10.5f;
    quality->AddDependency("threads");
    CRSParameter* verbose = AddParameter(renderer, wxT("verbose"), CRSParameter::kBoolValues,
                                         wxT("Verbose"));
    verbose->Help = "Print more";
    verbose->TrueValue = "on";
    verbose->FalseValue = "off";
    verbose->AddDependency("quality");
    verbose->AddDependency("threads");
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

}  // namespace
