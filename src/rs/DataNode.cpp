#include "rs/DataNode.h"

#include "platform/Utf8.h"

#include <cstring>
#include <deque>
#include <string_view>
#include <unordered_map>

namespace {
std::string ToUTF8(const wxString& text) { return utf8text::From(text); }

// The names shared by all trees, kept for the life of the process. The
// table stops taking names at a bound, so that documents full of names
// never seen again cannot make it grow without end. Data trees are built
// and read on the program's one thread.
class NameTable {
 public:
  static constexpr size_t kMaxNames = 4096;
  static constexpr size_t kMaxNameLength = 64;

  // The shared copy of the name, or null when the table does not take it.
  const std::string* Find(const char* name, size_t length) {
    // A document repeats few names many times: a small cache of the names
    // last found spares most of them the hash.
    const std::string*& cached = m_recent[Slot(name, length)];
    if (cached && cached->size() == length && std::memcmp(cached->data(), name, length) == 0) {
      return cached;
    }
    const std::string_view key(name, length);
    auto it = m_index.find(key);
    if (it != m_index.end()) return cached = it->second;
    if (m_names.size() >= kMaxNames || length > kMaxNameLength) return nullptr;
    m_names.emplace_back(name, length);
    const std::string* kept = &m_names.back();
    m_index.emplace(std::string_view(*kept), kept);
    return cached = kept;
  }

  static NameTable& Get() {
    // Never destroyed: a node in a static object may outlive any other static.
    static NameTable* table = new NameTable();
    return *table;
  }

 private:
  static constexpr size_t kRecentSlots = 256;
  static size_t Slot(const char* name, size_t length) {
    if (length == 0) return 0;
    const auto first = static_cast<unsigned char>(name[0]);
    const auto last = static_cast<unsigned char>(name[length - 1]);
    return (length * 31 + first * 7 + last) % kRecentSlots;
  }

  const std::string* m_recent[kRecentSlots] = {};
  std::deque<std::string> m_names;
  std::unordered_map<std::string_view, const std::string*> m_index;
};

const std::string* EmptyName() {
  static const std::string* empty = NameTable::Get().Find("", 0);
  return empty;
}
}  // namespace

CDataNode::CDataNode(CDataNode* parent) : m_parent(parent), m_name(EmptyName()) {}

void CDataNode::SetNameUTF8(const char* name, size_t length) {
  m_name = NameTable::Get().Find(name, length);
  if (m_name) {
    m_ownName.reset();
    return;
  }
  m_ownName = std::make_unique<std::string>(name, length);
  m_name = m_ownName.get();
}

void CDataNodeList::Clear() {
  if (m_owning) {
    for (CDataNode* node : m_nodes) delete node;
  }
  m_nodes.clear();
}

void CDataNodeList::AddRange(CDataNode* const* first, CDataNode* const* last) {
  m_nodes.insert(m_nodes.end(), first, last);
}

wxString CDataNode::GetName() const { return utf8text::ToWx(*m_name); }

void CDataNode::SetName(const wxString& name) { SetNameUTF8(ToUTF8(name)); }

CDataNode* CDataNode::AddChild(const wxString& name) {
  CDataNode* child = new CDataNode(this);
  child->SetName(name);
  m_children.Add(child);
  return child;
}

CDataNode* CDataNode::AddChild(const char* name) {
  CDataNode* child = new CDataNode(this);
  child->SetNameUTF8(name, std::strlen(name));
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
    const std::string& n = *child->m_name;
    if (n.size() == length && std::memcmp(n.data(), name, length) == 0) return child;
  }
  return nullptr;
}

CDataNode* CDataNode::FindChild(const wxString& name) const {
  const std::string utf8 = ToUTF8(name);
  return FindChild(utf8.data(), utf8.size());
}

CDataNode* CDataNode::FindChild(const char* name) const {
  return FindChild(name, std::strlen(name));
}

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
    const std::string& n = *child->m_name;
    if (n.size() == length && std::memcmp(n.data(), name, length) == 0) {
      list->Add(child);
      ++count;
    }
  }
  return count;
}

void CDataNode::Reset() {
  m_name = EmptyName();
  m_ownName.reset();
  m_children.Clear();
}
