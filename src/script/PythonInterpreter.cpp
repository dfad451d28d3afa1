#include "script/PyModule_Kilnforge.h"  // brings in the runtime's headers first
#include "script/PythonInterpreter.h"

#include "platform/FileIO.h"

#include <wx/file.h>
#include <wx/log.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "platform/Process.h"

namespace {

std::string Utf8(const wxString& text) {
  const wxScopedCharBuffer utf8 = text.utf8_str();
  return std::string(utf8.data(), utf8.length());
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  size_t pos = 0;
  while ((pos = text.find(from, pos)) != std::string::npos) {
    text.replace(pos, from.size(), to);
    pos += to.size();
  }
}

bool IsBlank(const std::string& line) {
  return line.find_first_not_of(" \t\f\v") == std::string::npos;
}

// An initialisation script larger than this is not run.
constexpr size_t kMaxScriptBytes = 16u * 1024 * 1024;

// Reads a whole file as bytes; false when it cannot be opened or read, or is
// larger than kMaxScriptBytes.
bool ReadFileBytes(const wxString& path, std::string& bytes) {
  return CFileIO::ReadBytes(path, &bytes, kMaxScriptBytes);
}

wxString StartFailureText(const PyStatus& status) {
  wxString text;
  if (status.func) text << wxString::FromUTF8(status.func) << wxT(": ");
  return text + (status.err_msg ? wxString::FromUTF8(status.err_msg)
                                : wxString(wxT("unknown error")));
}

// Keeps standard error closed while it lives: a runtime that fails to start
// dumps its path configuration there, and the program reports the failure
// itself.
class CQuietStderr {
 public:
  CQuietStderr() {
    fflush(stderr);
    m_saved = dup(STDERR_FILENO);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (m_saved >= 0 && null >= 0) dup2(null, STDERR_FILENO);
    if (null >= 0) close(null);
  }
  ~CQuietStderr() {
    fflush(stderr);
    if (m_saved < 0) return;
    dup2(m_saved, STDERR_FILENO);
    close(m_saved);
  }
  CQuietStderr(const CQuietStderr&) = delete;
  CQuietStderr& operator=(const CQuietStderr&) = delete;

 private:
  int m_saved = -1;
};

// The runtime allows one start per process: the extension layer keeps the
// first module instance for good.
bool g_runtimeStarted = false;

}  // namespace

CPythonInterpreter::CPythonInterpreter() = default;

CPythonInterpreter::~CPythonInterpreter() { Finalize(); }

void CPythonInterpreter::SetPythonHome(const wxString& home) { m_home = home; }

bool CPythonInterpreter::Initialize() {
  if (m_initialized) return true;
  if (!StartRuntime()) return false;
  m_initialized = true;
  try {
    m_module = std::make_unique<CPyModule_Kilnforge>(m_host);
  } catch (const Py::BaseException&) {
    ReportError();
  }
  // Without a home there are no program folders and no initialisation script.
  if (!m_home.empty()) {
    AddScriptFoldersToPath();
    RunInitScript();
  }

  PyObject* globals = PyDict_New();
  if (globals) PyDict_SetItemString(globals, "__builtins__", PyEval_GetBuiltins());
  Py_XDECREF(m_globals);
  m_globals = globals;
  return true;
}

bool CPythonInterpreter::StartRuntime() {
  if (g_runtimeStarted || Py_IsInitialized()) {
    m_error = wxT("the runtime can be started only once");
    return false;
  }
  g_runtimeStarted = true;
  CPyModule_Kilnforge::RegisterBuiltin();

  // Text is UTF-8 for scripts as for the rest of the program, whatever the
  // locale; the process's locale is left as it is.
  // Isolated: the PYTHON* variables of the user's shell (a 3D application's
  // shell sets PYTHONHOME) must not decide where the runtime looks.
  PyPreConfig preconfig;
  PyPreConfig_InitIsolatedConfig(&preconfig);
  preconfig.parse_argv = 0;
  preconfig.configure_locale = 0;
  preconfig.utf8_mode = 1;
  PyStatus status = Py_PreInitialize(&preconfig);
  if (PyStatus_Exception(status)) {
    m_error = StartFailureText(status);
    return false;
  }

  // The system's standard library is used as it is; the program's own
  // folders are added to the search path once the runtime runs. The
  // environment, user site folder and current directory are left out.
  PyConfig config;
  PyConfig_InitIsolatedConfig(&config);
  config.parse_argv = 0;
  config.install_signal_handlers = 0;
  // Unbuffered, so that what scripts print and what the program prints reach
  // the console in the order they were written.
  config.buffered_stdio = 0;
  config.configure_c_stdio = 0;
  // Naming the program itself keeps the runtime from searching PATH for a
  // "python3" that may belong to another installation.
  const std::string program = Utf8(CProcess::System().GetOwnExecutable());
  if (!program.empty())
    status = PyConfig_SetBytesString(&config, &config.program_name, program.c_str());
  if (!PyStatus_Exception(status)) {
    CQuietStderr quiet;
    status = Py_InitializeFromConfig(&config);
  }
  PyConfig_Clear(&config);
  if (PyStatus_Exception(status)) {
    m_error = StartFailureText(status);
    return false;
  }
  if (Py_IsInitialized() == 0) {
    m_error = wxT("the runtime did not start");
    return false;
  }
  return true;
}

