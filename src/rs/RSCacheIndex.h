// The index beside the renderer cache: which cache file it describes (the
// file's identity and the data stamp), the renderer list (groups, renderers
// and versions with the names, flags and capabilities the listings show),
// and where each group and renderer lies in the cache. With it a warm run
// reads only what its command needs: nothing, the renderer list, or one
// renderer with its group.
//
// The index is made from a pool just loaded from the whole cache, and only
// when the pool is what reading each renderer alone gives: every renderer in
// the group whose element holds it, names unique, the pool's order the
// document's. Otherwise it records just the identity, so that the cache is
// not mapped again on every run, and every run reads the whole cache.
//
// Text, one object a line, with a checksum. What is read is bounded: a file
// larger than kMaxFileBytes, a line that does not parse (a name that is not
// UTF-8 among them), a range outside the cache, a group name given twice,
// more objects than the cache could hold, or a wrong checksum make the index
// damaged, which its reader treats as stale.
#pragma once

#include <wx/string.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ReadOnlyFile.h"

class CRSCacheLayout;
class CRSPool;

class CRSCacheIndex {
 public:
  static constexpr const wxChar* kFileName = wxT("Renderers.kidx");
  static constexpr size_t kMaxFileBytes = 64u * 1024 * 1024;
  // No element of a group that loads (its tags and its name), nor of a
  // renderer or version (with a name and the command line each must hold),
  // is shorter: the cache's size bounds how many objects it may hold.
  static constexpr uint64_t kMinGroupBytes = 32;
  static constexpr uint64_t kMinRendererBytes = 80;
  // Nor does a renderer or version take fewer than four elements of the tree
  // the whole read builds: the index never describes more of them than that
  // read could build.
  static constexpr uint64_t kMinRendererElements = 4;

  struct Version {
    std::string name;
    bool visible = false;
    bool isDefault = false;
    int32_t capabilities = 0;
  };
  struct Renderer {
    std::string name;
    bool visible = false;
    int32_t capabilities = 0;
    uint32_t group = 0;
    uint64_t begin = 0, end = 0;
    std::vector<Version> versions;
  };
  struct Group {
    std::string name;
    bool visible = false;
    uint64_t begin = 0, headerEnd = 0;
  };

  // Describes `pool`, just loaded from the cache file `cache` with the data
  // stamp `stamp`; `layout` is where its objects lie (null when the cache
  // could not be mapped).
  void Build(const CRSPool& pool, const CRSCacheLayout* layout,
             const CReadOnlyFile::Identity& cache, int32_t stamp);
  std::string ToBytes() const;
  // False when the bytes are not a whole, undamaged index of a cache of
  // `cacheSize` bytes.
  bool FromBytes(const std::string& bytes, uint64_t cacheSize);

  bool Describes(const CReadOnlyFile::Identity& cache, int32_t stamp) const {
    return m_cache == cache && m_stamp == stamp;
  }
  // Whether the cache was mapped: without that only the whole cache is read.
  bool IsMapped() const { return m_mapped; }
  const std::vector<Group>& GetGroups() const { return m_groups; }
  const std::vector<Renderer>& GetRenderers() const { return m_renderers; }

  // Fills an empty pool with the renderer list: groups, renderers in their
  // groups and versions, with names, visibility, default flags and
  // capabilities, and nothing else.
  void FillRendererList(CRSPool& pool) const;
  // The first renderer of that name in the pool's order; -1 when none.
  int FindRenderer(const wxString& name) const;
  // A Pool/1.0 document holding that renderer inside its group's own data,
  // read from the cache file the index describes.
  bool ReadRendererDocument(CReadOnlyFile& cache, size_t renderer, std::string* document) const;
  // Whether `pool` holds just that renderer, loaded into its group.
  bool HoldsRenderer(const CRSPool& pool, size_t renderer) const;

 private:
  bool Map(const CRSPool& pool, const CRSCacheLayout& layout);
  void Clear();

  CReadOnlyFile::Identity m_cache;
  int32_t m_stamp = -1;
  bool m_mapped = false;
  std::vector<Group> m_groups;
  std::vector<Renderer> m_renderers;
};
