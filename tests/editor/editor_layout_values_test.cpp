// The editor checked against the layout's own numbers: classes, places, images, colours
// and mouse areas are typed here as the layout gives them, so that a slip in the
// editor's tables cannot agree with itself.
#include "editor_harness.h"

#include <memory>
#include <typeinfo>
#include <vector>

using namespace edtest;

namespace
{
// The bitmap a control draws from is kept out of reach; these read it for the test.
struct KnobBitmap : IKnobMultiControlZK
{
  static const IBitmap& Of(const IControl* c)
  {
    return static_cast<const IKnobMultiControlZK*>(c)->*(&KnobBitmap::mBitmap);
  }
};
struct SwitchBitmap : IBitmapControlZK
{
  static const IBitmap& Of(const IControl* c)
  {
    return static_cast<const IBitmapControlZK*>(c)->*(&SwitchBitmap::mBitmap);
  }
};
struct PanelChildren : IPanelControlZK
{
  static const std::vector<std::shared_ptr<IControlZK>>& Of(const IPanelControlZK* p)
  {
    return p->*(&PanelChildren::mChildren);
  }
};

// Width and height of one frame of the strip the build drew for file.
IRECT FrameOf(const char* file, int frames)
{
  std::unique_ptr<LICE_IBitmap> bmp(LICE_LoadPNG((std::string(VORNA_IMAGE_DIR) + "/" + file).c_str()));
  if (!bmp) return IRECT();
  return IRECT(0, 0, bmp->getWidth(), bmp->getHeight() / frames);
}

struct Image
{
  int id;
  const char* file;
  int frames;
};

// The control's image is the one loaded under id from file, with the given frame count.
void ExpectImage(Editor& e, const IControl* c, const IBitmap& b, const Image& img)
{
  const std::string path = std::string("resources/img/") + img.file;
  const IBitmap loaded = e.gui->LoadIBitmap(img.id, path.c_str(), img.frames, false);
  EXPECT_EQ(b.mBitmap, loaded.mBitmap) << img.file;
  EXPECT_EQ(b.N, img.frames) << img.file;
  EXPECT_FALSE(b.mHorizontal) << img.file;
  const IRECT frame = FrameOf(img.file, img.frames);
  ASSERT_GT(frame.W(), 0) << img.file;
  EXPECT_EQ(b.FrameWidth(), frame.W()) << img.file;
  EXPECT_EQ(b.FrameHeight(), frame.H()) << img.file;
  const IRECT body = static_cast<const IControlZK*>(c)->GetBodyRECT();
  EXPECT_EQ(body.W(), frame.W()) << img.file;
  EXPECT_EQ(body.H(), frame.H()) << img.file;
}

void ExpectAt(const IControlZK* c, int x, int y)
{
  EXPECT_EQ(c->GetBodyRECT().L, x);
  EXPECT_EQ(c->GetBodyRECT().T, y);
}

const IColor kCream(255, 255, 252, 232), kVeil(25, 60, 60, 60), kDark(255, 60, 60, 60), kLight(255, 220, 220, 220),
    kGrey(240, 80, 80, 80), kGreen(255, 0, 255, 0), kOrange(255, 255, 127, 0);

void ExpectColours(const IControlZK* c, const IColor* line, const IColor* fill, const IColor* hiLine,
                   const IColor* hiFill)
{
  ASSERT_NE(c, nullptr);
  if (line) { EXPECT_EQ(c->GetColorLine(), *line); }
  if (fill) { EXPECT_EQ(c->GetColorFill(), *fill); }
  if (hiLine) { EXPECT_EQ(c->GetColorHiLine(), *hiLine); }
  if (hiFill) { EXPECT_EQ(c->GetColorHiFill(), *hiFill); }
}

// The empty text line whose body starts at (x, y).
const IControlZK* TextLineAt(Editor& e, int x, int y)
{
  for (int i = 0; i < e.gui->GetNControls(); ++i)
  {
    auto* c = dynamic_cast<ITextControlZK*>(e.gui->GetControl(i));
    if (c && c->GetBodyRECT().L == x && c->GetBodyRECT().T == y) return c;
  }
  return nullptr;
}
}  // namespace

