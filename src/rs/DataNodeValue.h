// The content of one data-tree node: a mode word and an ordered list of texts.
// Texts are kept as UTF-8 so that a large parsed tree stays small; the wxString
// accessors convert on the way in and out.
#pragma once

#include <wx/string.h>

#include <memory>
#include <string>
#include <vector>

class CDataNodeValue {
 public:
  CDataNodeValue() = default;
  CDataNodeValue(const CDataNodeValue& other) { Assign(other); }
  CDataNodeValue& operator=(const CDataNodeValue& other) {
    Assign(other);
    return *this;
  }
  CDataNodeValue(CDataNodeValue&&) noexcept = default;
  CDataNodeValue& operator=(CDataNodeValue&&) noexcept = default;

  int GetMode() const { return m_mode; }
  void SetMode(int mode) { m_mode = mode; }

  // The first text, or empty when there is none.
  wxString GetText() const;
  const std::string& GetTextUTF8() const;

  size_t GetCount() const { return m_hasFirst ? 1 + (m_more ? m_more->size() : 0) : 0; }
  wxString GetAt(size_t index) const;
  const std::string& GetAtUTF8(size_t index) const;

  // With `replace` the list is emptied first; otherwise a single entry that is
  // blank after trimming is dropped first. Then the text is appended.
  void AddText(const wxString& text, bool replace);
  void AddTextUTF8(std::string text, bool replace);
  // AddTextUTF8 of these bytes without `replace`; a value that was cleared
  // keeps its storage for them.
  void AppendTextUTF8(const char* data, size_t length);

  template <typename... Args>
  void AddFormatted(const wxString& format, Args... args) {
    AddText(wxString::Format(format, args...), false);
  }

  // Copies the mode word and the texts.
  void Assign(const CDataNodeValue& other);
  void Clear();

 private:
  // The first text lives in the value itself: most nodes hold exactly one,
  // and a parsed tree has millions of nodes, so the rare further texts cost
  // a pointer until there are any.
  std::string m_first;
  std::unique_ptr<std::vector<std::string>> m_more;
  int m_mode = 0;
  bool m_hasFirst = false;
};
