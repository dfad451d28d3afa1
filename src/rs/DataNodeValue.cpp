#include "rs/DataNodeValue.h"

#include "platform/Utf8.h"

namespace {
const std::string kEmpty;

bool IsBlank(const std::string& text) {
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '\v' && c != '\f') return false;
  }
  return true;
}
}  // namespace

wxString CDataNodeValue::GetText() const { return utf8text::ToWx(m_first); }

const std::string& CDataNodeValue::GetTextUTF8() const { return m_first; }

wxString CDataNodeValue::GetAt(size_t index) const { return utf8text::ToWx(GetAtUTF8(index)); }

const std::string& CDataNodeValue::GetAtUTF8(size_t index) const {
  if (!m_hasFirst) return kEmpty;
  if (index == 0) return m_first;
  return m_more && index - 1 < m_more->size() ? (*m_more)[index - 1] : kEmpty;
}

void CDataNodeValue::AddText(const wxString& text, bool replace) {
  AddTextUTF8(utf8text::From(text), replace);
}

void CDataNodeValue::AddTextUTF8(std::string text, bool replace) {
  if (replace || (m_hasFirst && !m_more && IsBlank(m_first))) Clear();
  if (!m_hasFirst) {
    m_first = std::move(text);
    m_hasFirst = true;
  } else {
    if (!m_more) m_more = std::make_unique<std::vector<std::string>>();
    m_more->push_back(std::move(text));
  }
}

void CDataNodeValue::AppendTextUTF8(const char* data, size_t length) {
  if (m_hasFirst) {
    AddTextUTF8(std::string(data, length), false);
    return;
  }
  m_first.assign(data, length);
  m_hasFirst = true;
}

void CDataNodeValue::Assign(const CDataNodeValue& other) {
  if (this == &other) return;
  m_mode = other.m_mode;
  m_hasFirst = other.m_hasFirst;
  m_first = other.m_first;
  m_more.reset(other.m_more ? new std::vector<std::string>(*other.m_more) : nullptr);
}

void CDataNodeValue::Clear() {
  m_hasFirst = false;
  m_first.clear();
  m_more.reset();
}
