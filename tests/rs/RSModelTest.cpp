#include "RSTestUtil.h"

#include "../support/GlobalEventQueue.h"
#include "platform/FileIO.h"
#include "rs/RSPool.h"
#include "rs/RSVersion.h"
#include "settings/Event.h"

#include <gtest/gtest.h>

namespace {

// A pool in a fresh directory, with the event queue alive.
struct PoolFixture : ::testing::Test {
  GlobalEventQueue events;
  TempDir dir;
  CRSPool pool;
  PoolFixture() { pool.Init(dir.Path()); }

  // Loads the renderers of `xml` (a list's items).
  bool LoadRenderers(const std::string& xml, int mode) {
    return LoadXml(pool.Renderers, "<L>" + xml + "</L>", mode);
  }
};

// A version element of `name` with `extra` elements.
std::string VersionXml(const std::string& name, const std::string& extra = std::string()) {
  return "<RendererVersion><Name>" + name + "</Name>" + extra +
         "<Parameters/><CommandLine><Switches/></CommandLine></RendererVersion>";
}

std::string RendererXml(const std::string& name, const std::string& group,
                        const std::string& extra = std::string()) {
  return "<Renderer><Group>" + group + "</Group><Name>" + name +
         "</Name><Parameters></Parameters><CommandLine><Switches></Switches></CommandLine>" +
         extra + "</Renderer>";
}

TEST(RSNameTest, Validity) {
  for (const char* good : {"Maya 2024", "a/b", " x ", "...a"})
    EXPECT_TRUE(IsValidName(wxString::FromUTF8(good))) << good;
  // The last: letters, but not ASCII.
  for (const char* bad : {"..", ".", " ? ", "__", "", "/:*?\"<>\\", "\xC3\xA4\xC3\xB6"})
    EXPECT_FALSE(IsValidName(wxString::FromUTF8(bad))) << bad;
}

TEST_F(PoolFixture, RendererCreatesItsMissingGroupAndFailsWithoutOne) {
  ASSERT_TRUE(LoadXml(pool.Groups, "<G><RendererGroup><Name>First</Name></RendererGroup></G>", 2));

  ASSERT_TRUE(LoadRenderers(RendererXml("RendererA", "Fresh"), 2));
  ASSERT_EQ(pool.Groups.GetCount(), 2u);
  CRSGroup* fresh = pool.Groups.GetAt(1);
  EXPECT_EQ(fresh->Name, wxT("Fresh"));
  EXPECT_TRUE(fresh->Visible);
  CRSRenderer* a = pool.Renderers.FindByName(wxT("RendererA"));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->Group, fresh);
  EXPECT_TRUE(fresh->Renderers.Contains(a));

  // An empty group fails the renderer after it was read; the new item is
  // deleted and the list stops there.
  EXPECT_FALSE(LoadRenderers(RendererXml("RendererB", "") + RendererXml("RendererC", "Fresh"), 2));
  EXPECT_EQ(pool.Renderers.GetCount(), 1u);
  EXPECT_EQ(pool.Renderers.FindByName(wxT("RendererB")), nullptr);
  EXPECT_EQ(pool.Renderers.FindByName(wxT("RendererC")), nullptr);

  // Moving to another group leaves the first.
  a->SetGroup(wxT("First"));
  EXPECT_FALSE(fresh->Renderers.Contains(a));
  EXPECT_TRUE(pool.Groups.GetAt(0)->Renderers.Contains(a));
}

TEST_F(PoolFixture, RendererForgetsItsDeletedGroup) {
  ASSERT_TRUE(LoadRenderers(RendererXml("R1", "G1") + RendererXml("R2", "G2"), 2));
  CRSRenderer* r1 = pool.Renderers.GetAt(0);
  CRSRenderer* r2 = pool.Renderers.GetAt(1);
  CRSGroup* g1 = r1->Group;
  UEvent event(kEvGroupDeleted, g1);
  event.Raise();
  EXPECT_EQ(r1->Group, nullptr);
  EXPECT_NE(r2->Group, nullptr);  // another group's deletion does not concern it

  // Deleting a group object directly also leaves no dangling pointer.
  pool.Groups.RemoveAt(static_cast<size_t>(pool.Groups.IndexOf(r2->Group)));
  EXPECT_EQ(r2->Group, nullptr);
  EXPECT_EQ(r2->GroupName, wxT("G2"));
}

