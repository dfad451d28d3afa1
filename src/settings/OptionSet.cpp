#include "settings/OptionSet.h"

namespace {

const wxString kGeneral = wxT("RemoteController.General");
const wxString kNetJobs = wxT("RemoteController.NetJobs");
const wxString kServer = wxT("RemoteController.Server");

}  // namespace

void COptionSet::SetDefaults() {
  m_settings.alias.clear();
  m_settings.netJobNameFormat = wxT("Unnamed job - $(scene)");
  m_settings.server.address.clear();
  m_settings.server.port = 7506;
  m_settings.server.userName = wxT("User");
  m_settings.server.password.clear();
}

bool COptionSet::Load(const wxString& fileName) {
  m_pool.SetFile(fileName);
  SetDefaults();
  m_pool.Clear();
  // The order of the bindings is the order of the file written by Save.
  m_pool.AddVariable(&m_settings.alias, kGeneral, wxT("Alias"));
  m_pool.AddVariable(&m_settings.netJobNameFormat, kNetJobs, wxT("NetJobNameFormat"));
  m_pool.AddVariable(&m_settings.server.address, kServer, wxT("ServerAddress"));
  m_pool.AddVariable(&m_settings.server.port, kServer, wxT("ServerPort"));
  m_pool.AddVariable(&m_settings.server.userName, kServer, wxT("UserName"));
  m_pool.AddVariable(&m_settings.server.password, kServer, wxT("UserPwd"));
  return m_pool.Exchange(true);
}

bool COptionSet::LoadOver(const wxString& fileName) {
  if (m_pool.GetFile().empty()) Load(fileName);  // binds the record
  const wxString own = m_pool.GetFile();
  m_pool.SetFile(fileName);
  const bool loaded = m_pool.Exchange(true);
  m_pool.SetFile(own);
  return loaded;
}

bool COptionSet::Save() { return m_pool.Exchange(false); }

wxString COptionSet::ExpandAlias(const wxString& hostName) const {
  wxString alias = m_settings.alias;
  alias.Replace(kComputerNameToken, hostName, true);
  return alias;
}
