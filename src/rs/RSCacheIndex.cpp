#include "rs/RSCacheIndex.h"

#include <zlib.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <unordered_set>

#include "platform/Utf8.h"
#include "rs/DataXMLSerializer.h"
#include "rs/RSCacheLayout.h"
#include "rs/RSDataCommand.h"
#include "rs/RSDataExchange.h"
#include "rs/RSGroup.h"
#include "rs/RSPool.h"
#include "rs/RSRenderer.h"
#include "rs/RSVersion.h"

namespace {

// The index line by line; each field is followed by one blank, and a name is
// the rest of its line:
//   KfRcCmd renderer cache index 1
//   C size mtime-seconds mtime-nanoseconds inode stamp mapped
//   G visible begin header-end name                 each group, in order
//   R visible capabilities group begin end versions name
//   V visible default capabilities name             each renderer in the pool's
//                                                   order, then its versions
//   crc the checksum of all before it, eight hex digits
const char kHeader[] = "KfRcCmd renderer cache index 1\n";
const char kChecksum[] = "crc ";
// "crc " and eight hex digits and a line feed.
constexpr size_t kChecksumLine = 13;

uint32_t Checksum(const char* data, size_t length) {
  uLong crc = crc32(0L, Z_NULL, 0);
  // zlib takes at most 4 GiB at once; the index is far smaller.
  return static_cast<uint32_t>(crc32(crc, reinterpret_cast<const Bytef*>(data),
                                     static_cast<uInt>(length)));
}

// A name as the rest of its line: backslashes, line feeds and carriage
// returns escaped.
void AppendName(std::string* out, const std::string& name) {
  for (char c : name) {
    if (c == '\\') {
      out->append("\\\\");
    } else if (c == '\n') {
      out->append("\\n");
    } else if (c == '\r') {
      out->append("\\r");
    } else {
      out->push_back(c);
    }
  }
  out->push_back('\n');
}

void AppendNumber(std::string* out, int64_t value) {
  char buffer[32];
  snprintf(buffer, sizeof buffer, "%" PRId64 " ", value);
  out->append(buffer);
}

void AppendUnsigned(std::string* out, uint64_t value) {
  char buffer[32];
  snprintf(buffer, sizeof buffer, "%" PRIu64 " ", value);
  out->append(buffer);
}

// Reads the fields of one line, each followed by one blank; the name is the
// rest of the line.
class LineReader {
 public:
  LineReader(const char* begin, const char* end) : m_p(begin), m_end(end) {}

  bool Unsigned(uint64_t* value) {
    uint64_t v = 0;
    const char* start = m_p;
    for (; m_p < m_end && *m_p >= '0' && *m_p <= '9'; ++m_p) {
      const uint64_t digit = static_cast<uint64_t>(*m_p - '0');
      if (v > (UINT64_MAX - digit) / 10) return false;
      v = v * 10 + digit;
    }
    if (m_p == start || m_p - start > 20 || m_p == m_end || *m_p != ' ') return false;
    ++m_p;
    *value = v;
    return true;
  }
  bool Signed(int64_t* value) {
    const bool negative = m_p < m_end && *m_p == '-';
    if (negative) ++m_p;
    uint64_t magnitude = 0;
    if (!Unsigned(&magnitude) || magnitude > static_cast<uint64_t>(INT64_MAX)) return false;
    *value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    return true;
  }
  bool Int32(int32_t* value) {
    int64_t v = 0;
    if (!Signed(&v) || v < INT32_MIN || v > INT32_MAX) return false;
    *value = static_cast<int32_t>(v);
    return true;
  }
  bool Flag(bool* value) {
    uint64_t v = 0;
    if (!Unsigned(&v) || v > 1) return false;
    *value = v == 1;
    return true;
  }
  // Names come from the pool's texts: well-formed UTF-8, which converts
  // back to the same text.
  bool Name(std::string* name) {
    name->clear();
    for (; m_p < m_end; ++m_p) {
      if (*m_p != '\\') {
        name->push_back(*m_p);
        continue;
      }
      if (++m_p == m_end) return false;
      switch (*m_p) {
        case '\\': name->push_back('\\'); break;
        case 'n': name->push_back('\n'); break;
        case 'r': name->push_back('\r'); break;
        default: return false;
      }
    }
    return utf8text::IsValid(name->data(), name->size());
  }
  bool AtEnd() const { return m_p == m_end; }

