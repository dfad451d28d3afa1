// The index beside the renderer cache: a run that needs part of the pool
// reads only that part, and an index that is missing, stale, damaged or
// hostile makes it read the whole cache and write the index anew.
#include <gtest/gtest.h>

#include <wx/filefn.h>
#include <wx/init.h>
#include <zlib.h>

#include <cstdio>
#include <memory>

#include "../support/GlobalEventQueue.h"
#include "../support/TempDir.h"
#include "rs/RSCacheIndex.h"
#include "rs/RSDataExport.h"
#include "rs/RSDataManager_JS.h"
#include "rs/RSDataMsg.h"
#include "rs/RSGroup.h"
#include "rs/RSPool.h"
#include "rs/RSRenderer.h"

namespace {

using Need = CRSDataManager_JS::Need;

wxString W(const char* text) { return wxString::FromUTF8(text); }

wxString Renderer(const char* group, const char* name, const char* defaultVersion) {
  wxString versions;
  for (const char* v : {"1.0", "2.0"}) {
    versions += wxString::Format(
        wxT("<RendererVersion><Name>%s</Name><Capabilities>4</Capabilities><DefaultVersion>%s"
            "</DefaultVersion><Visible>true</Visible><Parameters><Parameter><ID>q</ID>"
            "<DefaultValue>%s</DefaultValue></Parameter></Parameters><CommandLine><Switches/>"
            "</CommandLine></RendererVersion>"),
        W(v), W(strcmp(v, defaultVersion) == 0 ? "true" : "false"), W(name));
  }
  return wxString::Format(
      wxT("<Renderer><Group>%s</Group><Name>%s</Name><Capabilities>3</Capabilities>"
          "<Visible>true</Visible><Parameters><Parameter><ID>p</ID></Parameter></Parameters>"
          "<CommandLine><Switches/></CommandLine><Versions>%s</Versions></Renderer>"),
      W(group), W(name), versions);
}

wxString Pool() {
  return wxT("<DataRoot><ContentType>Pool/1.0</ContentType><Content><RendererGroup><Name>3D"
             "</Name><Visible>true</Visible><Renderers>") +
         Renderer("3D", "Maya", "2.0") + Renderer("3D", "Blender", "1.0") +
         wxT("</Renderers></RendererGroup><RendererGroup><Name>Comp &amp; more</Name>"
             "<Visible>false</Visible><Renderers>") +
         Renderer("Comp &amp; more", "Nuke", "1.0") + Renderer("Comp &amp; more", "Maya", "1.0") +
         wxT("</Renderers></RendererGroup></Content></DataRoot>");
}

class CacheIndexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    manager.SetFetch([](wxInt32 parameter) {
      auto msg = std::make_unique<CRSDataMsg>();
      msg->stamp = 42;
      if (parameter == 1) msg->AddRecord(CRSDataCommand(1, 1, wxT("Pool"), Pool()));
      return msg;
    });
    Run(Need::kWholePool);  // downloads and writes the cache
    Run(Need::kWholePool);  // reads it whole and writes the index
    cache = temp.Read("Renderers.kren");
    index = temp.Read("Renderers.kidx");
  }

  // A fresh run on the same pool directory: the pool as text.
  std::string Run(Need need, const wxString& renderer = wxString()) {
    manager.Bind(nullptr);
    pool = std::make_unique<CRSPool>();
    pool->Init(temp.Path());
    if (!pool->LoadIndex()) pool->UpdateIndex = -1;
    EXPECT_TRUE(manager.Init(pool.get()));
    manager.SetNeed(need, renderer);
    EXPECT_TRUE(manager.Download());
    CRSDataExport text;
    EXPECT_TRUE(text.Bind(pool.get()) && text.ExportPool());
    return std::string(text.ToText().utf8_str());
  }

  wxInitializer init;
  GlobalEventQueue events;
  TempDir temp;
  std::unique_ptr<CRSPool> pool;
  CRSDataManager_JS manager;
  std::string cache, index;
};

