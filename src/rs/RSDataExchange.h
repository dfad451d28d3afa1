// The exchange document shared by import and export: a data tree whose root
// "DataRoot" holds "ContentType" (the kind's element name, "/" and the data
// format version, e.g. "Pool/1.0") and "Content" (the objects themselves).
// The same document is the renderer cache file.
#pragma once

#include <wx/object.h>
#include <wx/string.h>

#include <string>

#include "rs/DataNode.h"
#include "settings/EventObject.h"

class CDataXMLSerializer;
class CRSPool;

class CRSDataExchange : public wxObject, public CEventObject {
 public:
  static constexpr double kFormatVersion = 1.0;

  CRSDataExchange() = default;
  ~CRSDataExchange() override = default;
  CRSDataExchange(const CRSDataExchange&) = delete;
  CRSDataExchange& operator=(const CRSDataExchange&) = delete;

  // Read the document from a file, a text or UTF-8 bytes; false (with
  // GetError()) when it cannot be read or is not well-formed.
  bool LoadFile(const wxString& path);
  bool ParseText(const wxString& text);
  bool ParseUTF8(const std::string& bytes);
  // Writes the document; the file is replaced atomically.
  bool SaveFile(const wxString& path);
  wxString ToText() const;

  // Makes the root an empty "DataRoot" document of `kind` ("ContentType").
  void PrepareDocument(wxInt32 kind);
  // The kind named by "ContentType" (0 when missing or unknown).
  wxInt32 GetDocumentKind() const;
  // The kind a "ContentType" element names (0 when unknown).
  static wxInt32 KindOfType(const CDataNode& type);

  // Binds to the pool the objects move to or from. Fails without a pool or
  // while the pool is not initialised (it has no directory yet).
  bool Bind(CRSPool* pool);
  CRSPool* GetPool() const { return m_pool; }

  CDataNode& GetRoot() { return m_root; }
  const wxString& GetError() const { return m_error; }

 protected:
  // Keeps why the serializer could not parse the document; false.
  bool ParseFailed(const CDataXMLSerializer& serializer);

  CDataNode m_root;
  CRSPool* m_pool = nullptr;
  wxInt32 m_kind = 0;
  wxString m_error;
};
