// An ordered list of render-system objects addressed by a key (a name, a
// parameter ID, a switch text) and stored as one child element per item. An
// owning list deletes its items when they are removed or the list is cleared.
//
// Loading walks the incoming item elements in order and, by mode, matches each
// against the existing items (0: never, 3: by "Uuid", otherwise by the key
// child KeyName); an unmatched element becomes a new item, which is deleted
// again when its load fails. Lookups during a load go through a hash index
// once the list is long, so a load stays linear in the number of items; so
// do the membership tests of a long list.
#pragma once

#include "platform/Utf8.h"
#include "rs/DataNode.h"
#include "rs/RSObject.h"
#include "rs/RSXml.h"

#include <wx/hashmap.h>

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

template <class T, class K = wxString>
class CRSArray : public virtual CRSObject {
 public:
  CRSArray(const char* itemElement, const char* keyName, bool ownsItems)
      : OwnsItems(ownsItems), ItemElement(itemElement), KeyName(keyName) {}
  ~CRSArray() override { Clear(true); }
  CRSArray(const CRSArray&) = delete;
  CRSArray& operator=(const CRSArray&) = delete;

  // Called for a new item before it is loaded; false drops the item.
  virtual bool OnItemAdded(T* /*item*/) { return true; }
  // Called when RemoveAt takes an item out.
  virtual void OnItemRemoved(T* /*item*/) {}
  virtual const K& GetKey(const T* item) const = 0;

  size_t GetCount() const { return m_items.size(); }
  T* GetAt(size_t index) const { return index < m_items.size() ? m_items[index] : nullptr; }
  int IndexOf(const T* item) const {
    auto it = std::find(m_items.begin(), m_items.end(), item);
    return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
  }
  bool Contains(const T* item) const {
    if (m_items.size() < kMembersIndexedFrom)
      return std::find(m_items.begin(), m_items.end(), item) != m_items.end();
    if (m_members.empty()) m_members.insert(m_items.begin(), m_items.end());
    return m_members.count(item) != 0;
  }

