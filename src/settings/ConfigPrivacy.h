// Guards the user's own configuration files the way ssh guards its keys: a
// file that holds a password (UserPwd in KfRcCmd.conf, a login with a
// password in KfRcDefaults.conf) must not be readable by the group or by
// others, or the program refuses it before anything is sent.
#pragma once

#include <wx/string.h>

class CConfigPrivacy {
 public:
  enum Kind { kCoreConfiguration, kDefaults };

  // True when `path` exists, can be read by the group or others, and holds a
  // password. A missing or unreadable file exposes nothing.
  static bool ExposesPassword(const wxString& path, Kind kind);
  // The level-2 report for such a file, ending in "\n".
  static wxString Report(const wxString& path);

 private:
  static bool HoldsPassword(const wxString& path, Kind kind);
};
