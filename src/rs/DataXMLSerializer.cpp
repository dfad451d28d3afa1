#include "rs/DataXMLSerializer.h"

#include "net/MemoryBudget.h"
#include "platform/FileIO.h"
#include "platform/ReadOnlyFile.h"
#include "platform/Utf8.h"
#include "rs/PlainXmlScanner.h"

#include <expat.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

bool IsLayoutChar(char c) { return c == '\n' || c == '\r' || c == '\t'; }

bool IsXmlSpace(char c) { return c == ' ' || IsLayoutChar(c); }

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

// Builds the tree from what the plain scanner or the full parser reports. A
// run of character data ends at any markup; runs made only of white space with
// a raw line feed, carriage return or tab are layout, and around child elements
// the layout characters at the ends of a run are layout too.
class TreeBuilder : public CPlainXmlScanner::Sink {
 public:
  TreeBuilder(CDataNode* root, size_t budget, const CDataXMLSerializer::ElementHandler& handler,
              int handlerDepth)
      : m_root(root),
        m_budget(budget, CDataXMLSerializer::kNodeCost, sizeof(char)),
        m_handler(handler),
        m_handlerDepth(handler ? handlerDepth : 0) {}
  // Nodes of elements that never ended belong to no tree yet.
  ~TreeBuilder() override {
    for (CDataNode* node : m_pending) delete node;
    for (size_t i = m_nextSpare; i < m_spare.size(); ++i) delete m_spare[i];
  }

  // From now on the full parser reports to this builder, which stops it when
  // the document is refused.
  void Attach(XML_Parser parser) {
    m_parser = parser;
    XML_SetUserData(parser, this);
    XML_SetElementHandler(parser, &TreeBuilder::OnStart, &TreeBuilder::OnEnd);
    XML_SetCharacterDataHandler(parser, &TreeBuilder::OnText);
    XML_SetCommentHandler(parser, &TreeBuilder::OnComment);
    XML_SetProcessingInstructionHandler(parser, &TreeBuilder::OnInstruction);
    XML_SetCdataSectionHandler(parser, &TreeBuilder::OnCdataStart, &TreeBuilder::OnCdataEnd);
  }

  bool SawRoot() const { return m_sawRoot; }
  bool TooDeep() const { return m_tooDeep; }
  bool OverBudget() const { return m_budget.IsOver(); }

  bool StartElement(const char* name, size_t nameLength) override {
    Flush(Boundary::kChild);
    if (static_cast<int>(m_stack.size()) >= CDataXMLSerializer::kMaxDepth) {
      m_tooDeep = true;
      return Stop(false);
    }
    if (!ChargeNode(nameLength)) return false;
    CDataNode* node;
    if (m_stack.empty()) {
      node = m_root;
      m_sawRoot = true;
    } else {
      node = NewNode(m_stack.back().node);
      m_pending.push_back(node);
      m_stack.back().hadChild = true;
    }
    node->SetNameUTF8(name, nameLength);
    m_stack.push_back(Open{node, m_pending.size(), false});
    return true;
  }

  bool EndElement() override {
    Flush(Boundary::kEnd);
    if (m_stack.empty()) return !m_stopped;
    const Open open = m_stack.back();
    m_stack.pop_back();
    if (m_pending.size() > open.first) {
      open.node->AdoptChildren(m_pending.data() + open.first,
                               m_pending.data() + m_pending.size());
      m_pending.resize(open.first);
    }
    // The element is the last node waiting for its parent.
    const int depth = static_cast<int>(m_stack.size());
    if (depth > 0 && depth <= m_handlerDepth && !m_budget.IsOver() &&
        m_handler(*open.node, depth)) {
      m_pending.pop_back();
      Recycle(open.node);
    }
    return !m_stopped;
  }

  bool Text(const char* text, size_t length) override {
    if (m_inCdata || m_stack.empty() || m_budget.IsOver()) return !m_stopped;
    // A run of text is weighed as it grows, before it is a node's text.
    if (!m_budget.Fits(m_text.size() + length)) return Stop(m_budget.Exhaust());
    m_text.append(text, length);
    return true;
  }

 private:
  enum class Boundary { kChild, kEnd, kOther };

