#include "rs/XmlDocumentReader.h"

#include "rs/DataTreeBuilder.h"

#include <algorithm>
#include <cstring>
#include <string>

// Hands the parser a document in pieces of any size. "&nbsp;" is not an XML
// entity: every one becomes a blank before the parser sees it, also one that
// spans two pieces, whose start is held back until the next piece tells.
class CXmlDocumentReader::NbspFeeder {
 public:
  explicit NbspFeeder(XML_Parser parser) : m_parser(parser) {}

  // False once the parser has stopped.
  bool Feed(const char* p, size_t n) {
    while (m_ok && !m_held.empty() && n > 0) {
      const size_t take = n < kNbspLen ? n : kNbspLen;
      std::string joined;
      joined.swap(m_held);
      joined.append(p, take);
      Scan(joined.data(), joined.size());
      p += take;
      n -= take;
    }
    if (n > 0) Scan(p, n);
    return m_ok;
  }
  // The end of the document.
  bool Finish() {
    Raw(m_held.data(), m_held.size());
    return m_ok && XML_Parse(m_parser, "", 0, XML_TRUE) == XML_STATUS_OK;
  }

 private:
  static constexpr char kNbsp[] = "&nbsp;";
  static constexpr size_t kNbspLen = sizeof(kNbsp) - 1;
  static constexpr size_t kChunk = 1 << 20;

  void Scan(const char* p, size_t n) {
    const char* end = p + n;
    while (m_ok && p < end) {
      const char* hit =
          static_cast<const char*>(memmem(p, static_cast<size_t>(end - p), kNbsp, kNbspLen));
      if (!hit) break;
      Raw(p, static_cast<size_t>(hit - p));
      Raw(" ", 1);
      p = hit + kNbspLen;
    }
    if (!m_ok || p >= end) return;
    // A tail that begins "&nbsp;" waits for the bytes after it.
    size_t keep = 0;
    for (size_t k = std::min(static_cast<size_t>(end - p), kNbspLen - 1); k > 0 && keep == 0;
         --k) {
      if (std::memcmp(end - k, kNbsp, k) == 0) keep = k;
    }
    Raw(p, static_cast<size_t>(end - p) - keep);
    m_held.assign(end - keep, keep);
  }

  void Raw(const char* p, size_t n) {
    while (m_ok && n > 0) {
      const size_t piece = n < kChunk ? n : kChunk;
      m_ok = XML_Parse(m_parser, p, static_cast<int>(piece), XML_FALSE) == XML_STATUS_OK;
      p += piece;
      n -= piece;
    }
  }

  XML_Parser m_parser;
  std::string m_held;
  bool m_ok = true;
};

CXmlDocumentReader::CXmlDocumentReader(CDataTreeBuilder* builder, bool fullParserOnly)
    : m_builder(builder), m_scanner(builder), m_scanning(!fullParserOnly) {}

CXmlDocumentReader::~CXmlDocumentReader() {
  m_feeder.reset();
  if (m_parser) XML_ParserFree(m_parser);
}

bool CXmlDocumentReader::Feed(const char* data, size_t length) {
  if (m_scanning) {
    const CPlainXmlScanner::Status status = m_scanner.Feed(data, length);
    if (status != CPlainXmlScanner::Status::kLeft) {
      return status == CPlainXmlScanner::Status::kOk;
    }
    data = m_scanner.RestData();
    length = m_scanner.RestLength();
  }
  NbspFeeder* parser = Parser();
  return parser && parser->Feed(data, length);
}

bool CXmlDocumentReader::Finish() {
  if (m_scanning) {
    const CPlainXmlScanner::Status status = m_scanner.Finish();
    if (status != CPlainXmlScanner::Status::kLeft) {
      return status == CPlainXmlScanner::Status::kOk;
    }
    NbspFeeder* parser = Parser();
    if (!parser || !parser->Feed(m_scanner.RestData(), m_scanner.RestLength())) return false;
  }
  NbspFeeder* parser = Parser();
  return parser && parser->Finish();
}

wxString CXmlDocumentReader::ParseError() const {
  if (m_outOfMemory) return wxT("out of memory");
  if (!m_parser) return wxString();
  const unsigned long line = XML_GetCurrentLineNumber(m_parser) + m_lineFeeds;
  return wxString::Format(wxT("%s at line %lu"),
                          wxString::FromUTF8(XML_ErrorString(XML_GetErrorCode(m_parser))),
                          line);
}

// The full parser, made once, at the first byte the scanner does not take;
// null when it could not be made.
CXmlDocumentReader::NbspFeeder* CXmlDocumentReader::Parser() {
  if (!m_handedOver) {
    m_scanning = false;
    m_handedOver = true;
    m_parser = XML_ParserCreate("UTF-8");
    if (!m_parser) {
      m_outOfMemory = true;
      return nullptr;
    }
    // The prefix repeats markup the builder has already seen: it is parsed
    // before the builder listens. It holds no line feed, so the parser's
    // lines count on from those the scanner took.
    const std::string prefix = m_scanner.ReplayPrefix();
    m_lineFeeds = m_scanner.LineFeeds();
    if (!prefix.empty() && XML_Parse(m_parser, prefix.data(), static_cast<int>(prefix.size()),
                                     XML_FALSE) != XML_STATUS_OK) {
      return nullptr;
    }
    m_builder->Attach(m_parser);
    m_feeder = std::make_unique<NbspFeeder>(m_parser);
  }
  return m_feeder.get();
}
