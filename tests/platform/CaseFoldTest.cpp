#include "platform/CaseFold.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

wxString U(const char* utf8) { return wxString::FromUTF8(utf8); }

// The C locale is what a script's environment often gives the program.
class CaseFoldTest : public ::testing::Test {
 protected:
  void SetUp() override { std::setlocale(LC_ALL, "C"); }
};

TEST_F(CaseFoldTest, LettersOfEveryScriptFoldWhateverTheLocale) {
  EXPECT_TRUE(casefold::Equal(U("\xC3\x84rger"), U("\xC3\xA4RGER")));            // Ärger, äRGER
  EXPECT_TRUE(
      casefold::Equal(U("\xD0\x96\xD0\xB0\xD1\x80"), U("\xD0\xB6\xD0\x90\xD0\xA0")));  // Жар
  EXPECT_TRUE(casefold::Equal(U("\xC4\x80\xC5\xBD"), U("\xC4\x81\xC5\xBE")));    // Āž pairs
  // Final and plain sigma fold alike; the capital sharp s to the small one.
  EXPECT_TRUE(casefold::Equal(U("\xCE\xA3"), U("\xCF\x82")));
  EXPECT_TRUE(casefold::Equal(U("\xE1\xBA\x9E"), U("\xC3\x9F")));
  EXPECT_TRUE(casefold::Equal(U("\xEF\xBC\xA1"), U("\xEF\xBD\x81")));  // full-width A, a
  // Only one-to-one foldings: "ß" is not "ss", the dotted capital I stays.
  EXPECT_FALSE(casefold::Equal(U("\xC3\x9F"), U("ss")));
  EXPECT_FALSE(casefold::Equal(U("\xC4\xB0"), U("i")));
  // Neighbours of the alternating pairs are not folded onto each other.
  EXPECT_FALSE(casefold::Equal(U("\xC4\x81"), U("\xC4\x82")));
  EXPECT_EQ(casefold::Fold(wxT("\u00dcber \u00d7 \u00d6l 1")), wxT("\u00fcber \u00d7 \u00f6l 1"));
}

// That "alpha" sorts before "Beta" is the end-to-end tests'.
TEST_F(CaseFoldTest, CompareOrdersByTheFoldedTextAndShorterFirst) {
  EXPECT_GT(casefold::Compare(wxT("ABC"), wxT("ab")), 0);
  EXPECT_LT(casefold::Compare(wxT("ab"), wxT("ABC")), 0);
  EXPECT_EQ(casefold::Compare(wxString(), wxString()), 0);
  EXPECT_LT(casefold::Compare(U("\xC3\x84"), U("\xC3\xB6")), 0);  // Ä before ö
}

}  // namespace
