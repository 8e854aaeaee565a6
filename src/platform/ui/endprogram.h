#pragma once
// "End the program at once": every window disappears and the event loops are
// left without any further close handler running. Not QApplication::quit(),
// which in Qt 6 sends close events to the windows first.
//
// The caller carries on after endProgram() returns (there is no way to unwind
// a C++ stack from here), so it must return straight away itself.

#include <functional>

namespace ui {

using ProgramEnder = std::function<void()>;

// Replaces what endProgram() does (tests record the call instead); an empty
// function puts the real one back. Returns the one replaced.
ProgramEnder setProgramEnder(ProgramEnder ender);

void endProgram();

// The real ending: hide every top-level window, then leave every running event
// loop, or the first one to start when none runs yet.
void hideAllWindowsAndLeaveEventLoop();

}  // namespace ui
