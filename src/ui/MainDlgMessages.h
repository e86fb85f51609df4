#pragma once
// The main window's private messages. Any process on the desktop can send them, so the
// window trusts neither number nor argument: the tests forge them by these names.
#include <windows.h>

// A posted note that the run has ended.
constexpr UINT kRunFinishedMessage = WM_APP + 1;
// A call the worker has handed to the window's thread (the worker sends it and waits, as
// with any control message; it names the call by number, see CUiCallSlot).
constexpr UINT kRunOnUiMessage = WM_APP + 2;