void CPythonInterpreter::AddScriptFoldersToPath() {
  PyObject* path = PySys_GetObject("path");  // borrowed
  if (!path || !PyList_Check(path)) return;
  const wxString folders[] = {m_home, m_home + wxT("/Scripts"), m_home + wxT("/lib")};
  Py_ssize_t position = 0;
  for (const wxString& folder : folders) {
    const std::string bytes = Utf8(folder);
    PyObject* item =
        PyUnicode_DecodeFSDefaultAndSize(bytes.data(), static_cast<Py_ssize_t>(bytes.size()));
    if (!item || PyList_Insert(path, position++, item) != 0) PyErr_Clear();
    Py_XDECREF(item);
  }
}

wxString CPythonInterpreter::InitScriptPath() const { return m_home + wxT("/KfInit.py"); }

bool CPythonInterpreter::HasInitScript() const {
  return !m_home.empty() && wxFile::Exists(InitScriptPath());
}

void CPythonInterpreter::RunInitScript() {
  const wxString path = InitScriptPath();
  std::string script;
  if (!ReadFileBytes(path, script)) return;
  ExecuteUtf8(ReplacePlaceholders(script, m_home), Utf8(path));
}

bool CPythonInterpreter::Execute(const wxString& script) { return ExecuteUtf8(Utf8(script)); }

bool CPythonInterpreter::ExecuteUtf8(const std::string& script, const std::string& fileName) {
  if (!m_initialized) return false;
  const std::string text = NormalizeLineEnds(script);

  PyObject* main = PyImport_AddModule("__main__");  // borrowed
  if (!main) {
    ReportError();
    return false;
  }
  PyObject* dict = PyModule_GetDict(main);  // borrowed
  // Compiled from bytes so that a NUL in the text is a syntax error and the
  // text's own coding declaration is honoured.
  PyObject* source = PyBytes_FromStringAndSize(text.data(), static_cast<Py_ssize_t>(text.size()));
  PyObject* builtins = PyEval_GetBuiltins();  // borrowed
  PyObject* compile = builtins ? PyDict_GetItemString(builtins, "compile") : nullptr;  // borrowed
  PyObject* code = (source && compile)
                       ? PyObject_CallFunction(compile, "Oss", source, fileName.c_str(), "exec")
                       : nullptr;
  Py_XDECREF(source);
  PyObject* result = code ? PyEval_EvalCode(code, dict, dict) : nullptr;
  Py_XDECREF(code);
  if (!result) {
    ReportError();
    return false;
  }
  Py_DECREF(result);
  return true;
}

void CPythonInterpreter::ReportError() {
  if (!PyErr_Occurred()) return;
  if (PyErr_ExceptionMatches(PyExc_SystemExit)) {
    // A script asked to exit: the program goes on. A message given with the
    // request is shown, as Python itself would show it.
    PyObject* type = nullptr;
    PyObject* value = nullptr;
    PyObject* traceback = nullptr;
    PyErr_Fetch(&type, &value, &traceback);
    PyErr_NormalizeException(&type, &value, &traceback);
    PyObject* code = value ? PyObject_GetAttrString(value, "code") : nullptr;
    if (m_printErrors && code && code != Py_None && !PyLong_Check(code)) {
      PyObject* err = PySys_GetObject("stderr");  // borrowed
      if (err && err != Py_None && PyFile_WriteObject(code, err, Py_PRINT_RAW) == 0) {
        PyFile_WriteString("\n", err);
      }
    }
    Py_XDECREF(code);
    Py_XDECREF(type);
    Py_XDECREF(value);
    Py_XDECREF(traceback);
    PyErr_Clear();
    return;
  }
  if (m_printErrors) {
    PyErr_Print();
  } else {
    PyErr_Clear();
  }
}

void CPythonInterpreter::Finalize() {
  if (!m_initialized) return;
  Py_XDECREF(m_globals);
  m_globals = nullptr;
  Py_FinalizeEx();
  m_module.reset();
  m_initialized = false;
}

std::string CPythonInterpreter::NormalizeLineEnds(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  lines.push_back(text.substr(start));
  while (!lines.empty() && IsBlank(lines.back())) lines.pop_back();
  std::string joined;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) joined += '\n';
    joined += lines[i];
  }
  return joined;
}

std::string CPythonInterpreter::ReplacePlaceholders(const std::string& text, const wxString& home) {
  std::string result = text;
  const std::string base = Utf8(home);
  ReplaceAll(result, "$(Kilnforge.ScriptPathUser)", base + "/Scripts");
  ReplaceAll(result, "$(Kilnforge.ScriptPathLib)", base + "/lib");
  ReplaceAll(result, "$(Kilnforge.ScriptPathDll)", base + "/Dlls");
  ReplaceAll(result, "$(Kilnforge.ScriptPath)", base);
  return result;
}
