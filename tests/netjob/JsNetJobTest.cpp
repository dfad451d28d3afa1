#include "netjob/JsNetJob.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>

#include "../support/TempDir.h"

namespace {

// Writes preset files into a fresh temporary folder; gives their paths.
struct PresetFiles : TempDir {
  wxString Write(const char* name, const std::string& text) const {
    TempDir::Write(name, text);
    return Path(name);
  }
};

// A data container section with values of the given (type, name, value).
std::string Data(std::initializer_list<std::tuple<int, const char*, const char*>> values) {
  std::string out = "Data\n{\nValueCount = " + std::to_string(values.size()) + "\n";
  int i = 1;
  for (const auto& [type, name, value] : values) {
    char header[16];
    std::snprintf(header, sizeof(header), "Value%02d", i++);
    out += std::string(header) + "\n{\nType = " + std::to_string(type) + "\nName = \"" + name +
           "\"\nValue = \"" + value + "\"\n}\n";
  }
  return out + "}\n";
}

std::string General(const char* name, int groups) {
  return std::string("General\n{\nName = \"") + name + "\"\nSelectedGroups = " +
         std::to_string(groups) + "\n}\n";
}

const std::string kEverything = Data({
    {4, "Renderer", "Maya/2024"}, {1, "Renderer32bit", "true"}, {1, "Renderer64bit", "false"},
    {2, "Priority", "9"}, {1, "Urgent", "true"}, {2, "RenderCoreCount", "4"},
    {2, "ChunkDispatchOrder", "2"}, {1, "ChunkDispatchFirstLastFirst", "true"},
    {2, "SplitMode_Mode", "1"}, {2, "SplitMode_Count", "10"}, {2, "SliceMode_Mode", "2"},
    {2, "SliceMode_CX", "4"}, {2, "SliceMode_RY", "3"}, {2, "SliceMode_Overlap", "8"},
    {4, "SliceMode_Format", "s_<row>"}, {4, "BlockedClients", "DOMAIN\\node1"},
    {4, "PoolList", "1|Main"}, {2, "ClientLimit", "3"}, {2, "MinClientPriority", "0"},
    {1, "SendEmails", "false"}, {4, "EmailRecipients", "a@b"}, {1, "CacheScenesLocally", "true"},
    {1, "TimeThresholds_UseLowerThreshold", "true"}, {2, "TimeThresholds_LowerThresholdMin", "2"},
    {2, "TimeThresholds_UpperThresholdAction", "2"}, {2, "ErrorHandling_Action", "1"},
    {2, "ErrorHandling_Tolerance", "3"}, {1, "ErrorHandling_IncRecreatedChunks", "true"},
    {2, "FrameChecking_Method", "2"}, {4, "FrameChecking_ImageDir", "/out"},
    {4, "FrameChecking_ImageName", "img_#"}, {2, "FrameChecking_FilesizeThreshold", "100"},
    {1, "FrameChecking_RecurseSubdirs", "true"}, {4, "Notes", "from preset"},
    {4, "ExtendedSplitting", "camera"},
});

const std::string kOneEvent =
    "Events\n{\nCount = 1\nEvent00\n{\nScope = 3\nName = \"done\"\n}\n}\n";

// A net job as the submission starts it.
struct NewJob : CJsNetJob {
  NewJob() { Reset(-1); }
};

TEST(JsNetJobTest, AllGroupsApplyEveryNamedSetting) {
  PresetFiles files;
  const wxString path = files.Write("all.knjprs", General("Full", -1) + kEverything + kOneEvent);
  CJsNetJob job;
  job.Reset(-1);
  wxString looked;
  job.SetRendererLookup([&looked](const wxString& name) {
    looked = name;
    return nullptr;
  });
  ASSERT_TRUE(job.LoadPreset(path));
  EXPECT_EQ(looked, wxT("Maya/2024"));
  EXPECT_EQ(job.GetName(), wxT("Full"));
  EXPECT_EQ(std::make_tuple(job.GetUse32Bit(), job.GetUse64Bit(), job.GetPriority(), job.IsUrgent(),
                            job.GetRenderCoreCount(), job.GetChunkDispatchOrder(),
                            job.GetFirstLastFirst()),
            std::make_tuple(true, false, 9, true, 4, 2, true));
  const NetJobSliceMode& slice = job.GetSliceMode();
  EXPECT_EQ(
      std::make_tuple(job.GetSplitMode().count, slice.x, slice.y, slice.overlap, slice.format),
      std::make_tuple(10, 4, 3, 8, wxString(wxT("s_<row>"))));
  // A backslash is part of the name, not an escape.
  ASSERT_EQ(job.GetClientList().size(), 1u);
  EXPECT_EQ(job.GetClientList()[0], wxT("DOMAIN\\node1"));
  EXPECT_EQ(wxJoin(job.GetPoolList(), wxT(','), wxT('\0')), wxT("1|Main"));
  // A minimum client priority of 0 is taken as it is.
  EXPECT_EQ(std::make_tuple(job.GetClientLimit(), job.GetMinClientPriority(), job.GetSendEmails(),
                            job.GetEmailRecipients(), job.GetCacheScenesLocally()),
            std::make_tuple(3, 0, false, wxString(wxT("a@b")), true));
  const NetJobTimeThresholds& t = job.GetTimeThresholds();
  EXPECT_EQ(std::make_tuple(t.useLower, t.lowerMinutes, t.upperAction, job.GetErrorAction(),
                            job.GetErrorTolerance(), job.GetIncludeRecreatedChunks()),
            std::make_tuple(true, 2, 2, 1, 3, true));
  const NetJobFrameChecking& check = job.GetFrameChecking();
  EXPECT_EQ(std::make_tuple(check.method, check.imageDir, check.imageName, check.filesizeThreshold,
                            check.recurseSubdirs),
            std::make_tuple(2, wxString(wxT("/out")), wxString(wxT("img_#")), 100, true));
  EXPECT_EQ(job.GetNotes(), wxT("from preset"));
  EXPECT_EQ(wxJoin(job.GetExtendedSplitting(), wxT(','), wxT('\0')), wxT("camera"));
  ASSERT_EQ(job.GetEvents().GetCount(), 1u);
  EXPECT_EQ(job.GetEvents().GetAt(0)->GetName(), wxT("done"));
}

// Which groups a preset applies is proven end to end with the same values;
// the client limits, which no end-to-end preset changes, here bit by bit.
TEST(JsNetJobTest, ClientLimitsApplyUnderTheirOwnBitAndNoOther) {
  PresetFiles files;
  for (int bit = 0x1; bit <= 0x4000; bit <<= 1) {
    NewJob job;
    job.AssignClientLimit(4);
    job.AssignMinClientPriority(7);
    ASSERT_TRUE(job.LoadPreset(files.Write("g.knjprs", General("G", bit) + kEverything)));
    const bool applies = bit == CJsNetJob::kGroupClientLimits;
    EXPECT_EQ(job.GetClientLimit(), applies ? 3 : 4) << bit;
    EXPECT_EQ(job.GetMinClientPriority(), applies ? 0 : 7) << bit;
  }
}

TEST(JsNetJobTest, MissingNamesFallBackToTheirDefaults) {
  PresetFiles files;
  NewJob job;
  job.SetPriority(8);
  job.SetRenderCoreCount(6);
  job.SetSendEmails(false);
  job.AssignClientLimit(4);
  ASSERT_TRUE(job.LoadPreset(files.Write("p.knjprs", General("Empty", -1) + Data({}))));
  // Flags missing read as false.
  EXPECT_EQ(std::make_tuple(job.GetPriority(), job.GetRenderCoreCount(), job.GetSendEmails(),
                            job.GetClientLimit(), job.GetUse32Bit()),
            std::make_tuple(5, 1, true, -1, false));
  // A value stored with another type reads as that type's zero.
  ASSERT_TRUE(job.LoadPreset(files.Write(
      "q.knjprs", General("Typed", -1) + Data({{4, "Priority", "7"}, {2, "Urgent", "1"}}))));
  EXPECT_EQ(std::make_tuple(job.GetPriority(), job.IsUrgent()), std::make_tuple(0, false));
}

// A line feed can reach a value only through an environment variable; the
// lists are cut there and nowhere else.
TEST(JsNetJobTest, PresetListsAreCutAtLineFeedsOnly) {
  PresetFiles files;
  ASSERT_EQ(setenv("KF_TEST_PRESET_CLIENTS", "\"n1\n\nDOMAIN\\n2\\n\n\"", 1), 0);
  const std::string data =
      "Data\n{\nValueCount = 2\nValue01\n{\nType = 4\nName = \"BlockedClients\"\n"
      "Value = $:KF_TEST_PRESET_CLIENTS\n}\nValue02\n{\nType = 4\nName = \"ExtendedSplitting\"\n"
      "Value = \"cam\\nera\\tx\"\n}\n}\n";
  NewJob job;
  ASSERT_TRUE(job.LoadPreset(files.Write("lf.knjprs", General("LF", -1) + data)));
  unsetenv("KF_TEST_PRESET_CLIENTS");
  // Empty lines count, a final line feed does not start another.
  EXPECT_EQ(wxJoin(job.GetClientList(), wxT(','), wxT('\0')), wxT("n1,,DOMAIN\\n2\\n"));
  ASSERT_EQ(job.GetExtendedSplitting().size(), 1u);
  EXPECT_EQ(job.GetExtendedSplitting()[0], wxT("cam\\nera\\tx"));
}

TEST(JsNetJobTest, PresetWithoutGeneralKeepsNameAndPreviousGroups) {
  PresetFiles files;
  NewJob job;
  job.SetName(wxT("Mine"));
  ASSERT_TRUE(job.LoadPreset(files.Write("first.knjprs", General("First", 0x4) + Data({}))));
  EXPECT_EQ(job.GetSelectedGroups(), 0x4);
  job.SetName(wxT("Mine"));
  ASSERT_TRUE(job.LoadPreset(
      files.Write("n.knjprs", Data({{2, "Priority", "2"}, {2, "RenderCoreCount", "3"}}))));
  // Group 0x2 is not selected any more: the priority stays.
  EXPECT_EQ(std::make_tuple(job.GetName(), job.GetRenderCoreCount(), job.GetPriority()),
            std::make_tuple(wxString(wxT("Mine")), 3, 5));
}

TEST(JsNetJobTest, PresetsWithoutEventsStillCountAsLoaded) {
  PresetFiles files;
  NewJob job;
  EXPECT_TRUE(job.LoadPreset(files.Write("p.knjprs", General("NoEvents", 0x1000) + Data({}))));
  EXPECT_TRUE(job.LoadPreset(files.Write("e.knjprs", "General\n{\n}\n")));
  EXPECT_EQ(job.GetName(), wxT("Unnamed preset"));
}

}  // namespace
