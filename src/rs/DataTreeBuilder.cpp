#include "rs/DataTreeBuilder.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsLayoutChar(char c) { return c == '\n' || c == '\r' || c == '\t'; }

bool IsXmlSpace(char c) { return c == ' ' || IsLayoutChar(c); }

}  // namespace

CDataTreeBuilder::CDataTreeBuilder(CDataNode* root, size_t budget,
                                   const CDataXMLSerializer::ElementHandler& handler,
                                   int handlerDepth)
    : m_root(root),
      m_budget(budget, CDataXMLSerializer::kNodeCost, sizeof(char)),
      m_handler(handler),
      m_handlerDepth(handler ? handlerDepth : 0) {}

CDataTreeBuilder::~CDataTreeBuilder() {
  for (CDataNode* node : m_pending) delete node;
  for (size_t i = m_nextSpare; i < m_spare.size(); ++i) delete m_spare[i];
}

void CDataTreeBuilder::Attach(XML_Parser parser) {
  m_parser = parser;
  XML_SetUserData(parser, this);
  XML_SetElementHandler(parser, &CDataTreeBuilder::OnStart, &CDataTreeBuilder::OnEnd);
  XML_SetCharacterDataHandler(parser, &CDataTreeBuilder::OnText);
  XML_SetCommentHandler(parser, &CDataTreeBuilder::OnComment);
  XML_SetProcessingInstructionHandler(parser, &CDataTreeBuilder::OnInstruction);
  XML_SetCdataSectionHandler(parser, &CDataTreeBuilder::OnCdataStart,
                             &CDataTreeBuilder::OnCdataEnd);
}

bool CDataTreeBuilder::StartElement(const char* name, size_t nameLength) {
  Flush(Boundary::kChild);
  if (static_cast<int>(m_stack.size()) >= CDataXMLSerializer::kMaxDepth) {
    m_tooDeep = true;
    return Stop(false);
  }
  if (!ChargeNode(nameLength)) return false;
  CDataNode* node;
  const size_t built = m_built.size();
  if (m_stack.empty()) {
    node = m_root;
    m_sawRoot = true;
  } else {
    node = NewNode(m_stack.back().node);
    m_pending.push_back(node);
    m_built.push_back(node);
    m_stack.back().hadChild = true;
  }
  node->SetNameUTF8(name, nameLength);
  m_stack.push_back(Open{node, m_pending.size(), built, false});
  return true;
}

bool CDataTreeBuilder::EndElement() {
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
    Recycle(open.built);
  }
  return !m_stopped;
}

bool CDataTreeBuilder::Text(const char* text, size_t length) {
  if (m_inCdata || m_stack.empty() || m_budget.IsOver()) return !m_stopped;
  // A run of text is weighed as it grows, before it is a node's text.
  if (!m_budget.Fits(m_text.size() + length)) return Stop(m_budget.Exhaust());
  m_text.append(text, length);
  return true;
}

void CDataTreeBuilder::Flush(Boundary boundary) {
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
void CDataTreeBuilder::Append(CDataNode* node, const char* run, size_t length) {
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

// A node for the next element: one of an element handed over before,
// with the storage of its text, or a new one. The subtrees handed over
// are alike, so the nodes of one serve the next, taken in the order the
// last one was built in, which is their order in memory.
CDataNode* CDataTreeBuilder::NewNode(CDataNode* parent) {
  if (m_nextSpare == m_spare.size()) return new CDataNode(parent);
  CDataNode* node = m_spare[m_nextSpare++];
  node->SetParent(parent);
  return node;
}

// Takes back, emptied, the nodes built from `from` on: those of the subtree
// handed over, in document order.
void CDataTreeBuilder::Recycle(size_t from) {
  m_spare.erase(m_spare.begin(), m_spare.begin() + static_cast<std::ptrdiff_t>(m_nextSpare));
  m_nextSpare = 0;
  for (size_t i = from; i < m_built.size(); ++i) {
    CDataNode* node = m_built[i];
    node->ForgetChildren();
    node->GetValue().Clear();
    node->GetValue().SetMode(0);
    m_spare.push_back(node);
  }
  m_built.resize(from);
}

// A node with its name, or a run of text, against the budget; the reader
// stops when the budget runs out.
bool CDataTreeBuilder::ChargeNode(size_t nameLength) {
  return !m_budget.IsOver() && Stop(m_budget.Charge(nameLength));
}

bool CDataTreeBuilder::ChargeText(size_t length) {
  return !m_budget.IsOver() && Stop(m_budget.ChargeUnits(length));
}

// Stops the scan or the parser unless the charge fitted.
bool CDataTreeBuilder::Stop(bool fitted) {
  if (!fitted) {
    m_stopped = true;
    if (m_parser) XML_StopParser(m_parser, XML_FALSE);
  }
  return fitted;
}

void XMLCALL CDataTreeBuilder::OnStart(void* data, const XML_Char* name,
                                       const XML_Char** /*attrs*/) {
  static_cast<CDataTreeBuilder*>(data)->StartElement(name, std::strlen(name));
}

void XMLCALL CDataTreeBuilder::OnEnd(void* data, const XML_Char* /*name*/) {
  static_cast<CDataTreeBuilder*>(data)->EndElement();
}

void XMLCALL CDataTreeBuilder::OnText(void* data, const XML_Char* text, int length) {
  static_cast<CDataTreeBuilder*>(data)->Text(text, static_cast<size_t>(length));
}

void XMLCALL CDataTreeBuilder::OnComment(void* data, const XML_Char* /*text*/) {
  static_cast<CDataTreeBuilder*>(data)->Flush(Boundary::kOther);
}

void XMLCALL CDataTreeBuilder::OnInstruction(void* data, const XML_Char* /*target*/,
                                             const XML_Char* /*text*/) {
  static_cast<CDataTreeBuilder*>(data)->Flush(Boundary::kOther);
}

// The content of a CDATA section is not text of the element.
void XMLCALL CDataTreeBuilder::OnCdataStart(void* data) {
  auto* self = static_cast<CDataTreeBuilder*>(data);
  self->Flush(Boundary::kOther);
  self->m_inCdata = true;
}

void XMLCALL CDataTreeBuilder::OnCdataEnd(void* data) {
  static_cast<CDataTreeBuilder*>(data)->m_inCdata = false;
}
