// Element names are shared between nodes up to a bound; past it, and for long
// names, a node keeps its own. Both kinds must read, write and change alike.
#include "rs/DataXMLSerializer.h"

#include <gtest/gtest.h>

#include <string>

TEST(DataNodeNames, SharedAndOwnNamesRoundTripAndChange) {
  // More distinct names than the table takes, and some longer than it takes.
  std::string xml = "<Root>";
  for (int i = 0; i < 5000; ++i) {
    const std::string prefix = i % 7 == 0 ? std::string(80, 'L') : std::string("N");
    const std::string name = prefix + std::to_string(i);
    xml += "\n\t<" + name + ">v" + std::to_string(i) + "</" + name + ">";
  }
  xml += "\n</Root>\n";

  CDataNode root;
  ASSERT_TRUE(CDataXMLSerializer(&root).ParseUTF8(xml));
  EXPECT_EQ(CDataXMLSerializer(&root).ToUTF8(), xml);
  const std::string last = "N4999";
  ASSERT_NE(root.FindChild(last), nullptr);
  EXPECT_EQ(root.FindChild(last)->GetText(), wxT("v4999"));

  // A node renamed from an own name to a shared one and back, and reset.
  CDataNode* first = root.GetChild(0);
  ASSERT_EQ(first->GetNameUTF8(), std::string(80, 'L') + "0");
  first->SetName(wxT("Short"));
  EXPECT_EQ(first->GetName(), wxT("Short"));
  first->SetNameUTF8(std::string(100, 'x'));
  EXPECT_EQ(first->GetNameUTF8(), std::string(100, 'x'));
  root.Reset();
  EXPECT_TRUE(root.GetNameUTF8().empty());
  EXPECT_EQ(root.GetChildCount(), 0u);
}
