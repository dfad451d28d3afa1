// Helpers shared by the render-system tests.
#pragma once

#include "rs/DataXMLSerializer.h"
#include "../support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

// Parses `xml` into `root`, failing the test when it is not well formed.
inline void ParseInto(CDataNode& root, const std::string& xml) {
  ASSERT_TRUE(CDataXMLSerializer(&root).ParseUTF8(xml)) << xml;
}

inline std::string ToXml(CDataNode& root) { return CDataXMLSerializer(&root).ToUTF8(); }