TEST(EditorLayoutValues, SampledRowsHaveTheirClassPlaceAndImage)
{
  Editor e;
  Vorna& plug = *e.plug;

  struct BitmapRow
  {
    int param;
    const std::type_info& type;
    int x, y;
    Image image;
  };
  const BitmapRow knobs[] = {
      {128, typeid(IKnobMultiControlZK), 407, 553, {105, "knob.png", 121}},
      {33, typeid(IKnobMultiControlZK), 49, 325, {112, "knob_small_16.png", 16}},
      {19, typeid(IKnobControlMappedZK), 49, 151, {117, "knob_sym.png", 121}},
      {9, typeid(IKnobMultiControlZK), 233, 18, {122, "bendWindowSize.png", 31}},
      {43, typeid(IKnobMultiControlZK), 286, 470, {118, "knob_noise_color.png", 81}},
      {137, typeid(IKnobMultiControlZK), 473, 458, {131, "knob_smaller_sym.png", 121}},
      {62, typeid(IKnobMultiControlZK), 110, 567, {124, "knob_smaller.png", 121}},
  };
  for (const BitmapRow& row : knobs)
  {
    SCOPED_TRACE(row.param);
    IControlZK* c = e.Control(row.param);
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(typeid(*c) == row.type) << typeid(*c).name();
    ExpectAt(c, row.x, row.y);
    ExpectImage(e, c, KnobBitmap::Of(c), row.image);
  }
  // Every knob shows 5 characters of its value, "hs soft" only 3.
  EXPECT_EQ(static_cast<IKnobMultiControlZK*>(e.Control(62))->GetTextLength(), 3);
  EXPECT_EQ(static_cast<IKnobMultiControlZK*>(e.Control(128))->GetTextLength(), 5);
  EXPECT_EQ(static_cast<IKnobMultiControlZK*>(e.Control(19))->GetTextLength(), 5);

  const BitmapRow switches[] = {
      {129, typeid(IContactControlZK), 305, 563, {111, "MIDIpanic.png", 2}},
      {31, typeid(ISwitchControlZK), 49, 400, {107, "waveform.png", 6}},
      {61, typeid(ISwitchControlZK), 35, 552, {110, "hardsync.png", 3}},
      {84, typeid(ISwitchControlZK), 165, 560, {108, "button_on_off.png", 2}},
      {126, typeid(ISwitchControlZK), 350, 488, {119, "button_on_off_small.png", 2}},
  };
  for (const BitmapRow& row : switches)
  {
    SCOPED_TRACE(row.param);
    IControlZK* c = e.Control(row.param);
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(typeid(*c) == row.type) << typeid(*c).name();
    ExpectAt(c, row.x, row.y);
    ExpectImage(e, c, SwitchBitmap::Of(c), row.image);
  }
  {
    SCOPED_TRACE("osc-2 AM view switch");
    IControlZK* c = plug.GetAMViewSwitch(1);
    EXPECT_TRUE(typeid(*c) == typeid(ISwitchControlWSignalZK));
    EXPECT_EQ(c->ParamIdx(), -140);
    ExpectAt(c, 307, 295);
    ExpectImage(e, c, SwitchBitmap::Of(c), {130, "am_vis_switch.png", 3});
    EXPECT_DOUBLE_EQ(c->GetValue(), 0.5);  // neither AM group shown
  }

  struct ListRow
  {
    int param;
    int x, y;
    std::vector<std::string> names;
  };
  const ListRow lists[] = {
      {135, 4, 365, {"0", "4", "8", "16"}},
      {50, 43, 488, {"osc 1", "flt 1", "o1 env", "in R", "in env"}},
      {20, 43, 208, {"osc 2", "flt 2", "o2 env", "in L", "in env"}},
      {92, 460, 60, {"reson", "simple", "frmnt", "t lad", "d lad"}},
      {38, 232, 320, {"L", "T"}},
  };
  for (const ListRow& row : lists)
  {
    SCOPED_TRACE(row.param);
    IControlZK* c = e.Control(row.param);
    ASSERT_NE(c, nullptr);
    ASSERT_TRUE(typeid(*c) == typeid(IListControlZK)) << typeid(*c).name();
    ExpectAt(c, row.x, row.y);
    EXPECT_EQ(static_cast<IListControlZK*>(c)->GetNames(), row.names);
  }

  struct TextButtonRow
  {
    IControlZK* c;
    const std::type_info& type;
    int id, x, y;
    const char* text;
  };
  const TextButtonRow buttons[] = {
      {e.Control(106), typeid(IButtonTextControlZK), 106, 454, 300, "f"},
      {e.Control(57), typeid(IButtonTextControlZK), 57, 644, 365, "DC"},
      {plug.GetTooltipButton(), typeid(IButtonTextWithSignal), -149, 470, 550, "?"},
      {plug.GetInfoButton(), typeid(IContactTextControlWSignalZK), -148, 490, 550, "i"},
      {plug.GetChanConfigButton(), typeid(IContactTextControlWSignalZK), -149, 510, 550, "R"},
  };
  for (const TextButtonRow& row : buttons)
  {
    SCOPED_TRACE(row.text);
    ASSERT_NE(row.c, nullptr);
    ASSERT_TRUE(typeid(*row.c) == row.type) << typeid(*row.c).name();
    EXPECT_EQ(row.c->ParamIdx(), row.id);
    ExpectAt(row.c, row.x, row.y);
    // One name serves both states.
    EXPECT_EQ(static_cast<IContactTextControlZK*>(row.c)->GetNames(), (std::vector<std::string>{row.text, row.text}));
  }

  // Value fields.
  EXPECT_TRUE(typeid(*e.Control(85)) == typeid(IIntValTextControlZK));
  ExpectAt(e.Control(85), 165, 580);
  EXPECT_TRUE(typeid(*e.Control(36)) == typeid(IIntValTextControlZK));
  ExpectAt(e.Control(36), 161, 301);
  IControlZK* tempo = plug.GetTempoEntry();
  EXPECT_TRUE(typeid(*tempo) == typeid(IFloatValTextCtrlWSignalZK));
  EXPECT_EQ(tempo->ParamIdx(), -144);
  ExpectAt(tempo, 500, 580);
}

