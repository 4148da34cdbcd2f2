#pragma once

// A pop-up box over the editor that holds, draws and feeds its own child controls
// (which are never attached to the editor themselves). While open it takes every
// click of the editor; a click outside its box, on no child, closes it.

#include "IControlZK.h"

#include <memory>
#include <vector>

class IPanelControlZK : public IControlZK
{
public:
  explicit IPanelControlZK(IPlugBase* plug, IRECT rect = IRECT()) : IControlZK(plug, rect), mPanelRECT(rect)
  {
    SetColorLine(IColor(255, 255, 132, 132));
    SetColorFill(IColor(255, 40, 40, 40));
    mTargetRect = IRECT(-1, -1, -1, -1);
  }
  ~IPanelControlZK() override;

  // The mouse goes to the topmost child under it (the last added on top); a child's
  // change marks the panel for redraw.
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseUp(int x, int y, IMouseMod* mod) override;
  // Steps are measured from the panel's own last position, so a repeated position is dropped.
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override;
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d) override;
  bool OnKeyDown(int x, int y, int key) override;
  void OnMouseOver(int x, int y, IMouseMod* mod) override;
  void OnMouseOut() override;
  bool Draw(IGraphics* graphics) override;
  // Moves the box and every child; the panel's own drawing and target rectangles stay.
  void ShiftControlBy(int dx, int dy) override;

  // The box's size from its top left.
  virtual void SetSize(int w, int h);
  // Centres the box on (x, y).
  virtual void PositionControlAround(int x, int y);
  // The box round every child's drawing rectangle, margin pixels wider on each side.
  void StretchRectToContainAll(int margin);
  // Centres every child horizontally in the box.
  void AlignAllHorisontalCenter();

  // Later children are drawn over earlier ones; a null child is not taken.
  void AddChild(std::shared_ptr<IControlZK> child)
  {
    if (child) mChildren.push_back(std::move(child));
  }
  // Open: every click of the editor reaches the panel. Closed: the whole editor is
  // repainted without it, and its next drawing collapses its rectangles.
  void OpenPanel();
  void ClosePanel();

  bool IsPanelShown() const { return mPanelShown; }
  const IRECT& GetPanelRECT() const { return mPanelRECT; }
  IControlZK* GetCaptured() const { return mCaptured; }
  IControlZK* GetHovered() const { return mHovered; }

protected:
  IControlZK* TopmostHit(int x, int y) const;
  void TakeDirt(IControl* child)
  {
    if (child->IsDirty()) MarkDirty();
  }

  bool mPanelShown = false;
  int mShadowSize = 10;
  int mMargin = 0;
  IRECT mPanelRECT;
  int mLastX = -1, mLastY = -1;
  IControlZK* mCaptured = nullptr;
  IControlZK* mHovered = nullptr;
  std::vector<std::shared_ptr<IControlZK>> mChildren;
};