 private:
  const char* m_p;
  const char* m_end;
};

wxString Wx(const std::string& text) { return utf8text::ToWx(text); }

}  // namespace

void CRSCacheIndex::Clear() {
  m_cache = CReadOnlyFile::Identity();
  m_stamp = -1;
  m_mapped = false;
  m_groups.clear();
  m_renderers.clear();
}

void CRSCacheIndex::Build(const CRSPool& pool, const CRSCacheLayout* layout,
                          const CReadOnlyFile::Identity& cache, int32_t stamp) {
  Clear();
  m_cache = cache;
  m_stamp = stamp;
  m_mapped = layout != nullptr && Map(pool, *layout);
  if (!m_mapped) {
    m_groups.clear();
    m_renderers.clear();
  }
}

bool CRSCacheIndex::Map(const CRSPool& pool, const CRSCacheLayout& layout) {
  const std::vector<CRSCacheLayout::Group>& elements = layout.GetGroups();
  if (elements.size() != pool.Groups.GetCount()) return false;
  std::unordered_set<wxString, wxStringHash, wxStringEqual> names;
  size_t next = 0;
  for (size_t g = 0; g < elements.size(); ++g) {
    const CRSGroup* group = pool.Groups.GetAt(g);
    const CRSCacheLayout::Group& element = elements[g];
    if (group->Name != element.name || !names.insert(group->Name).second) return false;
    if (element.renderers.size() != group->Renderers.GetCount()) return false;
    if (!element.renderers.empty() && element.headerEnd <= element.begin) return false;
    m_groups.push_back(Group{utf8text::From(group->Name), group->Visible, element.begin,
                             element.headerEnd});
    for (size_t r = 0; r < element.renderers.size(); ++r) {
      const CRSRenderer* renderer = group->Renderers.GetAt(r);
      // Each renderer comes from the one element that names it, in its group,
      // in the pool's order.
      if (renderer->Name != element.renderers[r].name || renderer->Group != group ||
          renderer->GroupName != group->Name || pool.Renderers.GetAt(next++) != renderer) {
        return false;
      }
      Renderer entry;
      entry.name = utf8text::From(renderer->Name);
      entry.visible = renderer->Visible;
      entry.capabilities = renderer->Capabilities;
      entry.group = static_cast<uint32_t>(g);
      entry.begin = element.renderers[r].begin;
      entry.end = element.renderers[r].end;
      for (const CRSVersion* v : renderer->Versions) {
        entry.versions.push_back(
            Version{utf8text::From(v->Name), v->Visible, v->DefaultVersion, v->Capabilities});
      }
      m_renderers.push_back(std::move(entry));
    }
  }
  return next == pool.Renderers.GetCount();
}

std::string CRSCacheIndex::ToBytes() const {
  std::string out = kHeader;
  out += "C ";
  AppendUnsigned(&out, m_cache.size);
  AppendNumber(&out, m_cache.mtimeSec);
  AppendNumber(&out, m_cache.mtimeNsec);
  AppendUnsigned(&out, m_cache.inode);
  AppendNumber(&out, m_stamp);
  AppendUnsigned(&out, m_mapped ? 1 : 0);
  out += "\n";
  for (const Group& g : m_groups) {
    out += "G ";
    AppendUnsigned(&out, g.visible ? 1 : 0);
    AppendUnsigned(&out, g.begin);
    AppendUnsigned(&out, g.headerEnd);
    AppendName(&out, g.name);
  }
  for (const Renderer& r : m_renderers) {
    out += "R ";
    AppendUnsigned(&out, r.visible ? 1 : 0);
    AppendNumber(&out, r.capabilities);
    AppendUnsigned(&out, r.group);
    AppendUnsigned(&out, r.begin);
    AppendUnsigned(&out, r.end);
    AppendUnsigned(&out, r.versions.size());
    AppendName(&out, r.name);
    for (const Version& v : r.versions) {
      out += "V ";
      AppendUnsigned(&out, v.visible ? 1 : 0);
      AppendUnsigned(&out, v.isDefault ? 1 : 0);
      AppendNumber(&out, v.capabilities);
      AppendName(&out, v.name);
    }
  }
  char checksum[16];
  snprintf(checksum, sizeof checksum, "%s%08x\n", kChecksum, Checksum(out.data(), out.size()));
  out += checksum;
  return out;
}