TEST(EditorLayoutValues, EveryColouredGroupHasItsColours)
{
  Editor e;
  Vorna& plug = *e.plug;
  for (int p = 0; p < kNumParams; ++p)
  {
    SCOPED_TRACE(p);
    ExpectColours(e.Control(p), &kCream, &kVeil, &kDark, &kCream);
  }
  {
    SCOPED_TRACE("tooltip");
    ExpectColours(plug.GetTooltipControl(), &kDark, &kLight, nullptr, nullptr);
  }
  {
    SCOPED_TRACE("tooltip and channel buttons");
    ExpectColours(plug.GetTooltipButton(), &kCream, &kVeil, &kDark, &kCream);
    ExpectColours(plug.GetChanConfigButton(), &kCream, &kVeil, &kDark, &kCream);
  }
  {
    SCOPED_TRACE("channel panel");
    ExpectColours(plug.GetChanConfigPanel(), &kDark, &kLight, &kLight, &kDark);
    const auto& children = PanelChildren::Of(plug.GetChanConfigPanel());
    EXPECT_GE(children.size(), 5u);  // a caption, texts, three selectors, the mask box
    for (const auto& child : children) ExpectColours(child.get(), &kDark, &kLight, &kLight, &kDark);
    for (int i = 0; i < 3; ++i) ExpectColours(plug.GetInputSelector(i), &kDark, &kLight, &kLight, &kDark);
    ExpectColours(plug.GetMaskInputCheckBox(), &kDark, &kLight, &kLight, &kDark);
  }
  {
    SCOPED_TRACE("info button and tempo entry");
    ExpectColours(plug.GetInfoButton(), &kCream, &kGrey, nullptr, &kCream);
    ExpectColours(plug.GetTempoEntry(), &kCream, &kGrey, nullptr, &kCream);
  }
  {
    SCOPED_TRACE("info panel");
    ExpectColours(plug.GetInfoPanel(), &kDark, &kLight, nullptr, &kDark);
    const auto& children = PanelChildren::Of(plug.GetInfoPanel());
    EXPECT_EQ(children.size(), 5u);  // three links and two texts
    for (const auto& child : children) ExpectColours(child.get(), &kDark, nullptr, nullptr, nullptr);
  }
  {
    SCOPED_TRACE("menu");
    ExpectColours(plug.GetMenuControl(), &kDark, &kLight, &kLight, &kGrey);
  }
  {
    SCOPED_TRACE("text lines");
    ExpectColours(TextLineAt(e, 20, 630), &kGreen, nullptr, nullptr, nullptr);
    ExpectColours(TextLineAt(e, 20, 610), &kOrange, nullptr, nullptr, nullptr);
  }
}

