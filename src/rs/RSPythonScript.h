// The renderer script run by a render client's embedded interpreter. In XML
// the script is the text of the "Script" element; as a file it is the bare
// text of "RendererScript.py", written and read byte for byte.
#pragma once

#include "rs/RSComponent.h"

class CRSPythonScript : public CRSComponent {
 public:
  // A script file larger than this is unreadable.
  static constexpr size_t kMaxFileBytes = 16u * 1024 * 1024;

  CRSPythonScript() = default;

  void Save(CDataNode& node, int mode) override;
  bool Load(const CDataNode& node, int mode) override;
  void Reset() override;
  void CopyFrom(const CRSComponent& other) override;
  wxString GetName() const override { return wxT("Script"); }
  wxString GetFileName() const override { return wxT("RendererScript.py"); }
  bool SaveToFile(const wxString& dir) override;
  // Empties the script and reads the whole file (as UTF-8, or as Latin-1
  // when it is not valid UTF-8); false when it cannot be read.
  bool LoadFromFile(const wxString& dir) override;

  wxString Script;
};
