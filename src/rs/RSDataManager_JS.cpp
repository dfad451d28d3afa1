#include "rs/RSDataManager_JS.h"

#include <memory>

#include "net/NwUserCommander.h"
#include "platform/FileIO.h"
#include "rs/RSDataExport.h"
#include "rs/RSDataImport.h"
#include "rs/RSDataMsg.h"
#include "rs/RSPool.h"
#include "settings/Event.h"

bool CRSDataManager_JS::Bind(CNwUserCommander* commander) {
  m_commander = commander;
  return commander != nullptr;
}

bool CRSDataManager_JS::IsSource(const void* sender) {
  return m_commander != nullptr &&
         sender == static_cast<const void*>(static_cast<CRemoteConnection*>(m_commander)) &&
         m_commander->IsReadyForData();
}

void CRSDataManager_JS::OnCommand(CRSDataCommand& record) {
  if (record.kind == CRSDataCommand::kPool && record.mode == CRSDataCommand::kModeText) {
    UEvent event(kEvPoolLoaded, m_pool);
    event.Raise();
  }
}

wxString CRSDataManager_JS::CachePath(const wxChar* name) const {
  return CFileIO::JoinPath(m_pool->Path, name);
}

void CRSDataManager_JS::ResetPool() {
  if (m_pool != nullptr) m_pool->Clear();
}

std::unique_ptr<CRSDataMsg> CRSDataManager_JS::Request(wxInt32 parameter) {
  if (m_fetch) return m_fetch(parameter);
  if (m_commander == nullptr) return nullptr;
  CNetMsgAckResult result =
      m_commander->RequestAndWait(CRSDataMsg::kType, parameter, wxString(), wxString());
  if (result.GetResult() != 1) return nullptr;
  std::unique_ptr<CMsgBase> attached = result.TakeAttached();
  if (dynamic_cast<CRSDataMsg*>(attached.get()) == nullptr) return nullptr;
  return std::unique_ptr<CRSDataMsg>(static_cast<CRSDataMsg*>(attached.release()));
}

bool CRSDataManager_JS::Download() {
  if (m_pool == nullptr) return false;
  std::unique_ptr<CRSDataMsg> stamp = Request(0);
  if (!stamp) return false;
  if (stamp->stamp == m_pool->UpdateIndex && LoadFromCache()) return true;
  return FullDownload();
}

bool CRSDataManager_JS::LoadFromCache() {
  if (m_pool == nullptr) return false;
  CRSDataImport_JS import;
  m_importing = true;
  ResetPool();
  bool ok = import.Bind(m_pool) && import.LoadFile(CachePath(kCacheFile)) &&
            import.GetDocumentKind() == CRSDataCommand::kPool && import.Import();
  if (ok) import.Complete();
  m_importing = false;
  if (!ok) {
    m_error = import.GetError();
    ResetPool();
  }
  return ok;
}

bool CRSDataManager_JS::FullDownload() {
  std::unique_ptr<CRSDataMsg> msg = Request(1);
  if (!msg) return false;
  const wxInt32 stamp = msg->stamp;
  CRSDataExport exporter;
  ResetPool();
  // The download stands on what the server answered: a record that does not
  // load keeps what loaded before it, the others still load, and the cache
  // holds the pool as it was loaded.
  ApplyMessage(*msg, true);
  bool saved = exporter.Bind(m_pool) && exporter.ExportPool() &&
               exporter.SaveFile(CachePath(kCacheFile));
  if (saved) {
    m_pool->UpdateIndex = stamp;
    saved = m_pool->SaveIndex();
  }
  if (!saved) {
    // The next run must not trust what is left: it downloads again.
    CFileIO::Remove(CachePath(kIndexFile));
    CFileIO::Remove(CachePath(kCacheFile));
  }
  return true;
}
