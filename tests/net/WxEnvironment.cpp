// Sockets need the wx library initialised, as the program does at start-up.
#include <gtest/gtest.h>
#include <wx/init.h>

namespace {

class WxEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { wxInitialize(); }
  void TearDown() override { wxUninitialize(); }
};

::testing::Environment* const g_wx = ::testing::AddGlobalTestEnvironment(new WxEnvironment);

}  // namespace
