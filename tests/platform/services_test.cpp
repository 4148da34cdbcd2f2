#include "platform/appkit/application.h"
#include "platform/appkit/cursor.h"
#include "platform/appkit/dragging.h"
#include "platform/appkit/pasteboard.h"
#include "platform/appkit/screen.h"
#include "platform/appkit/view.h"
#include "platform/appkit/window.h"
#include "platform/appkit/workspace.h"
#include "platform/testing/test_driver.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace cocoa;

TEST(Pasteboard, TextGoesToTheSystemClipboardAndComesBackFromIt)
{
  TestDriver driver;
  NSPasteboard* general = NSPasteboard::generalPasteboard();
  general->declareTypes({NSPasteboardTypeString, "SWELL_APP_FORMAT"});
  general->setString("hello", NSPasteboardTypeString);
  general->setData({1, 2, 3}, "SWELL_APP_FORMAT");
  EXPECT_EQ(driver.backend().clipboardText(), std::optional<std::string>("hello"));
  EXPECT_EQ(general->stringForType(NSPasteboardTypeString)->str(), "hello");
  EXPECT_EQ(general->dataForType("SWELL_APP_FORMAT")->size(), 3u);

  // Another program copies: its text wins and this process's private data is gone.
  const NSInteger count = general->changeCount();
  driver.backend().setClipboardText("from elsewhere");
  EXPECT_EQ(general->stringForType(NSPasteboardTypeString)->str(), "from elsewhere");
  EXPECT_FALSE(general->dataForType("SWELL_APP_FORMAT").has_value());
  EXPECT_GT(general->changeCount(), count);

  // Named pasteboards stay in the process.
  NSPasteboard* own = NSPasteboard::pasteboardWithName("SWELL_APP");
  EXPECT_EQ(NSPasteboard::pasteboardWithName("SWELL_APP"), own);
  own->setString("private", NSPasteboardTypeString);
  EXPECT_EQ(driver.backend().clipboardText(), std::optional<std::string>("from elsewhere"));
  EXPECT_EQ(own->availableTypeFromArray({"x", NSPasteboardTypeString}).value(), NSString(NSPasteboardTypeString));
}

namespace
{
class DropView : public NSView, public NSDraggingDestination
{
public:
  using NSView::NSView;
  unsigned draggingEntered(NSDraggingInfo* info) override
  {
    note("entered", info);
    return accept ? NSDragOperationCopy : NSDragOperationNone;
  }
  void draggingExited(NSDraggingInfo* info) override { note("exited", info); }
  bool performDragOperation(NSDraggingInfo* info) override
  {
    note("dropped", info);
    files = info->draggingPasteboard()->propertyListForType(NSFilenamesPboardType);
    return true;
  }
  void note(const char* what, NSDraggingInfo* info)
  {
    const NSPoint p = info->draggingLocation();
    log.push_back(std::string(what) + " " + std::to_string(int(p.x)) + "," + std::to_string(int(p.y)));
  }
  bool accept = true;
  std::vector<NSString> files;
  std::vector<std::string> log;
};

// Turns its answer down once the drag reaches its right half.
class PickyDropView : public DropView
{
public:
  using DropView::DropView;
  unsigned draggingUpdated(NSDraggingInfo* info) override
  {
    note("updated", info);
    return info->draggingLocation().x < 50 ? NSDragOperationCopy : NSDragOperationNone;
  }
};
}  // namespace

