// IGraphicsMac's message box on the window layer's presenter: the buttons of each type
// and what each answers by its place.

#include "IGraphicsMac.h"
#include "ctl_test_support.h"
#include "test_editor.h"

using namespace cocoa;

TEST_F(WindowTest, TheEditorsMessageBoxAnswersByTheButtonsPlace)
{
  guitest::GuiPlug plug;
  auto* gui = new IGraphicsMac(&plug, 100, 100);
  plug.AttachGraphics(gui);
  struct Case
  {
    int type;
    const char* press;
    int expected;
  };
  // OK and Cancel: Cancel, in second place, answers 7 as No would.
  const Case cases[] = {{4, "Yes", 1}, {4, "No", 7}, {3, "No", 7}, {3, "Cancel", 2},
                        {1, "OK", 1},  {1, "Cancel", 7}, {0, "OK", 1}, {2, "OK", 1}};
  for (const Case& c : cases)
  {
    bool clicked = false;
    std::string title;
    driver.at(driver.now() + 0.3, [&] {
      title = modalWindow() ? modalWindow()->title().str() : "";
      snapshotForLooking(driver, modalWindow(), "editor_message_box_" + std::to_string(c.type));
      clicked = clickInModal(driver, c.press);
    });
    EXPECT_EQ(gui->ShowMessageBox("Preset saved.", "Vorna", c.type), c.expected) << c.type << " " << c.press;
    EXPECT_TRUE(clicked) << c.type << " " << c.press;
    EXPECT_EQ(title, "Vorna");
  }

  // Escape presses Cancel where there is one and does nothing where there is none.
  driver.at(driver.now() + 0.3, [&] { driver.key(modalWindow(), kVK_Escape); });
  EXPECT_EQ(gui->ShowMessageBox("Discard?", "Vorna", 3), 2);
  bool stillShown = false;
  driver.at(driver.now() + 0.3, [&] { driver.key(modalWindow(), kVK_Escape); });
  driver.at(driver.now() + 0.6, [&] {
    stillShown = modalWindow() != nullptr;
    clickInModal(driver, "No");
  });
  EXPECT_EQ(gui->ShowMessageBox("Discard?", "Vorna", 4), 7);
  EXPECT_TRUE(stillShown);
}

TEST_F(WindowTest, TheEditorsFilePromptOpensTheLayersDialogOnlyWithItsViewOpen)
{
  guitest::GuiPlug plug;
  auto* gui = new IGraphicsMac(&plug, 100, 100);
  plug.AttachGraphics(gui);
  WDL_String file("old name");
  WDL_String folder("/tmp/");
  bool shown = false;
  driver.at(driver.now() + 0.3, [&] { shown = modalWindow() != nullptr; });
  gui->PromptForFile(&file, kFileOpen, &folder, const_cast<char*>("fxp"));
  driver.runFor(0.5);
  EXPECT_FALSE(shown);
  EXPECT_STREQ(file.Get(), "");
  EXPECT_STREQ(folder.Get(), "/tmp/");

  HWND host = topLevel(recorder("host"));
  gui->OpenWindow(windowOf(host)->contentView());
  file.Set("preset");
  std::string title;
  driver.at(driver.now() + 0.3, [&] {
    shown = modalWindow() != nullptr;
    title = shown ? modalWindow()->title().str() : "";
    clickInModal(driver, "Cancel");
  });
  gui->PromptForFile(&file, kFileSave, &folder, const_cast<char*>("fxp"));
  EXPECT_TRUE(shown);
  EXPECT_STREQ(file.Get(), "");
  EXPECT_STREQ(folder.Get(), "/tmp/");
  gui->CloseWindow();
}
