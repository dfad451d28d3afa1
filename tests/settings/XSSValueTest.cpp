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

TEST(XSSValueTest, TypeAndFormsOfAValueLine) {
  struct Case {
    const wxChar* line;
    int mode;
    int type;
    const wxChar* asWritten;   // FormatLine(true)
    const wxChar* asString;    // FormatLine(false)
  };
  const int ini = UXSSValue::kIni;
  const int block = UXSSValue::kBlock;
  const Case cases[] = {
      {wxT("A = 0x10"), ini, UXSSValue::kString, wxT("A = \"0x10\""), wxT("A = 0x10")},
      {wxT("A=-3"), ini, UXSSValue::kInteger, wxT("A = -3"), wxT("A = -3")},
      {wxT("A = 1.5"), ini, UXSSValue::kReal, wxT("A = 1.5"), wxT("A = 1.500000")},
      {wxT("A = TRUE"), ini, UXSSValue::kBoolean, wxT("A = true"), wxT("A = true")},
      {wxT("Path = D:\\Data"), ini, UXSSValue::kString, wxT("Path = \"D:\\Data\""),
       wxT("Path = D:\\Data")},
      // Quotes in an INI file are ordinary characters of the string.
      {wxT("P = \"s\""), ini, UXSSValue::kString, wxT("P = \"\"s\"\""), wxT("P = \"s\"")},
      // An empty INI text counts as a number.
      {wxT("Alias ="), ini, UXSSValue::kInteger, wxT("Alias = "), wxT("Alias = 0")},
      {wxT("N = \"a b\""), block, UXSSValue::kString, wxT("N = \"a b\""), wxT("N = a b")},
      // Block strings need quotes: an unquoted word has no type yet.
      {wxT("N = abc"), block, UXSSValue::kNone, wxT("N = abc"), wxT("N = ")},
      {wxT("N = 1-2"), block, UXSSValue::kInteger, wxT("N = 1-2"), wxT("N = 1")},
  };
  for (const Case& c : cases) {
    const UXSSValue v = FromLine(c.line, c.mode);
    EXPECT_EQ(v.GetType(), c.type) << c.line;
    EXPECT_EQ(v.FormatLine(true), c.asWritten) << c.line;
    EXPECT_EQ(v.FormatLine(false), c.asString) << c.line;
  }
  // Typed reads convert from the text: the empty INI text is an empty string.
  EXPECT_EQ(FromLine(wxT("Alias ="), ini).GetString(), wxT(""));
  EXPECT_EQ(FromLine(wxT("N = abc"), block).GetString(), wxT("abc"));
}

TEST(XSSValueTest, ReadingAnotherTypeConvertsFromTheText) {
  UXSSValue v;
  v.SetString(wxT("12abc"));
  EXPECT_EQ(v.GetText(), wxT("\"12abc\""));
  // The text keeps its quotes, so it has no leading number.
  EXPECT_EQ(v.GetInt(), 0);
  EXPECT_EQ(v.GetType(), UXSSValue::kInteger);
  EXPECT_EQ(FromLine(wxT("K = 12abc"), UXSSValue::kBlock).GetInt(), 12);

  v.SetDouble(-2.75);
  EXPECT_EQ(v.GetText(), wxT("-2.750000"));
  EXPECT_EQ(v.GetInt(), -2);
  v.SetDouble(2.75);
  EXPECT_FALSE(v.GetBool());  // only the text "true" is true

  // A string that holds quotes survives a round trip through its text.
  v.SetString(wxT("\"x\""));
  EXPECT_EQ(FromLine(wxT("K = ") + v.GetText(), UXSSValue::kBlock).GetString(), wxT("\"x\""));
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

// The text of a set variable in either layout is the end-to-end tests'; here
// what an unset one gives and that a set one is typed like any value.
TEST(XSSValueTest, DollarColonTakesTheEnvironmentVariable) {
  ::unsetenv("KF_XSS_TEST_UNSET");
  UXSSValue unsetIni = FromLine(wxT("Dir = $:KF_XSS_TEST_UNSET"), UXSSValue::kIni);
  EXPECT_EQ(unsetIni.GetType(), UXSSValue::kString);
  EXPECT_EQ(unsetIni.GetString(), wxT("KF_XSS_TEST_UNSET"));
  EXPECT_EQ(FromLine(wxT("Dir = $:KF_XSS_TEST_UNSET"), UXSSValue::kBlock).GetType(),
            UXSSValue::kNone);

  ::setenv("KF_XSS_TEST_VALUE", "42", 1);
  UXSSValue number = FromLine(wxT("N = $:KF_XSS_TEST_VALUE"), UXSSValue::kBlock);
  EXPECT_EQ(number.GetType(), UXSSValue::kInteger);
  EXPECT_EQ(number.GetInt(), 42);
  ::unsetenv("KF_XSS_TEST_VALUE");
}

}  // namespace
