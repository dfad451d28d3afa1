// The challenge (type 1) that opens every connection: the application
// identifier, the protocol version and update information. It is always
// written length-prefixed and unframed.
#pragma once

#include "net/FieldMsg.h"

class CChallengeMsg : public CFieldMsg<CChallengeMsg> {
 public:
  static constexpr wxInt32 kType = kChallengeMsgType;
  static constexpr wxInt32 kProtocolVersion = 45;
  static const wxChar* const kRemoteControllerId;  // "Kilnforge.V2.RemoteController"

  CChallengeMsg();

  template <class Io, class Self>
  static bool Fields(Io& io, Self& m) {
    return io(m.m_identifier) && io(m.m_version) && io(m.m_updateInfo);
  }

  const wxString& GetIdentifier() const { return m_identifier; }
  wxInt32 GetVersion() const { return m_version; }
  const wxString& GetUpdateInfo() const { return m_updateInfo; }
  void SetIdentifier(const wxString& identifier) { m_identifier = identifier; }
  void SetVersion(wxInt32 version) { m_version = version; }
  void SetUpdateInfo(const wxString& info) { m_updateInfo = info; }

 private:
  wxString m_identifier;
  wxInt32 m_version = 0;
  wxString m_updateInfo;

  wxDECLARE_DYNAMIC_CLASS(CChallengeMsg);
};
