#include "app/KfJsCore.h"

#include "net/MsgBase.h"
#include "net/MsgType.h"
#include "net/NetEngine.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>

namespace {

struct CapturedCore {
  CKfJsCore core;
  wxString console;
  wxString log;
  CapturedCore() {
    core.SetConsoleSink([this](const wxString& t) { console += t; });
    core.SetLogSink([this](const wxString& t) { log += t; });
  }
};

TEST(KfJsCoreTest, QuietHidesLevelZeroAndOneButNotErrorsOrDebug) {
  CapturedCore c;
  c.core.SetQuiet(true);
  c.core.OutputLevel(0, wxT("plain %i\n"), 1);
  c.core.OutputLevel(1, wxT("careful\n"));
  c.core.OutputLevel(2, wxT("broken %s\n"), wxString(wxT("x")));
  c.core.OutputLevel(3, wxT("trace\n"));
  EXPECT_EQ(c.console, wxT("ERROR! broken x\nDEBUG! trace\n"));
  EXPECT_TRUE(c.core.IsQuiet());
  // The log copy sees everything, quiet or not.
  EXPECT_EQ(c.log, wxT("plain 1\nWARNING! careful\nERROR! broken x\nDEBUG! trace\n"));
}

TEST(KfJsCoreTest, FormattedTextIsNotFormattedTwice) {
  CapturedCore c;
  c.core.Output(wxT("%s\n"), wxString(wxT("100%s %d")));
  c.core.Output(wxT("50%\n"));
  EXPECT_EQ(c.console, wxT("100%s %d\n50%\n"));
}

TEST(KfJsCoreTest, TheCoresQueueIsTheGlobalQueueForItsLifetime) {
  {
    CKfJsCore core;
    EXPECT_EQ(UEventQueue::Global(), &core.GetEventQueue());
  }
  EXPECT_EQ(UEventQueue::Global(), nullptr);
}

}  // namespace

// The class of each type is checked by name only: naming a class here would
// link it into the test and hide a registry that finds classes by name.
TEST(KfJsCoreTest, EveryTypeOfTheMessageTableCreatesItsOwnClass) {
  const std::pair<wxInt32, const char*> table[] = {
#define KF_TYPE_AND_CLASS_NAME(name, number) {k##name##Type, "C" #name},
      KF_NET_MSG_TYPES(KF_TYPE_AND_CLASS_NAME)
#undef KF_TYPE_AND_CLASS_NAME
  };
  CKfJsCore::AddMessageClasses();
  CNetEngine engine;
  ASSERT_TRUE(engine.RegisterAll());
  for (const auto& [type, name] : table) {
    std::unique_ptr<CMsgBase> message(engine.Create(type));
    ASSERT_TRUE(message) << type;
    EXPECT_EQ(wxString(message->GetClassInfo()->GetClassName()), wxString::FromUTF8(name)) << type;
    EXPECT_EQ(message->GetType(), type);
  }
}
