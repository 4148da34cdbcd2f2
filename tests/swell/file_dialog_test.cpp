// The open, save and directory dialogs, driven as a person would: rows chosen in the folder
// list, a name typed, OK or Cancel pressed, while the dialog runs modally.
#include "ctl_test_support.h"

#include "swell-filedlg.h"
#include "swell-listview-view.h"

#include <sys/stat.h>

#include <cstring>
#include <fstream>

using namespace cocoa;

namespace
{
NSView* findTag(NSView* root, NSInteger tag)
{
  if (!root) return nullptr;
  if (root->tag() == tag) return root;
  for (NSView* child : root->subviews())
    if (NSView* found = findTag(child, tag)) return found;
  return nullptr;
}

class FileDialogTest : public WindowTest
{
protected:
  void SetUp() override
  {
    WindowTest::SetUp();
    char pattern[] = "/tmp/vorna-files-XXXXXX";
    dir = mkdtemp(pattern);
    mkdir((dir + "/Samples").c_str(), 0755);
    for (const char* name : {"b.wav", "a.aif", "c.aiff", "notes.txt", ".hidden.wav"}) std::ofstream(dir + "/" + name) << "x";
  }
  void TearDown() override
  {
    std::system(("rm -rf '" + dir + "'").c_str());
    WindowTest::TearDown();
  }

  // While the next dialog runs: look at it, then act on it.
  void whileShown(std::function<void(HWND dialog)> act)
  {
    driver.at(driver.now() + 0.2, [this, act] {
      NSWindow* window = modalWindow();
      ASSERT_NE(window, nullptr);
      act(swellHandleOf(window->contentView()));
    });
  }

  static Swell_vVorna_listview* folderList(HWND dialog)
  {
    return dynamic_cast<Swell_vVorna_listview*>(findTag(swellWindowView(dialog), kFileDialogList));
  }

  static std::vector<std::string> rows(HWND dialog)
  {
    std::vector<std::string> out;
    HWND list = folderList(dialog)->handle();
    for (int i = 0; i < ListView_GetItemCount(list); ++i)
    {
      char text[256];
      ListView_GetItemText(list, i, 0, text, sizeof text);
      out.emplace_back(text);
    }
    return out;
  }

  static void choose(HWND dialog, std::initializer_list<int> chosen)
  {
    HWND list = folderList(dialog)->handle();
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    for (int row : chosen) ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
  }

  static void press(HWND dialog, int id) { SendMessage(dialog, WM_COMMAND, static_cast<WPARAM>(id), 0); }

  std::string dir;
};

constexpr char kFilters[] = "WAV files\0*.wav\0AIFF files\0*.aif;*.aiff\0All files\0*.*\0";
}  // namespace

TEST_F(FileDialogTest, SavingOffersTheTypesAndAddsTheChosenOnesExtension)
{
  std::vector<std::string> shown;
  std::vector<std::string> types;
  int typeChosen = -1;
  std::string nameShown;
  whileShown([&](HWND dialog) {
    shown = rows(dialog);
    NSView* combo = findTag(swellWindowView(dialog), kFileTypeCombo);
    ASSERT_NE(combo, nullptr);
    HWND chooser = swellHandleOf(combo->superview());
    for (int i = 0; i < SWELL_CB_GetNumItems(chooser, kFileTypeCombo); ++i)
    {
      char text[64];
      SWELL_CB_GetItemText(chooser, kFileTypeCombo, i, text, sizeof text);
      types.emplace_back(text);
    }
    typeChosen = SWELL_CB_GetCurSel(chooser, kFileTypeCombo);
    char name[64];
    GetDlgItemText(dialog, kFileDialogName, name, sizeof name);
    nameShown = name;
    snapshotForLooking(driver, modalWindow(), "file_dialog_save");
    SetDlgItemText(dialog, kFileDialogName, "mix");
    press(dialog, IDOK);
  });
  char path[512] = "unchanged";
  const std::string initial = dir + "/take.aif";
  EXPECT_NE(BrowseForSaveFile("Save Render", nullptr, initial.c_str(), kFilters, path, sizeof path), 0);
  EXPECT_EQ(std::string(path), dir + "/mix.aif");
  // "All files" is no choice of its own; the initial file's type is chosen and comes first
  // among the allowed ones (the name got it), the others staying allowed.
  EXPECT_EQ(types, (std::vector<std::string>{"WAV files", "AIFF files"}));
  EXPECT_EQ(typeChosen, 1);
  EXPECT_EQ(nameShown, "take.aif");
  EXPECT_EQ(shown, (std::vector<std::string>{"..", "Samples/", "a.aif", "b.wav", "c.aiff"}));

  // One type: no chooser. Choosing a file takes its name; Cancel gives nothing.
  bool hadChooser = true;
  whileShown([&](HWND dialog) {
    hadChooser = findTag(swellWindowView(dialog), kFileTypeCombo) != nullptr;
    choose(dialog, {2});
    char name[64];
    GetDlgItemText(dialog, kFileDialogName, name, sizeof name);
    nameShown = name;
    press(dialog, IDCANCEL);
  });
  EXPECT_EQ(BrowseForSaveFile("Save", dir.c_str(), nullptr, "WAV\0*.wav\0", path, sizeof path), 0);
  EXPECT_FALSE(hadChooser);
  EXPECT_EQ(nameShown, "b.wav");
}

