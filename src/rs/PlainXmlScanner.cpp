#include "rs/PlainXmlScanner.h"

#include "platform/Utf8.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

// Bytes that stand for themselves in character data of the plain form: the
// printable ASCII characters but markup, '>' and ']', and the layout's tab
// (line feeds and ']' too, but they are looked at on their own). A carriage
// return is left to the full parser, which folds line ends; other control
// characters are not XML at all.
struct ByteClasses {
  bool text[256] = {};
  bool nameStart[256] = {};
  bool name[256] = {};
  ByteClasses() {
    for (int c = 0x20; c < 0x7F; ++c) text[c] = true;
    text[static_cast<unsigned char>('<')] = false;
    text[static_cast<unsigned char>('&')] = false;
    text[static_cast<unsigned char>('>')] = false;
    text[static_cast<unsigned char>(']')] = false;
    text[static_cast<unsigned char>('\t')] = true;
    for (int c = 'a'; c <= 'z'; ++c) nameStart[c] = nameStart[c - 'a' + 'A'] = true;
    nameStart[static_cast<unsigned char>('_')] = true;
    for (int c = 0; c < 256; ++c) name[c] = nameStart[c];
    for (int c = '0'; c <= '9'; ++c) name[c] = true;
    name[static_cast<unsigned char>('-')] = true;
    name[static_cast<unsigned char>('.')] = true;
  }
};

const ByteClasses kClasses;

// U+FFFE and U+FFFF are well-formed UTF-8 but no XML characters.
bool IsNonCharacter(const char* p, const char* end) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return end - p >= 3 && b[0] == 0xEF && b[1] == 0xBF && (b[2] & 0xFE) == 0xBE;
}

// A character reference's number when XML allows the character, else -1.
long ReferenceNumber(const char* p, const char* end) {
  int base = 10;
  if (p < end && *p == 'x') {
    base = 16;
    ++p;
  }
  if (p == end || end - p > 8) return -1;
  long value = 0;
  for (; p < end; ++p) {
    const char c = *p;
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return -1;
    }
    value = value * base + digit;
  }
  if (value < 0x20 && value != '\t' && value != '\n' && value != '\r') return -1;
  if ((value >= 0xD800 && value <= 0xDFFF) || value == 0xFFFE || value == 0xFFFF) return -1;
  return value <= 0x10FFFF ? value : -1;
}

// The longest reference the scanner reads: "&#x10FFFF;" and "&#1114111;" fit.
constexpr size_t kMaxReferenceBytes = 12;

}  // namespace

CPlainXmlScanner::Status CPlainXmlScanner::Feed(const char* data, size_t length) {
  if (m_held.empty()) return Scan(data, data + length);
  // The unfinished token and the new piece are read as one; the joined bytes
  // stay until the next call, for RestData.
  m_joined.swap(m_held);
  m_held.clear();
  m_joined.append(data, length);
  return Scan(m_joined.data(), m_joined.data() + m_joined.size());
}

CPlainXmlScanner::Status CPlainXmlScanner::Finish() {
  if (!m_held.empty()) {
    m_joined.swap(m_held);
    m_held.clear();
    return Leave(m_joined.data(), m_joined.data() + m_joined.size());
  }
  if (!m_rootSeen || !m_starts.empty()) return Leave(m_held.data(), m_held.data());
  return Status::kOk;
}

std::string CPlainXmlScanner::ReplayPrefix() const {
  if (m_starts.empty()) return m_rootSeen ? "<r/>" : "";
  std::string prefix;
  for (size_t i = 0; i < m_starts.size(); ++i) {
    const size_t end = i + 1 < m_starts.size() ? m_starts[i + 1] : m_names.size();
    prefix.push_back('<');
    prefix.append(m_names, m_starts[i], end - m_starts[i]);
    prefix.push_back('>');
  }
  return prefix;
}

CPlainXmlScanner::Status CPlainXmlScanner::Scan(const char* p, const char* end) {
  while (p < end) {
    bool wait = false;
    Status status;
    if (m_starts.empty()) {
      if (m_rootSeen) {
        // After the root only layout may follow.
        while (p < end && (*p == ' ' || *p == '\t' || *p == '\n')) {
          if (*p == '\n') ++m_lineFeeds;
          ++p;
        }
        if (p == end) break;
        return Leave(p, end);
      }
      if (*p != '<') return Leave(p, end);
      status = Tag(p, end, &wait);
    } else if (*p == '<') {
      status = Tag(p, end, &wait);
    } else if (*p == '&') {
      status = Reference(p, end, &wait);
    } else {
      status = Characters(p, end, &wait);
    }
    if (status != Status::kOk) return status;
    if (wait) {
      m_held.assign(p, static_cast<size_t>(end - p));
      break;
    }
  }
  return Status::kOk;
}

