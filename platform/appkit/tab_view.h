#pragma once

#include "platform/appkit/view.h"

#include <vector>

namespace cocoa
{
class NSTabView;

class NSTabViewItem : public NSObject
{
public:
  explicit NSTabViewItem(const NSString& label = NSString()) : m_label(label) {}
  const NSString& label() const { return m_label; }
  void setLabel(const NSString& label) { m_label = label; }

private:
  NSString m_label;
};

class NSTabViewDelegate
{
public:
  virtual ~NSTabViewDelegate() = default;
  // After a tab became the selected one, by the user or the program.
  virtual void tabViewDidSelectTabViewItem(NSTabView*, NSTabViewItem*) {}
};

// A row of labelled tabs over a framed page area. The pages are not the tab view's: it only
// tells which tab is chosen. The first tab inserted becomes the selected one, as does a
// neighbour when the selected tab is removed.
class NSTabView : public NSView
{
public:
  explicit NSTabView(NSRect frame = NSRect{});

  void setDelegate(NSTabViewDelegate* delegate) { m_delegate = delegate; }
  NSTabViewDelegate* delegate() const { return m_delegate; }
  NSInteger numberOfTabViewItems() const { return static_cast<NSInteger>(m_items.size()); }
  NSTabViewItem* tabViewItemAtIndex(NSInteger index) const;
  // Retains the item; the index is held within 0..count.
  void insertTabViewItem(NSTabViewItem* item, NSInteger index);
  void removeTabViewItem(NSTabViewItem* item);
  NSInteger indexOfTabViewItem(const NSTabViewItem* item) const;
  NSTabViewItem* selectedTabViewItem() const { return m_selected; }
  void selectTabViewItemAtIndex(NSInteger index);
  // The tab's rectangle in the row along the top.
  NSRect tabRectAtIndex(NSInteger index) const;

  bool isFlipped() const override { return true; }
  void drawRect(NSRect dirty) override;
  void mouseDown(NSEvent* event) override;

protected:
  void dealloc() override;

private:
  void select(NSTabViewItem* item);
  NSTabViewDelegate* m_delegate = nullptr;
  std::vector<NSTabViewItem*> m_items;
  NSTabViewItem* m_selected = nullptr;
};
}  // namespace cocoa
