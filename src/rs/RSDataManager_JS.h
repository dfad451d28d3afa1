// The client's data manager: bound to the user commander, it downloads the
// renderer definitions after login, or loads its cached copy when the
// server's data stamp equals the one the cache was written with.
//
// The cache is "Renderers.kren" (the whole pool as a Pool/1.0 exchange
// document) with "Pool.xml" (the data stamp) in the pool's directory. Both
// are replaced atomically, so that runs at the same moment never read half a
// file; a cache that cannot be read falls back to a full download.
//
// Beside them lies the cache's index ("Renderers.kidx", CRSCacheIndex). A run
// told what its command needs reads, with a current index, only that part of
// the cache; without one (missing, damaged, or describing another cache
// file) it reads the whole cache and writes the index anew.
#pragma once

#include <functional>
#include <memory>

#include "platform/ReadOnlyFile.h"
#include "rs/RSDataManager.h"

class CNwUserCommander;
class CRSCacheIndex;
class CRSDataMsg;

class CRSDataManager_JS : public CRSDataManager {
 public:
  static constexpr const wxChar* kCacheFile = wxT("Renderers.kren");
  static constexpr const wxChar* kIndexFile = wxT("Pool.xml");

  // What the command of the run reads of the pool.
  enum class Need {
    kWholePool,
    kNothing,       // the pool stays empty
    kRendererList,  // groups, renderers, versions: names, flags, capabilities
    kOneRenderer,   // the renderer a "Renderer/Version" ID names, with its group
  };

  std::unique_ptr<CRSDataCommand> CreateCommand() override {
    return std::make_unique<CRSDataCommand_JS>();
  }
  // Binds to the user commander; false without one.
  bool Bind(CNwUserCommander* commander);
  // True for data messages of the bound commander once it is ready for data.
  bool IsSource(const void* sender) override;
  // A whole pool executed: the pool announces it is loaded.
  void OnCommand(CRSDataCommand& record) override;

  // Asks the server for the data message with parameter 0 (the stamp alone)
  // or 1 (every record); null when the request failed or was refused.
  using Fetch = std::function<std::unique_ptr<CRSDataMsg>(wxInt32 parameter)>;
  // Replaces the server request (tests).
  void SetFetch(Fetch fetch) { m_fetch = std::move(fetch); }

  // Asks the server for its data stamp and loads the pool from the cache or
  // from a full download. True when the pool is loaded.
  bool Download();

  // Tells what the command needs; the whole pool until told otherwise.
  void SetNeed(Need need, const wxString& rendererId = wxString());

  // Loads the pool from the cache file alone; false when it is missing or
  // damaged (the pool is then reset).
  bool LoadFromCache();

 private:
  // What the command needs, from the cache the index describes; false when
  // the index is not current.
  bool LoadNeededPart();
  bool LoadWholeCache();
  // Reads the index and tells whether it describes the cache file `cache`
  // as loaded with the pool's stamp.
  bool ReadCurrentIndex(const CReadOnlyFile& cache, CRSCacheIndex* index) const;
  bool FullDownload();
  std::unique_ptr<CRSDataMsg> Request(wxInt32 parameter);
  void ResetPool();
  wxString CachePath(const wxChar* name) const;

  CNwUserCommander* m_commander = nullptr;
  Fetch m_fetch;
  Need m_need = Need::kWholePool;
  wxString m_rendererName;
};
