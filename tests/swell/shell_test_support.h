#pragma once

// The application shell under test: the shell's application object made before anything
// else, its controller as the application's delegate, and a host entry that records what
// it is told and answers as a test wants.

#include "dialog_test_support.h"
#include "swell-app.h"
#include "swell-misc.h"

struct HostCall
{
  int msg;
  INT_PTR parm1;
  INT_PTR parm2;
  MSG keyMessage;  // a copy of the record of SWELLAPP_KBDMESSAGE
  std::string path;  // the text of SWELLAPP_OPENFILE
};

// What SWELLAppMain saw, and how it answers (0 when not set).
extern std::vector<HostCall> g_hostCalls;
extern std::function<INT_PTR(int msg, INT_PTR parm1, INT_PTR parm2)> g_hostAnswer;

class ShellTest : public WindowTest
{
protected:
  void SetUp() override
  {
    g_hostCalls.clear();
    shell()->awakeFromNib();
  }
  void TearDown() override
  {
    g_hostAnswer = nullptr;
    g_swell_terminating = false;
    WindowTest::TearDown();
  }

  // One controller for the whole run, as an application has.
  static SWELLAppController* shell()
  {
    static auto* controller = new SWELLAppController;
    return controller;
  }

  // A window of the layer (its procedure logs to `window`) and a child of it, logging to
  // `field`, with the focus; returns the window and the child.
  std::pair<HWND, HWND> windowWithFocusedChild(Recorder* window, Recorder* field)
  {
    HWND top = topLevel(window);
    HWND focused = child(top, field);
    SetFocus(focused);
    return {top, focused};
  }

  std::vector<int> hostCodes() const
  {
    std::vector<int> codes;
    for (const HostCall& call : g_hostCalls) codes.push_back(call.msg);
    return codes;
  }
  int hostCount(int msg) const
  {
    const std::vector<int> codes = hostCodes();
    return static_cast<int>(std::count(codes.begin(), codes.end(), msg));
  }
};
