// The data manager of the client: the pool record of a full download, the
// renderer cache and its fall-backs, and the records that change single
// objects of the pool.
#include <gtest/gtest.h>

#include <wx/filename.h>
#include <wx/init.h>

#include <memory>

#include "../support/GlobalEventQueue.h"
#include "rs/RSDataManager_JS.h"
#include "rs/RSDataMsg.h"
#include "rs/RSGroup.h"
#include "rs/RSPool.h"
#include "rs/RSRenderer.h"
#include "rs/RSVersion.h"
#include "../support/TempDir.h"

namespace {

wxString W(const char* text) { return wxString::FromUTF8(text); }

wxString Renderer(const char* group, const char* name, const char* versions) {
  return wxString::Format(
      wxT("<Renderer><Group>%s</Group><Name>%s</Name><Description>d</Description>"
          "<FileMask>*.x</FileMask><Capabilities>3</Capabilities><Visible>true</Visible>"
          "<Parameters></Parameters><CommandLine><Switches></Switches></CommandLine>"
          "<Uuid>{R-%s}</Uuid>"
          "<Versions>%s</Versions></Renderer>"),
      W(group), W(name), W(name), W(versions));
}

wxString Version(const char* name, const char* parent) {
  return wxString::Format(
      wxT("<RendererVersion><Name>%s</Name><Description></Description>"
          "<Capabilities>0</Capabilities><DefaultVersion>true</DefaultVersion>"
          "<Visible>true</Visible><Parent>%s</Parent><Parameters></Parameters>"
          "<CommandLine><Switches></Switches></CommandLine><Uuid>{V-%s}</Uuid></RendererVersion>"),
      W(name), W(parent), W(name));
}

wxString Document(const char* type, const wxString& content) {
  return wxString::Format(
      wxT("<DataRoot><ContentType>%s</ContentType><Content>%s</Content></DataRoot>"), W(type),
      content);
}

wxString Group(const char* name, const wxString& renderers) {
  return wxString::Format(wxT("<RendererGroup><Name>%s</Name><Visible>true</Visible><Renderers>%s"
                              "</Renderers></RendererGroup>"),
                          W(name), renderers);
}

CRSDataCommand PoolRecord(const wxString& content) {
  return CRSDataCommand(1, 1, wxT("Pool"), Document("Pool/1.0", content));
}

// Two groups; the second holds an element the program does not know.
wxString DemoPool() {
  return Document(
      "Pool/1.0",
      wxT("<RendererGroup><Name>3D</Name><Description>three</Description><Visible>true</Visible>"
          "<Uuid>{G-3D}</Uuid><Renderers>") +
          Renderer("3D", "Blender", "") + wxT("</Renderers></RendererGroup>") +
          wxT("<Unknown><Name>x</Name></Unknown>") +
          wxT("<RendererGroup><Name>Comp</Name><Description></Description><Visible>false</Visible>"
              "<Uuid>{G-Comp}</Uuid><Renderers>") +
          Renderer("Comp", "Nuke", "") + wxT("</Renderers></RendererGroup>"));
}

class RSDataManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    manager.SetFetch([this](wxInt32 parameter) { return Serve(parameter); });
    Restart();
  }

  std::unique_ptr<CRSDataMsg> Serve(wxInt32 parameter) {
    if (parameter == 1) ++fullRequests;
    if (refuse) return nullptr;
    auto msg = std::make_unique<CRSDataMsg>();
    msg->stamp = serverStamp;
    if (parameter == 1) {
      for (const CRSDataCommand& r : records) msg->AddRecord(r);
    }
    return msg;
  }

  wxString Cache() const { return temp.Path("Renderers.kren"); }
  wxString Index() const { return temp.Path("Pool.xml"); }

  // A fresh start of the program on the same pool directory.
  void Restart() {
    manager.Bind(nullptr);
    pool = std::make_unique<CRSPool>();
    pool->Init(temp.Path());
    if (!pool->LoadIndex()) pool->UpdateIndex = -1;
    ASSERT_TRUE(manager.Init(pool.get()));
  }

  wxInitializer init;
  GlobalEventQueue events;
  TempDir temp;
  std::unique_ptr<CRSPool> pool;
  CRSDataManager_JS manager;
  std::vector<CRSDataCommand> records{CRSDataCommand(1, 1, wxT("Pool"), DemoPool())};
  wxInt32 serverStamp = 42;
  bool refuse = false;
  int fullRequests = 0;
};

