// The program's core configuration from KfRcCmd.conf: the name it announces
// to the server, the pattern for net job names, and the server with its
// login. Each field is bound to a section and key of the file, so that the
// whole record loads and saves at once.
#pragma once

#include <wx/string.h>

#include "settings/XSSVariablePool.h"

struct COptionServer {
  wxString address;   // RemoteController.Server::ServerAddress
  int port = 7506;    // RemoteController.Server::ServerPort
  wxString userName;  // RemoteController.Server::UserName
  wxString password;  // RemoteController.Server::UserPwd, plain text as written
};

struct COptionRecord {
  wxString alias;             // RemoteController.General::Alias
  wxString netJobNameFormat;  // RemoteController.NetJobs::NetJobNameFormat
  COptionServer server;
};

class COptionSet {
 public:
  static constexpr const wxChar* kFileName = wxT("KfRcCmd.conf");
  static constexpr const wxChar* kComputerNameToken = wxT("%COMPUTERNAME%");

  COptionSet() { SetDefaults(); }
  COptionSet(const COptionSet&) = delete;
  COptionSet& operator=(const COptionSet&) = delete;

  // Resets the record to its defaults and reads the file over it. Keys and
  // sections the file lacks keep their defaults. False when the file is
  // missing or unreadable; the caller then writes the defaults with Save().
  bool Load(const wxString& fileName);
  // Reads another file over the record as it stands, key by key: keys the
  // file lacks keep their values. Save() still writes the file of Load.
  bool LoadOver(const wxString& fileName);
  // Rewrites the file of the last Load from the record (bound keys only).
  bool Save();
  void SetDefaults();

  const COptionRecord& GetSettings() const { return m_settings; }
  COptionRecord& GetSettings() { return m_settings; }
  const COptionServer& GetServer() const { return m_settings.server; }
  COptionServer& GetServer() { return m_settings.server; }

  // The alias with every "%COMPUTERNAME%" replaced by `hostName`.
  wxString ExpandAlias(const wxString& hostName) const;

 private:
  COptionRecord m_settings;
  UXSSVariablePool m_pool;
};
