#include "RSTestUtil.h"

#include "../support/GlobalEventQueue.h"
#include "rs/RSPool.h"
#include "rs/RSSamplePool.h"
#include "rs/RSVersion.h"

#include <gtest/gtest.h>

namespace {

std::string PoolText(CRSPool& pool) {
  CDataNode root;
  SavePoolDocument(pool, root);
  return ToXml(root);
}

TEST(RSPoolRoundTripTest, SavedLoadedAndSavedAgainIsIdentical) {
  GlobalEventQueue events;
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    CRSPool original;
    original.Init(wxT("/nonexistent"));
    RSSampleSize size;
    size.renderers = 5;
    size.renderersPerGroup = 2;
    size.versionsPerRenderer = 3;
    size.parametersPerObject = 12;
    FillSamplePool(original, size, seed);
    const std::string first = PoolText(original);

    CDataNode parsed;
    ParseInto(parsed, first);
    CRSPool loaded;
    loaded.Init(wxT("/nonexistent"));
    ASSERT_TRUE(LoadPoolDocument(loaded, parsed)) << "seed " << seed;
    EXPECT_EQ(loaded.Groups.GetCount(), original.Groups.GetCount());
    ASSERT_EQ(loaded.Renderers.GetCount(), original.Renderers.GetCount());
    const std::string second = PoolText(loaded);
    ASSERT_EQ(first, second) << "seed " << seed;

    // The texts that matter most came back exactly, not only equal as XML.
    const CRSRenderer* a = original.Renderers.GetAt(1);
    const CRSRenderer* b = loaded.Renderers.GetAt(1);
    EXPECT_EQ(a->Script.Script, b->Script.Script);
    EXPECT_EQ(a->Template.ScriptTemplate, b->Template.ScriptTemplate);
    EXPECT_EQ(a->Versions.GetAt(2)->Uuid, b->Versions.GetAt(2)->Uuid);
    EXPECT_EQ(b->Versions.GetAt(0)->Renderer, b);

    // Loading the same document again merges into the same objects.
    const CRSRenderer* before = loaded.Renderers.GetAt(0);
    ASSERT_TRUE(LoadPoolDocument(loaded, parsed));
    EXPECT_EQ(loaded.Renderers.GetAt(0), before);
    EXPECT_EQ(PoolText(loaded), first);
  }
}

}  // namespace
