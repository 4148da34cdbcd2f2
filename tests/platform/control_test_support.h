#pragma once

// A key window with a flipped content view for tests of the native controls, driven
// headless through the TestDriver.

#include "platform/appkit/action.h"
#include "platform/appkit/view.h"
#include "platform/appkit/window.h"
#include "platform/testing/test_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace controls_test
{
class FlippedView : public cocoa::NSView
{
public:
  using NSView::NSView;
  bool isFlipped() const override { return true; }
};

// Records the actions it is sent, with the sender.
class ActionLog : public cocoa::NSObject, public cocoa::ActionTarget
{
public:
  bool performAction(cocoa::Action action, cocoa::NSObject* sender) override
  {
    actions.push_back(action);
    senders.push_back(sender);
    return true;
  }
  std::vector<cocoa::Action> actions;
  std::vector<cocoa::NSObject*> senders;
};

class ControlWindow : public ::testing::Test
{
protected:
  static constexpr double kWidth = 400;
  static constexpr double kHeight = 300;

  void SetUp() override
  {
    window = new cocoa::NSWindow(cocoa::NSMakeRect(100, 100, kWidth, kHeight), cocoa::NSWindowStyleMaskTitled);
    root = new FlippedView(cocoa::NSMakeRect(0, 0, kWidth, kHeight));
    window->setContentView(root);
    root->release();
    window->makeKeyAndOrderFront(nullptr);
    log = cocoa::StrongRef<ActionLog>::adopt(new ActionLog);
  }
  void TearDown() override { window->close(); }

  // Adds the view to the content view, which keeps it.
  template <class T>
  T* add(T* view)
  {
    root->addSubview(view);
    view->release();
    return view;
  }

  // A point of a view (its own coordinates) as the driver takes it: window pixels of
  // the content, y down.
  cocoa::NSPoint pixelOf(cocoa::NSView* view, cocoa::NSPoint local) const
  {
    const cocoa::NSPoint base = view->convertPointToView(local, nullptr);
    return cocoa::NSMakePoint(base.x, kHeight - base.y);
  }
  cocoa::NSPoint centreOf(cocoa::NSView* view) const
  {
    const cocoa::NSRect b = view->bounds();
    return pixelOf(view, cocoa::NSMakePoint(cocoa::NSMidX(b), cocoa::NSMidY(b)));
  }
  void click(cocoa::NSView* view, cocoa::NSPoint local) { driver.click(window, pixelOf(view, local)); }

  cocoa::TestDriver driver;
  cocoa::NSWindow* window = nullptr;
  cocoa::NSView* root = nullptr;
  cocoa::StrongRef<ActionLog> log;
};
}  // namespace controls_test
