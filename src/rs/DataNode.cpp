#include "rs/DataNode.h"

#include "platform/Utf8.h"

#include <cstring>

namespace {
std::string ToUTF8(const wxString& text) { return utf8text::From(text); }
}  // namespace

void CDataNodeList::Clear() {
  if (m_owning) {
    for (CDataNode* node : m_nodes) delete node;
  }
  m_nodes.clear();
}

void CDataNodeList::AddRange(CDataNode* const* first, CDataNode* const* last) {
  m_nodes.insert(m_nodes.end(), first, last);
}

wxString CDataNode::GetName() const { return utf8text::ToWx(m_name); }

void CDataNode::SetName(const wxString& name) { m_name = ToUTF8(name); }

CDataNode* CDataNode::AddChild(const wxString& name) {
  CDataNode* child = new CDataNode(this);
  child->m_name = ToUTF8(name);
  m_children.Add(child);
  return child;
}

CDataNode* CDataNode::AddChild(const char* name) {
  CDataNode* child = new CDataNode(this);
  child->m_name = name;
  m_children.Add(child);
  return child;
}

CDataNode* CDataNode::AddChild(const char* name, const wxString& text) {
  CDataNode* child = AddChild(name);
  child->SetText(text);
  return child;
}

CDataNode* CDataNode::FindChild(const char* name, size_t length) const {
  for (CDataNode* child : m_children) {
    const std::string& n = child->m_name;
    if (n.size() == length && std::memcmp(n.data(), name, length) == 0) return child;
  }
  return nullptr;
}

CDataNode* CDataNode::FindChild(const wxString& name) const {
  const std::string utf8 = ToUTF8(name);
  return FindChild(utf8.data(), utf8.size());
}

CDataNode* CDataNode::FindChild(const char* name) const { return FindChild(name, std::strlen(name)); }

CDataNode* CDataNode::FindChild(const std::string& name) const {
  return FindChild(name.data(), name.size());
}

CDataNodeValue& CDataNode::GetOrAddValue(const wxString& name, const CDataNodeValue& defaultValue) {
  CDataNode* child = FindChild(name);
  if (!child) {
    child = AddChild(name);
    child->m_value.Assign(defaultValue);
  }
  return child->m_value;
}

int CDataNode::CollectChildren(const wxString& name, CDataNodeList* list) const {
  return CollectChildren(ToUTF8(name).c_str(), list);
}

int CDataNode::CollectChildren(const char* name, CDataNodeList* list) const {
  if (!list) return -1;
  list->Clear();
  list->SetOwning(false);
  const size_t length = std::strlen(name);
  int count = 0;
  for (CDataNode* child : m_children) {
    if (child->m_name.size() == length && std::memcmp(child->m_name.data(), name, length) == 0) {
      list->Add(child);
      ++count;
    }
  }
  return count;
}

void CDataNode::Reset() {
  m_name.clear();
  m_children.Clear();
}
