// One record of render-system data as the server sends it: the kind of object
// it concerns, whether it carries the object's XML text, the text and a key.
// Executing a record changes the pool:
//   - a record with text (mode 0 or 1) holds an exchange document of its
//     kind and is imported into the pool;
//   - a record without text (mode 2) removes the object its key names: a
//     group or renderer by name, a version by its ID "renderer/version".
#pragma once

#include <wx/object.h>
#include <wx/string.h>

#include <memory>

class CRSPool;
class CRSDataImport;

class CRSDataCommand : public wxObject {
 public:
  // Object kinds.
  enum Kind : wxInt32 { kNone = 0, kPool = 1, kGroup = 2, kRenderer = 3, kVersion = 4 };
  // Record modes.
  enum Mode : wxInt32 { kModeKeyed = 0, kModeText = 1, kModeNoText = 2 };

  CRSDataCommand() = default;
  CRSDataCommand(wxInt32 mode, wxInt32 kind, const wxString& key, const wxString& text)
      : mode(mode), kind(kind), key(key), text(text) {}
  ~CRSDataCommand() override = default;

  // A pool record must carry its text; a mode-0 record needs both texts.
  bool IsValid() const {
    return (kind != kPool || mode == kModeText) &&
           (mode != kModeKeyed || (!text.empty() && !key.empty()));
  }

  // Takes the record fields of `other`.
  void Assign(const CRSDataCommand& other) {
    mode = other.mode;
    kind = other.kind;
    key = other.key;
    text = other.text;
  }

  // Applies the record to `pool`; false with GetError() telling why.
  bool Execute(CRSPool* pool);
  const wxString& GetError() const { return m_error; }

  // "Pool", "Group", "Renderer", "Version" for kinds 1 to 4, else empty.
  static wxString KindName(wxInt32 kind);
  // The kind an element name stands for; 0 for any other name.
  static wxInt32 KindFromName(const wxString& name);

  wxInt32 mode = kModeKeyed;
  wxInt32 kind = kNone;
  wxString key;
  wxString text;

 protected:
  // The import that reads records carrying text.
  virtual std::unique_ptr<CRSDataImport> CreateImport();

 private:
  bool Remove(CRSPool* pool);

  wxString m_error;
};

// The record class of the client's data manager: imports with the client's
// import.
class CRSDataCommand_JS : public CRSDataCommand {
 public:
  using CRSDataCommand::CRSDataCommand;

 protected:
  std::unique_ptr<CRSDataImport> CreateImport() override;
};
