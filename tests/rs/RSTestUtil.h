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

// Parses `xml` and loads it into `target` (a list or an object) in `mode`.
template <class T>
bool LoadXml(T& target, const std::string& xml, int mode) {
  CDataNode root;
  ParseInto(root, xml);
  return target.Load(root, mode);
}

// `source` saved in `mode` under an element `name`, as the document text.
template <class T>
std::string SavedXml(T& source, const char* name, int mode) {
  CDataNode root;
  root.SetName(wxString::FromUTF8(name));
  source.Save(root, mode);
  return ToXml(root);
}
