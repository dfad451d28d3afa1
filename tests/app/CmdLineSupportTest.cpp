#include "app/CmdLineSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/KfJsCmdLine.h"
#include "app/KfJsCore.h"
#include "net/UserData.h"
#include "netjob/JsNetJob.h"
#include "rs/RSPool.h"
#include "rs/RSRenderSet.h"
#include "rs/RSVersion.h"
#include "../netjob/TestPool.h"

namespace {

// A test renderer pool, a user, a net job and the console output of one
// application of a command line.
class CmdLineSupportTest : public CmdLineTestBase {
 protected:
  void SetUp() override {
    SetUpFarm({wxT("12|Main"), wxT("14|Lighting"), wxT("17|Night shift")}, 8);
    m_user.GetRights().Set(CUserRights::kUrgentJobs);
    m_job.Reset(-1);
  }

  // Parses `args` as the program's arguments and applies them to the job
  // (with an empty render set, as a new job has).
  bool Apply(std::vector<const char*> args, bool withRenderer = true) {
    m_job.GetRenderSet().Clear();
    if (withRenderer) args.insert(args.begin(), {"-nj_renderer", "Cam"});
    CCmdLineSupport support(m_job, Parse(args), m_pool, &m_user);
    support.SetNameFormat(m_nameFormat);
    support.SetProgramDir(m_programDir);
    return support.Apply();
  }

  // The command-line error report for `message` and `switchName`.
  static wxString Report(const wxString& message, const wxString& switchName) {
    return wxT("\nERROR! Command-line error:\n") + message + wxT(" [switch=") + switchName + wxT("]\n");
  }

  wxArrayString Values(const wxString& id) const {
    const CRSRenderSetValue* value = m_job.GetRenderSet().FindValue(id);
    return value != nullptr ? value->Strings : wxArrayString();
  }
  wxString Joined(const wxString& id) const { return wxJoin(Values(id), wxT(','), wxT('\0')); }

