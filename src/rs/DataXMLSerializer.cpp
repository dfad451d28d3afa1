#include "rs/DataXMLSerializer.h"

#include "platform/FileIO.h"
#include "platform/ReadOnlyFile.h"
#include "platform/Utf8.h"
#include "rs/DataTreeBuilder.h"
#include "rs/XmlDocumentReader.h"

#include <cstring>

namespace {

// True when the writer would treat the whole text as white space: after the
// backslash escapes only blanks (and form or tab feeds, which XML cannot hold)
// remain.
bool IsBlankOnly(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c != ' ' && c != '\v' && c != '\f') return false;
  }
  return true;
}

struct Replacement {
  const char* from;
  const char* to;
};

// The writer's escapes in the order in which they are undone.
const Replacement kUndo[] = {
    {"&amp;", "&"},  {"&apos;", "'"}, {"&lt;", "<"}, {"&gt;", ">"},
    {"&quot;", "\""}, {"&nbsp;", " "}, {"&#196;", "\xC3\x84"}, {"&#214;", "\xC3\x96"},
    {"&#220;", "\xC3\x9C"}, {"&#228;", "\xC3\xA4"}, {"&#246;", "\xC3\xB6"},
    {"&#252;", "\xC3\xBC"}, {"&#223;", "\xC3\x9F"},
};

void ReplaceAll(std::string* text, const char* from, const char* to) {
  size_t pos = text->find(from);
  if (pos == std::string::npos) return;
  const size_t fromLen = std::strlen(from);
  const size_t toLen = std::strlen(to);
  std::string out;
  out.reserve(text->size());
  size_t start = 0;
  while (pos != std::string::npos) {
    out.append(*text, start, pos - start);
    out.append(to, toLen);
    start = pos + fromLen;
    pos = text->find(from, start);
  }
  out.append(*text, start, std::string::npos);
  text->swap(out);
}

// The exact length WriteNode will produce, so that the text is written into
// one allocation of the right size.
size_t MeasureNode(const CDataNode& node, int depth) {
  const size_t name = node.GetNameUTF8().size();
  size_t length = static_cast<size_t>(depth) + 2 * name + 5 +
                  CDataXMLSerializer::EscapedLength(node.GetTextUTF8());
  const size_t children = node.GetChildCount();
  if (children > 0) {
    length += 2 + static_cast<size_t>(depth) + (children - 1);
    for (const CDataNode* child : node.GetChildren()) length += MeasureNode(*child, depth + 1);
  }
  return length;
}

void WriteNode(std::string* out, const CDataNode& node, int depth) {
  out->append(static_cast<size_t>(depth), '\t');
  out->push_back('<');
  out->append(node.GetNameUTF8());
  out->push_back('>');
  CDataXMLSerializer::AppendEscaped(out, node.GetTextUTF8());
  if (node.GetChildCount() > 0) {
    out->push_back('\n');
    bool first = true;
    for (const CDataNode* child : node.GetChildren()) {
      if (!first) out->push_back('\n');
      first = false;
      WriteNode(out, *child, depth + 1);
    }
    out->push_back('\n');
    out->append(static_cast<size_t>(depth), '\t');
  }
  out->append("</");
  out->append(node.GetNameUTF8());
  out->push_back('>');
}

}  // namespace

void CDataXMLSerializer::AppendEscaped(std::string* out, const std::string& text) {
  const bool blank = IsBlankOnly(text);
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    switch (c) {
      case '\\': out->append("\\\\"); continue;
      case '\n': out->append("\\n"); continue;
      case '\r': out->append("\\r"); continue;
      case '\t': out->append("\\t"); continue;
      case '&': out->append("&amp;"); continue;
      case '\'': out->append("&apos;"); continue;
      case '<': out->append("&lt;"); continue;
      case '>': out->append("&gt;"); continue;
      case '"': out->append("&quot;"); continue;
      case ' ':
        if (blank) {
          out->append("&nbsp;");
        } else {
          out->push_back(' ');
        }
        continue;
      default: break;
    }
    // Other control characters cannot appear in an XML document at all.
    if (c < 0x20) continue;
    if (c == 0xC3 && i + 1 < n) {
      const char* ref = nullptr;
      switch (static_cast<unsigned char>(text[i + 1])) {
        case 0x84: ref = "&#196;"; break;
        case 0x96: ref = "&#214;"; break;
        case 0x9C: ref = "&#220;"; break;
        case 0xA4: ref = "&#228;"; break;
        case 0xB6: ref = "&#246;"; break;
        case 0xBC: ref = "&#252;"; break;
        case 0x9F: ref = "&#223;"; break;
        default: break;
      }
      if (ref) {
        out->append(ref);
        ++i;
        continue;
      }
    }
    // U+FFFE and U+FFFF are not XML characters either.
    if (c == 0xEF && i + 2 < n && static_cast<unsigned char>(text[i + 1]) == 0xBF &&
        (static_cast<unsigned char>(text[i + 2]) & 0xFE) == 0xBE) {
      i += 2;
      continue;
    }
    out->push_back(static_cast<char>(c));
  }
}

