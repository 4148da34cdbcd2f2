// Autorelease pools and event dispatch for code that runs outside the application's loop.
#include "swell-kernel.h"

#include "platform/appkit/application.h"
#include "platform/testing/test_driver.h"

#include <gtest/gtest.h>

namespace
{
class CountedObject : public cocoa::NSObject
{
public:
  explicit CountedObject(int& deallocs) : m_deallocs(deallocs) {}

protected:
  void dealloc() override { ++m_deallocs; }

private:
  int& m_deallocs;
};
}  // namespace

TEST(RunEvents, PoolsReleaseTheirObjectsAndEventsGoOutAHundredAtATime)
{
  cocoa::TestDriver driver;
  int deallocs = 0;
  void* pool = SWELL_InitAutoRelease();
  ASSERT_NE(pool, nullptr);
  (new CountedObject(deallocs))->autorelease();
  EXPECT_EQ(deallocs, 0);
  SWELL_QuitAutoRelease(pool);
  EXPECT_EQ(deallocs, 1);
  SWELL_QuitAutoRelease(nullptr);

  cocoa::NSApplication* application = cocoa::NSApp();
  for (int i = 0; i < 150; ++i)
  {
    cocoa::NSEventFields fields;
    fields.data1 = i;
    application->postEvent(cocoa::NSEvent::eventWithFields(fields), false);
  }
  SWELL_RunEvents();
  EXPECT_EQ(application->queuedEventCount(), 50u);
  SWELL_RunEvents();
  EXPECT_EQ(application->queuedEventCount(), 0u);
  SWELL_RunEvents();  // nothing pending: returns after one short wait
}
