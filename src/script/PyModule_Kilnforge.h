// The built-in module "Kilnforge" that scripts import to write to the
// program's console and log and to ask for its directories and build number.
// Every function checks its argument count and turns any C++ failure into a
// Python exception, so nothing but Python errors ever reaches the runtime.
#pragma once

#include "CXX/Extensions.hxx"
#include "CXX/Objects.hxx"
#include "script/PythonInterpreter.h"

class CPyModule_Kilnforge : public Py::ExtensionModule<CPyModule_Kilnforge> {
 public:
  // Creates the module object; the runtime must be running. `host` must
  // outlive the module.
  explicit CPyModule_Kilnforge(const CPythonInterpreter::Host& host);
  ~CPyModule_Kilnforge() override;

  // Registers the module as a built-in of the runtime. Call before the
  // runtime starts; `import Kilnforge` then yields the live instance.
  static bool RegisterBuiltin();

  static constexpr int kBuildNumber = 1900;

 private:
  void WriteText(int level, const wxString& text) const;

  const CPythonInterpreter::Host& m_host;

  Py::Object ConWriter(const Py::Tuple& args);
  Py::Object GetBuildNumber(const Py::Tuple& args);
  Py::Object GetDirectory(const Py::Tuple& args);
  Py::Object GetTempDir(const Py::Tuple& args);
  Py::Object LogEvent(const Py::Tuple& args);
};
