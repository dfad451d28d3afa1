// The machine-wide environment that other programs see: a file of NAME=VALUE
// lines in systemd's environment.d format, /etc/environment.d/90-kilnforge.conf
// unless the environment variable KF_MACHINE_ENV_FILE names another file.
// Changing one variable keeps every other line of the file as it is, and the
// file is replaced atomically.
#pragma once

#include <wx/string.h>

class CMachineEnvironment {
 public:
  static constexpr const char* kDefaultFile = "/etc/environment.d/90-kilnforge.conf";
  static constexpr const char* kFileVariable = "KF_MACHINE_ENV_FILE";

  // The file named by KF_MACHINE_ENV_FILE, else the default file.
  CMachineEnvironment();
  explicit CMachineEnvironment(const wxString& path) : m_path(path) {}

  const wxString& GetPath() const { return m_path; }

  // Writes or replaces the line of `name` (creating the file and its folder
  // when missing); other lines stay. False when the file cannot be read or
  // written, or the value holds a line break.
  bool Set(const wxString& name, const wxString& value);
  // Removes every line of `name`; a file left with nothing but blank lines
  // is removed. True when no line of `name` remains.
  bool Remove(const wxString& name);
  // The value of the first line of `name`, with its escapes undone.
  bool Get(const wxString& name, wxString* value) const;

  // A value as it is written after "NAME=": backslash, quotes and "$" are
  // escaped with a backslash.
  static wxString Escape(const wxString& value);

 private:
  wxString m_path;
};
