// Velmora Tandeo: the application object, Turkish standard texts, the program
// context (the machine's cameras, Qt's dialogs, the user's settings store and
// folders, the real way to end the program, the face detector) and the frame,
// whose start-up opens the workspace.

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "mainwindow/frmmain.h"
#include "mainwindow/programwindows.h"
#include "platform/face/machinefacefinder.h"
#include "platform/ui/deferrediconstyle.h"
#include "platform/ui/drawnicons.h"
#include "platform/ui/fontwarmup.h"
#include "platform/ui/qtprompter.h"
#include "windows/programcontext.h"
#include "windows/windowregistry.h"

int main(int argc, char* argv[]) {
  // On the second core meanwhile: the fonts the first window needs.
  const ui::FontConfigurationWarmup fonts;
  QApplication app(argc, argv);
  // The desktop's style, or the one the user asked for, reading its pictures
  // only when they are shown.
  QApplication::setStyle(new ui::DeferredIconStyle(QApplication::style()));
  QApplication::setApplicationName(QStringLiteral("Velmora Tandeo"));
  // No display name: Qt would append it to every window's title, and the
  // frame's caption and each message box's title are shown exactly as given.
  QApplication::setOrganizationName(QStringLiteral("Velmora"));
  QApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION));
  QApplication::setWindowIcon(ui::programIcon());
  // Lets a Wayland desktop match the windows to the installed desktop entry.
  QApplication::setDesktopFileName(QStringLiteral("org.velmora.Tandeo"));

  // The user interface is Turkish word for word, Qt's own buttons included,
  // whatever language the desktop speaks.
  QTranslator qtTexts;
  if (qtTexts.load(QStringLiteral("qtbase_tr"),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qtTexts);
  }

  // Outlives the windows, which only borrow it.
  ui::QtPrompter dialogs;
  windows::ProgramContext context = windows::programContextOfThisRun(dialogs);
  context.faceFinder = face::faceFinderOfThisMachine();
  windows::WindowRegistry windows(std::move(context));
  windows::defineProgramWindows(windows);
  windows.show<windows::frmMain>();
  return QApplication::exec();
}
