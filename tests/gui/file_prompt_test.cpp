// The editor's file prompt on the window layer's dialogs: where it starts, what it suggests
// and allows, and what OK and Cancel leave in the file and folder strings.
#include "IGraphicsFilePrompt.h"
#include "wdlstring.h"

#include "swell-dlg.h"
#include "swell-filedlg.h"
#include "swell-listview-view.h"
#include "swell-wnd.h"

#include "platform/appkit/application.h"
#include "platform/appkit/window.h"
#include "platform/foundation/autorelease_pool.h"
#include "platform/testing/test_driver.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <functional>

using namespace cocoa;

namespace
{
class FilePromptTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    char pattern[] = "/tmp/vorna-prompt-XXXXXX";
    dir = mkdtemp(pattern);
    for (const char* name : {"a.fxp", "b.fxb", "c.txt"}) std::ofstream(dir + "/" + name) << "x";
  }
  void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

  // While the next dialog runs.
  void whileShown(std::function<void(HWND dialog)> act)
  {
    driver.at(driver.now() + 0.2, [act] {
      NSWindow* window = NSApp()->modalWindow();
      ASSERT_NE(window, nullptr);
      act(swellHandleOf(window->contentView()));
    });
  }

  static std::vector<std::string> rows(HWND dialog)
  {
    std::vector<std::string> out;
    HWND list = GetDlgItem(dialog, kFileDialogList);
    for (int i = 0; i < ListView_GetItemCount(list); ++i)
    {
      char text[256];
      ListView_GetItemText(list, i, 0, text, sizeof text);
      out.emplace_back(text);
    }
    return out;
  }

  std::string dir;
  NSAutoreleasePool pool;
  TestDriver driver;
};
}  // namespace

TEST_F(FilePromptTest, SavingSuggestsTheNameAndOkGivesThePathAndItsFolder)
{
  WDL_String file("patch");
  WDL_String folder((dir + "/").c_str());
  std::vector<std::string> shown;
  std::string suggested;
  whileShown([&](HWND dialog) {
    shown = rows(dialog);
    char name[64];
    GetDlgItemText(dialog, kFileDialogName, name, sizeof name);
    suggested = name;
    SendMessage(dialog, WM_COMMAND, IDOK, 0);
  });
  PromptForFileWithWindowLayer(&file, kFileSave, &folder, "fxp fxb");
  EXPECT_EQ(suggested, "patch");
  EXPECT_EQ(shown, (std::vector<std::string>{"..", "a.fxp", "b.fxb"}));
  EXPECT_EQ(std::string(file.Get()), dir + "/patch.fxp");
  EXPECT_EQ(std::string(folder.Get()), dir + "/");

  // Cancel: no file, the folder kept.
  whileShown([](HWND dialog) { SendMessage(dialog, WM_COMMAND, IDCANCEL, 0); });
  PromptForFileWithWindowLayer(&file, kFileOpen, &folder, "fxp");
  EXPECT_STREQ(file.Get(), "");
  EXPECT_EQ(std::string(folder.Get()), dir + "/");
}

TEST_F(FilePromptTest, WithoutAFolderItStartsOnTheDesktopAndSaysSo)
{
  const std::string home = dir;
  mkdir((home + "/Desktop").c_str(), 0755);
  std::ofstream(home + "/Desktop/d.fxp") << "x";
  const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
  setenv("HOME", home.c_str(), 1);
  WDL_String file;
  WDL_String folder;
  std::vector<std::string> shown;
  whileShown([&](HWND dialog) {
    shown = rows(dialog);
    ListView_SetItemState(GetDlgItem(dialog, kFileDialogList), 1, LVIS_SELECTED, LVIS_SELECTED);
    SendMessage(dialog, WM_COMMAND, IDOK, 0);
  });
  PromptForFileWithWindowLayer(&file, kFileOpen, &folder, "fxp");
  setenv("HOME", oldHome.c_str(), 1);
  EXPECT_EQ(shown, (std::vector<std::string>{"..", "d.fxp"}));
  EXPECT_EQ(std::string(file.Get()), home + "/Desktop/d.fxp");
  EXPECT_EQ(std::string(folder.Get()), home + "/Desktop/");
}