CPlainXmlScanner::Status CPlainXmlScanner::Tag(const char*& p, const char* end, bool* wait) {
  // An end tag is taken only when it closes the open element, compared whole;
  // any other is the full parser's to report.
  const bool endTag = end - p > 1 && p[1] == '/';
  if (endTag && !m_starts.empty()) {
    const size_t length = m_names.size() - m_starts.back();
    if (static_cast<size_t>(end - p) > length + 2 && p[length + 2] == '>' &&
        std::memcmp(p + 2, m_names.data() + m_starts.back(), length) == 0) {
      if (!m_sink->EndElement()) return Status::kStopped;
      m_names.resize(m_starts.back());
      m_starts.pop_back();
      p += length + 3;
      return Status::kOk;
    }
  }
  const char* name = endTag ? p + 2 : p + 1;
  const char* nameEnd = name;
  while (nameEnd < end && kClasses.name[static_cast<unsigned char>(*nameEnd)]) ++nameEnd;
  // The name ends in '>', or in "/>" for an empty element.
  const bool empty = !endTag && nameEnd < end && *nameEnd == '/';
  const char* close = empty ? nameEnd + 1 : nameEnd;
  if (close >= end) {
    if (static_cast<size_t>(end - p) >= kMaxTagBytes) return Leave(p, end);
    *wait = true;
    return Status::kOk;
  }
  if (endTag || *close != '>' || nameEnd == name ||
      !kClasses.nameStart[static_cast<unsigned char>(*name)] ||
      static_cast<size_t>(close - p) >= kMaxTagBytes || (m_starts.empty() && m_rootSeen)) {
    return Leave(p, end);
  }
  const size_t length = static_cast<size_t>(nameEnd - name);
  m_rootSeen = true;
  if (!m_sink->StartElement(name, length)) return Status::kStopped;
  if (empty) {
    if (!m_sink->EndElement()) return Status::kStopped;
  } else {
    m_starts.push_back(m_names.size());
    m_names.append(name, length);
  }
  p = close + 1;
  return Status::kOk;
}

CPlainXmlScanner::Status CPlainXmlScanner::Reference(const char*& p, const char* end, bool* wait) {
  const size_t available = static_cast<size_t>(end - p);
  const char* semi = static_cast<const char*>(
      std::memchr(p + 1, ';', std::min(available, kMaxReferenceBytes) - 1));
  if (semi == nullptr) {
    if (available >= kMaxReferenceBytes) return Leave(p, end);
    *wait = true;
    return Status::kOk;
  }
  const std::string_view body(p + 1, static_cast<size_t>(semi - p - 1));
  long value;
  if (body == "amp") {
    value = '&';
  } else if (body == "lt") {
    value = '<';
  } else if (body == "gt") {
    value = '>';
  } else if (body == "quot") {
    value = '"';
  } else if (body == "apos") {
    value = '\'';
  } else if (body == "nbsp") {
    // Not an XML entity: the reader takes it for a blank before any parser
    // sees the text.
    value = ' ';
  } else if (!body.empty() && body[0] == '#') {
    value = ReferenceNumber(body.data() + 1, body.data() + body.size());
    if (value < 0) return Leave(p, end);
  } else {
    return Leave(p, end);
  }
  std::string character;
  utf8text::AppendCodePoint(&character, static_cast<uint32_t>(value));
  if (!m_sink->Text(character.data(), character.size())) return Status::kStopped;
  p = semi + 1;
  return Status::kOk;
}

CPlainXmlScanner::Status CPlainXmlScanner::Characters(const char*& p, const char* end,
                                                      bool* wait) {
  const char* q = p;
  Status status = Status::kOk;
  for (;;) {
    while (q < end && kClasses.text[static_cast<unsigned char>(*q)]) ++q;
    if (q == end || *q == '<' || *q == '&') break;
    if (*q == '\n') {
      ++m_lineFeeds;
      ++q;
      continue;
    }
    if (*q == ']') {
      // "]]>" may not stand in text: the full parser is to see it whole.
      const size_t have = std::min<size_t>(static_cast<size_t>(end - q), 3);
      if (std::memcmp(q, "]]>", have) == 0) {
        if (have < 3) {
          *wait = true;
        } else {
          status = Status::kLeft;
        }
        break;
      }
      ++q;
      continue;
    }
    const int length = static_cast<unsigned char>(*q) < 0x80 || IsNonCharacter(q, end)
                           ? 0
                           : utf8text::SequenceLength(q, static_cast<size_t>(end - q));
    if (length < 0) {
      *wait = true;
      break;
    }
    if (length == 0) {
      status = Status::kLeft;
      break;
    }
    q += length;
  }
  if (q > p && !m_sink->Text(p, static_cast<size_t>(q - p))) return Status::kStopped;
  p = q;
  return status == Status::kLeft ? Leave(q, end) : Status::kOk;
}

CPlainXmlScanner::Status CPlainXmlScanner::Leave(const char* at, const char* end) {
  m_rest = at;
  m_restLength = static_cast<size_t>(end - at);
  return Status::kLeft;
}
