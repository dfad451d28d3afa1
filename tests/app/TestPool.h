// A small renderer pool for tests: group "Test" with renderer "Cam" (versions
// 1.0 and 2.0, the default) and group "Other" with renderer "Solo"; and the
// base of the command-line tests that apply a command line to it.
#pragma once

#include <gtest/gtest.h>
#include <wx/ffile.h>

#include <initializer_list>
#include <memory>
#include <vector>

#include "app/KfJsCmdLine.h"
#include "app/KfJsCore.h"
#include "net/UserData.h"
#include "rs/DataXMLSerializer.h"
#include "rs/RSPool.h"
#include "../support/Strings.h"

inline bool LoadTestPool(CRSPool& pool) {
  pool.Init(wxT("/nonexistent/kf-test-pool"));
  wxString xml;
  if (!wxFFile(wxT(KF_TEST_DATA_DIR "/netjob/renderers.xml")).ReadAll(&xml)) return false;
  CDataNode root;
  return CDataXMLSerializer(&root).ParseText(xml) && pool.Renderers.Load(root, 1);
}

// The core with its console captured in m_out, the test pool, a user of the
// given client pools ("ID|name") and the command line parsed last.
class CmdLineTestBase : public ::testing::Test {
 protected:
  void SetUpFarm(std::initializer_list<const char*> pools, int priorityLimit) {
    m_core.SetConsoleSink([this](const wxString& text) { m_out += text; });
    ASSERT_TRUE(LoadTestPool(m_pool));
    m_user.SetPools(Strings(pools));
    m_user.SetPriorityLimit(priorityLimit);
  }

  // Parses `args` as the program's arguments into a new m_cmdLine.
  CKfJsCmdLine& Parse(const std::vector<const char*>& args) {
    m_cmdLine = std::make_unique<CKfJsCmdLine>();
    m_cmdLine->SetArguments(Strings(args));
    m_cmdLine->Parse();
    return *m_cmdLine;
  }

  CKfJsCore m_core;
  wxString m_out;
  CRSPool m_pool;
  CUserData m_user;
  std::unique_ptr<CKfJsCmdLine> m_cmdLine = std::make_unique<CKfJsCmdLine>();
};
