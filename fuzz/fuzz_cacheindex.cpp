// The renderer cache's index and the scan that maps the cache. Input: one
// byte of flags, two bytes (little-endian) giving the length N of the index,
// the N index bytes, then the cache bytes.
//   bit 0: the index gets its checksum line appended here, so that mutated
//          bodies get past the checksum;
//   bit 1: the index is checked against a cache of the size its own first
//          line names, so that the ranges it holds are weighed against the
//          size it claims.
// An index that reads back describes only ranges inside that cache, no more
// objects than such a cache could hold, and groups a renderer list built from
// it keeps apart; written again, it reads back the same. The cache is scanned
// for its ranges and loaded as a pool: the index built from them reads back
// unchanged, and each renderer it maps, read alone from the cache file, loads
// into its group.
#include "FuzzSupport.h"

#include "platform/ReadOnlyFile.h"
#include "rs/DataXMLSerializer.h"
#include "rs/RSCacheIndex.h"
#include "rs/RSCacheLayout.h"
#include "rs/RSDataCommand.h"
#include "rs/RSDataImport.h"
#include "rs/RSGroup.h"
#include "rs/RSPool.h"
#include "rs/RSRenderer.h"

#include <unistd.h>
#include <zlib.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

constexpr uint8_t kAppendChecksum = 1;
constexpr uint8_t kSizeFromIndex = 2;
// The mode of a data tree that holds an object in full.
constexpr int kFullMode = 1;
// The first line after the header holds the size of the cache described.
constexpr char kHeader[] = "KfRcCmd renderer cache index 1\n";
constexpr char kCacheLine[] = "C ";

const wxString& PoolPath() {
  static const wxString path = wxT("/nonexistent/kf-fuzz-pool");
  return path;
}

// Where the cache bytes are written so that a renderer can be read from them
// as from the cache file. The name is removed as soon as the file is open, so
// a run stopped at its time limit leaves nothing behind.
const std::string& CachePath() {
  static const std::string path = [] {
    const char* dir = std::getenv("TMPDIR");
    char name[64];
    std::snprintf(name, sizeof name, "/kf-fuzz-cache-%ld.kren", static_cast<long>(::getpid()));
    return std::string(dir && *dir ? dir : "/tmp") + name;
  }();
  return path;
}

std::string Sealed(const std::string& body) {
  const uint32_t crc = static_cast<uint32_t>(
      crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(body.data()),
            static_cast<uInt>(body.size())));
  char line[16];
  std::snprintf(line, sizeof line, "crc %08x\n", crc);
  return body + line;
}

// The size named on the index's first line; `fallback` when it names none.
uint64_t ClaimedSize(const std::string& index, uint64_t fallback) {
  const size_t at = sizeof(kHeader) - 1;
  if (index.compare(0, at, kHeader) != 0 || index.compare(at, 2, kCacheLine) != 0) return fallback;
  uint64_t size = 0;
  for (size_t i = at + 2; i < index.size() && index[i] >= '0' && index[i] <= '9'; ++i) {
    if (size > (UINT64_MAX - 9) / 10) return fallback;
    size = size * 10 + static_cast<uint64_t>(index[i] - '0');
  }
  return size;
}

void CheckIndex(const std::string& bytes, uint64_t cacheSize) {
  CRSCacheIndex index;
  if (!index.FromBytes(bytes, cacheSize)) return;
  const auto& groups = index.GetGroups();
  const auto& renderers = index.GetRenderers();
  if (!index.IsMapped() && (!groups.empty() || !renderers.empty()))
    kffuzz::Fail("an index of an unmapped cache describes objects");
  if (groups.size() > cacheSize / CRSCacheIndex::kMinGroupBytes)
    kffuzz::Fail("an index holds more groups than its cache could");
  uint64_t objects = 0;
  for (const CRSCacheIndex::Group& g : groups) {
    if (g.begin >= cacheSize || g.headerEnd > cacheSize ||
        (g.headerEnd != 0 && g.headerEnd <= g.begin))
      kffuzz::Fail("a group's range lies outside the cache");
  }
  for (const CRSCacheIndex::Renderer& r : renderers) {
    if (r.group >= groups.size() || r.begin >= r.end || r.end > cacheSize)
      kffuzz::Fail("a renderer's range lies outside the cache");
    objects += 1 + r.versions.size();
  }
  if (objects > cacheSize / CRSCacheIndex::kMinRendererBytes)
    kffuzz::Fail("an index holds more renderers than its cache could");

  // The renderer list keeps each renderer in the group the index names.
  CRSPool pool;
  pool.Init(PoolPath());
  index.FillRendererList(pool);
  if (pool.Groups.GetCount() != groups.size() || pool.Renderers.GetCount() != renderers.size())
    kffuzz::Fail("the renderer list differs from the index");
  for (size_t i = 0; i < renderers.size(); ++i) {
    if (pool.Renderers.GetAt(i)->Group != pool.Groups.GetAt(renderers[i].group))
      kffuzz::Fail("a renderer joins another group than its index names");
    if (index.FindRenderer(pool.Renderers.GetAt(i)->Name) > static_cast<int>(i))
      kffuzz::Fail("a renderer of the list is not found by its name");
  }

  const std::string written = index.ToBytes();
  CRSCacheIndex again;
  if (!again.FromBytes(written, cacheSize) || again.ToBytes() != written)
    kffuzz::Fail("an index changes when written and read");
}