// Records that do not load still make a download; those tests follow.
TEST_F(RSDataManagerTest, ARefusedRequestFailsTheDownload) {
  refuse = true;
  EXPECT_FALSE(manager.Download());
  EXPECT_EQ(fullRequests, 0);
}

// One object that does not load: the groups before it stay, the list stops
// there, the records after it still load, and the cache is the pool as loaded.
TEST_F(RSDataManagerTest, ABadObjectKeepsWhatLoadedAndTheLaterRecords) {
  // A parameter without an ID.
  wxString noId = Renderer("Bad", "Bad", "");
  noId.Replace(wxT("<Parameters></Parameters>"),
               wxT("<Parameters><Parameter><Name>x</Name></Parameter></Parameters>"));
  const wxString variants[] = {
      Renderer("", "NoGroup", ""),
      Renderer("Bad", "..", ""),
      // A version without its command line.
      Renderer("Bad", "Bad",
               "<RendererVersion><Name>1</Name><Parent>Bad</Parent><Parameters></Parameters>"
               "</RendererVersion>"),
      noId,
  };
  for (const wxString& broken : variants) {
    SCOPED_TRACE(std::string(broken.utf8_str()));
    records = {
        PoolRecord(Group("3D", Renderer("3D", "Blender", "")) + Group("Bad", broken) +
                   Group("Comp", Renderer("Comp", "Nuke", ""))),
        CRSDataCommand(1, 3, wxT("Maya"), Document("Renderer/1.0", Renderer("3D", "Maya", ""))),
    };
    wxRemoveFile(Cache());
    Restart();
    ASSERT_TRUE(manager.Download());
    ASSERT_EQ(pool->Groups.GetCount(), 1u);
    EXPECT_EQ(pool->Groups.GetAt(0)->Name, wxT("3D"));
    EXPECT_EQ(pool->Groups.GetAt(0)->Renderers.GetCount(), 2u);
    EXPECT_NE(pool->Renderers.FindByKey(wxT("Maya")), nullptr);
    EXPECT_EQ(pool->Renderers.FindByKey(wxT("Nuke")), nullptr);
    EXPECT_EQ(pool->UpdateIndex, 42);
    const std::string cache = temp.Read("Renderers.kren");
    EXPECT_NE(cache.find("<Name>Maya</Name>"), std::string::npos);
    EXPECT_EQ(cache.find("<Name>Bad</Name>"), std::string::npos);

    // The next run reads the same pool from the cache.
    fullRequests = 0;
    Restart();
    ASSERT_TRUE(manager.Download());
    EXPECT_EQ(fullRequests, 0) << "the stamp is current";
    EXPECT_EQ(pool->Groups.GetCount(), 1u);
    EXPECT_EQ(pool->Renderers.GetCount(), pool->Groups.GetAt(0)->Renderers.GetCount());
  }
}

// A group that fails is deleted with the renderers it loaded before the
// failure: the pool keeps only what the listings and the cache show.
TEST_F(RSDataManagerTest, AFailedGroupTakesItsEarlierRenderersWithIt) {
  records = {PoolRecord(Group("3D", Renderer("3D", "Blender", "") + Renderer("", "NoGroup", "")))};
  ASSERT_TRUE(manager.Download());
  EXPECT_EQ(pool->Groups.GetCount(), 0u);
  EXPECT_EQ(pool->Renderers.GetCount(), 0u);
  EXPECT_EQ(pool->FindVersion(wxT("Blender/1")), nullptr);
}

