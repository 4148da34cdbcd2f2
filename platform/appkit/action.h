#pragma once

namespace cocoa
{
class NSObject;

// Target/action without selectors: the actions that menus and controls of the layers
// above send, named after the Cocoa selectors they stand for.
enum class Action
{
  none,
  terminate,        // terminate:
  performClose,     // performClose:
  copy,             // copy:
  cut,              // cut:
  paste,            // paste:
  selectAll,        // selectAll:
  onSwellCommand,   // onSwellCommand: and its numbered forms, which all forward to it
  onSwellCommand0,
  onSwellCommand2,
  onSwellCommand3,
  onSwellCommand4,
  onSwellCommand5,
  onSwellCommand6,
  onSwellCommand7,
  onSysMenuCommand,  // onSysMenuCommand:
  onMenuSelection,   // OnMenuSelection:
};

// An object that actions can be sent to. Returns true when it handled the action.
class ActionTarget
{
public:
  virtual ~ActionTarget() = default;
  virtual bool performAction(Action action, NSObject* sender) = 0;
};
}  // namespace cocoa
