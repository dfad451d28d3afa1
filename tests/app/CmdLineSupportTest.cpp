#include "app/CmdLineSupport.h"

#include <gtest/gtest.h>

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
#include "TestPool.h"

namespace {

// A test renderer pool, a user, a net job and the console output of one
// application of a command line.
class CmdLineSupportTest : public CmdLineTestBase {
 protected:
  void SetUp() override {
    SetUpFarm({"12|Main", "14|Lighting", "17|Night shift"}, 8);
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
    return wxT("\nERROR! Command-line error:\n") + message + wxT(" [switch=") + switchName +
           wxT("]\n");
  }

  // The values of render setting `id`, joined with commas.
  wxString Joined(const wxString& id) const {
    const CRSRenderSetValue* value = m_job.GetRenderSet().FindValue(id);
    return value != nullptr ? wxJoin(value->Strings, wxT(','), wxT('\0')) : wxString();
  }

  CJsNetJob m_job;
  wxString m_nameFormat;
  wxString m_programDir;
};

// What each switch puts into the job's packet, the refusals of renderers and
// scenes, imported render sets and the name format are compared end to end;
// here the cases the demo farm cannot show and every refusal message.

TEST_F(CmdLineSupportTest, RendererNamesAVersionOrTheDefaultOne) {
  ASSERT_TRUE(Apply({"-nj_renderer", " Cam / 1.0 ", "-nj_render64bit", "a.ma"}, false));
  EXPECT_EQ(m_job.GetRenderer()->GetID(), wxT("Cam/1.0"));
  EXPECT_FALSE(m_job.GetUse32Bit());
  EXPECT_TRUE(m_job.GetUse64Bit());
  // A renderer without a flagged default version uses its first one.
  ASSERT_TRUE(Apply({"-nj_renderer", "Solo", "a.ma"}, false));
  EXPECT_EQ(m_job.GetRenderer()->GetID(), wxT("Solo/9"));
  // A renderer a preset chose stands when the command line names none.
  m_job.SetRenderer(m_pool.FindVersion(wxT("Cam/1.0")));
  EXPECT_TRUE(Apply({"a.ma"}, false));
  EXPECT_EQ(m_job.GetRenderSet().Renderer, wxT("Cam/1.0"));
}

TEST_F(CmdLineSupportTest, BlankDefaultsFillNothingAndDisabledSettingsAreUnknown) {
  ASSERT_TRUE(Apply({"-denoise", "off", "a.ma"}));
  EXPECT_EQ(Joined(wxT("denoise")), wxT("off"));
  EXPECT_EQ(Joined(wxT("quality")), wxT("high"));
  EXPECT_EQ(m_job.GetRenderSet().FindValue(wxT("label")), nullptr);
  // Disabled in version 1.0.
  EXPECT_FALSE(Apply({"-nj_renderer", "Cam/1.0", "-gpu", "1", "a.ma"}, false));
  EXPECT_EQ(m_out, Report(wxT("Unknown switch"), wxT("gpu")));
}

TEST_F(CmdLineSupportTest, SceneFilesFromFreeArguments) {
  ASSERT_TRUE(Apply({"one.ma", "@plain.ma"}));
  EXPECT_EQ(Joined(wxT("scene")), wxT("one.ma,plain.ma"));
  EXPECT_FALSE(Apply({"-nj_priority", "2"}));
  EXPECT_EQ(m_out, Report(wxT("No scene files were specified"), wxT("")));
}

TEST_F(CmdLineSupportTest, PriorityAboveTenIsInvalidUnderAHigherLimit) {
  // Capping at the user's limit and raising to 1 are the end-to-end tests'.
  m_user.SetPriorityLimit(50);
  EXPECT_FALSE(Apply({"-nj_priority", "11", "a.ma"}));
  EXPECT_EQ(m_out, Report(wxT("Invalid net job priority"), wxT("nj_priority")));
}

TEST_F(CmdLineSupportTest, WithoutTheSwitchEveryPoolOfTheUserFollowsThoseOfThePresets) {
  ASSERT_TRUE(Apply({"a.ma"}));
  EXPECT_EQ(m_job.GetPoolList().size(), 3u);
  m_job.RemovePool(wxString());
  m_job.AddPool(wxT("14|Lighting"));
  m_job.AddPool(wxT("9|Elsewhere"));
  ASSERT_TRUE(Apply({"a.ma"}));
  EXPECT_EQ(wxJoin(m_job.GetPoolList(), wxT(','), wxT('\0')),
            wxT("14|Lighting,9|Elsewhere,12|Main,17|Night shift"));
  EXPECT_FALSE(Apply({"-nj_pools", "12", "a.ma"}));  // identifiers are not names
  EXPECT_EQ(m_out, Report(wxT("No valid client pools provided"), wxT("nj_pools")));
}

TEST_F(CmdLineSupportTest, PoolNamesIgnoreTheCaseOfAnyLetter) {
  m_user.SetPools(Strings({"21|\xC3\x84rger", "22|Main"}));   // "Ärger"
  ASSERT_TRUE(Apply({"-nj_pools", "\xC3\xA4RGER", "a.ma"}));  // "äRGER"
  EXPECT_EQ(wxJoin(m_job.GetPoolList(), wxT(','), wxT('\0')),
            wxString::FromUTF8("21|\xC3\x84rger"));
}

TEST_F(CmdLineSupportTest, RangeChecksOfTheSwitches) {
  const struct {
    const char* switchName;
    std::vector<const char*> values;
    const char* message;
  } cases[] = {
      {"nj_rendercores", {"-1", "17"}, "The render core setting is invalid"},
      {"nj_dispatchorder", {"-1", "4"}, "The dispatch order is invalid"},
      {"nj_minclientmemory", {"6"}, "The client memory limit is invalid"},
      {"nj_errorhandling", {"1,0", ",1", "3,1", "1"}, "The error handling settings are invalid"},
      {"nj_splitmode", {"1,", "1"}, "The frame splitting settings are invalid"},
      {"nj_slicemode", {"1,,2", "1,2"}, "The image slicing settings are invalid"},
      {"nj_framechecking", {",x#", "3"}, "Invalid frame checking mode"},
      {"nj_framechecking", {"1,frame.exr"},
       "Invalid image name (no frame number placeholder specified)"},
  };
  for (const auto& c : cases) {
    for (const char* value : c.values) {
      SCOPED_TRACE(std::string(c.switchName) + " " + value);
      m_out.clear();
      const std::string name = std::string("-") + c.switchName;
      EXPECT_FALSE(Apply({name.c_str(), value, "a.ma"}));
      EXPECT_EQ(m_out, Report(wxString::FromUTF8(c.message), wxString::FromUTF8(c.switchName)));
    }
  }
}

TEST_F(CmdLineSupportTest, SliceFormatAndSplittingParametersOfTheRenderer) {
  // The format keeps its commas; the parameters that always split the job
  // follow the switch's names.
  ASSERT_TRUE(Apply({"-nj_slicemode", "1,4,2,,a,b", "-nj_extsplitting", "camera,PASSES", "a.ma"}));
  EXPECT_EQ(m_job.GetSliceMode().format, wxT("a,b"));
  EXPECT_EQ(wxJoin(m_job.GetExtendedSplitting(), wxT(','), wxT('\0')), wxT("camera,PASSES,tiles"));
}

}  // namespace
