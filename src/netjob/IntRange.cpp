#include "netjob/IntRange.h"

#include "platform/StringUtil.h"

namespace {

// Reads a whole decimal integer (blanks around it allowed) into `out`.
bool ReadInt(const wxString& text, int* out) {
  long value = 0;
  if (text.empty() || !text.ToLong(&value)) return false;
  if (value < INT32_MIN || value > INT32_MAX) return false;
  *out = static_cast<int>(value);
  return true;
}

}  // namespace

wxString IntRange::ToString() const {
  IntRange ordered(*this);
  ordered.Order();
  if (ordered.m_from == ordered.m_to) return wxString::Format(wxT("%i"), ordered.m_from);
  return wxString::Format(wxT("%i%s%i"), ordered.m_from, wxT("-"), ordered.m_to);
}

bool IntRange::FromString(const wxString& text) {
  Reset();
  wxString first = text;
  wxString second;
  const int dash = text.length() > 1 ? text.Mid(1).Find(wxT('-')) : wxNOT_FOUND;
  if (dash != wxNOT_FOUND) {
    first = text.Left(dash + 1);
    second = text.Mid(dash + 2);
  }
  first = strutil::Trimmed(first);
  second = strutil::Trimmed(second);

  bool ok = true;
  if (!first.empty()) ok = ReadInt(first, &m_from);
  if (second.empty()) {
    m_to = m_from;
  } else {
    ok = ReadInt(second, &m_to) && ok;
  }
  Order();
  return ok && !first.empty();
}
