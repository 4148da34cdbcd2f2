#pragma once

// The name of the chosen entry of an enumerated parameter. With two names a click
// toggles; with more a click unfolds a grid of all names over the editor (entry i in
// column i / rows and row i % rows), and the next click chooses the name under the
// mouse. Main thread only.

#include "ControlLook.h"
#include "IControlZK.h"

#include <string>
#include <vector>

class IListControlZK : public IControlZK
{
public:
  // paramIdx must name an enumerated parameter: the list reads its range on every
  // choice. minChars is the narrowest a cell may be; direction is not used.
  IListControlZK(IPlugBase* plug, int x, int y, int paramIdx, std::vector<std::string> names, int textSize,
                 int minChars, int rowsPerColumn, TextControlBGStyle style, EDirection direction);

  // Right: mSignalRightClick only. Left: chooses in the open grid, opens it, or toggles
  // a two-name list.
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseUp(int x, int y, IMouseMod* mod) override;
  void OnMouseDrag(int x, int y, int, int, IMouseMod* mod) override { OnMouseOver(x, y, mod); }
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override;
  // The next or previous entry, within the parameter's range.
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d) override;
  // Shows the tooltip and, in the open grid, follows the mouse from cell to cell.
  void OnMouseOver(int x, int y, IMouseMod* mod) override;
  // Closes the grid and shows the chosen entry again.
  void OnMouseOut() override;
  bool Draw(IGraphics* graphics) override;
  // The value always lands on an entry.
  void SetDirty(bool pushParamToPlug = true) override;
  void PositionControlAt(int x, int y) override;

  // Fewer than two names are made up with "ERR". Each call widens the cells by one
  // character.
  void SetNames(std::vector<std::string> names);
  // Opens the grid: as many columns as the names fill (rounded to the nearest), the
  // mouse area 20 pixels wider on every side.
  void ExpandAreaToFullView();

  bool IsExpanded() const { return mExpanded; }
  bool IsPressed() const { return mPressed; }
  int GetHoveredIndex() const { return mHoveredIndex; }
  const std::vector<std::string>& GetNames() const { return mNames; }
  // The grid cell of entry i.
  IRECT CellRECT(int i) const;
  // The entry a closed list shows for its value.
  int ShownEntry() const;

  bool mPressedShadow = true;

private:
  int NNames() const { return static_cast<int>(mNames.size()); }
  double NormalizedEntry(int i) const;
  double EntryOf(double normalized) const;

  TextControlBGStyle mStyle;
  bool mExpanded = false;
  bool mPressed = false;
  int mLastX = -1, mLastY = -1;
  std::vector<std::string> mNames;
  int mCellWidth = 0;
  int mRowHeight;
  int mRowsPerColumn;
  int mWidthInChars;
  int mHoveredIndex = -1;
};