  // Appends the item unless it is already listed; the count.
  size_t Add(T* item) {
    if (!item || Contains(item)) return m_items.size();
    m_items.push_back(item);
    if (!m_members.empty()) m_members.insert(item);
    return m_items.size();
  }
  // Inserts at `index` (appends beyond the end) unless already listed.
  void Insert(size_t index, T* item) {
    if (!item || Contains(item)) return;
    if (index > m_items.size()) index = m_items.size();
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(index), item);
    if (!m_members.empty()) m_members.insert(item);
  }
  // Takes the item out (OnItemRemoved); an owning list also has it delete its
  // data (Delete) and deletes it.
  void RemoveAt(size_t index) {
    if (index >= m_items.size()) return;
    T* item = m_items[index];
    OnItemRemoved(item);
    if (OwnsItems) item->Delete();
    // The hooks may have changed the list: find the item again.
    auto it = std::find(m_items.begin(), m_items.end(), item);
    if (it != m_items.end()) {
      m_items.erase(it);
      m_members.erase(item);
    }
    if (OwnsItems) delete item;
  }
  // Takes the item out without deleting it or calling any hook.
  bool Detach(const T* item) {
    if (!Contains(item)) return false;
    m_items.erase(std::find(m_items.begin(), m_items.end(), item));
    m_members.erase(item);
    return true;
  }
  // Empties the list; the items are deleted when `deleteItems` is set and the
  // list owns them.
  void Clear(bool deleteItems) {
    std::vector<T*> items;
    items.swap(m_items);
    m_members.clear();
    if (deleteItems && OwnsItems) {
      for (T* item : items) delete item;
    }
  }

  T* FindByKey(const K& key) const {
    for (T* item : m_items) {
      // Comparing two wxStrings is a call into the library: lengths first.
      const K& itemKey = GetKey(item);
      if (itemKey.length() == key.length() && itemKey == key) return item;
    }
    return nullptr;
  }
  T* FindByUuid(const wxString& uuid) const {
    for (T* item : m_items) {
      if (item->Uuid == uuid) return item;
    }
    return nullptr;
  }

  typename std::vector<T*>::const_iterator begin() const { return m_items.begin(); }
  typename std::vector<T*>::const_iterator end() const { return m_items.end(); }

  // One ItemElement child per item, in list order.
  void Save(CDataNode& node, int mode) override {
    for (T* item : m_items) item->Save(*node.AddChild(ItemElement), mode);
  }

  bool Load(const CDataNode& node, int mode) override {
    const std::string_view item(ItemElement);
    Loader loader(*this, mode);
    for (const CDataNode* child : node.GetChildren()) {
      if (std::string_view(child->GetNameUTF8()) == item && !loader.LoadItem(*child)) return false;
    }
    return true;
  }

  // Removes, from the last item to the first, every item whose key is not
  // the key child of any incoming item element of `node`.
  void RemoveItemsNotIn(const CDataNode& node) {
    if (m_items.empty()) return;
    std::unordered_set<wxString, wxStringHash, wxStringEqual> keys;
    for (const CDataNode* child : node.GetChildren()) {
      if (child->GetNameUTF8() == ItemElement) keys.insert(ReadChildText(*child, KeyName));
    }
    for (size_t i = m_items.size(); i-- > 0;) {
      if (i < m_items.size() && keys.count(GetKey(m_items[i])) == 0) RemoveAt(i);
    }
  }

  bool OwnsItems;
  const char* ItemElement;
  const char* KeyName;

 protected:
  static wxString ReadChildText(const CDataNode& node, const char* name) {
    const CDataNode* child = node.FindChild(name);
    return child ? child->GetText() : wxString();
  }

 private:
  // Finds the first item with a key (mode other than 0 and 3) or a "Uuid"
  // (mode 3); an index replaces the scan once the list is long. The texts
  // looked for are the elements' UTF-8, compared with the items' keys
  // without converting either: a pool load looks up every item it reads.
  class Finder {
   public:
    Finder(const CRSArray& list, int mode) : m_list(list), m_byUuid(mode == 3) {}

    // `match` is well-formed UTF-8 (rsxml::ReadStringUTF8).
    T* Find(const std::string& match) {
      const std::vector<T*>& items = m_list.m_items;
      if (!m_indexed && items.size() >= kIndexFrom) m_indexed = true;
      if (!m_indexed) return Scan(match);
      // Items appended since (a renderer creating its group while the group
      // list loads) join the index before it is asked.
      for (; m_synced < items.size(); ++m_synced)
        m_index.emplace(utf8text::From(MatchOf(items[m_synced])), items[m_synced]);
      auto it = m_index.find(match);
      if (it == m_index.end()) return nullptr;
      if (Matches(it->second, match)) return it->second;
      // The indexed entry changed its key since: fall back to a scan.
      return Scan(match);
    }

    // Records the item under its key as it is after its load; `match`, the
    // text it was looked for by, mostly is that key already.
    void Note(T* item, std::string match) {
      if (!m_indexed) return;
      if (!Matches(item, match)) match = utf8text::From(MatchOf(item));
      m_index.emplace(std::move(match), item);
      // The item the list has just appended needs no second look.
      const std::vector<T*>& items = m_list.m_items;
      if (m_synced + 1 == items.size() && items.back() == item) m_synced = items.size();
    }

   private:
    static constexpr size_t kIndexFrom = 16;
    const wxString& MatchOf(T* item) const { return m_byUuid ? item->Uuid : m_list.GetKey(item); }
    bool Matches(T* item, const std::string& match) const {
      return utf8text::Equals(MatchOf(item), match.data(), match.size());
    }
    T* Scan(const std::string& match) const {
      for (T* item : m_list.m_items) {
        if (Matches(item, match)) return item;
      }
      return nullptr;
    }

    const CRSArray& m_list;
    bool m_byUuid;
    bool m_indexed = false;
    size_t m_synced = 0;
    std::unordered_map<std::string, T*> m_index;
  };

 public:
  // Loads item elements one at a time, as Load does with the item elements
  // of one node, for a caller that has them one by one; its lookups stay
  // indexed across the calls.
  class Loader {
   public:
    Loader(CRSArray& list, int mode) : m_list(list), m_mode(mode), m_finder(list, mode) {}

    // False when the item does not load; a new item is then deleted again.
    bool LoadItem(const CDataNode& child) {
      T* item = nullptr;
      std::string match;
      if (m_mode != 0) {
        match = rsxml::ReadStringUTF8(child, m_mode == 3 ? "Uuid" : m_list.KeyName);
        item = m_finder.Find(match);
      }
      const bool isNew = item == nullptr;
      if (isNew) {
        item = new T();
        item->SetPool(m_list.Pool);
        if (!m_list.OnItemAdded(item)) {
          delete item;
          return false;
        }
      }
      if (!item->Load(child, m_mode)) {
        if (isNew) delete item;
        return false;
      }
      if (isNew) m_list.Add(item);
      m_finder.Note(item, std::move(match));
      return true;
    }

   private:
    CRSArray& m_list;
    int m_mode;
    Finder m_finder;
  };

 private:
  // A short list is searched; a long one builds a set of its items at the
  // first membership test and keeps it from then on (empty while not built).
  static constexpr size_t kMembersIndexedFrom = 64;

  std::vector<T*> m_items;
  mutable std::unordered_set<const T*> m_members;
};
