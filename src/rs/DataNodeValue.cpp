#include "rs/DataNodeValue.h"

namespace {
const std::string kEmpty;

bool IsBlank(const std::string& text) {
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '\v' && c != '\f') return false;
  }
  return true;
}
}  // namespace

wxString CDataNodeValue::GetText() const {
  return m_texts.empty() ? wxString() : wxString::FromUTF8(m_texts[0]);
}

const std::string& CDataNodeValue::GetTextUTF8() const {
  return m_texts.empty() ? kEmpty : m_texts[0];
}

wxString CDataNodeValue::GetAt(size_t index) const {
  return index < m_texts.size() ? wxString::FromUTF8(m_texts[index]) : wxString();
}

const std::string& CDataNodeValue::GetAtUTF8(size_t index) const {
  return index < m_texts.size() ? m_texts[index] : kEmpty;
}

void CDataNodeValue::AddText(const wxString& text, bool replace) {
  const wxScopedCharBuffer utf8 = text.utf8_str();
  AddTextUTF8(std::string(utf8.data(), utf8.length()), replace);
}

void CDataNodeValue::AddTextUTF8(std::string text, bool replace) {
  if (replace) {
    m_texts.clear();
  } else if (m_texts.size() == 1 && IsBlank(m_texts[0])) {
    m_texts.clear();
  }
  m_texts.push_back(std::move(text));
}

void CDataNodeValue::Assign(const CDataNodeValue& other) {
  if (this == &other) return;
  m_mode = other.m_mode;
  m_texts = other.m_texts;
}
