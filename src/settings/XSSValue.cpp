#include "settings/XSSValue.h"

#include <locale.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

const wxString kQuote = wxT("\"");

bool IsSpace(wxUniChar c) {
  return c == wxT(' ') || c == wxT('\t') || c == wxT('\r') || c == wxT('\n') || c == wxT('\v') ||
         c == wxT('\f');
}

// The ASCII characters of the text from its first non-blank character on;
// a number never continues past a character that is not ASCII.
std::string LeadingAscii(const wxString& text) {
  std::string out;
  auto it = text.begin();
  while (it != text.end() && IsSpace(*it)) ++it;
  for (; it != text.end(); ++it) {
    const wxUniChar c = *it;
    if (!c.IsAscii() || c == 0) break;
    out += static_cast<char>(c.GetValue());
  }
  return out;
}

bool EqualsTrue(const wxString& s) { return s.CmpNoCase(wxT("true")) == 0; }

int ClampToInt(double x) {
  if (std::isnan(x)) return 0;
  if (x >= 2147483647.0) return std::numeric_limits<int>::max();
  if (x <= -2147483648.0) return std::numeric_limits<int>::min();
  return static_cast<int>(x);  // truncates toward zero
}

}  // namespace

int UXSSValue::ParseInt(const wxString& text) {
  const std::string s = LeadingAscii(text);
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  long long value = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    value = value * 10 + (s[i] - '0');
    if (value > 2147483648LL) value = 2147483648LL;  // saturate, no overflow
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  return static_cast<int>(value);
}

double UXSSValue::ParseDouble(const wxString& text) {
  const std::string s = LeadingAscii(text);
  const char* first = s.data();
  const char* last = s.data() + s.size();
  bool negative = false;
  if (first != last && (*first == '+' || *first == '-')) {
    negative = *first == '-';
    ++first;
    if (first != last && (*first == '+' || *first == '-')) return 0.0;
  }
  double value = 0.0;
  const auto result = std::from_chars(first, last, value, std::chars_format::general);
  if (result.ec == std::errc::invalid_argument) return 0.0;
  if (result.ec == std::errc::result_out_of_range) {
    // Let the C library decide between infinity and an underflow, on the
    // characters that matched, independent of the process locale.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    const std::string digits(first, result.ptr);
    value = cLocale ? strtod_l(digits.c_str(), nullptr, cLocale) : 0.0;
  }
  return negative ? -value : value;
}

wxString UXSSValue::FormatDouble(double x) {
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, 6);
  if (result.ec != std::errc()) return wxT("0.000000");
  return wxString::FromAscii(buffer, static_cast<size_t>(result.ptr - buffer));
}

int UXSSValue::DetectType(const wxString& text, int mode) {
  const bool ini = mode == kIni;
  if (!ini && (text.empty() || (text.StartsWith(kQuote) && text.EndsWith(kQuote)))) return kString;
  if (text.CmpNoCase(wxT("true")) == 0 || text.CmpNoCase(wxT("false")) == 0) return kBoolean;
  bool numeric = true;
  bool dot = false;
  for (const wxUniChar c : text) {
    if (c == wxT('.')) {
      dot = true;
    } else if (!((c >= wxT('0') && c <= wxT('9')) || c == wxT('-'))) {
      numeric = false;
      break;
    }
  }
  if (numeric) return dot ? kReal : kInteger;
  return ini ? kString : kNone;
}

void UXSSValue::SetFromLine(const wxString& line, int mode) {
  const int equals = line.Find(wxT('='));
  if (equals == wxNOT_FOUND) {
    m_name = line;
    m_text = line;
  } else {
    m_name = line.Left(static_cast<size_t>(equals));
    m_text = line.Mid(static_cast<size_t>(equals) + 1);
  }
  m_name.Trim(true).Trim(false);
  m_text.Trim(true).Trim(false);

  if (m_text.length() >= 2 && m_text.StartsWith(wxT("$:"))) {
    m_text.erase(0, 2);
    const char* content = m_text.empty() ? nullptr : std::getenv(m_text.utf8_str().data());
    if (content != nullptr) m_text = wxString::FromUTF8(content);
  }

  m_type = DetectType(m_text, mode);
  if (mode == kIni && m_type == kString) m_text = kQuote + m_text + kQuote;
  Convert();
}

void UXSSValue::Convert() {
  switch (m_type) {
    case kString:
      m_string = m_text;
      if (m_string.StartsWith(kQuote)) m_string.erase(0, 1);
      if (m_string.EndsWith(kQuote)) m_string.RemoveLast();
      m_boolean = EqualsTrue(m_string);
      m_integer = ParseInt(m_string);
      m_real = ParseDouble(m_string);
      break;
    case kInteger:
      m_integer = ParseInt(m_text);
      m_string = wxString::Format(wxT("%i"), m_integer);
      m_real = m_integer;
      m_boolean = m_integer > 0;
      break;
    case kReal:
      m_real = ParseDouble(m_text);
      m_string = FormatDouble(m_real);
      m_boolean = m_real > 0.0;
      m_integer = ClampToInt(m_real);
      break;
    case kBoolean:
      m_boolean = EqualsTrue(m_text);
      m_string = m_boolean ? wxT("true") : wxT("false");
      m_text = m_string;
      m_integer = m_boolean ? 1 : 0;
      m_real = m_boolean ? 1.0 : 0.0;
      break;
    default:
      break;
  }
}

void UXSSValue::ChangeType(int type) {
  if (m_type == type) return;
  m_type = type;
  Convert();
}

void UXSSValue::SetString(const wxString& s) {
  m_text = kQuote + s + kQuote;
  m_type = kString;
  Convert();
}

void UXSSValue::SetInt(int n) {
  m_text = wxString::Format(wxT("%i"), n);
  m_type = kInteger;
  Convert();
}

void UXSSValue::SetDouble(double x) {
  m_text = FormatDouble(x);
  m_type = kReal;
  Convert();
}

void UXSSValue::SetBool(bool b) {
  m_text = b ? wxT("true") : wxT("false");
  m_type = kBoolean;
  Convert();
}

int UXSSValue::GetInt() {
  ChangeType(kInteger);
  return m_integer;
}

double UXSSValue::GetDouble() {
  ChangeType(kReal);
  return m_real;
}

bool UXSSValue::GetBool() {
  ChangeType(kBoolean);
  return m_boolean;
}

wxString UXSSValue::GetString() {
  ChangeType(kString);
  return m_string;
}

wxString UXSSValue::FormatLine(bool useText) const {
  return m_name + wxT(" = ") + (useText ? m_text : m_string);
}
