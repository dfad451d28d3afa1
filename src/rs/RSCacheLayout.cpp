#include "rs/RSCacheLayout.h"

#include <cstring>

#include "rs/DataXMLSerializer.h"

namespace {

bool NameIs(const std::string& doc, size_t at, size_t length, const char* name) {
  return length == std::strlen(name) && doc.compare(at, length, name) == 0;
}

}  // namespace

bool CRSCacheLayout::Scan(const std::string& doc) {
  m_groups.clear();
  m_groupNames.clear();
  m_rendererNames.clear();
  m_stack.clear();
  m_contentSeen = false;
  bool ok = true;
  size_t pos = 0;
  while (ok) {
    const size_t lt = doc.find('<', pos);
    if (lt == std::string::npos) break;
    const size_t gt = doc.find('>', lt);
    if (gt == std::string::npos || gt == lt + 1) return false;
    ok = doc[lt + 1] == '/' ? EndElement(doc, lt, gt) : StartElement(doc, lt, gt);
    pos = gt + 1;
  }
  if (!ok || !m_stack.empty() || !m_contentSeen) return false;
  for (size_t g = 0; g < m_groups.size(); ++g) {
    m_groups[g].name = ReadName(doc, m_groupNames[g]);
    for (size_t r = 0; r < m_groups[g].renderers.size(); ++r) {
      m_groups[g].renderers[r].name = ReadName(doc, m_rendererNames[g][r]);
    }
  }
  return true;
}

bool CRSCacheLayout::StartElement(const std::string& doc, size_t lt, size_t gt) {
  const size_t name = lt + 1;
  const size_t length = gt - name;
  // Declarations, comments, CDATA, instructions, attributes, empty-element
  // tags: none of them is written by the writer.
  if (doc[name] == '!' || doc[name] == '?') return false;
  for (size_t i = name; i < gt; ++i) {
    const char c = doc[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '/' || c == '=') return false;
  }
  const Role parent = m_stack.empty() ? Role::kOther : m_stack.back().role;
  Role role = Role::kOther;
  if (m_stack.empty()) {
    role = Role::kRoot;
  } else if (parent == Role::kRoot && !m_contentSeen && NameIs(doc, name, length, "Content")) {
    role = Role::kContent;
    m_contentSeen = true;
  } else if (parent == Role::kContent && NameIs(doc, name, length, "RendererGroup")) {
    role = Role::kGroup;
    m_groups.emplace_back();
    m_groups.back().begin = lt;
    m_groupNames.emplace_back();
    m_rendererNames.emplace_back();
    m_renderersClosed = false;
  } else if (parent == Role::kGroup) {
    // The header of a group ends with its renderers.
    if (m_renderersClosed) return false;
    if (NameIs(doc, name, length, "Name") && m_groupNames.back().end == 0) {
      role = Role::kGroupName;
      m_groupNames.back().begin = lt;
    } else if (NameIs(doc, name, length, "Renderers")) {
      role = Role::kRenderers;
      m_groups.back().headerEnd = gt + 1;
    }
  } else if (parent == Role::kRenderers && NameIs(doc, name, length, "Renderer")) {
    role = Role::kRenderer;
    m_groups.back().renderers.emplace_back();
    m_groups.back().renderers.back().begin = lt;
    m_rendererNames.back().emplace_back();
  } else if (parent == Role::kRenderer && NameIs(doc, name, length, "Name") &&
             m_rendererNames.back().back().end == 0) {
    role = Role::kRendererName;
    m_rendererNames.back().back().begin = lt;
  }
  m_stack.push_back(Open{role, name, length});
  return true;
}

bool CRSCacheLayout::EndElement(const std::string& doc, size_t lt, size_t gt) {
  if (m_stack.empty()) return false;
  const Open open = m_stack.back();
  const size_t length = gt - (lt + 2);
  if (length != open.length || doc.compare(lt + 2, length, doc, open.name, open.length) != 0) {
    return false;
  }
  m_stack.pop_back();
  switch (open.role) {
    case Role::kGroupName: m_groupNames.back().end = gt + 1; break;
    case Role::kRenderers: m_renderersClosed = true; break;
    case Role::kRenderer: m_groups.back().renderers.back().end = gt + 1; break;
    case Role::kRendererName: m_rendererNames.back().back().end = gt + 1; break;
    default: break;
  }
  return true;
}

wxString CRSCacheLayout::ReadName(const std::string& doc, const NameRange& range) {
  if (range.end <= range.begin) return wxString();
  // The element alone, read by the same reader as the whole document.
  CDataNode node;
  if (!CDataXMLSerializer(&node).ParseUTF8(doc.data() + range.begin, range.end - range.begin)) {
    return wxString();
  }
  return node.GetText();
}