TEST_F(PoolFixture, ListLoadModes) {
  ASSERT_TRUE(LoadRenderers(RendererXml("A", "G") + RendererXml("B", "G"), 2));
  CRSRenderer* a = pool.Renderers.FindByName(wxT("A"));
  a->Uuid = wxT("uuid-a");

  // Mode 2 matches by name: A is updated in place, B stays, C is new.
  ASSERT_TRUE(LoadRenderers(
      RendererXml("A", "G", "<Description>new</Description>") + RendererXml("C", "G"), 2));
  EXPECT_EQ(pool.Renderers.GetCount(), 3u);
  EXPECT_EQ(pool.Renderers.FindByName(wxT("A")), a);
  EXPECT_EQ(a->Description, wxT("new"));

  // Mode 3 matches by "Uuid": a renamed renderer stays the same object.
  ASSERT_TRUE(LoadRenderers(RendererXml("A2", "G", "<Uuid>uuid-a</Uuid>"), 3));
  EXPECT_EQ(pool.Renderers.GetCount(), 3u);
  EXPECT_EQ(a->Name, wxT("A2"));

  // Mode 1 drops the renderers the incoming data no longer names.
  ASSERT_TRUE(LoadRenderers(RendererXml("A2", "G") + RendererXml("C", "G"), 1));
  ASSERT_EQ(pool.Renderers.GetCount(), 2u);
  EXPECT_EQ(pool.Renderers.GetAt(0), a);
  EXPECT_EQ(pool.Renderers.FindByName(wxT("B")), nullptr);
  EXPECT_EQ(pool.Groups.GetAt(0)->Renderers.GetCount(), 2u);

  // Mode 0 rebuilds: two elements with one name become two renderers.
  ASSERT_TRUE(LoadRenderers(RendererXml("D", "G") + RendererXml("D", "G"), 0));
  ASSERT_EQ(pool.Renderers.GetCount(), 2u);
  EXPECT_NE(pool.Renderers.GetAt(0), pool.Renderers.GetAt(1));
  EXPECT_EQ(pool.Groups.GetAt(0)->Renderers.GetCount(), 2u);
}

TEST_F(PoolFixture, LongListsMatchByKeyLikeShortOnes) {
  std::string xml;
  for (int i = 0; i < 99; ++i) xml += RendererXml("R" + std::to_string(i), "G");
  xml += RendererXml("R\xC3\xA9", "G");
  xml += RendererXml("R7", "G", "<Description>again</Description>");
  xml += RendererXml("R\xC3\xA9", "G", "<Description>\xC3\xA9</Description>");
  ASSERT_TRUE(LoadRenderers(xml, 2));
  EXPECT_EQ(pool.Renderers.GetCount(), 100u);
  EXPECT_EQ(pool.Renderers.GetAt(7)->Description, wxT("again"));
  EXPECT_EQ(pool.Renderers.GetAt(99)->Description, wxString::FromUTF8("\xC3\xA9"));
  ASSERT_TRUE(LoadRenderers(RendererXml("R98", "G", "<Description>x</Description>"), 2));
  EXPECT_EQ(pool.Renderers.GetAt(98)->Description, wxT("x"));

  // Membership of a long list follows the renderers taken out and put back.
  CRSRenderer* r7 = pool.Renderers.GetAt(7);
  ASSERT_TRUE(pool.Renderers.Detach(r7));
  EXPECT_FALSE(pool.Renderers.Contains(r7));
  pool.Renderers.Insert(0, r7);
  EXPECT_EQ(pool.Renderers.IndexOf(r7), 0);
  EXPECT_EQ(pool.Renderers.Add(r7), 100u);
}

TEST_F(PoolFixture, GroupLoadsItsRenderersIntoThePool) {
  CDataNode root;
  ParseInto(root,
            "<C><RendererGroup><Name>Maya</Name><Visible>yes</Visible><Uuid>g1</Uuid><Renderers>" +
                RendererXml("Maya", "Maya") + RendererXml("Elsewhere", "Other") +
                "</Renderers></RendererGroup></C>");
  ASSERT_TRUE(pool.Groups.Load(root, 1));
  ASSERT_EQ(pool.Groups.GetCount(), 2u);  // "Other" was created by the second renderer
  CRSGroup* maya = pool.Groups.FindByName(wxT("Maya"));
  EXPECT_TRUE(maya->Visible);
  EXPECT_EQ(maya->Uuid, wxT("g1"));
  ASSERT_EQ(maya->Renderers.GetCount(), 1u);
  EXPECT_EQ(maya->Renderers.GetAt(0)->Group, maya);
  EXPECT_EQ(pool.Renderers.GetCount(), 2u);
  EXPECT_EQ(pool.Renderers.FindByName(wxT("Elsewhere"))->Group->Name, wxT("Other"));

  // Loaded again: still one group of each name and the same renderers.
  ASSERT_TRUE(pool.Groups.Load(root, 2));
  EXPECT_EQ(pool.Groups.GetCount(), 2u);
  EXPECT_EQ(pool.Renderers.GetCount(), 2u);

  // Invalid group names fail.
  EXPECT_FALSE(LoadXml(pool.Groups, "<C><RendererGroup><Name>..</Name></RendererGroup></C>", 1));
  EXPECT_EQ(pool.Groups.GetCount(), 2u);
}