  // An open element; its finished children wait in m_pending from `first`
  // on and move into the node, in one piece, when the element ends.
  // `hadChild` stays set when a child was handed over and left the tree, so
  // that the text around it is read as if the child were still there.
  struct Open {
    CDataNode* node;
    size_t first;
    bool hadChild;
  };

  void Flush(Boundary boundary) {
    if (m_text.empty()) return;
    if (m_stack.empty()) {
      m_text.clear();
      return;
    }
    const Open& open = m_stack.back();
    const std::string& text = m_text;
    size_t begin = 0;
    size_t end = text.size();
    // Most runs are a value without white space at either end, which no rule
    // trims, or layout alone, which every rule drops.
    if (!IsXmlSpace(text.front()) && !IsXmlSpace(text.back())) {
      Append(open.node, text.data(), end);
      return;
    }
    if (std::all_of(text.begin(), text.end(), [](char c) { return IsLayoutChar(c); })) {
      m_text.clear();
      return;
    }
    // Before a child element: a line break and what follows it is layout.
    if (boundary == Boundary::kChild) {
      size_t last = end;
      while (last > 0 && IsXmlSpace(text[last - 1])) --last;
      const size_t nl = text.find('\n', last);
      if (nl != std::string::npos) {
        end = nl;
        if (end > last && text[end - 1] == '\r') --end;
      }
    }
    // After a child element: leading white space up to a line break is layout.
    if (open.hadChild) {
      size_t first = begin;
      while (first < end && IsXmlSpace(text[first])) ++first;
      if (std::memchr(text.data() + begin, '\n', first - begin) != nullptr) begin = first;
    }
    bool white = true;
    bool layout = false;
    for (size_t i = begin; i < end && white; ++i) {
      if (!IsXmlSpace(text[i])) white = false;
      if (IsLayoutChar(text[i])) layout = true;
    }
    if (begin == end || (white && layout)) {
      m_text.clear();
      return;
    }
    Append(open.node, text.data() + begin, end - begin);
  }

  // Charges a run that is text of `node` and gives it to the node's value,
  // which copies it into the storage it may have kept from an earlier use;
  // only a run with a backslash or an ampersand has anything to undo first.
  void Append(CDataNode* node, const char* run, size_t length) {
    if (ChargeText(length)) {
      if (std::memchr(run, '\\', length) || std::memchr(run, '&', length)) {
        m_undone.assign(run, length);
        CDataXMLSerializer::Unescape(&m_undone);
        node->GetValue().AppendTextUTF8(m_undone.data(), m_undone.size());
      } else {
        node->GetValue().AppendTextUTF8(run, length);
      }
    }
    m_text.clear();
  }