bool CRSCacheIndex::FromBytes(const std::string& bytes, uint64_t cacheSize) {
  Clear();
  const size_t headerLength = sizeof(kHeader) - 1;
  if (bytes.size() > kMaxFileBytes || bytes.size() < headerLength + kChecksumLine ||
      bytes.compare(0, headerLength, kHeader) != 0) {
    return false;
  }
  const size_t body = bytes.size() - kChecksumLine;
  char expected[16];
  snprintf(expected, sizeof expected, "%s%08x\n", kChecksum, Checksum(bytes.data(), body));
  if (bytes.compare(body, kChecksumLine, expected) != 0) return false;

  const uint64_t maxGroups = cacheSize / kMinGroupBytes;
  const uint64_t maxObjects =
      std::min<uint64_t>(cacheSize / kMinRendererBytes, CDataXMLSerializer::kMaxTreeBytes /
                                                            CDataXMLSerializer::kNodeCost /
                                                            kMinRendererElements);
  uint64_t objects = 0;
  uint64_t versionsDue = 0;
  // The renderer list puts each renderer into the group of its name.
  std::unordered_set<std::string> groupNames;
  bool ok = true;
  bool first = true;
  for (size_t pos = headerLength; ok && pos < body;) {
    const size_t feed = bytes.find('\n', pos);
    if (feed == std::string::npos || feed >= body || feed - pos < 2) {
      ok = false;
      break;
    }
    const char kind = bytes[pos];
    LineReader line(bytes.data() + pos + 2, bytes.data() + feed);
    const bool blank = bytes[pos + 1] == ' ';
    pos = feed + 1;
    if (first) {
      first = false;
      uint64_t size = 0, inode = 0;
      int64_t sec = 0, nsec = 0;
      ok = kind == 'C' && blank && line.Unsigned(&size) && line.Signed(&sec) &&
           line.Signed(&nsec) && line.Unsigned(&inode) && line.Int32(&m_stamp) &&
           line.Flag(&m_mapped) && line.AtEnd();
      m_cache.size = size;
      m_cache.mtimeSec = sec;
      m_cache.mtimeNsec = nsec;
      m_cache.inode = inode;
      continue;
    }
    // Objects only in an index of a mapped cache, and no more than the cache
    // could hold.
    if (!blank || !m_mapped || (kind == 'G' ? m_groups.size() >= maxGroups
                                            : ++objects > maxObjects)) {
      ok = false;
    } else if (versionsDue > 0) {
      Version v;
      ok = kind == 'V' && line.Flag(&v.visible) && line.Flag(&v.isDefault) &&
           line.Int32(&v.capabilities) && line.Name(&v.name);
      if (ok) m_renderers.back().versions.push_back(std::move(v));
      --versionsDue;
    } else if (kind == 'G') {
      Group g;
      // A group without "Renderers" has no header end.
      ok = m_renderers.empty() && line.Flag(&g.visible) && line.Unsigned(&g.begin) &&
           line.Unsigned(&g.headerEnd) && line.Name(&g.name) && g.begin < cacheSize &&
           (g.headerEnd == 0 || g.begin < g.headerEnd) && g.headerEnd <= cacheSize &&
           groupNames.insert(g.name).second;
      if (ok) m_groups.push_back(std::move(g));
    } else if (kind == 'R') {
      Renderer r;
      uint64_t group = 0;
      ok = line.Flag(&r.visible) && line.Int32(&r.capabilities) && line.Unsigned(&group) &&
           line.Unsigned(&r.begin) && line.Unsigned(&r.end) && line.Unsigned(&versionsDue) &&
           line.Name(&r.name) && group < m_groups.size() && r.begin < r.end &&
           r.end <= cacheSize && versionsDue <= maxObjects;
      r.group = static_cast<uint32_t>(group);
      if (ok) m_renderers.push_back(std::move(r));
    } else {
      ok = false;
    }
  }
  if (!ok || first || versionsDue > 0 || m_cache.size != cacheSize) {
    Clear();
    return false;
  }
  return true;
}

