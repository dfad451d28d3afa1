// A general command-line parser that knows nothing of the program's switches.
// Callers declare switches with a value type and flags; the parser rebuilds one
// command-line string from the process arguments (protecting quote characters
// with escape sequences), scans it, and fills switch values and free
// arguments. Switch names compare without regard to case, "--name" reads as
// "-name", and an empty argument right after a switch that takes a value is
// that switch's value. A switch nobody declared is accepted and declared on
// the fly; only the text after the last switch counts as free arguments; the
// switch "execute" ends the scan and nothing after it is rewritten.
#pragma once

#include <wx/arrstr.h>
#include <wx/object.h>
#include <wx/string.h>

#include <memory>
#include <unordered_map>
#include <vector>

// One declared switch with the values it was given.
class CCmdLineParam : public wxObject {
 public:
  enum ValueType { kTypeNone = 0, kTypeText = 1, kTypeInteger = 2, kTypeReal = 3, kTypeBool = 4 };
  enum Flags { kFlagDeclared = 1, kFlagRepeat = 2, kFlagOptional = 4 };

  CCmdLineParam(const wxString& name, const wxString& description, int valueType, int flags);
  ~CCmdLineParam() override = default;

  const wxString& GetName() const { return m_name; }
  const wxString& GetDescription() const { return m_description; }
  int GetValueType() const { return m_valueType; }
  int GetFlags() const { return m_flags; }
  bool HasFlag(int flag) const { return (m_flags & flag) != 0; }
  bool IsFound() const { return m_found; }
  void SetFound() { m_found = true; }
  const wxArrayString& GetValues() const { return m_values; }

  // True when `value` may be appended to this switch's values.
  bool Accepts(const wxString& value) const;
  // Appends a value that Accepts() let through and marks the switch found.
  void AddValue(const wxString& value);

 private:
  wxString m_name;
  wxString m_description;
  int m_valueType;
  int m_flags;
  bool m_found = false;
  wxArrayString m_values;
};

using CCmdLineParamList = std::vector<std::unique_ptr<CCmdLineParam>>;

class CCmdLineParser : public wxObject {
 public:
  CCmdLineParser() = default;
  ~CCmdLineParser() override = default;

  CCmdLineParser(const CCmdLineParser&) = delete;
  CCmdLineParser& operator=(const CCmdLineParser&) = delete;

  // Returns the switch of that name when declared, else declares a new one.
  CCmdLineParam* AddParam(const wxString& name, const wxString& description, int valueType,
                          int flags);
  CCmdLineParam* FindParam(const wxString& name) const;
  // Validates the value and appends it; false when no such switch or rejected.
  bool AddParamValue(const wxString& name, const wxString& value);

  bool Found(const wxString& name) const;
  // The first value when found (empty for a switch without values), else `def`.
  wxString GetParamString(const wxString& name, const wxString& def) const;
  // The first value as a decimal integer when found and readable, else `def`.
  long GetParamLong(const wxString& name, long def) const;
  // When found: the first value is "true", "yes" or "1" (any case).
  bool GetParamBool(const wxString& name, bool def) const;

  // The process arguments after the program name, used by Parse("").
  void SetArguments(const wxArrayString& args) { m_arguments = args; }
  // Scans `text`, or the command line rebuilt from the process arguments when
  // `text` is empty. False at the first rejected value.
  bool Parse(const wxString& text);

  // Joins process arguments into one line, escaping quotes of plain
  // arguments and quoting items with blanks or inner dashes.
  wxString RebuildCommandLine(const wxArrayString& args) const;

  const wxString& GetCommandLine() const { return m_commandLine; }
  size_t GetFreeArgCount() const { return m_freeArgs.GetCount(); }
  const wxString& GetFreeArg(size_t index) const { return m_freeArgs[index]; }
  const wxArrayString& GetFreeArgs() const { return m_freeArgs; }
  // Every declared switch in declaration order, on-the-fly ones last.
  const CCmdLineParamList& GetParams() const { return m_params; }

 private:
  bool Scan(const std::wstring& line);
  void SplitFreeText(const std::wstring& text);
  // The look-up key of a switch name: names compare without regard to case.
  static std::wstring NameKey(const wxString& name);

  wxString m_commandLine;
  wxArrayString m_arguments;
  wxArrayString m_freeArgs;
  CCmdLineParamList m_params;
  // Every switch by its key, so that a long command line of render settings
  // is not looked up name by name.
  std::unordered_map<std::wstring, CCmdLineParam*> m_index;
};
