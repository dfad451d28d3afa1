#include "script/PyModule_Kilnforge.h"

#include <cstdio>
#include <new>
#include <stdexcept>
#include <string>

#include "platform/Console.h"

namespace {

// The runtime calls the built-in's init function without any context, so the
// one live module instance is kept here for it.
CPyModule_Kilnforge* g_instance = nullptr;

// Event types of LogEvent.
constexpr long kMsgNotice = 0;
constexpr long kMsgInfo = 1;
constexpr long kMsgWarning = 3;
constexpr long kMsgError = 4;

// Runs a module function body; a C++ exception becomes a Python exception,
// because the extension layer lets anything but its own exceptions through.
template <typename Body>
Py::Object Guarded(Body body) {
  try {
    return body();
  } catch (const Py::BaseException&) {
    throw;
  } catch (const std::bad_alloc&) {
    throw Py::MemoryError("out of memory");
  } catch (const std::exception& e) {
    throw Py::RuntimeError(e.what());
  } catch (...) {
    throw Py::RuntimeError("unexpected failure in module Kilnforge");
  }
}

// The string form of any object as program text. Characters that cannot be
// encoded (lone surrogates) are replaced instead of failing the call.
wxString StringForm(const Py::Object& object) {
  Py::String text(object.str());
  const std::string utf8 = text.as_std_string("utf-8", "replace");
  return wxString::FromUTF8(utf8.data(), utf8.size());
}

Py::String ToPython(const wxString& text) {
  const wxScopedCharBuffer utf8 = text.utf8_str();
  return Py::String(std::string(utf8.data(), utf8.length()), "utf-8");
}

// Output level of a LogEvent type: warnings and errors get their prefix,
// every other number is plain output; anything that is not a number is a
// TypeError in the script.
int LevelOfValue(long value) {
  if (value == kMsgWarning) return 1;
  if (value == kMsgError) return 2;
  return 0;
}

int LevelOfType(const Py::Object& type) {
  if (PyFloat_Check(type.ptr())) {
    const double value = PyFloat_AsDouble(type.ptr());
    if (value == kMsgWarning || value == kMsgError) return LevelOfValue(static_cast<long>(value));
    return 0;
  }
  PyObject* index = PyNumber_Index(type.ptr());
  if (!index) throw Py::Exception();
  int overflow = 0;
  const long value = PyLong_AsLongAndOverflow(index, &overflow);
  Py_DECREF(index);
  if (value == -1 && PyErr_Occurred()) throw Py::Exception();
  return overflow ? 0 : LevelOfValue(value);
}

extern "C" PyObject* InitKilnforgeModule() {
  if (!g_instance) {
    PyErr_SetString(PyExc_ImportError, "the Kilnforge module is not available");
    return nullptr;
  }
  return Py::new_reference_to(g_instance->moduleObject());
}

}  // namespace

CPyModule_Kilnforge::CPyModule_Kilnforge(const CPythonInterpreter::Host& host)
    : Py::ExtensionModule<CPyModule_Kilnforge>("Kilnforge"), m_host(host) {
  add_varargs_method("ConWriter", &CPyModule_Kilnforge::ConWriter,
                     "Console writer for Kilnforge V2 (for internal use only)");
  add_varargs_method("GetBuildNumber", &CPyModule_Kilnforge::GetBuildNumber,
                     "Returns the build number of Kilnforge V2");
  add_varargs_method("GetDirectory", &CPyModule_Kilnforge::GetDirectory,
                     "Returns the main directory of Kilnforge V2");
  add_varargs_method("GetTempDir", &CPyModule_Kilnforge::GetTempDir,
                     "Returns the temporary directory of Kilnforge V2");
  add_varargs_method("LogEvent", &CPyModule_Kilnforge::LogEvent, "Adds a new event log entry");
  initialize("Core Kilnforge V2 module");

  Py::Dict dict(moduleDictionary());
  dict["msgNotice"] = Py::Long(kMsgNotice);
  dict["msgInfo"] = Py::Long(kMsgInfo);
  dict["msgWarning"] = Py::Long(kMsgWarning);
  dict["msgError"] = Py::Long(kMsgError);
  g_instance = this;
}

CPyModule_Kilnforge::~CPyModule_Kilnforge() {
  if (g_instance == this) g_instance = nullptr;
}

void CPyModule_Kilnforge::WriteText(int level, const wxString& text) const {
  if (m_host.console) {
    m_host.console->OutputLevelText(level, text);
    return;
  }
  const wxScopedCharBuffer utf8 = text.utf8_str();
  fwrite(utf8.data(), 1, utf8.length(), stdout);
  fflush(stdout);
}

bool CPyModule_Kilnforge::RegisterBuiltin() {
  if (Py_IsInitialized()) return false;
  return PyImport_AppendInittab("Kilnforge", &InitKilnforgeModule) == 0;
}

Py::Object CPyModule_Kilnforge::ConWriter(const Py::Tuple& args) {
  return Guarded([&]() -> Py::Object {
    args.verify_length(1);
    WriteText(0, StringForm(args[0]));
    return Py::None();
  });
}

Py::Object CPyModule_Kilnforge::GetBuildNumber(const Py::Tuple& args) {
  return Guarded([&]() -> Py::Object {
    args.verify_length(0);
    return Py::Long(static_cast<long>(kBuildNumber));
  });
}

Py::Object CPyModule_Kilnforge::GetDirectory(const Py::Tuple& args) {
  return Guarded([&]() -> Py::Object {
    args.verify_length(0);
    wxString dir = m_host.programDir;
    if (!dir.EndsWith(wxT("/"))) dir += wxT("/");
    return ToPython(dir);
  });
}

Py::Object CPyModule_Kilnforge::GetTempDir(const Py::Tuple& args) {
  return Guarded([&]() -> Py::Object {
    args.verify_length(0);
    return ToPython(m_host.tempDir);
  });
}

Py::Object CPyModule_Kilnforge::LogEvent(const Py::Tuple& args) {
  return Guarded([&]() -> Py::Object {
    args.verify_length(2);
    const int level = LevelOfType(args[1]);
    WriteText(level, StringForm(args[0]));
    return Py::None();
  });
}
