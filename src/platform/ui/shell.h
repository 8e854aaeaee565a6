#pragma once
// What the program asks of the desktop shell: open a web page in the user's
// browser, start a program without waiting for it.

#include <QString>
#include <QUrl>
#include <functional>

namespace ui {

// How a window opens a web page; the program context carries one, so a test
// can record the page instead of starting a browser.
using WebPageOpener = std::function<void(const QUrl&)>;

// The desktop's handler for the address (QDesktopServices). A failure is
// silent: there is nothing the user could do about it here.
void openWebPage(const QUrl& page);

// Starts `program` detached from this process, with no arguments; false when
// it could not be started (missing, not executable).
bool startProgram(const QString& program);

}  // namespace ui
