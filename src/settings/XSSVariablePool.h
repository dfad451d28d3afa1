// Binds program variables to section and key names of one INI-layout file,
// and loads or saves all of them at once. The pool does not own the
// variables it binds; whoever registers them keeps them alive.
#pragma once

#include <wx/string.h>

#include <memory>
#include <vector>

#include "settings/XSSValue.h"

struct UXSSVariable {
  int type = UXSSValue::kNone;  // 1 integer, 2 real, 3 boolean, 4 string
  double* realTarget = nullptr;
  wxString* stringTarget = nullptr;
  int* integerTarget = nullptr;
  bool* booleanTarget = nullptr;
  wxString section;  // dotted section path, e.g. "RemoteController.Server"
  wxString key;      // e.g. "ServerPort"
};

using UXSSVariableList = std::vector<std::unique_ptr<UXSSVariable>>;

class UXSSVariablePool {
 public:
  void SetFile(const wxString& fileName) { m_fileName = fileName; }
  const wxString& GetFile() const { return m_fileName; }

  // Binds a variable, replacing an earlier binding of the same section and
  // key (both compared with case).
  void AddVariable(int* target, const wxString& section, const wxString& key);
  void AddVariable(double* target, const wxString& section, const wxString& key);
  void AddVariable(bool* target, const wxString& section, const wxString& key);
  void AddVariable(wxString* target, const wxString& section, const wxString& key);

  const UXSSVariableList& GetVariables() const { return m_variables; }
  void Clear() { m_variables.clear(); }

  // Loads (`load`) or saves every bound variable. Loading leaves a variable
  // unchanged when its section or key is missing from the file; saving
  // rewrites the file with the bound variables only, in binding order. False
  // without a file name, when the file cannot be read or written, or when a
  // binding has no target.
  bool Exchange(bool load);

 private:
  void Add(std::unique_ptr<UXSSVariable> variable);
  bool LoadAll();
  bool SaveAll();

  wxString m_fileName;
  UXSSVariableList m_variables;
};
