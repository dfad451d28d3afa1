// Helpers shared by the render-system tests.
#pragma once

#include "rs/DataXMLSerializer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

// Parses `xml` into `root`, failing the test when it is not well formed.
inline void ParseInto(CDataNode& root, const std::string& xml) {
  ASSERT_TRUE(CDataXMLSerializer(&root).ParseUTF8(xml)) << xml;
}

inline std::string ToXml(CDataNode& root) { return CDataXMLSerializer(&root).ToUTF8(); }

// A temporary directory removed (with its files) at the end of the test.
class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/kfrs_XXXXXX";
    const char* dir = mkdtemp(pattern);
    m_path = dir ? dir : "";
  }
  ~TempDir() {
    if (!m_path.empty()) {
      const std::string cmd = "rm -rf '" + m_path + "'";
      if (std::system(cmd.c_str()) != 0) {
      }
    }
  }
  wxString Path() const { return wxString::FromUTF8(m_path); }
  wxString File(const char* name) const { return Path() + wxT("/") + wxString::FromUTF8(name); }

 private:
  std::string m_path;
};
