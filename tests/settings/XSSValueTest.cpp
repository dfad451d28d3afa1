#include "settings/XSSValue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

UXSSValue FromLine(const wxString& line, int mode) {
  UXSSValue v;
  v.SetFromLine(line, mode);
  return v;
}

TEST(XSSValueTest, IniTextsGetTheirTypeFromTheirCharacters) {
  UXSSValue hex = FromLine(wxT("A = 0x10"), UXSSValue::kIni);
  EXPECT_EQ(hex.GetType(), UXSSValue::kString);
  EXPECT_EQ(hex.GetText(), wxT("\"0x10\""));
  EXPECT_EQ(hex.GetString(), wxT("0x10"));

  UXSSValue negative = FromLine(wxT("A=-3"), UXSSValue::kIni);
  EXPECT_EQ(negative.GetType(), UXSSValue::kInteger);
  EXPECT_EQ(negative.GetInt(), -3);
  EXPECT_EQ(negative.GetName(), wxT("A"));

  UXSSValue real = FromLine(wxT("A = 1.5"), UXSSValue::kIni);
  EXPECT_EQ(real.GetType(), UXSSValue::kReal);
  EXPECT_DOUBLE_EQ(real.GetDouble(), 1.5);
  EXPECT_EQ(real.FormatLine(false), wxT("A = 1.500000"));
  EXPECT_EQ(real.FormatLine(true), wxT("A = 1.5"));

  UXSSValue upper = FromLine(wxT("A = TRUE"), UXSSValue::kIni);
  EXPECT_EQ(upper.GetType(), UXSSValue::kBoolean);
  EXPECT_TRUE(upper.GetBool());
  EXPECT_EQ(upper.FormatLine(false), wxT("A = true"));

  UXSSValue path = FromLine(wxT("Path = D:\\Data"), UXSSValue::kIni);
  EXPECT_EQ(path.FormatLine(false), wxT("Path = D:\\Data"));

  // Quotes in an INI file are ordinary characters of the string.
  UXSSValue quoted = FromLine(wxT("Pwd = \"secret\""), UXSSValue::kIni);
  EXPECT_EQ(quoted.GetString(), wxT("\"secret\""));

  // An empty INI text counts as a number until it is read as a string.
  UXSSValue empty = FromLine(wxT("Alias ="), UXSSValue::kIni);
  EXPECT_EQ(empty.GetType(), UXSSValue::kInteger);
  EXPECT_EQ(empty.GetString(), wxT(""));
  EXPECT_EQ(empty.FormatLine(false), wxT("Alias = "));
}

TEST(XSSValueTest, BlockStringsNeedQuotesAndUnquotedWordsHaveNoType) {
  UXSSValue quoted = FromLine(wxT("Name = \"Unnamed job\""), UXSSValue::kBlock);
  EXPECT_EQ(quoted.GetType(), UXSSValue::kString);
  EXPECT_EQ(quoted.GetString(), wxT("Unnamed job"));
  EXPECT_EQ(quoted.FormatLine(true), wxT("Name = \"Unnamed job\""));

  UXSSValue word = FromLine(wxT("Name = abc"), UXSSValue::kBlock);
  EXPECT_EQ(word.GetType(), UXSSValue::kNone);
  EXPECT_EQ(word.FormatLine(false), wxT("Name = "));
  // A typed read converts from the text.
  EXPECT_EQ(word.GetString(), wxT("abc"));
  EXPECT_EQ(word.GetType(), UXSSValue::kString);
}