TEST(Dragging, DroppedFilesReachTheRegisteredViewUnderThePointer)
{
  TestDriver driver;
  NSWindow* window = new NSWindow(NSMakeRect(0, 0, 200, 100), NSWindowStyleMaskBorderless);
  auto* target = new DropView(NSMakeRect(0, 0, 100, 100));
  auto* inner = new NSView(NSMakeRect(10, 10, 20, 20));
  target->addSubview(inner);
  window->contentView()->addSubview(target);
  inner->release();
  target->release();
  target->registerForDraggedTypes({NSFilenamesPboardType});
  window->backendFilesDropped({"/tmp/a.fxp", "/tmp/b.fxb"}, NSMakePoint(15, 15));  // on the inner view
  EXPECT_EQ(target->files, (std::vector<NSString>{"/tmp/a.fxp", "/tmp/b.fxb"}));
  target->files.clear();
  window->backendFilesDropped({"/tmp/c"}, NSMakePoint(150, 50));  // outside
  target->accept = false;
  window->backendFilesDropped({"/tmp/d"}, NSMakePoint(50, 50));  // refused
  EXPECT_TRUE(target->files.empty());
  window->close();
}

TEST(Dragging, DestinationsFollowADragAcrossTheWindowAndTheirLastAnswerDecidesTheDrop)
{
  TestDriver driver;
  NSWindow* window = new NSWindow(NSMakeRect(0, 0, 200, 100), NSWindowStyleMaskBorderless);
  auto* picky = new PickyDropView(NSMakeRect(0, 0, 100, 100));
  auto* plain = new DropView(NSMakeRect(100, 0, 100, 100));
  for (DropView* view : {static_cast<DropView*>(picky), plain})
  {
    window->contentView()->addSubview(view);
    view->release();
    view->registerForDraggedTypes({NSFilenamesPboardType});
  }
  // Window pixels count y from the top: y 50 is base 50 here.
  driver.dragFiles(window, {"/tmp/a.wav"}, NSMakePoint(10, 50), NSMakePoint(40, 50), 2);
  EXPECT_EQ(picky->log, (std::vector<std::string>{"entered 10,50", "updated 25,50", "updated 40,50", "dropped 40,50"}));
  EXPECT_EQ(picky->files, (std::vector<NSString>{"/tmp/a.wav"}));

  // Turned down on the way: the drop is refused there.
  picky->log.clear();
  picky->files.clear();
  driver.dragFiles(window, {"/tmp/b.wav"}, NSMakePoint(40, 50), NSMakePoint(80, 50), 1);
  EXPECT_EQ(picky->log, (std::vector<std::string>{"entered 40,50", "updated 80,50", "exited 80,50"}));
  EXPECT_TRUE(picky->files.empty());

  // Across into the other view, which keeps its first answer, then away.
  picky->log.clear();
  driver.dragFiles(window, {"/tmp/c.wav"}, NSMakePoint(90, 50), NSMakePoint(150, 50), 2, false);
  EXPECT_EQ(picky->log, (std::vector<std::string>{"entered 90,50", "exited 90,50"}));
  EXPECT_EQ(plain->log, (std::vector<std::string>{"entered 120,50", "exited 150,50"}));
  plain->log.clear();
  driver.dragFiles(window, {"/tmp/d.wav"}, NSMakePoint(120, 50), NSMakePoint(150, 50), 3);
  EXPECT_EQ(plain->log, (std::vector<std::string>{"entered 120,50", "dropped 150,50"}));
  window->close();
}