TEST_F(FileDialogTest, OpeningGoesIntoFoldersAndGivesOneOrSeveralFiles)
{
  std::ofstream(dir + "/Samples/kick.wav") << "x";
  std::vector<std::string> inside;
  whileShown([&](HWND dialog) {
    // A double click on Samples/ goes into it.
    Swell_vVorna_listview* list = folderList(dialog);
    NSWindow* window = modalWindow();
    const NSPoint base = list->convertPointToView(NSMakePoint(30, NSMidY(list->rectOfRow(1))), nullptr);
    driver.doubleClick(window, NSMakePoint(base.x, window->contentView()->frame().size.height - base.y));
    // The clicks wait for the dialog's loop to take them.
    driver.at(driver.now() + 0.2, [&inside, dialog] {
      inside = rows(dialog);
      choose(dialog, {1});
      press(dialog, IDOK);
    });
  });
  char* one = BrowseForFiles("Open", dir.c_str(), nullptr, false, "WAV\0*.wav\0");
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(inside, (std::vector<std::string>{"..", "kick.wav"}));
  EXPECT_EQ(std::string(one), dir + "/Samples/kick.wav");
  EXPECT_EQ(one[std::strlen(one) + 1], 0);
  std::free(one);

  whileShown([&](HWND dialog) {
    choose(dialog, {2, 3});
    press(dialog, IDOK);
  });
  char* several = BrowseForFiles("Open", dir.c_str(), nullptr, true, kFilters);
  ASSERT_NE(several, nullptr);
  EXPECT_EQ(several[0], 0);
  const char* first = several + 1;
  const char* second = first + std::strlen(first) + 1;
  EXPECT_EQ(std::string(first), dir + "/a.aif");
  EXPECT_EQ(std::string(second), dir + "/b.wav");
  EXPECT_EQ(second[std::strlen(second) + 1], 0);
  std::free(several);

  whileShown([&](HWND dialog) { press(dialog, IDCANCEL); });
  EXPECT_EQ(BrowseForFiles("Open", dir.c_str(), nullptr, true, kFilters), nullptr);
  // A file right under the root opens in the root.
  whileShown([&](HWND dialog) {
    char folder[64];
    GetDlgItemText(dialog, kFileDialogFolderLabel, folder, sizeof folder);
    inside = {folder};
    press(dialog, IDCANCEL);
  });
  BrowseForFiles("Open", dir.c_str(), "/x.wav", false, nullptr);
  EXPECT_EQ(inside, std::vector<std::string>{"/"});
}

TEST_F(FileDialogTest, ADirectoryIsTheChosenFolderOrTheOneShownAndAnAccessoryComesOnce)
{
  static int accessoryInits = 0;
  static int accessoryDestroys = 0;
  static SWELL_DialogResourceIndex accessory = {"accessory", "", 0x1 | 0x4, [](HWND view, int) {
    SWELL_MakeSetCurParms(1, 1, 0, 0, view, false, false);
    SWELL_MakeCheckBox("Normalize", 300, 0, 0, 120, 20, 0);
    SWELL_MakeSetCurParms(1, 1, 0, 0, nullptr, false, false);
  }, 400, 24, nullptr};
  BrowseFile_SetTemplate(accessory.resid, [](HWND, UINT msg, WPARAM, LPARAM) -> LRESULT {
    accessoryInits += msg == WM_INITDIALOG;
    accessoryDestroys += msg == WM_DESTROY;
    return 0;
  }, &accessory);
  std::vector<std::string> shown;
  bool hasCheckBox = false;
  whileShown([&](HWND dialog) {
    shown = rows(dialog);
    hasCheckBox = findTag(swellWindowView(dialog), 300) != nullptr;
    choose(dialog, {1});
    press(dialog, IDOK);
  });
  char path[512];
  EXPECT_EQ(BrowseForDirectory("Choose", dir.c_str(), path, sizeof path), 1);
  EXPECT_EQ(std::string(path), dir + "/Samples");
  EXPECT_EQ(shown, (std::vector<std::string>{"..", "Samples/"}));
  EXPECT_TRUE(hasCheckBox);
  EXPECT_EQ(accessoryInits, 1);
  EXPECT_EQ(accessoryDestroys, 1);

  // Nothing chosen: the folder shown. The template was for one dialog only.
  whileShown([&](HWND dialog) {
    hasCheckBox = findTag(swellWindowView(dialog), 300) != nullptr;
    press(dialog, IDOK);
  });
  EXPECT_EQ(BrowseForDirectory("Choose", dir.c_str(), path, 8), 1);
  EXPECT_EQ(std::string(path), dir.substr(0, 7));
  EXPECT_FALSE(hasCheckBox);
}

TEST(FileDialogExtensions, TheChosenTypeComesFirstAndWildcardsAreLeftOut)
{
  EXPECT_EQ(swellExtensionsFromList(kFilters, nullptr), (std::vector<std::string>{"wav", "aif", "aiff"}));
  EXPECT_EQ(swellExtensionsFromList(kFilters, "aif;*.aiff"), (std::vector<std::string>{"aif", "wav", "aiff"}));
  EXPECT_EQ(swellExtensionsFromList(kFilters, "AIFF"), (std::vector<std::string>{"aiff", "wav", "aif"}));
  EXPECT_TRUE(swellExtensionsFromList("All\0*.*\0", nullptr).empty());
  EXPECT_TRUE(swellExtensionsFromList(nullptr, nullptr).empty());
  const std::string longOne = std::string("Long\0*.", 7) + std::string(40, 'x') + std::string("\0", 2);
  EXPECT_EQ(swellExtensionsFromList(longOne.c_str(), nullptr), std::vector<std::string>{std::string(31, 'x')});
}
