#pragma once
// "End the program at once": every window disappears and the event loops are
// left without any further close handler running. Not QApplication::quit(),
// which in Qt 6 sends close events to the windows first.
//
// The caller carries on after the ending returns (there is no way to unwind
// a C++ stack from here), so it must return straight away itself.

#include <functional>

namespace ui {

// How the windows end the program: endProgram in the program, a recorder in tests.
using ProgramEnder = std::function<void()>;

// Hides every top-level window, then leaves every running event loop, or the
// first one to start when none runs yet.
void endProgram();

}  // namespace ui