TEST(XSSValueTest, ReadingAnotherTypeConvertsFromTheText) {
  UXSSValue v;
  v.SetString(wxT("12abc"));
  EXPECT_EQ(v.GetText(), wxT("\"12abc\""));
  EXPECT_EQ(v.FormatLine(false), wxT(" = 12abc"));
  // The text keeps its quotes, so it has no leading number.
  EXPECT_EQ(v.GetInt(), 0);
  EXPECT_EQ(v.GetType(), UXSSValue::kInteger);
  EXPECT_EQ(FromLine(wxT("K = 12abc"), UXSSValue::kBlock).GetInt(), 12);

  v.SetDouble(-2.75);
  EXPECT_EQ(v.GetText(), wxT("-2.750000"));
  EXPECT_EQ(v.GetInt(), -2);
  v.SetDouble(2.75);
  EXPECT_FALSE(v.GetBool());  // only the text "true" is true
  EXPECT_EQ(v.GetText(), wxT("false"));

  v.SetInt(0);
  EXPECT_EQ(v.GetString(), wxT("0"));
  v.SetInt(-4);
  EXPECT_DOUBLE_EQ(v.GetDouble(), -4.0);

  v.SetBool(true);
  EXPECT_EQ(v.GetText(), wxT("true"));
  EXPECT_EQ(v.GetString(), wxT("true"));
  EXPECT_TRUE(v.GetBool());

  // A string that holds quotes survives a round trip through its text.
  v.SetString(wxT("\"x\""));
  UXSSValue back = FromLine(wxT("K = ") + v.GetText(), UXSSValue::kBlock);
  EXPECT_EQ(back.GetString(), wxT("\"x\""));
}

TEST(XSSValueTest, LeadingNumbersParseLikeTheCLibraryWithoutItsLocale) {
  EXPECT_EQ(UXSSValue::ParseInt(wxT("  42abc")), 42);
  EXPECT_EQ(UXSSValue::ParseInt(wxT("abc")), 0);
  EXPECT_EQ(UXSSValue::ParseInt(wxT("-")), 0);
  EXPECT_EQ(UXSSValue::ParseInt(wxT("+7")), 7);
  EXPECT_EQ(UXSSValue::ParseInt(wxT("99999999999999999999")), 2147483647);
  EXPECT_EQ(UXSSValue::ParseInt(wxT("-99999999999999999999")), -2147483647 - 1);

  EXPECT_DOUBLE_EQ(UXSSValue::ParseDouble(wxT(" 1.5e3x")), 1500.0);
  EXPECT_DOUBLE_EQ(UXSSValue::ParseDouble(wxT(".5")), 0.5);
  EXPECT_DOUBLE_EQ(UXSSValue::ParseDouble(wxT("-2.")), -2.0);
  EXPECT_DOUBLE_EQ(UXSSValue::ParseDouble(wxT("+-1")), 0.0);
  EXPECT_DOUBLE_EQ(UXSSValue::ParseDouble(wxT("1.2.3")), 1.2);
  EXPECT_TRUE(std::isinf(UXSSValue::ParseDouble(wxT("1e999"))));

  EXPECT_EQ(UXSSValue::FormatDouble(-0.5), wxT("-0.500000"));
  EXPECT_EQ(UXSSValue::FormatDouble(1234567.0), wxT("1234567.000000"));

  // Huge reals clamp instead of overflowing the integer form.
  UXSSValue v;
  v.SetDouble(1e300);
  EXPECT_EQ(v.GetInt(), 2147483647);
}

TEST(XSSValueTest, DollarColonTakesTheEnvironmentVariable) {
  ::setenv("KF_XSS_TEST_VALUE", "/srv/kilnforge", 1);
  ::unsetenv("KF_XSS_TEST_UNSET");

  EXPECT_EQ(FromLine(wxT("Dir = $:KF_XSS_TEST_VALUE"), UXSSValue::kIni).GetString(), wxT("/srv/kilnforge"));
  UXSSValue unsetIni = FromLine(wxT("Dir = $:KF_XSS_TEST_UNSET"), UXSSValue::kIni);
  EXPECT_EQ(unsetIni.GetType(), UXSSValue::kString);
  EXPECT_EQ(unsetIni.GetString(), wxT("KF_XSS_TEST_UNSET"));
  EXPECT_EQ(FromLine(wxT("Dir = $:KF_XSS_TEST_UNSET"), UXSSValue::kBlock).GetType(), UXSSValue::kNone);

  ::setenv("KF_XSS_TEST_VALUE", "42", 1);
  UXSSValue number = FromLine(wxT("N = $:KF_XSS_TEST_VALUE"), UXSSValue::kBlock);
  EXPECT_EQ(number.GetType(), UXSSValue::kInteger);
  EXPECT_EQ(number.GetInt(), 42);
  ::unsetenv("KF_XSS_TEST_VALUE");
}

}  // namespace
