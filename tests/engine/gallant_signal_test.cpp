#include "GallantSignal.h"

#include "wdlstring.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace
{
// Every call lands in one shared log, so the order across objects is visible.
std::vector<std::string> gLog;
using Log = std::vector<std::string>;

struct Listener
{
  std::string name;
  void OnFirst() { gLog.push_back(name + ".first"); }
  void OnSecond() { gLog.push_back(name + ".second"); }
};

struct VirtualListener
{
  virtual ~VirtualListener() = default;
  virtual void OnEarly() { gLog.push_back("early"); }
  virtual void OnLate() { gLog.push_back("late"); }
};

struct OverridingListener : VirtualListener
{
  void OnLate() override { gLog.push_back("overridden late"); }
};

void FreeA()
{
  gLog.push_back("freeA");
}
void FreeB()
{
  gLog.push_back("freeB");
}

class Signal : public ::testing::Test
{
protected:
  void SetUp() override { gLog.clear(); }
};
}  // namespace

TEST_F(Signal, DuplicatesAreConnectedOnce)
{
  Listener a{"a"};
  Gallant::Signal0 signal;
  signal.Emit();  // no delegates: nothing happens
  signal.Connect(&a, &Listener::OnFirst);
  signal.Connect(Gallant::Delegate0(&a, &Listener::OnFirst));
  signal.Connect(FreeA);
  signal.Connect(FreeA);
  signal.Emit();
  EXPECT_EQ(gLog, (Log{"a.first", "freeA"}));
}

TEST_F(Signal, CallOrderIsObjectAddressThenMemberPointerBytesThenFreeFunctions)
{
  Listener listeners[2] = {{"low"}, {"high"}};  // ascending addresses
  Gallant::Signal0 byObject;
  byObject.Connect(&listeners[1], &Listener::OnFirst);
  byObject.Connect(FreeB);
  byObject.Connect(FreeA);
  byObject.Connect(&listeners[0], &Listener::OnSecond);
  byObject.Emit();
  const bool aFirst = reinterpret_cast<std::uintptr_t>(&FreeA) < reinterpret_cast<std::uintptr_t>(&FreeB);
  EXPECT_EQ(gLog, (Log{"low.second", "high.first", aFirst ? "freeA" : "freeB", aFirst ? "freeB" : "freeA"}));

  // A pointer to a virtual member holds 1 + its vtable offset in its first
  // (little-endian) word, so a member declared earlier sorts first; the call
  // still dispatches through the object.
  gLog.clear();
  OverridingListener listener;
  Gallant::Signal0 byMember;
  byMember.Connect(&listener, &VirtualListener::OnLate);
  byMember.Connect(&listener, &VirtualListener::OnEarly);
  byMember.Emit();
  EXPECT_EQ(gLog, (Log{"early", "overridden late"}));
}

TEST_F(Signal, ArgumentsReachEverySlotAndBaseMembersSeeTheirBasePart)
{
  struct Left
  {
    int padding = 0;
  };
  struct Right
  {
    const void* seenThis = nullptr;
    int sum = 0;
    std::string text;
    void Show(int param, WDL_String* tip, int x, int y)
    {
      seenThis = this;
      sum = param + x + y;
      text = tip->Get();
    }
  };
  struct Both : Left, Right
  {
  };

  Both first, second;
  WDL_String tip("cutoff");
  Gallant::Signal4<int, WDL_String*, int, int> show;
  show.Connect(&first, &Right::Show);
  show.Connect(&second, &Right::Show);
  show.Emit(94, &tip, 3, 4);
  for (const Both* both : {&first, &second})
  {
    EXPECT_EQ(both->seenThis, static_cast<const Right*>(both));
    EXPECT_EQ(both->sum, 101);
    EXPECT_EQ(both->text, "cutoff");
  }
}

TEST_F(Signal, CopiesAreIndependent)
{
  Listener a{"a"}, b{"b"};
  Gallant::Signal0 source;
  source.Connect(&a, &Listener::OnFirst);

  Gallant::Signal0 copy(source);
  copy.Connect(&b, &Listener::OnFirst);
  source.Emit();
  EXPECT_EQ(gLog, (Log{"a.first"}));
  gLog.clear();
  copy.Emit();
  EXPECT_EQ(gLog, (Log{"a.first", "b.first"}));

  Gallant::Signal0 assigned;
  assigned.Connect(&b, &Listener::OnSecond);
  assigned = source;
  gLog.clear();
  assigned.Emit();
  EXPECT_EQ(gLog, (Log{"a.first"}));

  Gallant::Delegate2<int, double> unset;  // a target not yet set calls nothing
  unset(0, 1.0);
  EXPECT_EQ(gLog.size(), 1u);
}