TEST_F(CacheIndexTest, ACommandReadsOnlyWhatItNeeds) {
  const std::string whole = Run(Need::kWholePool);
  EXPECT_EQ(Run(Need::kNothing), Run(Need::kOneRenderer, wxT("Houdini/1.0")));
  EXPECT_EQ(pool->Renderers.GetCount(), 0u);

  // The first renderer of the name, in its group, as the whole read has it.
  const std::string maya = Run(Need::kOneRenderer, wxT(" Maya /1.0"));
  ASSERT_EQ(pool->Renderers.GetCount(), 1u);
  const auto firstRenderer = [](const std::string& text) {
    return text.substr(0, text.find("</Renderer>"));
  };
  EXPECT_EQ(firstRenderer(maya), firstRenderer(whole));

  Run(Need::kRendererList);
  ASSERT_EQ(pool->Groups.GetCount(), 2u);
  EXPECT_EQ(pool->Groups.GetAt(1)->Name, wxT("Comp & more"));
  EXPECT_FALSE(pool->Groups.GetAt(1)->Visible);
  ASSERT_EQ(pool->Groups.GetAt(1)->Renderers.GetCount(), 2u);
  const CRSRenderer* last = pool->Groups.GetAt(1)->Renderers.GetAt(1);
  EXPECT_EQ(last->Name, wxT("Maya"));
  EXPECT_EQ(last->Versions.GetDefaultVersion()->GetID(), wxT("Maya/1.0"));
  EXPECT_EQ(last->Versions.GetAt(1)->GetCapabilities(), 7);

  EXPECT_EQ(temp.Read("Renderers.kren"), cache);
  EXPECT_EQ(temp.Read("Renderers.kidx"), index);
}

TEST_F(CacheIndexTest, AMissingStaleDamagedOrHostileIndexFallsBackAndIsWrittenAgain) {
  const std::string whole = Run(Need::kWholePool);
  // "Maya" pointing at the bytes of "Nuke", under a right checksum.
  const size_t mayaAt = index.find("\nR ") + 1, mayaEnd = index.find('\n', mayaAt) + 1;
  const size_t nukeEnd = index.find(" Nuke\n") + 1, nukeAt = index.rfind('\n', nukeEnd) + 1;
  std::string hostile = index.substr(0, mayaAt) + index.substr(nukeAt, nukeEnd - nukeAt) +
                        "Maya\n" + index.substr(mayaEnd, index.size() - 13 - mayaEnd);
  char crc[16];
  snprintf(crc, sizeof crc, "crc %08lx\n",
           crc32(0, reinterpret_cast<const Bytef*>(hostile.data()), hostile.size()));
  hostile += crc;
  std::string flipped = index;
  flipped[flipped.size() / 2] ^= 1;
  const std::string damages[] = {"", index.substr(0, index.size() / 2), flipped, hostile};
  for (const std::string& damage : damages) {
    SCOPED_TRACE(damage);
    temp.Write("Renderers.kidx", damage);
    EXPECT_EQ(Run(Need::kOneRenderer, wxT("Maya")), whole);
    EXPECT_EQ(temp.Read("Renderers.kidx"), index);
  }
  // A cache replaced by the same bytes is another file: the index is stale.
  temp.Write("new", cache);
  ASSERT_TRUE(wxRenameFile(temp.Path("new"), temp.Path("Renderers.kren")));
  EXPECT_EQ(Run(Need::kRendererList), whole);
  EXPECT_NE(temp.Read("Renderers.kidx"), index);
  EXPECT_EQ(temp.Read("Renderers.kren"), cache);

  // A cache in a form the writer does not produce is never read in part.
  temp.Write("Renderers.kren", "<!-- edited -->" + cache);
  EXPECT_EQ(Run(Need::kRendererList), whole);
  EXPECT_EQ(Run(Need::kOneRenderer, wxT("Nuke")), whole);
}

}  // namespace