size_t CDataXMLSerializer::EscapedLength(const std::string& text) {
  const bool blank = IsBlankOnly(text);
  const size_t n = text.size();
  size_t length = 0;
  for (size_t i = 0; i < n; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    switch (c) {
      case '\\': case '\n': case '\r': case '\t': length += 2; continue;
      case '&': length += 5; continue;
      case '\'': case '"': length += 6; continue;
      case '<': case '>': length += 4; continue;
      case ' ': length += blank ? 6 : 1; continue;
      default: break;
    }
    if (c < 0x20) continue;
    if (c == 0xC3 && i + 1 < n) {
      switch (static_cast<unsigned char>(text[i + 1])) {
        case 0x84: case 0x96: case 0x9C: case 0xA4: case 0xB6: case 0xBC: case 0x9F:
          length += 6;
          ++i;
          continue;
        default: break;
      }
    }
    if (c == 0xEF && i + 2 < n && static_cast<unsigned char>(text[i + 1]) == 0xBF &&
        (static_cast<unsigned char>(text[i + 2]) & 0xFE) == 0xBE) {
      i += 2;
      continue;
    }
    ++length;
  }
  return length;
}

void CDataXMLSerializer::Unescape(std::string* text) {
  if (text->find('\\') != std::string::npos) {
    std::string out;
    out.reserve(text->size());
    const size_t n = text->size();
    for (size_t i = 0; i < n; ++i) {
      const char c = (*text)[i];
      if (c != '\\' || i + 1 == n) {
        out.push_back(c);
        continue;
      }
      const char next = (*text)[++i];
      switch (next) {
        case 'n': out.push_back('\n'); break;
        case 'r': out.push_back('\r'); break;
        case 't': out.push_back('\t'); break;
        default: out.push_back(next); break;
      }
    }
    text->swap(out);
  }
  if (text->find('&') == std::string::npos) return;
  for (const Replacement& r : kUndo) ReplaceAll(text, r.from, r.to);
}

bool CDataXMLSerializer::ParseText(const wxString& text) {
  const std::string utf8 = utf8text::From(text);
  return ParseUTF8(utf8.data(), utf8.size());
}

bool CDataXMLSerializer::ParseUTF8(const char* data, size_t length) {
  return Parse([&](const Feed& feed) {
    feed(data, length);
    return true;
  });
}

bool CDataXMLSerializer::ParseFile(CReadOnlyFile& file, const wxString& path, size_t maxBytes) {
  // The file is read to its end even after the parse stopped: a file that
  // cannot be read fails as unreadable, whatever its text.
  static constexpr size_t kPieceBytes = 1 << 20;
  bool read = true;
  const bool ok = Parse([&](const Feed& feed) {
    bool parsing = true;
    read = file.ReadInPieces(maxBytes, kPieceBytes, [&](const char* data, size_t length) {
      if (parsing) parsing = feed(data, length);
    });
    return read;
  });
  if (!read) m_error = wxT("cannot read ") + path;
  return ok;
}

bool CDataXMLSerializer::Parse(const Source& source) {
  m_error.clear();
  m_root->Reset();
  m_root->GetValue().Clear();

  CDataTreeBuilder builder(m_root, m_treeBudget, m_handler, m_handlerDepth);
  CXmlDocumentReader reader(&builder, m_fullParserOnly);
  const bool read = source([&](const char* data, size_t length) {
    return reader.Feed(data, length);
  });
  const bool ok = read && reader.Finish();

  if (!ok || !builder.SawRoot()) {
    const wxString parseError = reader.ParseError();
    if (!read) {
      // The caller names what could not be read.
    } else if (builder.OverBudget()) {
      m_error = wxT("the document would take more memory than a data tree may hold");
    } else if (builder.TooDeep()) {
      m_error = wxString::Format(wxT("elements nested deeper than %d levels"), kMaxDepth);
    } else if (!ok) {
      m_error = parseError;
    } else {
      m_error = wxT("no root element");
    }
    m_root->Reset();
    m_root->GetValue().Clear();
    return false;
  }
  return true;
}

bool CDataXMLSerializer::LoadFile(const wxString& path, size_t maxBytes) {
  m_error.clear();
  std::string bytes;
  if (!CFileIO::ReadBytes(path, &bytes, maxBytes)) {
    m_error = wxT("cannot read ") + path;
    return false;
  }
  if (bytes.empty()) return true;
  return ParseUTF8(bytes.data(), bytes.size());
}

std::string CDataXMLSerializer::ToUTF8() const {
  std::string out;
  out.reserve(MeasureNode(*m_root, 0) + 1);
  WriteNode(&out, *m_root, 0);
  out.push_back('\n');
  return out;
}

wxString CDataXMLSerializer::ToText() const {
  const std::string utf8 = ToUTF8();
  return utf8text::ToWx(utf8);
}

bool CDataXMLSerializer::SaveFile(const wxString& path) const {
  const std::string utf8 = ToUTF8();
  if (!CFileIO::WriteAtomically(path, utf8)) {
    m_error = wxT("cannot write ") + path;
    return false;
  }
  return true;
}