TEST(EditorLayoutValues, NarrowedKnobsTakeTheMouseOnlyInTheirNarrowedArea)
{
  Editor e;
  struct KnobPlace
  {
    int param, x, y;
    const char* file;
  };
  // Right edge 10 pixels left of the frame's.
  const KnobPlace narrowed[] = {
      {128, 407, 553, "knob.png"},    {86, 205, 553, "knob.png"},     {12, 285, 26, "knob.png"},
      {42, 285, 306, "knob.png"},     {15, 285, 80, "knob.png"},      {45, 285, 360, "knob.png"},
      {16, 285, 135, "knob.png"},     {46, 285, 415, "knob.png"},     {17, 334, 26, "knob.png"},
      {47, 334, 306, "knob.png"},     {94, 420, 26, "knob.png"},      {105, 420, 306, "knob.png"},
      {96, 420, 75, "knob.png"},      {107, 420, 355, "knob.png"},    {26, 635, 25, "knob.png"},
      {56, 635, 305, "knob.png"},     {19, 49, 151, "knob_sym.png"},  {49, 49, 431, "knob_sym.png"},
      {5, 128, 26, "knob_sym.png"},   {35, 128, 306, "knob_sym.png"}, {7, 190, 26, "knob_sym.png"},
      {37, 190, 306, "knob_sym.png"}, {25, 685, 25, "knob_sym.png"},  {55, 685, 305, "knob_sym.png"},
  };
  const IRECT big = FrameOf("knob.png", 121), sym = FrameOf("knob_sym.png", 121);
  ASSERT_GT(big.W(), 10);
  ASSERT_GT(sym.W(), 10);
  for (const KnobPlace& k : narrowed)
  {
    SCOPED_TRACE(k.param);
    const IRECT frame = FrameOf(k.file, 121);
    const IRECT expected(k.x, k.y, k.x + frame.W() - 10, k.y + frame.H());
    EXPECT_EQ(*e.Control(k.param)->GetTargetRECT(), expected);
  }
  // The numerators: 8 pixels in at the left, top and bottom, 12 at the right.
  const IRECT num = FrameOf("knob_small_16.png", 16);
  ASSERT_GT(num.W(), 20);
  ASSERT_GT(num.H(), 16);
  EXPECT_EQ(*e.Control(3)->GetTargetRECT(), IRECT(49 + 8, 45 + 8, 49 + num.W() - 12, 45 + num.H() - 8));
  EXPECT_EQ(*e.Control(33)->GetTargetRECT(), IRECT(49 + 8, 325 + 8, 49 + num.W() - 12, 325 + num.H() - 8));
  // A knob left alone takes the mouse over its whole frame.
  const IRECT small = FrameOf("knob_smaller.png", 121);
  EXPECT_EQ(*e.Control(127)->GetTargetRECT(), IRECT(365, 567, 365 + small.W(), 567 + small.H()));
  const IRECT denom = FrameOf("knob_big_16.png", 16);
  EXPECT_EQ(*e.Control(4)->GetTargetRECT(), IRECT(28, 26, 28 + denom.W(), 26 + denom.H()));

  // Showing the value box stretches the area over it; leaving shrinks it back to the
  // narrowed area, not to the full frame.
  for (int p : {128, 3})
  {
    SCOPED_TRACE(p);
    IControlZK* knob = e.Control(p);
    const IRECT before = *knob->GetTargetRECT();
    e.Click((before.L + before.R) / 2, (before.T + before.B) / 2);
    EXPECT_TRUE(knob->mValueShown);
    EXPECT_GT(knob->GetTargetRECT()->B, before.B);
    knob->OnMouseOut();
    EXPECT_EQ(*knob->GetTargetRECT(), before);
  }
}
