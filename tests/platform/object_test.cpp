#include "platform/foundation/autorelease_pool.h"
#include "platform/foundation/object.h"
#include "platform/foundation/object_registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace cocoa;

namespace
{
std::vector<std::string> g_log;

// Logs from dealloc through a virtual call, which only reaches this class while the
// object is still complete.
class Base : public NSObject
{
protected:
  void dealloc() override { g_log.push_back("dealloc " + describe()); }
  virtual std::string describe() const { return "base"; }
};

class Derived : public Base
{
public:
  StrongRef<NSObject> peer;

protected:
  std::string describe() const override { return "derived"; }
};

// Retains and releases itself while going away, as a window does when it sends its
// destroy messages.
class SelfRetaining : public NSObject
{
protected:
  void dealloc() override
  {
    StrongRef<SelfRetaining> again(this);
    g_log.push_back("dealloc once");
  }
};

NSObject* g_hoard = nullptr;

// Hands itself to someone who keeps it, the mistake a destroy message can make.
class HoardedWhileDying : public NSObject
{
protected:
  void dealloc() override { g_hoard = retain(); }
};
}  // namespace

TEST(Objects, ReleaseRunsDeallocOnTheCompleteObjectOnlyAtTheLastOwnership)
{
  g_log.clear();
  Derived* object = new Derived;
  object->retain();
  EXPECT_EQ(object->retainCount(), 2);
  object->release();
  EXPECT_TRUE(g_log.empty());
  EXPECT_TRUE(isLiveObject(object));
  object->release();
  ASSERT_EQ(g_log.size(), 1u);
  EXPECT_EQ(g_log[0], "dealloc derived");
  EXPECT_FALSE(isLiveObject(object));
}

TEST(Objects, RetainsDuringDeallocDoNotFreeTwice)
{
  g_log.clear();
  (new SelfRetaining)->release();
  EXPECT_EQ(g_log, std::vector<std::string>{"dealloc once"});
}

TEST(Objects, AutoreleasePoolsReleaseTheirObjectsInnermostFirst)
{
  g_log.clear();
  Base* outerObject = new Base;
  {
    NSAutoreleasePool outer;
    outerObject->autorelease();
    {
      NSAutoreleasePool inner;
      (new Derived)->autorelease();
      EXPECT_TRUE(g_log.empty());
    }
    EXPECT_EQ(g_log, std::vector<std::string>{"dealloc derived"});
    EXPECT_TRUE(isLiveObject(outerObject));
  }
  EXPECT_EQ(g_log.size(), 2u);
  EXPECT_FALSE(isLiveObject(outerObject));
}

TEST(Objects, AnObjectAutoreleasedTwiceIsReleasedTwice)
{
  g_log.clear();
  Base* object = new Base;
  object->retain();
  {
    NSAutoreleasePool pool;
    object->autorelease();
    object->autorelease();
  }
  EXPECT_EQ(g_log.size(), 1u);
}

TEST(Objects, StrongReferencesKeepObjectsAliveAndAdoptTakesOverOwnership)
{
  g_log.clear();
  StrongRef<Derived> owner = StrongRef<Derived>::adopt(new Derived);
  EXPECT_EQ(owner->retainCount(), 1);
  {
    StrongRef<Derived> copy = owner;
    EXPECT_EQ(owner->retainCount(), 2);
    StrongRef<Derived> moved = std::move(copy);
    EXPECT_FALSE(copy);
    EXPECT_EQ(owner->retainCount(), 2);
  }
  EXPECT_EQ(owner->retainCount(), 1);
  owner->peer = StrongRef<NSObject>::adopt(new Base);
  owner.reset();
  // The derived object's members go with it: its peer is released too.
  EXPECT_EQ(g_log, (std::vector<std::string>{"dealloc derived", "dealloc base"}));
}

TEST(Objects, KindAndCapabilityTests)
{
  class Capability
  {
  public:
    virtual ~Capability() = default;
  };
  class Capable : public NSObject, public Capability
  {
  };
  StrongRef<NSObject> plain = StrongRef<NSObject>::adopt(new Derived);
  StrongRef<NSObject> capable = StrongRef<NSObject>::adopt(new Capable);
  EXPECT_TRUE(isKindOfClass<Base>(plain.get()));
  EXPECT_TRUE(isKindOfClass<Derived>(plain.get()));
  EXPECT_FALSE(isKindOfClass<Derived>(capable.get()));
  EXPECT_EQ(respondsTo<Capability>(plain.get()), nullptr);
  EXPECT_NE(respondsTo<Capability>(capable.get()), nullptr);
  EXPECT_FALSE(isKindOfClass<Base>(nullptr));
}

TEST(ObjectsDeathTest, AStaleHandleIsCaughtInsteadOfUsed)
{
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        NSObject* object = new Base;
        object->release();
        object->release();
      },
      // The registry catches it; under AddressSanitizer the sanitizer may see it first.
      "no longer exists|heap-use-after-free");
}

TEST(ObjectsDeathTest, ARetainInDeallocThatOutlivesItStopsAtOnceNamingTheClass)
{
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH((new HoardedWhileDying)->release(), "HoardedWhileDying.*retained 1 time");
}