TEST_F(PoolFixture, AGroupCreatedByARendererIsFoundByTheRestOfTheLoad) {
  // Enough groups for the load to look them up through its index.
  std::string xml = "<C>";
  for (int i = 0; i < 20; ++i)
    xml += "<RendererGroup><Name>G" + std::to_string(i) + "</Name></RendererGroup>";
  xml += "<RendererGroup><Name>First</Name><Renderers>" + RendererXml("R", "Late") +
         "</Renderers></RendererGroup><RendererGroup><Name>Late</Name><Description>d</Description>"
         "</RendererGroup></C>";
  ASSERT_TRUE(LoadXml(pool.Groups, xml, 2));
  int late = 0;
  for (const CRSGroup* g : pool.Groups) late += g->Name == wxT("Late") ? 1 : 0;
  EXPECT_EQ(late, 1);
  EXPECT_EQ(pool.Groups.FindByName(wxT("Late"))->Description, wxT("d"));
  EXPECT_EQ(pool.Renderers.FindByName(wxT("R"))->Group, pool.Groups.FindByName(wxT("Late")));
  EXPECT_EQ(pool.Groups.FindByName(wxT("First"))->Renderers.GetCount(), 0u);
}

TEST_F(PoolFixture, FindVersionAndCaseSensitiveLookups) {
  ASSERT_TRUE(LoadRenderers(
      RendererXml("RendererA", "G",
                  "<Versions>" + VersionXml("1.0") +
                      VersionXml("2.0", "<DefaultVersion>TRUE</DefaultVersion>") + "</Versions>"),
      1));
  CRSVersion* v2 = pool.FindVersion(wxT("RendererA/2.0"));
  ASSERT_NE(v2, nullptr);
  EXPECT_EQ(v2->GetID(), wxT("RendererA/2.0"));
  EXPECT_EQ(v2->Renderer, pool.Renderers.GetAt(0));
  EXPECT_EQ(pool.FindVersion(wxT("  RendererA \t/ 1.0  ")),
            pool.Renderers.GetAt(0)->Versions.GetAt(0));
  for (const wxChar* id : {wxT("RendererA"), wxT("/1.0"), wxT("RendererA/ "), wxT("renderera/1.0")})
    EXPECT_EQ(pool.FindVersion(id), nullptr) << id;
  EXPECT_EQ(pool.Renderers.FindByName(wxT("renderera")), nullptr);
  EXPECT_EQ(pool.Renderers.GetAt(0)->Versions.GetDefaultVersion(), v2);
}

TEST_F(PoolFixture, VersionsModeOnePrunesAndCapabilitiesCombine) {
  ASSERT_TRUE(LoadRenderers(
      RendererXml("R", "G",
                  "<Capabilities>5</Capabilities><Versions>" + VersionXml("a") +
                      VersionXml("b", "<Capabilities>8</Capabilities>") + "</Versions>"),
      1));
  CRSRenderer* r = pool.Renderers.GetAt(0);
  CRSVersion* b = r->Versions.GetAt(1);
  EXPECT_EQ(b->GetCapabilities(), 13);
  EXPECT_TRUE(b->HasCapabilities(12));
  EXPECT_FALSE(b->HasCapabilities(2));
  EXPECT_EQ(r->Versions.GetDefaultVersion(), r->Versions.GetAt(0));

  ASSERT_TRUE(
      LoadRenderers(RendererXml("R", "G", "<Versions>" + VersionXml("b") + "</Versions>"), 1));
  ASSERT_EQ(r->Versions.GetCount(), 1u);
  EXPECT_EQ(r->Versions.GetAt(0), b);
  EXPECT_EQ(b->Capabilities, 0);  // read again, default 0
}

TEST_F(PoolFixture, IndexFile) {
  // Saved and read back on every run of the end-to-end tests.
  EXPECT_FALSE(pool.LoadIndex());
  ASSERT_TRUE(CFileIO::WriteAtomically(dir.Path("Pool.xml"), std::string("<Pool><UpdateIndex>3")));
  EXPECT_FALSE(pool.LoadIndex());

  CRSPool nested;
  nested.Init(dir.Path("a/b/Renderers"));
  nested.UpdateIndex = 2;
  EXPECT_TRUE(nested.SaveIndex());
}

}  // namespace