  static void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** /*attrs*/) {
    static_cast<TreeBuilder*>(data)->StartElement(name, std::strlen(name));
  }

  static void XMLCALL OnEnd(void* data, const XML_Char* /*name*/) {
    static_cast<TreeBuilder*>(data)->EndElement();
  }

  // A node for the next element: one of an element handed over before,
  // with the storage of its text, or a new one. The subtrees handed over
  // are alike, so the nodes of one serve the next, taken in the order the
  // last one was built in, which is their order in memory.
  CDataNode* NewNode(CDataNode* parent) {
    if (m_nextSpare == m_spare.size()) return new CDataNode(parent);
    CDataNode* node = m_spare[m_nextSpare++];
    node->SetParent(parent);
    return node;
  }

  // Takes back the nodes of a subtree handed over, emptied, in document order.
  void Recycle(CDataNode* top) {
    m_spare.erase(m_spare.begin(), m_spare.begin() + static_cast<std::ptrdiff_t>(m_nextSpare));
    m_nextSpare = 0;
    m_walk.assign(1, top);
    while (!m_walk.empty()) {
      CDataNode* node = m_walk.back();
      m_walk.pop_back();
      m_spare.push_back(node);
      const size_t children = m_walk.size();
      node->ReleaseChildren(&m_walk);
      std::reverse(m_walk.begin() + static_cast<std::ptrdiff_t>(children), m_walk.end());
      node->GetValue().Clear();
      node->GetValue().SetMode(0);
    }
  }

  static void XMLCALL OnText(void* data, const XML_Char* text, int length) {
    static_cast<TreeBuilder*>(data)->Text(text, static_cast<size_t>(length));
  }

  static void XMLCALL OnComment(void* data, const XML_Char* /*text*/) {
    static_cast<TreeBuilder*>(data)->Flush(Boundary::kOther);
  }

  static void XMLCALL OnInstruction(void* data, const XML_Char* /*target*/,
                                    const XML_Char* /*text*/) {
    static_cast<TreeBuilder*>(data)->Flush(Boundary::kOther);
  }

  // The content of a CDATA section is not text of the element.
  static void XMLCALL OnCdataStart(void* data) {
    auto* self = static_cast<TreeBuilder*>(data);
    self->Flush(Boundary::kOther);
    self->m_inCdata = true;
  }

  static void XMLCALL OnCdataEnd(void* data) { static_cast<TreeBuilder*>(data)->m_inCdata = false; }

  // A node with its name, or a run of text, against the budget; the parser
  // stops when the budget runs out.
  bool ChargeNode(size_t nameLength) {
    return !m_budget.IsOver() && Stop(m_budget.Charge(nameLength));
  }
  bool ChargeText(size_t length) {
    return !m_budget.IsOver() && Stop(m_budget.ChargeUnits(length));
  }
  // Stops the scan or the parser unless the charge fitted.
  bool Stop(bool fitted) {
    if (!fitted) {
      m_stopped = true;
      if (m_parser) XML_StopParser(m_parser, XML_FALSE);
    }
    return fitted;
  }

  XML_Parser m_parser = nullptr;
  CDataNode* m_root;
  CMemoryBudget m_budget;
  const CDataXMLSerializer::ElementHandler& m_handler;
  int m_handlerDepth;
  std::vector<Open> m_stack;
  std::vector<CDataNode*> m_pending;
  std::vector<CDataNode*> m_spare;
  size_t m_nextSpare = 0;
  std::vector<CDataNode*> m_walk;
  std::string m_text;
  std::string m_undone;
  bool m_inCdata = false;
  bool m_stopped = false;
  bool m_sawRoot = false;
  bool m_tooDeep = false;
};

// Hands the parser a document in pieces of any size. "&nbsp;" is not an XML
// entity: every one becomes a blank before the parser sees it, also one that
// spans two pieces, whose start is held back until the next piece tells.
class NbspFeeder {
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

// Hands a document to the plain scanner and, from where the document leaves
// the plain form, to the full parser, primed with the markup that brings it to
// where the scanner stopped. With `fullParserOnly` the full parser reads it all.
class DocumentReader {
 public:
  DocumentReader(TreeBuilder* builder, bool fullParserOnly)
      : m_builder(builder), m_scanner(builder), m_scanning(!fullParserOnly) {}
  ~DocumentReader() {
    if (m_parser) XML_ParserFree(m_parser);
  }

  // False once the document is refused.
  bool Feed(const char* data, size_t length) {
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

  // True when the whole document was read.
  bool Finish() {
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

  // Why the full parser refused the document; empty when it did not.
  wxString ParseError() const {
    if (m_outOfMemory) return wxT("out of memory");
    if (!m_parser) return wxString();
    const unsigned long line = XML_GetCurrentLineNumber(m_parser) + m_lineFeeds;
    return wxString::Format(wxT("%s at line %lu"),
                            wxString::FromUTF8(XML_ErrorString(XML_GetErrorCode(m_parser))),
                            line);
  }

 private:
  // The full parser, made once, at the first byte the scanner does not take;
  // null when it could not be made.
  NbspFeeder* Parser() {
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

  TreeBuilder* m_builder;
  CPlainXmlScanner m_scanner;
  bool m_scanning;
  XML_Parser m_parser = nullptr;
  std::unique_ptr<NbspFeeder> m_feeder;
  unsigned long m_lineFeeds = 0;
  bool m_handedOver = false;
  bool m_outOfMemory = false;
};

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

  TreeBuilder builder(m_root, m_treeBudget, m_handler, m_handlerDepth);
  DocumentReader reader(&builder, m_fullParserOnly);
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
