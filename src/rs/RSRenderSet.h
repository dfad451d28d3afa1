// The render-setting values one net job passes to its renderer version: the
// version ID and, per parameter ID, an ordered list of texts. Values are kept
// and written in the byte order of their IDs. The same XML document (root
// "RenderSet") is used by render set files and by the net job packet; an ID's
// "#" is written as "__Count__" in its element name.
#pragma once

#include "rs/RSObject.h"
#include "rs/RSRenderSetValue.h"

#include <map>
#include <memory>
#include <string>

class CRSVersion;

class CRSRenderSet : public CRSObject {
 public:
  // A render set file larger than this is unreadable.
  static constexpr size_t kMaxFileBytes = 16u * 1024 * 1024;

  using ValueMap = std::map<wxString, std::unique_ptr<CRSRenderSetValue>>;

  CRSRenderSet() = default;

  void Save(CDataNode& node, int mode) override;
  // Mode 1 reads "Renderer" and loads every value; mode 2 keeps the renderer
  // and skips the IDs already held. Fails without "Values".
  bool Load(const CDataNode& node, int mode) override;
  void Reset() override { Clear(); }

  // "Renderer" becomes the version's ID.
  void SetRenderer(const CRSVersion& version);
  CRSRenderSetValue* FindValue(const wxString& id) const;
  // The value of that ID, inserted empty when missing.
  CRSRenderSetValue* GetOrAddValue(const wxString& id);
  // The value of that ID emptied, or a new one.
  CRSRenderSetValue* AddValue(const wxString& id);
  // A copy of the value, or an empty value of that name.
  CRSRenderSetValue GetValueCopy(const wxString& id) const;
  bool RemoveValue(const wxString& id);
  void Clear();

  // For every effective parameter of the version, in order: a non-blank
  // default (trimmed) fills a value that is missing or holds no strings.
  void FillDefaults(const CRSVersion& version);

  // Writes the "RenderSet" document to `path` unless it is empty (the result
  // is that write's) and, when `text` is given, puts the document there.
  bool SaveToFile(const wxString& path, wxString* text = nullptr);
  // The "RenderSet" document as UTF-8 text, the form the net job packet
  // carries, without a round trip through wide text.
  std::string ToUTF8();
  // Parses the file at `path`, or `text` when the path is empty; after a
  // successful parse a set that does not merge is cleared, then the document
  // is loaded (mode 2 merging, mode 1 otherwise).
  bool LoadFromFile(const wxString& path, const wxString& text = wxString(), bool merge = false);

  const ValueMap& GetValues() const { return m_values; }
  size_t GetCount() const { return m_values.size(); }

  // The element name of an ID and back.
  static wxString ElementFromID(const wxString& id);
  static wxString IDFromElement(const wxString& element);

  wxString Renderer;

 private:
  ValueMap m_values;
};