  CJsNetJob m_job;
  wxString m_nameFormat;
  wxString m_programDir;
};

TEST_F(CmdLineSupportTest, RendererNamesAVersionOrTheDefaultOne) {
  ASSERT_TRUE(Apply({"a.ma"}));
  EXPECT_EQ(m_job.GetRenderer()->GetID(), wxT("Cam/2.0"));
  EXPECT_EQ(m_job.GetRenderSet().Renderer, wxT("Cam/2.0"));
  EXPECT_TRUE(m_job.GetUse32Bit() && m_job.GetUse64Bit());

  ASSERT_TRUE(Apply({"-nj_renderer", " Cam / 1.0 ", "-nj_render64bit", "a.ma"}, false));
  EXPECT_EQ(m_job.GetRenderer()->GetID(), wxT("Cam/1.0"));
  EXPECT_FALSE(m_job.GetUse32Bit());
  EXPECT_TRUE(m_job.GetUse64Bit());

  // A renderer without a flagged default version uses its first one.
  ASSERT_TRUE(Apply({"-nj_renderer", "Solo", "a.ma"}, false));
  EXPECT_EQ(m_job.GetRenderer()->GetID(), wxT("Solo/9"));
}

TEST_F(CmdLineSupportTest, UnknownOrMissingRenderers) {
  EXPECT_FALSE(Apply({"-nj_renderer", "Cam/3.0", "a.ma"}, false));
  EXPECT_EQ(m_out, Report(wxT("The specified renderer doesn't exist"), wxT("nj_renderer")));
  m_out.clear();
  EXPECT_FALSE(Apply({"-nj_renderer", "cam", "a.ma"}, false));  // names compare with case
  EXPECT_EQ(m_out, Report(wxT("The specified renderer doesn't exist"), wxT("nj_renderer")));
  m_out.clear();
  m_job.SetRenderer(nullptr);
  EXPECT_FALSE(Apply({"a.ma"}, false));
  EXPECT_EQ(m_out, Report(wxT("No renderer specified"), wxT("nj_renderer")));
  // A renderer a preset chose stands when the command line names none.
  m_job.SetRenderer(m_pool.FindVersion(wxT("Cam/1.0")));
  EXPECT_TRUE(Apply({"a.ma"}, false));
  EXPECT_EQ(m_job.GetRenderSet().Renderer, wxT("Cam/1.0"));
}

TEST_F(CmdLineSupportTest, RenderSettingsFromSwitchesAndDefaults) {
  ASSERT_TRUE(Apply({"-camera", "front, side;top", "-Quality", "draft", "-denoise", "off", "-gpu",
                     "YES", "a.ma"}));
  EXPECT_EQ(Joined(wxT("camera")), wxT("front,side,top"));
  EXPECT_EQ(Joined(wxT("quality")), wxT("draft"));
  EXPECT_EQ(Joined(wxT("denoise")), wxT("off"));
  EXPECT_EQ(Joined(wxT("gpu")), wxT("true"));
  EXPECT_EQ(Joined(wxT("scene")), wxT("a.ma"));

  // Defaults fill what is missing; a blank default fills nothing.
  ASSERT_TRUE(Apply({"-gpu", "-nj_priority", "3", "a.ma"}));
  EXPECT_EQ(Joined(wxT("gpu")), wxT("false"));  // followed directly by a switch
  EXPECT_EQ(Joined(wxT("quality")), wxT("high"));
  EXPECT_EQ(Joined(wxT("denoise")), wxT("on"));
  EXPECT_EQ(m_job.GetRenderSet().FindValue(wxT("label")), nullptr);

  ASSERT_TRUE(Apply({"-nodefaults", "a.ma"}));
  EXPECT_EQ(m_job.GetRenderSet().GetCount(), 1u);
}

TEST_F(CmdLineSupportTest, SettingsTheVersionDoesNotKnowAreUnknownSwitches) {
  EXPECT_FALSE(Apply({"-colour", "red", "a.ma"}));
  EXPECT_EQ(m_out, Report(wxT("Unknown switch"), wxT("colour")));
  m_out.clear();
  // Disabled in version 1.0.
  EXPECT_FALSE(Apply({"-nj_renderer", "Cam/1.0", "-gpu", "1", "a.ma"}, false));
  EXPECT_EQ(m_out, Report(wxT("Unknown switch"), wxT("gpu")));
}

TEST_F(CmdLineSupportTest, SceneFilesFromFreeArguments) {
  ASSERT_TRUE(Apply({"one.ma", "@f/s_##[9-11;2].ma", "@plain.ma"}));
  EXPECT_EQ(Joined(wxT("scene")), wxT("one.ma,f/s_09.ma,f/s_11.ma,plain.ma"));

  EXPECT_FALSE(Apply({"-nj_priority", "2"}));
  EXPECT_FALSE(Apply({"@s_#[1-3;0].ma"}));
  EXPECT_FALSE(Apply({"@/nonexistent-folder/*.ma"}));
  EXPECT_EQ(m_out, Report(wxT("No scene files were specified"), wxT("")) +
                       Report(wxT("Invalid scene filename pattern specified"), wxT("")) +
                       Report(wxT("No scene files were specified"), wxT("")));
}

TEST_F(CmdLineSupportTest, ImportedRenderSetsLoseTheJobsOwnValues) {
  char templ[] = "/tmp/kfimportXXXXXX";
  ASSERT_NE(mkdtemp(templ), nullptr);
  const std::string dir = templ;
  ASSERT_EQ(std::system(("mkdir -p " + dir + "/Presets/NetJobs").c_str()), 0);
  std::ofstream(dir + "/Presets/NetJobs/look.kset")
      << "<RenderSet>\n\t<Renderer>X/1</Renderer>\n\t<Values>\n"
      << "\t\t<scene>\n\t\t\t<Value>old.ma</Value>\n\t\t</scene>\n"
      << "\t\t<projdir>\n\t\t\t<Value>/p</Value>\n\t\t</projdir>\n"
      << "\t\t<quality>\n\t\t\t<Value>final</Value>\n\t\t</quality>\n\t</Values>\n</RenderSet>\n";
  std::ofstream(dir + "/other.kset") << "<RenderSet>\n\t<Values/>\n</RenderSet>\n";
  m_programDir = wxString::FromUTF8(dir.c_str());

  ASSERT_TRUE(Apply({"-importset", "look", "new.ma"}));
  EXPECT_EQ(m_job.GetRenderSet().Renderer, wxT("Cam/2.0"));
  EXPECT_EQ(Joined(wxT("scene")), wxT("new.ma"));
  EXPECT_EQ(m_job.GetRenderSet().FindValue(wxT("projdir")), nullptr);
  EXPECT_EQ(Joined(wxT("quality")), wxT("final"));  // not replaced by the default

  EXPECT_TRUE(Apply({"-importset", "other", "new.ma"}));  // the program folder
  EXPECT_FALSE(Apply({"-importset", "missing.kset", "new.ma"}));
  EXPECT_EQ(m_out, Report(wxT("Unable to import the specified render set"), wxT("importset")));
  std::system(("rm -rf " + dir).c_str());
}

TEST_F(CmdLineSupportTest, NameFromTheSwitchOrTheConfiguredFormat) {
  ASSERT_TRUE(Apply({"C:\\shots\\sh010.ma", "b.ma"}));
  EXPECT_EQ(m_job.GetName(), wxT("Unnamed job - sh010.ma"));
  m_nameFormat = wxT("$(scene) / $(scene)");
  ASSERT_TRUE(Apply({"dir/x.ma"}));
  EXPECT_EQ(m_job.GetName(), wxT("x.ma / x.ma"));
  ASSERT_TRUE(Apply({"-nj_name", "Final", "x.ma"}));
  EXPECT_EQ(m_job.GetName(), wxT("Final"));
}

TEST_F(CmdLineSupportTest, PriorityAboveTenIsInvalidUnderAHigherLimit) {
  // Capping at the user's limit and raising to 1 are the end-to-end tests'.
  m_user.SetPriorityLimit(50);
  EXPECT_FALSE(Apply({"-nj_priority", "11", "a.ma"}));
  EXPECT_EQ(m_out, Report(wxT("Invalid net job priority"), wxT("nj_priority")));
}

TEST_F(CmdLineSupportTest, PoolsByNameWithoutCaseOrAllOfThem) {
  ASSERT_TRUE(Apply({"-nj_pools", " main,NIGHT SHIFT ; none", "a.ma"}));
  EXPECT_EQ(wxJoin(m_job.GetPoolList(), wxT(','), wxT('\0')), wxT("12|Main,17|Night shift"));
  m_job.RemovePool(wxString());
  ASSERT_TRUE(Apply({"a.ma"}));
  EXPECT_EQ(m_job.GetPoolList().size(), 3u);
  // Pools a preset chose stand when the switch is not given.
  m_job.RemovePool(wxString());
  m_job.AddPool(wxT("14|Lighting"));
  ASSERT_TRUE(Apply({"a.ma"}));
  EXPECT_EQ(wxJoin(m_job.GetPoolList(), wxT(','), wxT('\0')), wxT("14|Lighting"));
  EXPECT_FALSE(Apply({"-nj_pools", "12", "a.ma"}));  // identifiers are not names
  EXPECT_EQ(m_out, Report(wxT("No valid client pools provided"), wxT("nj_pools")));
}

TEST_F(CmdLineSupportTest, RangeChecksOfTheSwitches) {
  const struct {
    std::vector<const char*> args;
    const wxChar* message;
    const wxChar* switchName;
  } cases[] = {
      {{"-nj_rendercores", "-1"}, wxT("The render core setting is invalid"), wxT("nj_rendercores")},
      {{"-nj_rendercores", "17"}, wxT("The render core setting is invalid"), wxT("nj_rendercores")},
      {{"-nj_dispatchorder", "-1"}, wxT("The dispatch order is invalid"), wxT("nj_dispatchorder")},
      {{"-nj_dispatchorder", "4"}, wxT("The dispatch order is invalid"), wxT("nj_dispatchorder")},
      {{"-nj_minclientmemory", "6"}, wxT("The client memory limit is invalid"), wxT("nj_minclientmemory")},
      {{"-nj_errorhandling", "1,0"}, wxT("The error handling settings are invalid"), wxT("nj_errorhandling")},
      {{"-nj_errorhandling", ",1"}, wxT("The error handling settings are invalid"), wxT("nj_errorhandling")},
      {{"-nj_errorhandling", "3,1"}, wxT("The error handling settings are invalid"), wxT("nj_errorhandling")},
      {{"-nj_errorhandling", "1"}, wxT("The error handling settings are invalid"), wxT("nj_errorhandling")},
      {{"-nj_splitmode", "1,"}, wxT("The frame splitting settings are invalid"), wxT("nj_splitmode")},
      {{"-nj_splitmode", "1"}, wxT("The frame splitting settings are invalid"), wxT("nj_splitmode")},
      {{"-nj_slicemode", "1,,2"}, wxT("The image slicing settings are invalid"), wxT("nj_slicemode")},
      {{"-nj_slicemode", "1,2"}, wxT("The image slicing settings are invalid"), wxT("nj_slicemode")},
      {{"-nj_framechecking", ",x#"}, wxT("Invalid frame checking mode"), wxT("nj_framechecking")},
      {{"-nj_framechecking", "3"}, wxT("Invalid frame checking mode"), wxT("nj_framechecking")},
      {{"-nj_framechecking", "1,frame.exr"},
       wxT("Invalid image name (no frame number placeholder specified)"), wxT("nj_framechecking")},
  };
  for (const auto& c : cases) {
    m_out.clear();
    std::vector<const char*> args = c.args;
    args.push_back("a.ma");
    EXPECT_FALSE(Apply(args)) << c.args[0] << " " << c.args[1];
    EXPECT_EQ(m_out, Report(c.message, c.switchName));
  }
}

TEST_F(CmdLineSupportTest, SplittingSlicingAndFrameChecking) {
  ASSERT_TRUE(Apply({"-nj_splitmode", "2, 25", "-nj_slicemode", "1,4,2,,a,b", "-nj_extsplitting",
                     "camera,PASSES", "-nj_framechecking", "1,img_%04d,,512,Yes,no,Yes",
                     "-outdir", "/renders", "a.ma"}));
  EXPECT_EQ(m_job.GetSplitMode().mode, 2);
  EXPECT_EQ(m_job.GetSplitMode().count, 25);
  const NetJobSliceMode& slice = m_job.GetSliceMode();
  EXPECT_EQ(slice.x, 4);
  EXPECT_EQ(slice.y, 2);
  EXPECT_EQ(slice.overlap, 0);
  EXPECT_EQ(slice.format, wxT("a,b"));
  // The switch's names, then the parameters that always split the job.
  EXPECT_EQ(wxJoin(m_job.GetExtendedSplitting(), wxT(','), wxT('\0')), wxT("camera,PASSES,tiles"));
  const NetJobFrameChecking& check = m_job.GetFrameChecking();
  EXPECT_EQ(check.method, 1);
  EXPECT_EQ(check.imageName, wxT("img_%04d"));
  EXPECT_EQ(check.imageDir, wxT("/renders"));
  EXPECT_EQ(check.filesizeThreshold, 512);
  EXPECT_TRUE(check.recurseSubdirs);
  EXPECT_FALSE(check.exactMatch);
  EXPECT_FALSE(check.disableSubsequent);  // only exactly "yes"

  ASSERT_TRUE(Apply({"-nj_framechecking", "2", "-outfile", "beauty", "-outdir", "/r", "a.ma"}));
  EXPECT_EQ(m_job.GetFrameChecking().imageName, wxT("beauty*#"));
  EXPECT_FALSE(Apply({"-nj_framechecking", "2,x#", "-nodefaults", "a.ma"}));
}

TEST_F(CmdLineSupportTest, LimitsDependenciesAndThresholds) {
  ASSERT_TRUE(Apply({"-nj_dependency", "7", "-nj_dependency", "9", "-nj_dependency", "7",
                     "-nj_deptype", "3", "-nj_clientlimit", "0", "-nj_minclientpriority", "0",
                     "-nj_minclientmemory", "24", "-nj_mindispatchdelay", "-5", "-nj_lowerth_sec",
                     "40", "-nj_lowerth_action", "1", "-nj_upperth", "3", "-nj_upperth_sec", "15",
                     "a.ma"}));
  EXPECT_EQ(m_job.GetDependencies(), (std::vector<int>{7, 9}));
  EXPECT_EQ(m_job.GetDependencyType(), 3);
  EXPECT_EQ(m_job.GetClientLimit(), -1);
  EXPECT_EQ(m_job.GetMinClientPriority(), -1);
  EXPECT_EQ(m_job.GetMinClientMemory(), 24);
  EXPECT_EQ(m_job.GetMinDispatchDelay(), -5);
  const NetJobTimeThresholds& t = m_job.GetTimeThresholds();
  EXPECT_TRUE(t.useLower);
  EXPECT_EQ(t.lowerMinutes, 0);
  EXPECT_EQ(t.lowerSeconds, 40);
  EXPECT_EQ(t.lowerAction, 1);
  EXPECT_TRUE(t.useUpper);
  EXPECT_EQ(t.upperMinutes, 3);
  EXPECT_EQ(t.upperSeconds, 0);  // minutes decide; seconds are not read
}

TEST_F(CmdLineSupportTest, TextsFieldsColourAndClients) {
  ASSERT_TRUE(Apply({"-nj_project", "A\\tB\\nC\\\\D", "-nj_notes", "x\\ny", "-nj_tags", " t1; t2 ",
                     "-nj_setfield", "Shot = 10", "-nj_setfield", "Flag=true=x", "-nj_setfield",
                     "Bare", "-nj_color", "255,128,-1", "-nj_clients", "n1; ;n2",
                     "-nj_blockedclients", "b1", "-nj_emailusers", "anna;bob;", "-nj_startdate",
                     "tomorrow 8:00", "a.ma"}));
  EXPECT_EQ(m_job.GetProject(), wxT("A\tB\nC\\\\D"));
  EXPECT_EQ(m_job.GetNotes(), wxT("x\ny"));
  EXPECT_EQ(m_job.GetTags(), wxT("t1; t2"));
  EXPECT_EQ(m_job.GetCustomFields(), wxT("Shot|10\nFlag|true\nBare|"));
  EXPECT_EQ(m_job.GetColor(), 0xFF80FFu);
  EXPECT_EQ(wxJoin(m_job.GetClientList(), wxT(','), wxT('\0')), wxT("n1,n2"));
  EXPECT_TRUE(m_job.GetClientListAdmitsOnly());
  EXPECT_EQ(wxJoin(m_job.GetEmailUsers(), wxT(','), wxT('\0')), wxT("anna,bob"));
  EXPECT_TRUE(m_job.GetSchedule().enabled);
  EXPECT_EQ(m_job.GetSchedule().text, wxT("tomorrow 8:00"));
}

}  // namespace
