#include "netjob/NetJobEventList.h"

#include <gtest/gtest.h>

#include <tuple>

#include "settings/ExtendedSettingsScript.h"
#include "settings/XSSSection.h"

namespace {

wxString Scopes(const CNetJobEventList& list) {
  wxString out;
  for (size_t i = 0; i < list.GetCount(); ++i) {
    out += wxString::Format(wxT("%i:%s "), list.GetAt(i)->GetScope(), list.GetAt(i)->GetName());
  }
  return out;
}

TEST(NetJobEventListTest, EventsStayGroupedByScopeInAddingOrder) {
  CNetJobEventList list;
  for (const auto& [scope, name] : {std::make_pair(1, wxT("a")), std::make_pair(2, wxT("b")),
                                    std::make_pair(1, wxT("c")), std::make_pair(3, wxT("d")),
                                    std::make_pair(2, wxT("e"))}) {
    list.AddEvent(std::make_unique<CNetJobEvent>(scope, 0, 0, name));
  }
  EXPECT_EQ(Scopes(list), wxT("1:a 1:c 2:b 2:e 3:d "));
  EXPECT_FALSE(list.AddEvent(nullptr));

  CNetJobEventList copy;
  copy.AddEvent(std::make_unique<CNetJobEvent>(9, 0, 0, wxT("old")));
  copy.CopyFrom(list);
  EXPECT_EQ(Scopes(copy), Scopes(list));
  EXPECT_NE(copy.GetAt(0), list.GetAt(0));  // copies, not shared
}

TEST(NetJobEventListTest, UnescapeResolvesControlsAndKeepsOtherCharacters) {
  EXPECT_EQ(CNetJobEventList::Unescape(wxT("a\\nb\\rc\\td")), wxT("a\nb\rc\td"));
  EXPECT_EQ(CNetJobEventList::Unescape(wxT("C:\\\\dir\\x")), wxT("C:\\dirx"));
  EXPECT_EQ(CNetJobEventList::Unescape(wxT("end\\")), wxT("end\\"));
}

TEST(NetJobEventListTest, LoadsEventSectionsAndSkipsMissingOnes) {
  const wxString text =
      wxT("Events\n{\nCount = 3\nEvent00\n{\nScope = 2\nType = 5\nFlags = 7\nName = \"mail\"\n")
      wxT("Contents\n{\nCount = 2\nEntry00 = \"line\\none\"\nEntry01 = \"tab\\there\"\n}\n}\n")
      wxT("Event02\n{\nScope = 1\nName = \"cmd\"\n}\n}\n");
  UExtendedSettingsScript doc;
  ASSERT_TRUE(doc.LoadFromText(text, 0));
  UXSSSection* events = doc.GetRootSection().FindSection(wxT("Events"), false);
  ASSERT_NE(events, nullptr);
  CNetJobEventList list;
  list.LoadFromSection(*events);
  ASSERT_EQ(list.GetCount(), 2u);
  // Grouped by scope: the later event of scope 1 is appended after scope 2.
  const CNetJobEvent* mail = list.GetAt(0);
  EXPECT_EQ(std::make_tuple(mail->GetScope(), mail->GetType(), mail->GetFlags(), mail->GetName()),
            std::make_tuple(2, 5, 7, wxString(wxT("mail"))));
  EXPECT_EQ(wxJoin(mail->GetContents(), wxT(','), wxT('\0')), wxT("line\none,tab\there"));
  EXPECT_EQ(list.GetAt(1)->GetName(), wxT("cmd"));
  EXPECT_TRUE(list.GetAt(1)->GetContents().empty());
}

}  // namespace
