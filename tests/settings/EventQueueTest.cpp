#include "settings/EventQueue.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "settings/EventObject.h"
#include "../support/GlobalEventQueue.h"

namespace {

// Distinct owner identities for direct queue subscriptions.
int g_ownerA, g_ownerB, g_ownerC;

struct Recorder {
  std::vector<wxString> calls;
  // Records `label`, then does `also`, then returns `result`.
  UEventHandler Handler(const wxString& label, uint32_t result = 0,
                        std::function<void(UEvent&)> also = nullptr) {
    return [this, label, result, also](UEvent& event) {
      calls.push_back(label);
      if (also) also(event);
      return result;
    };
  }
};

// A queue of its own and a record of the handlers it called.
struct EventQueueTest : ::testing::Test {
  UEventQueue queue;
  Recorder r;
};

TEST_F(EventQueueTest, CallsMatchingSubscribersInOrderAndReturnsTheLastResult) {
  queue.Subscribe(&g_ownerA, kEvGroupEdited, r.Handler(wxT("a"), 7));
  queue.Subscribe(&g_ownerB, kEvGroupDeleted, r.Handler(wxT("other name")));
  queue.Subscribe(&g_ownerB, wxT("crsgroup::evgroupedited"), r.Handler(wxT("other case")));
  queue.Subscribe(&g_ownerC, kEvGroupEdited, r.Handler(wxT("c"), 9));
  queue.Subscribe(nullptr, kEvGroupEdited, r.Handler(wxT("no owner")));
  queue.Subscribe(&g_ownerB, kEvGroupEdited, UEventHandler());  // no handler

  // Subscriptions without a source filter hear every raiser; the filter
  // itself is the member handlers' case below.
  int raiser;
  UEvent event(kEvGroupEdited, &raiser);
  EXPECT_EQ(event.Raise(&queue), 9u);
  EXPECT_EQ(r.calls, (std::vector<wxString>{wxT("a"), wxT("c")}));

  UEvent unheard(kEvPoolLoaded);
  EXPECT_EQ(unheard.Raise(&queue), 0u);
}

TEST_F(EventQueueTest, StopFlagEndsTheDispatchAndThrowingHandlersAreSkippedOver) {
  queue.Subscribe(&g_ownerA, kEvPoolLoaded, r.Handler(wxT("throws"), 0, [](UEvent&) {
    throw std::runtime_error("handler failed");
  }));
  queue.Subscribe(&g_ownerB, kEvPoolLoaded,
                  r.Handler(wxT("stops"), 5, [](UEvent& event) { event.Stop(); }));
  queue.Subscribe(&g_ownerC, kEvPoolLoaded, r.Handler(wxT("after stop")));

  UEvent event(kEvPoolLoaded);
  EXPECT_EQ(event.Raise(&queue), 5u);
  EXPECT_EQ(r.calls, (std::vector<wxString>{wxT("throws"), wxT("stops")}));
  EXPECT_EQ(queue.GetDispatchDepth(), 0);
}

TEST_F(EventQueueTest, SubscribingAgainReplacesAndNoneRemovesEverythingOfTheOwner) {
  queue.Subscribe(&g_ownerA, kEvPoolLoaded, r.Handler(wxT("first")));
  queue.Subscribe(&g_ownerB, kEvPoolLoaded, r.Handler(wxT("B")));
  queue.Subscribe(&g_ownerA, kEvPoolLoaded, r.Handler(wxT("second")));
  queue.Subscribe(&g_ownerA, kEvPoolUnloaded, r.Handler(wxT("unloaded")));
  EXPECT_EQ(queue.GetSubscriptionCount(), 3u);

  UEvent loaded(kEvPoolLoaded);
  loaded.Raise(&queue);
  // The replacement goes to the end of the order.
  EXPECT_EQ(r.calls, (std::vector<wxString>{wxT("B"), wxT("second")}));

  EXPECT_FALSE(queue.Unsubscribe(&g_ownerC, kEvNone));
  EXPECT_FALSE(queue.Unsubscribe(&g_ownerA, kEvGroupEdited));
  EXPECT_TRUE(queue.Unsubscribe(&g_ownerA, kEvNone));
  EXPECT_EQ(queue.GetSubscriptionCount(), 1u);
  EXPECT_TRUE(queue.Unsubscribe(&g_ownerB, kEvPoolLoaded));
  EXPECT_EQ(queue.GetSubscriptionCount(), 0u);
}

TEST_F(EventQueueTest, RemovalDuringADispatchIsDeferredAndTheSinkIsSkipped) {
  bool unsubscribeResult = true;
  // A unsubscribes itself and C, which comes later in this same dispatch.
  queue.Subscribe(&g_ownerA, kEvGroupEdited, r.Handler(wxT("A"), 0, [&](UEvent&) {
    unsubscribeResult = queue.Unsubscribe(&g_ownerA, kEvGroupEdited);
    queue.Unsubscribe(&g_ownerC, kEvNone);
    EXPECT_EQ(queue.GetSubscriptionCount(), 1u);
  }));
  queue.Subscribe(&g_ownerB, kEvGroupEdited, r.Handler(wxT("B")));
  queue.Subscribe(&g_ownerC, kEvGroupEdited, r.Handler(wxT("C")));

  UEvent first(kEvGroupEdited);
  first.Raise(&queue);
  EXPECT_EQ(r.calls, (std::vector<wxString>{wxT("A"), wxT("B")}));
  EXPECT_FALSE(unsubscribeResult);  // nothing could be deleted yet

  r.calls.clear();
  UEvent second(kEvGroupEdited);
  second.Raise(&queue);
  EXPECT_EQ(r.calls, (std::vector<wxString>{wxT("B")}));
  EXPECT_EQ(queue.GetSubscriptionCount(), 1u);
}

TEST_F(EventQueueTest, NestedDispatchRunsInsideTheHandlerAndDefersRemovalToTheOuterEnd) {
  queue.Subscribe(&g_ownerA, kEvRendererDeleted, r.Handler(wxT("outer A"), 1, [&](UEvent&) {
    UEvent inner(kEvVersionDeleted);
    EXPECT_EQ(inner.Raise(&queue), 3u);
    r.calls.push_back(wxT("outer A done"));
  }));
  queue.Subscribe(&g_ownerB, kEvVersionDeleted, r.Handler(wxT("inner B"), 3, [&](UEvent&) {
    EXPECT_EQ(queue.GetDispatchDepth(), 2);
    // C is removed inside the inner dispatch; the outer one must skip it too.
    queue.Unsubscribe(&g_ownerC, kEvNone);
  }));
  queue.Subscribe(&g_ownerC, kEvRendererDeleted, r.Handler(wxT("outer C")));

  UEvent outer(kEvRendererDeleted);
  EXPECT_EQ(outer.Raise(&queue), 1u);
  EXPECT_EQ(r.calls, (std::vector<wxString>{wxT("outer A"), wxT("inner B"), wxT("outer A done")}));
  EXPECT_EQ(queue.GetDispatchDepth(), 0);
  EXPECT_EQ(queue.GetSubscriptionCount(), 2u);
}

TEST_F(EventQueueTest, SubscriptionsMadeDuringADispatchHearOnlyLaterEvents) {
  int calls = 0;
  // A handler that subscribes itself again (replacing its own sink) would
  // otherwise call itself for ever.
  std::function<uint32_t(UEvent&)> again = [&](UEvent&) -> uint32_t {
    ++calls;
    queue.Subscribe(&g_ownerA, kEvGroupCreated, again);
    return 0;
  };
  queue.Subscribe(&g_ownerA, kEvGroupCreated, again);
  UEvent first(kEvGroupCreated);
  first.Raise(&queue);
  EXPECT_EQ(calls, 1);
  UEvent second(kEvGroupCreated);
  second.Raise(&queue);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(queue.GetSubscriptionCount(), 1u);
  // The replacement made during a dispatch is the owner's to remove.
  EXPECT_TRUE(queue.Unsubscribe(&g_ownerA, kEvNone));
  EXPECT_EQ(queue.GetSubscriptionCount(), 0u);
}

TEST_F(EventQueueTest, PostTakesOwnership) {
  queue.Subscribe(&g_ownerA, kEvDataImported, [](UEvent&) -> uint32_t { return 4; });
  EXPECT_EQ(queue.Post(std::make_unique<UEvent>(kEvDataImported), false), 4u);
  EXPECT_EQ(queue.Post(nullptr, false), 0u);
  EXPECT_EQ(queue.Post(std::make_unique<UEvent>(kEvDataImported), true), 0u);
  EXPECT_EQ(queue.GetDeferredCount(), 1u);
}

// Subscribers on the global queue, which its owner sets for a run.

class CGroup {};

class CRenderer : public CEventObject {
 public:
  explicit CRenderer(CGroup* group) : m_group(group) {
    subscribed = Subscribe(kEvGroupDeleted, &CRenderer::OnGroupDeleted, m_group);
  }
  uint32_t OnGroupDeleted(UEvent&) {
    ++deletions;
    return 2;
  }
  CGroup* m_group;
  bool subscribed = false;
  int deletions = 0;
};

TEST(EventObjectTest, WithoutAQueueNothingIsDeliveredAndRaiseGivesOne) {
  ASSERT_EQ(UEventQueue::Global(), nullptr);
  CGroup group;
  CRenderer renderer(&group);
  EXPECT_FALSE(renderer.subscribed);
  EXPECT_FALSE(renderer.Unsubscribe(kEvNone));
  UEvent event(kEvGroupDeleted, &group);
  EXPECT_EQ(event.Raise(), 1u);
  EXPECT_EQ(renderer.deletions, 0);
}

TEST(EventObjectTest, MemberHandlersFollowTheirGroupAndLeaveWithTheObject) {
  GlobalEventQueue global;
  UEventQueue& queue = global.queue;
  ASSERT_EQ(UEventQueue::Global(), &queue);
  CGroup groupA, groupB;
  {
    CRenderer ofA(&groupA);
    CRenderer ofB(&groupB);
    EXPECT_TRUE(ofA.subscribed);
    EXPECT_EQ(queue.GetSubscriptionCount(), 2u);

    UEvent deleteA(kEvGroupDeleted, &groupA);
    EXPECT_EQ(deleteA.Raise(), 2u);
    EXPECT_EQ(ofA.deletions, 1);
    EXPECT_EQ(ofB.deletions, 0);
  }
  EXPECT_EQ(queue.GetSubscriptionCount(), 0u);
  UEvent deleteA(kEvGroupDeleted, &groupA);
  EXPECT_EQ(deleteA.Raise(), 0u);
}

TEST(EventObjectTest, ObjectDestroyedByAnEarlierHandlerIsNotCalled) {
  GlobalEventQueue global;
  CGroup group;
  auto victim = std::make_unique<CRenderer>(&group);
  bool killerRan = false;
  // Subscribed after the victim but placed first by re-subscribing the victim.
  global.queue.Subscribe(&g_ownerA, kEvGroupDeleted, [&](UEvent&) -> uint32_t {
    killerRan = true;
    victim.reset();
    return 0;
  });
  victim->Subscribe(kEvGroupDeleted, &CRenderer::OnGroupDeleted, &group);

  UEvent event(kEvGroupDeleted, &group);
  event.Raise();  // would call into the freed renderer if its removal were lost
  EXPECT_TRUE(killerRan);
  EXPECT_EQ(victim, nullptr);
  EXPECT_EQ(global.queue.GetSubscriptionCount(), 1u);
}

}  // namespace
