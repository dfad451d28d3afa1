// A tree of named nodes, each holding a list of texts. The renderer
// definitions, render sets and presets are written into such a tree and read
// back from it; CDataXMLSerializer turns it into XML text and back.
#pragma once

#include "rs/DataNodeValue.h"

#include <wx/string.h>

#include <memory>
#include <string>
#include <vector>

class CDataNode;

// An ordered list of node pointers; an owning list deletes its nodes when it is
// cleared or destroyed.
class CDataNodeList {
 public:
  explicit CDataNodeList(bool owning = true) : m_owning(owning) {}
  ~CDataNodeList() { Clear(); }
  CDataNodeList(const CDataNodeList&) = delete;
  CDataNodeList& operator=(const CDataNodeList&) = delete;

  bool IsOwning() const { return m_owning; }
  // Changing the flag never deletes anything by itself.
  void SetOwning(bool owning) { m_owning = owning; }

  size_t GetCount() const { return m_nodes.size(); }
  CDataNode* GetAt(size_t index) const { return index < m_nodes.size() ? m_nodes[index] : nullptr; }
  void Add(CDataNode* node) { m_nodes.push_back(node); }
  void Reserve(size_t count) { m_nodes.reserve(count); }
  // Appends the nodes in [first, last).
  void AddRange(CDataNode* const* first, CDataNode* const* last);
  // Empties the list without deleting anything: the nodes are owned
  // elsewhere from then on.
  void Forget() { m_nodes.clear(); }
  void Clear();

  std::vector<CDataNode*>::const_iterator begin() const { return m_nodes.begin(); }
  std::vector<CDataNode*>::const_iterator end() const { return m_nodes.end(); }

 private:
  bool m_owning;
  std::vector<CDataNode*> m_nodes;
};

class CDataNode {
 public:
  explicit CDataNode(CDataNode* parent = nullptr);
  ~CDataNode() = default;
  CDataNode(const CDataNode&) = delete;
  CDataNode& operator=(const CDataNode&) = delete;

  CDataNode* GetParent() const { return m_parent; }

  wxString GetName() const;
  const std::string& GetNameUTF8() const { return *m_name; }
  void SetName(const wxString& name);
  void SetNameUTF8(const std::string& name) { SetNameUTF8(name.data(), name.size()); }
  void SetNameUTF8(const char* name, size_t length);

  CDataNodeValue& GetValue() { return m_value; }
  const CDataNodeValue& GetValue() const { return m_value; }
  // The first text of the value (the text a writer writes).
  wxString GetText() const { return m_value.GetText(); }
  const std::string& GetTextUTF8() const { return m_value.GetTextUTF8(); }
  // Replaces the texts by this one.
  void SetText(const wxString& text) { m_value.AddText(text, true); }
  void SetTextUTF8(std::string text) { m_value.AddTextUTF8(std::move(text), true); }

  const CDataNodeList& GetChildren() const { return m_children; }
  // Makes room for `count` children without growing the list step by step.
  void ReserveChildren(size_t count) { m_children.Reserve(count); }
  size_t GetChildCount() const { return m_children.GetCount(); }
  CDataNode* GetChild(size_t index) const { return m_children.GetAt(index); }

  // Appends a new child of that name and returns it.
  CDataNode* AddChild(const wxString& name);
  CDataNode* AddChild(const char* name);
  // Appends a new child holding `text`.
  CDataNode* AddChild(const char* name, const wxString& text);
  // Appends nodes made elsewhere with this node as their parent; the list
  // takes them over.
  void AdoptChildren(CDataNode* const* first, CDataNode* const* last) {
    m_children.AddRange(first, last);
  }

  // Lets go of the children without deleting them: whoever built them owns
  // them from then on.
  void ForgetChildren() { m_children.Forget(); }
  // Puts the node under another parent (a builder reusing the nodes it
  // took back).
  void SetParent(CDataNode* parent) { m_parent = parent; }

  // The first child with exactly this name, or null.
  CDataNode* FindChild(const wxString& name) const;
  CDataNode* FindChild(const char* name) const;
  CDataNode* FindChild(const std::string& name) const;

  // The value of the child of that name, added with a copy of `defaultValue`
  // when there is none.
  CDataNodeValue& GetOrAddValue(const wxString& name, const CDataNodeValue& defaultValue);

  // Empties `list`, makes it non-owning and fills it with the children of that
  // name in order; the count, or -1 without a list.
  int CollectChildren(const wxString& name, CDataNodeList* list) const;
  int CollectChildren(const char* name, CDataNodeList* list) const;

  // Empties the name and deletes all children (the value stays).
  void Reset();

 private:
  CDataNode* FindChild(const char* name, size_t length) const;

  CDataNode* m_parent;
  // A tree repeats a few element names millions of times: the name is shared
  // from a table of names seen before, and only one that the table cannot
  // take any more is held by the node itself.
  const std::string* m_name;
  std::unique_ptr<std::string> m_ownName;
  CDataNodeValue m_value;
  CDataNodeList m_children;
};
