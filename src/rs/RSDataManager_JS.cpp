#include "rs/RSDataManager_JS.h"

#include <memory>

#include "net/NwUserCommander.h"
#include "platform/FileIO.h"
#include "platform/StringUtil.h"
#include "platform/UniqueCast.h"
#include "rs/DataXMLSerializer.h"
#include "rs/RSCacheIndex.h"
#include "rs/RSCacheLayout.h"
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
  if (!result.IsSuccess()) return nullptr;
  return UniqueCast<CRSDataMsg>(result.TakeAttached());
}

bool CRSDataManager_JS::Download() {
  if (m_pool == nullptr) return false;
  std::unique_ptr<CRSDataMsg> stamp = Request(0);
  if (!stamp) return false;
  if (stamp->stamp == m_pool->UpdateIndex && LoadFromCache()) return true;
  return FullDownload();
}

void CRSDataManager_JS::SetNeed(Need need, const wxString& rendererId) {
  m_need = need;
  // The renderer part of the ID, as the lookups of the commands take it.
  m_rendererName = strutil::Trimmed(rendererId.BeforeFirst(wxT('/')));
}

bool CRSDataManager_JS::LoadFromCache() {
  if (m_pool == nullptr) return false;
  if (m_need != Need::kWholePool && LoadNeededPart()) return true;
  return LoadWholeCache();
}

bool CRSDataManager_JS::ReadCurrentIndex(const CReadOnlyFile& cache, CRSCacheIndex* index) const {
  std::string bytes;
  return CFileIO::ReadBytes(CachePath(CRSCacheIndex::kFileName), &bytes,
                            CRSCacheIndex::kMaxFileBytes) &&
         index->FromBytes(bytes, cache.GetIdentity().size) &&
         index->Describes(cache.GetIdentity(), m_pool->UpdateIndex);
}

bool CRSDataManager_JS::LoadNeededPart() {
  // The index vouches that the whole cache loads: a part of it stands for
  // the whole only then.
  CReadOnlyFile cache;
  CRSCacheIndex index;
  if (!cache.Open(CachePath(kCacheFile)) || !ReadCurrentIndex(cache, &index) ||
      !index.IsMapped()) {
    return false;
  }
  ResetPool();
  if (m_need == Need::kRendererList) index.FillRendererList(*m_pool);
  if (m_need != Need::kOneRenderer) return true;
  // A name the cache does not hold is not found in the empty pool either.
  const int found = index.FindRenderer(m_rendererName);
  if (found < 0) return true;
  std::string document;
  CRSDataImport_JS import;
  m_importing = true;
  bool ok = index.ReadRendererDocument(cache, static_cast<size_t>(found), &document) &&
            import.Bind(m_pool) && import.ParseUTF8(document) &&
            import.GetDocumentKind() == CRSDataCommand::kPool && import.Import() &&
            index.HoldsRenderer(*m_pool, static_cast<size_t>(found));
  if (ok) import.Complete();
  m_importing = false;
  if (!ok) {
    // The index vouched for what the cache does not hold: the whole read
    // writes it anew.
    ResetPool();
    CFileIO::Remove(CachePath(CRSCacheIndex::kFileName));
  }
  return ok;
}

bool CRSDataManager_JS::LoadWholeCache() {
  // The whole read is the one every run made before the index, made from the
  // cache file held open: the index it leads to describes those bytes.
  const wxString path = CachePath(kCacheFile);
  CReadOnlyFile cache;
  CRSDataImport_JS import;
  m_importing = true;
  m_error.clear();
  ResetPool();
  bool ok = cache.Open(path);
  if (!ok) m_error = wxT("cannot read ") + path;
  CRSCacheIndex index;
  const bool current = ok && ReadCurrentIndex(cache, &index);
  // The layout scan needs the whole text: it reads it and lets it go before
  // the pool grows. A file that grew while it was read is not the file its
  // identity names.
  CRSCacheLayout layout;
  bool mapped = false;
  if (ok && !current) {
    std::string bytes;
    mapped = cache.ReadAll(&bytes, CDataXMLSerializer::kMaxFileBytes) &&
             bytes.size() == cache.GetIdentity().size && layout.Scan(bytes);
  }
  // The pool grows group by group while the file is parsed in pieces.
  ok = ok && import.Bind(m_pool) && import.ReadFile(cache, path) &&
       import.GetDocumentKind() == CRSDataCommand::kPool && import.Import();
  if (ok) import.Complete();
  m_importing = false;
  if (!ok) {
    if (m_error.empty()) m_error = import.GetError();
    ResetPool();
    return false;
  }
  if (!current) {
    index.Build(*m_pool, mapped ? &layout : nullptr, cache.GetIdentity(), m_pool->UpdateIndex);
    CFileIO::WriteAtomically(CachePath(CRSCacheIndex::kFileName), index.ToBytes());
  }
  return true;
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
  // The index describes the cache file being replaced: it goes first.
  CFileIO::Remove(CachePath(CRSCacheIndex::kFileName));
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