// The renderer's full data as the cache would hold it.
std::string Saved(CRSRenderer& renderer) {
  CDataNode node;
  renderer.Save(node, kFullMode);
  return CDataXMLSerializer(&node).ToUTF8();
}

// Loads the pool the way a run reads the whole cache.
bool LoadPool(const std::string& document, CRSPool* pool) {
  CRSDataImport import;
  return import.Bind(pool) && import.ParseUTF8(document) &&
         import.GetDocumentKind() == CRSDataCommand::kPool && import.Import();
}

void CheckLayout(const CRSCacheLayout& layout, size_t size) {
  size_t last = 0;
  for (const CRSCacheLayout::Group& g : layout.GetGroups()) {
    if (g.begin < last || g.begin >= size || (g.headerEnd != 0 && g.headerEnd <= g.begin) ||
        g.headerEnd > size)
      kffuzz::Fail("the scan maps a group outside the cache");
    last = g.headerEnd != 0 ? g.headerEnd : g.begin + 1;
    for (const CRSCacheLayout::Renderer& r : g.renderers) {
      if (r.begin < last || r.end <= r.begin || r.end > size)
        kffuzz::Fail("the scan maps a renderer outside its group");
      last = r.end;
    }
  }
}

void CheckCache(const std::string& cache) {
  CRSCacheLayout layout;
  const bool mapped = layout.Scan(cache);
  if (mapped) CheckLayout(layout, cache.size());

  CRSPool pool;
  pool.Init(PoolPath());
  if (!LoadPool(cache, &pool)) return;
  {
    std::ofstream out(CachePath(), std::ios::binary | std::ios::trunc);
    out.write(cache.data(), static_cast<std::streamsize>(cache.size()));
  }
  CReadOnlyFile file;
  const bool opened = file.Open(wxString::FromUTF8(CachePath()));
  ::unlink(CachePath().c_str());
  if (!opened) kffuzz::Fail("the cache file cannot be opened");
  CRSCacheIndex index;
  index.Build(pool, mapped ? &layout : nullptr, file.GetIdentity(), pool.UpdateIndex);
  const std::string written = index.ToBytes();
  CRSCacheIndex again;
  if (!again.FromBytes(written, cache.size()) || again.ToBytes() != written)
    kffuzz::Fail("a built index does not read back unchanged");
  CheckIndex(written, cache.size());

  // What the index vouches for: each renderer read alone loads into its
  // group, the same as in the whole pool (whose order the index keeps).
  for (size_t r = 0; again.IsMapped() && r < again.GetRenderers().size(); ++r) {
    std::string document;
    CRSPool part;
    part.Init(PoolPath());
    if (!again.ReadRendererDocument(file, r, &document) || !LoadPool(document, &part) ||
        !again.HoldsRenderer(part, r))
      kffuzz::Fail("a renderer the index maps does not load alone");
    if (Saved(*part.Renderers.GetAt(0)) != Saved(*pool.Renderers.GetAt(r)))
      kffuzz::Fail("a renderer read alone differs from the one in the whole pool");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kffuzz::Init();
  kffuzz::Input input(data, size);
  const uint8_t flags = input.Byte();
  size_t length = input.Byte();
  length |= static_cast<size_t>(input.Byte()) << 8;
  std::string index = input.Take(length);
  const std::string cache = input.Rest();
  if (flags & kAppendChecksum) index = Sealed(index);
  CheckIndex(index, (flags & kSizeFromIndex) ? ClaimedSize(index, cache.size()) : cache.size());
  CheckCache(cache);
  return 0;
}