TEST_F(RSDataManagerTest, TheSameRendererNameInTwoGroupsIsTwoRenderers) {
  records = {
      PoolRecord(Group("A", Renderer("A", "Same", "")) + Group("B", Renderer("B", "Same", "")))};
  ASSERT_TRUE(manager.Download());
  ASSERT_EQ(pool->Groups.GetCount(), 2u);
  ASSERT_EQ(pool->Renderers.GetCount(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    CRSGroup* group = pool->Groups.GetAt(i);
    ASSERT_EQ(group->Renderers.GetCount(), 1u) << group->Name;
    EXPECT_EQ(group->Renderers.GetAt(0)->Group, group);
  }
  EXPECT_NE(pool->Groups.GetAt(0)->Renderers.GetAt(0), pool->Groups.GetAt(1)->Renderers.GetAt(0));
  // Both come back from the cache.
  Restart();
  ASSERT_TRUE(manager.Download());
  EXPECT_EQ(pool->Renderers.GetCount(), 2u);
}

TEST_F(RSDataManagerTest, ACacheThatCannotBeSavedIsRemoved) {
  ASSERT_TRUE(manager.Download());
  ASSERT_TRUE(wxFileName::FileExists(Index()));
  // A directory where the cache file should be: the save fails.
  wxRemoveFile(Cache());
  wxFileName::Mkdir(Cache(), 0777);
  wxFileName::Mkdir(Cache() + wxT("/keep"), 0777);
  serverStamp = 44;
  Restart();
  EXPECT_TRUE(manager.Download()) << "the pool is loaded even when it cannot be cached";
  EXPECT_EQ(pool->Renderers.GetCount(), 2u);
  EXPECT_FALSE(wxFileName::FileExists(Index()));
}

TEST_F(RSDataManagerTest, RecordsOfSingleObjects) {
  ASSERT_TRUE(manager.Download());
  CRSDataMsg msg;
  msg.AddRecord(CRSDataCommand(1, 3, wxT("Maya"),
                               Document("Renderer/1.0", Renderer("3D", "Maya", ""))));
  msg.AddRecord(CRSDataCommand(1, 4, wxT("Maya"),
                               Document("Version/1.0", Version("2024", "Maya") +
                                                           Version("2025", "Maya"))));
  msg.AddRecord(CRSDataCommand(1, 2, wxT("Sim"), Document("Group/1.0", Group("Sim", wxString()))));
  msg.AddRecord(CRSDataCommand(2, 3, wxT("Nuke"), wxString()));
  msg.AddRecord(CRSDataCommand(2, 4, wxT("Maya/2024"), wxString()));
  msg.AddRecord(CRSDataCommand(2, 2, wxT("NoSuchGroup"), wxString()));
  ASSERT_TRUE(manager.ApplyMessage(msg, true)) << manager.GetError();
  EXPECT_TRUE(msg.Records().empty());
  EXPECT_EQ(manager.GetQueueCount(), 0u);
  EXPECT_EQ(pool->Groups.GetCount(), 3u);
  EXPECT_EQ(pool->Renderers.FindByKey(wxT("Nuke")), nullptr);
  EXPECT_EQ(pool->Groups.FindByKey(wxT("Comp"))->Renderers.GetCount(), 0u);
  EXPECT_EQ(pool->FindVersion(wxT("Maya/2024")), nullptr);
  ASSERT_NE(pool->FindVersion(wxT("Maya/2025")), nullptr);
  EXPECT_EQ(pool->Renderers.FindByKey(wxT("Maya"))->Group, pool->Groups.FindByKey(wxT("3D")));

  // Versions of a renderer the pool does not have fail their record.
  CRSDataMsg orphan;
  orphan.AddRecord(CRSDataCommand(1, 4, wxT("X"), Document("Version/1.0", Version("1", "Gone"))));
  EXPECT_FALSE(manager.ApplyMessage(orphan, true));
}

}  // namespace