void CRSCacheIndex::FillRendererList(CRSPool& pool) const {
  for (const Group& g : m_groups) {
    auto* group = new CRSGroup();
    group->SetPool(&pool);
    group->Name = Wx(g.name);
    group->Visible = g.visible;
    pool.Groups.Add(group);
  }
  for (const Renderer& r : m_renderers) {
    auto* renderer = new CRSRenderer();
    renderer->SetPool(&pool);
    pool.Renderers.OnItemAdded(renderer);
    renderer->Name = Wx(r.name);
    renderer->Visible = r.visible;
    renderer->Capabilities = r.capabilities;
    pool.Renderers.Add(renderer);
    // Group names are unique in a mapped cache: the renderer joins the group
    // its element lies in, after the renderers before it.
    renderer->SetGroup(Wx(m_groups[r.group].name));
    for (const Version& v : r.versions) {
      auto* version = new CRSVersion();
      version->SetPool(&pool);
      renderer->Versions.OnItemAdded(version);
      version->Name = Wx(v.name);
      version->Visible = v.visible;
      version->DefaultVersion = v.isDefault;
      version->Capabilities = v.capabilities;
      renderer->Versions.Add(version);
    }
  }
}

int CRSCacheIndex::FindRenderer(const wxString& name) const {
  const std::string wanted = utf8text::From(name);
  for (size_t i = 0; i < m_renderers.size(); ++i) {
    if (m_renderers[i].name == wanted) return static_cast<int>(i);
  }
  return -1;
}

bool CRSCacheIndex::ReadRendererDocument(CReadOnlyFile& cache, size_t renderer,
                                         std::string* document) const {
  document->clear();
  if (!m_mapped || renderer >= m_renderers.size() || cache.GetIdentity() != m_cache) return false;
  const Renderer& r = m_renderers[renderer];
  const Group& g = m_groups[r.group];
  if (g.headerEnd <= g.begin) return false;
  // The document a pool record of just this group and renderer would be.
  const wxString type = CRSDataCommand::KindName(CRSDataCommand::kPool) + wxT("/") +
                        wxString::FromCDouble(CRSDataExchange::kFormatVersion, 1);
  *document = "<DataRoot><ContentType>" + utf8text::From(type) + "</ContentType><Content>";
  const bool ok = cache.AppendRange(g.begin, g.headerEnd - g.begin, document) &&
                  cache.AppendRange(r.begin, r.end - r.begin, document);
  if (!ok) {
    document->clear();
    return false;
  }
  *document += "</Renderers></RendererGroup></Content></DataRoot>";
  return true;
}

bool CRSCacheIndex::HoldsRenderer(const CRSPool& pool, size_t renderer) const {
  if (renderer >= m_renderers.size() || pool.Groups.GetCount() != 1 ||
      pool.Renderers.GetCount() != 1) {
    return false;
  }
  const Renderer& r = m_renderers[renderer];
  const CRSRenderer* loaded = pool.Renderers.GetAt(0);
  return loaded->Name == Wx(r.name) && loaded->Group == pool.Groups.GetAt(0) &&
         loaded->Group->Name == Wx(m_groups[r.group].name) &&
         loaded->Versions.GetCount() == r.versions.size();
}
