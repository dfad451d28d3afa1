// A small renderer pool for tests: group "Test" with renderer "Cam" (versions
// 1.0 and 2.0, the default) and group "Other" with renderer "Solo".
#pragma once

#include <wx/ffile.h>

#include "rs/DataXMLSerializer.h"
#include "rs/RSPool.h"

inline bool LoadTestPool(CRSPool& pool) {
  pool.Init(wxT("/nonexistent/kf-test-pool"));
  wxString xml;
  if (!wxFFile(wxT(KF_TEST_DATA_DIR "/netjob/renderers.xml")).ReadAll(&xml)) return false;
  CDataNode root;
  return CDataXMLSerializer(&root).ParseText(xml) && pool.Renderers.Load(root, 1);
}