TEST(Cursors, SettingHidingAndMovingThePointer)
{
  TestDriver driver;
  NSCursor::IBeamCursor()->set();
  EXPECT_EQ(NSCursor::currentCursor(), NSCursor::IBeamCursor());
  EXPECT_EQ(driver.backend().cursor(), NSCursor::IBeamCursor());
  NSCursor::hide();
  NSCursor::hide();
  NSCursor::unhide();
  EXPECT_FALSE(driver.backend().cursorVisible());  // hides nest
  NSCursor::unhide();
  EXPECT_TRUE(driver.backend().cursorVisible());
  NSCursor::unhide();  // one too many: no effect on the next hide
  NSCursor::hide();
  EXPECT_FALSE(driver.backend().cursorVisible());
  NSCursor::unhide();

  // Quartz positions count down from the top of the main screen.
  CGWarpMouseCursorPosition(CGPointMake(100, 30));
  EXPECT_EQ(NSEvent::mouseLocation(), NSMakePoint(100, CGDisplayPixelsHigh(CGMainDisplayID()) - 30));
  CGAssociateMouseAndMouseCursorPosition(false);
  EXPECT_TRUE(driver.backend().pointerDetached());
  CGAssociateMouseAndMouseCursorPosition(true);

  auto* custom = new NSCursor(std::vector<uint32_t>(16 * 16, 0xFF000000), 16, 16, NSMakePoint(8, 8));
  EXPECT_EQ(custom->shape(), NSCursor::Shape::custom);
  custom->set();
  EXPECT_EQ(driver.backend().cursor(), custom);
  NSCursor::arrowCursor()->set();
  custom->release();
  auto* broken = new NSCursor({1, 2, 3}, 16, 16, NSPoint{});  // fewer pixels than its size
  EXPECT_EQ(broken->shape(), NSCursor::Shape::arrow);
  broken->release();
}

TEST(Screens, TheMainScreenComesFirstAndItsVisibleFrameIsInside)
{
  TestDriver driver;
  NSScreen* main = NSScreen::mainScreen();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->frame().origin, NSMakePoint(0, 0));
  EXPECT_TRUE(NSContainsRect(main->frame(), main->visibleFrame()));
  EXPECT_EQ(NSScreen::screenContainingPoint(NSMakePoint(-5000, 0))->frame(), main->frame());
}

TEST(Workspace, ProgramsStartWithoutWaitingAndAreCollectedWhenTheyEnd)
{
  TestDriver driver;
  // A stand-in for the desktop's opener that writes down what it was asked to open.
  char folder[] = "/tmp/vorna-workspace-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string opener = std::string(folder) + "/xdg-open";
  const std::string record = std::string(folder) + "/opened";
  std::ofstream(opener) << "#!/bin/sh\necho \"$1\" > " << record << "\n";
  chmod(opener.c_str(), 0755);
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (std::string(folder) + ":" + oldPath).c_str(), 1);

  EXPECT_TRUE(NSWorkspace::sharedWorkspace()->openURL("https://example.org/vorna"));
  EXPECT_FALSE(NSWorkspace::sharedWorkspace()->launchProgram({"vorna-no-such-program"}));
  EXPECT_FALSE(NSWorkspace::sharedWorkspace()->openURL(""));
  for (int i = 0; i < 500 && runningLaunchedProgramCount() > 0; ++i)
  {
    usleep(10000);
    driver.runFor(0.01);  // the loop collects ended programs before it waits
  }
  EXPECT_EQ(runningLaunchedProgramCount(), 0u);
  std::string opened;
  std::getline(std::ifstream(record), opened);
  EXPECT_EQ(opened, "https://example.org/vorna");

  setenv("PATH", oldPath.c_str(), 1);
  unlink(record.c_str());
  unlink(opener.c_str());
  rmdir(folder);
}

TEST(TestDriverSnapshots, AWindowIsWrittenAsAPngOfItsFrame)
{
  TestDriver driver;
  NSWindow* window = new NSWindow(NSMakeRect(0, 0, 120, 80), NSWindowStyleMaskTitled);
  window->orderFront(nullptr);
  const std::string path = testing::TempDir() + "/vorna-window.png";
  ASSERT_TRUE(driver.snapshot(window, path));
  std::ifstream png(path, std::ios::binary);
  unsigned char header[24] = {};
  png.read(reinterpret_cast<char*>(header), sizeof header);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(header) + 1, 3), "PNG");
  // The IHDR chunk: width and height, big-endian, the strip included.
  EXPECT_EQ((header[16] << 24) | (header[17] << 16) | (header[18] << 8) | header[19], 120);
  EXPECT_EQ((header[20] << 24) | (header[21] << 16) | (header[22] << 8) | header[23], 102);
  std::remove(path.c_str());
  window->close();
}
