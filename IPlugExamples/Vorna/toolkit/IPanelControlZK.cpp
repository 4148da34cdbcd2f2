#include "IPanelControlZK.h"

#include "CZK.h"
#include "IGraphics.h"

#include <utility>

namespace
{
const IColor kShadow(60, 0, 0, 0);
const IRECT kNowhere(-1, -1, -1, -1);
}  // namespace

IPanelControlZK::~IPanelControlZK()
{
  while (!mChildren.empty()) mChildren.pop_back();
}

IControlZK* IPanelControlZK::TopmostHit(int x, int y) const
{
  for (auto it = mChildren.rbegin(); it != mChildren.rend(); ++it)
    if ((*it)->IsHit(x, y)) return it->get();
  return nullptr;
}

void IPanelControlZK::OpenPanel()
{
  mTargetRect = EditorRECT();
  mRect = IRECT(mPanelRECT.L, mPanelRECT.T, mPanelRECT.R + mShadowSize, mPanelRECT.B + mShadowSize);
  mPanelShown = true;
  mRedraw = true;
  MarkDirty();
}

void IPanelControlZK::ClosePanel()
{
  mRect = EditorRECT();
  mCaptured = mHovered = nullptr;
  mPanelShown = false;
  mRedraw = true;
  MarkDirty();
}

void IPanelControlZK::OnMouseDown(int x, int y, IMouseMod* mod)
{
  mCaptured = nullptr;
  mLastX = mLastY = -1;
  if (IControlZK* child = TopmostHit(x, y))
  {
    mCaptured = child;
    mLastX = x;
    mLastY = y;
    child->OnMouseDown(x, y, mod);
    TakeDirt(child);
    return;
  }
  if (!mRect.Contains(x, y)) ClosePanel();
}

// A child's handler may close the panel (a "Done" button does), which lets go of the
// capture and the hover: the panel works on its own copy of the pointer. Children are
// never taken out, so the child itself lives on.
void IPanelControlZK::OnMouseUp(int x, int y, IMouseMod* mod)
{
  IControlZK* captured = std::exchange(mCaptured, nullptr);
  mLastX = mLastY = -1;
  if (captured)
  {
    captured->OnMouseUp(x, y, mod);
    TakeDirt(captured);
  }
}

void IPanelControlZK::OnMouseDrag(int x, int y, int, int, IMouseMod* mod)
{
  IControlZK* captured = mCaptured;
  if (!captured) return;
  const int dx = x - mLastX, dy = y - mLastY;
  if (dx == 0 && dy == 0) return;
  mLastX = x;
  mLastY = y;
  captured->OnMouseDrag(x, y, dx, dy, mod);
  TakeDirt(captured);
}

void IPanelControlZK::OnMouseDblClick(int x, int y, IMouseMod* mod)
{
  if (IControlZK* child = TopmostHit(x, y))
  {
    child->OnMouseDblClick(x, y, mod);
    TakeDirt(child);
  }
}

void IPanelControlZK::OnMouseWheel(int x, int y, IMouseMod* mod, int d)
{
  if (IControlZK* child = TopmostHit(x, y))
  {
    child->OnMouseWheel(x, y, mod, d);
    TakeDirt(child);
  }
}

bool IPanelControlZK::OnKeyDown(int x, int y, int key)
{
  IControlZK* child = TopmostHit(x, y);
  return child && child->OnKeyDown(x, y, key);
}

void IPanelControlZK::OnMouseOver(int x, int y, IMouseMod* mod)
{
  IControlZK* found = TopmostHit(x, y);
  if (found)
  {
    mLastX = x;
    mLastY = y;
  }
  IControlZK* previous = std::exchange(mHovered, found);
  if (previous)
  {
    if (previous != found) previous->OnMouseOut();
    TakeDirt(previous);
  }
  if (found)
  {
    found->OnMouseOver(x, y, mod);
    TakeDirt(found);
  }
}

void IPanelControlZK::OnMouseOut()
{
  mHovered = nullptr;
  // By index: a child's handler may add a child.
  for (size_t i = 0; i < mChildren.size(); ++i)
  {
    const std::shared_ptr<IControlZK> child = mChildren[i];
    child->OnMouseOut();
    TakeDirt(child.get());
  }
}

bool IPanelControlZK::Draw(IGraphics* graphics)
{
  if (mPanelShown)
  {
    const int s = mShadowSize;
    const IRECT& p = mPanelRECT;
    IRECT shadowRight(p.R, p.T + s, p.R + s, p.B + s), shadowBelow(p.L + s, p.B, p.R, p.B + s), box = p;
    graphics->FillIRect(&kShadow, &shadowRight, &mBlend);
    graphics->FillIRect(&kShadow, &shadowBelow, &mBlend);
    graphics->FillIRect(&mColorFill, &box, &mBlend);
    graphics->DrawRect(&mColorLine, &box);
    // The children are the panel's alone: it cleans them after drawing, as the editor
    // does its own controls, and a child that asks for another frame gets it.
    for (const auto& child : mChildren)
    {
      child->Draw(graphics);
      child->SetClean();
      if (child->IsDirty()) mRedraw = true;
    }
  }
  else if (mRedraw)
  {
    // Closed: the editor under the box is being repainted now; the rectangles collapse.
    // (Nothing needs clearing: the redraw cycle repaints what lies under the area.)
    mTargetRect = kNowhere;
    mRect = mPanelRECT = mBodyRECT;
    MarkDirty();
  }
  return true;
}

void IPanelControlZK::ShiftControlBy(int dx, int dy)
{
  mBodyRECT = CZK::Moved(mBodyRECT, dx, dy);
  mPanelRECT = CZK::Moved(mPanelRECT, dx, dy);
  for (const auto& child : mChildren) child->ShiftControlBy(dx, dy);
}

void IPanelControlZK::SetSize(int w, int h)
{
  mPanelRECT.R = mPanelRECT.L + w;
  mPanelRECT.B = mPanelRECT.T + h;
  mBodyRECT = mPanelRECT;
}

void IPanelControlZK::PositionControlAround(int x, int y)
{
  ShiftControlBy(x - mBodyRECT.L - mBodyRECT.W() / 2, y - mBodyRECT.T - mBodyRECT.H() / 2);
}

void IPanelControlZK::StretchRectToContainAll(int margin)
{
  mMargin = margin;
  if (!mChildren.empty())
  {
    IRECT all;
    for (const auto& child : mChildren) all = all.Union(*child->GetRECT());
    mPanelRECT = CZK::Grown(all, margin);
  }
  mBodyRECT = mPanelRECT;
}

void IPanelControlZK::AlignAllHorisontalCenter()
{
  const int centre = (mPanelRECT.L + mPanelRECT.R) / 2;
  for (const auto& child : mChildren)
    child->ShiftControlBy(centre - static_cast<int>((child->L() + child->R()) * 0.5), 0);
}
