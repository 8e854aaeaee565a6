// The frame: start-up (the stored browser width raised, the three windows
// side by side, all in view), its menus and the active child's menu bar, the
// browser's pop-up, "Programı Kapat", closing the frame running the children's
// unload handlers and its own, each releasing the camera; and keys that land on
// the frame itself or on the browser or the preview window acting as in the
// workspace. The tests run on a 1280 x 1024 screen (CMakeLists.txt).

#include <QApplication>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>

#include "browser/frmonizle.h"
#include "browser/gozat.h"
#include "platform/ui/picturebox.h"
#include "platform/ui/twips.h"
#include "support/sandbox.h"
#include "support/scripted_prompter.h"
#include "workspace_fixture.h"

using testsupport::CountingCameras;
using testsupport::ProgramWindows;

namespace {

// Makes `child` ("the workspace" or "the preview window") the active child
// window and takes the focus away from every control, as it is when the frame
// comes back from the start-up warning; returns the child's sub-window.
QMdiSubWindow* activeChildWithoutFocus(ProgramWindows& program, const QString& child) {
  QMdiSubWindow* sub = program.workspaceWindow();
  if (child == QLatin1String("the preview window")) {
    program.form->mnuOnPen->trigger();
    sub = qobject_cast<QMdiSubWindow*>(program.registry.find<frmOnizle>()->parentWidget());
  }
  if (program.frame->mdiArea()->activeSubWindow() != sub) return nullptr;
  if (QWidget* focus = QApplication::focusWidget()) focus->clearFocus();
  return sub;
}

QMdiSubWindow* frameWindowOf(const QWidget* window) {
  return window ? qobject_cast<QMdiSubWindow*>(window->parentWidget()) : nullptr;
}

QMdiSubWindow* childWindow(const ProgramWindows& program, const QString& child) {
  if (child == QLatin1String("the browser")) return frameWindowOf(program.registry.find<gozat>());
  if (child == QLatin1String("the preview window")) {
    return frameWindowOf(program.registry.find<frmOnizle>());
  }
  return program.workspaceWindow();
}

void storeBrowserWidth(const testsupport::SandboxProfile& profile, std::uint32_t twips) {
  testsupport::settingsOf(profile).saveDwordValue(
      Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(), QStringLiteral("ExpWith"), twips);
}

std::int32_t storedBrowserWidth(const testsupport::SandboxProfile& profile) {
  return testsupport::settingsOf(profile).getDwordValue(
      Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(), QStringLiteral("ExpWith"));
}

// A child window that counts its close handlers.
class CountingChild final : public QWidget, public windows::MdiChild {
 public:
  CountingChild() { resize(120, 90); }
  bool queryUnload(windows::UnloadMode) override {
    ++handlers;
    return true;
  }
  void unload() override { ++handlers; }
  int handlers = 0;
};

// What a key left behind: the boxes shown (their texts), the endings, a photo.
struct KeyOutcome {
  QStringList boxes;
  int ends = 0;
  bool photo = false;
};

// Presses `key` in `place` (the workspace, the browser's list or the preview
// window) of a fresh program; `answers` answer its boxes.
KeyOutcome pressIn(const QString& place, Qt::Key key, const QList<QVariant>& answers) {
  testsupport::SandboxProfile profile;
  testsupport::ScriptedPrompter prompts;
  for (const QVariant& answer : answers) {
    if (answer.typeId() == QMetaType::QString) {
      prompts.answerInput(answer.toString());
    } else {
      prompts.answerMessage(ui::MsgBoxResult(answer.toInt()));
    }
  }
  ProgramWindows program(profile, prompts);
  QWidget* target = program.form;
  if (place == QLatin1String("the browser")) {
    target = program.registry.find<gozat>()->lstFoto;
  } else if (place == QLatin1String("the preview window")) {
    target = program.registry.find<frmOnizle>();
  }
  QTest::keyClick(target, key);
  KeyOutcome outcome{{}, program.endCalls(), program.form->photo.hasBitmap()};
  for (const testsupport::RecordedPrompt& prompt : prompts.prompts()) outcome.boxes << prompt.text;
  return outcome;
}

QWidget* framePart(const ProgramWindows& program, QMdiSubWindow& sub, const QString& part) {
  if (part == QLatin1String("the frame")) return program.frame;
  if (part == QLatin1String("its client area")) return program.frame->mdiArea();
  if (part == QLatin1String("the client area's viewport")) {
    return program.frame->mdiArea()->viewport();
  }
  return &sub;  // the child's border and title bar
}

}  // namespace

class FrmMainTest : public QObject {
  Q_OBJECT
 private slots:
  void workspaceIsAChildAtTheTopLeft() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    QVERIFY(QTest::qWaitForWindowExposed(program.frame));
    QMdiSubWindow* sub = program.workspaceWindow();
    QVERIFY(sub);
    QCOMPARE(sub->mdiArea(), program.frame->mdiArea());
    QCOMPARE(sub->pos(), QPoint(0, 0));
    QCOMPARE(program.form->size(), QSize(ui::twipsToPixelsX(11985), ui::twipsToPixelsY(10230)));
    QCOMPARE(sub->size(), program.form->size().grownBy(sub->contentsMargins()));
    QCOMPARE(sub->minimumSize(), sub->maximumSize());
    QCOMPARE(program.frame->mdiArea()->activeSubWindow(), sub);
    // The caption as given: the program sets no application display name,
    // which Qt would append to it.
    QVERIFY(QGuiApplication::applicationDisplayName() == QCoreApplication::applicationName());
    QCOMPARE(program.frame->windowTitle(),
             QStringLiteral("Velmora Tandeo( Pratik Fotoğraf Aracı)"));
    // Asked for again, the workspace is the same window.
    QCOMPARE(&program.registry.show<Form1>(), program.form);
  }

  void startUpRaisesASmallStoredBrowserWidth_data() {
    QTest::addColumn<int>("stored");  // -1: nothing stored
    QTest::addColumn<int>("width");
    QTest::newRow("nothing stored becomes 3000") << -1 << 3000;
    QTest::newRow("2500 becomes 3000") << 2500 << 3000;
    QTest::newRow("2999 becomes 3000") << 2999 << 3000;
    QTest::newRow("3000 stays") << 3000 << 3000;
    QTest::newRow("4200 stays") << 4200 << 4200;
  }
  void startUpRaisesASmallStoredBrowserWidth() {
    QFETCH(int, stored);
    QFETCH(int, width);
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    if (stored >= 0) storeBrowserWidth(profile, stored);
    ProgramWindows program(profile, prompts);
    QCOMPARE(storedBrowserWidth(profile), width);
    QCOMPARE(program.registry.find<gozat>()->widthTwips(), double(width));
  }

  void startUpPlacesTheThreeWindowsSideBySide_data() {
    QTest::addColumn<int>("stored");
    QTest::newRow("browser 3000 twips wide") << 3000;
    QTest::newRow("browser 4200 twips wide") << 4200;
  }
  void startUpPlacesTheThreeWindowsSideBySide() {
    QFETCH(int, stored);
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    storeBrowserWidth(profile, stored);
    ProgramWindows program(profile, prompts);
    QVERIFY(QTest::qWaitForWindowExposed(program.frame));
    const QMdiSubWindow* workspace = program.workspaceWindow();
    const QMdiSubWindow* preview = childWindow(program, QStringLiteral("the preview window"));
    const QMdiSubWindow* browser = childWindow(program, QStringLiteral("the browser"));
    QVERIFY(workspace && preview && browser);
    for (const QMdiSubWindow* sub : {workspace, preview, browser}) {
      QVERIFY2(sub->isVisible(), qPrintable(sub->objectName()));
      // In view without scrolling.
      QVERIFY2(program.frame->mdiArea()->viewport()->rect().contains(sub->geometry()),
               qPrintable(sub->objectName()));
    }
    // Edges are the sub-windows' outer edges; twips and pixels are 15 to 1 here.
    QCOMPARE(preview->pos(), QPoint(workspace->x() + workspace->width(), 0));
    QCOMPARE(browser->pos(),
             QPoint(workspace->x() + workspace->width(), preview->y() + preview->height()));
    // The workspace last, active and in front.
    QCOMPARE(program.frame->mdiArea()->activeSubWindow(), workspace);
    QCOMPARE(program.frame->mdiArea()->subWindowList(QMdiArea::StackingOrder).last(), workspace);
    // The frame, centred, holds them all.
    const QRect available = program.frame->screen()->availableGeometry();
    QVERIFY(available.contains(program.frame->frameGeometry()));
    QVERIFY(!program.frame->isMaximized());
    QVERIFY(qAbs(program.frame->frameGeometry().center().x() - available.center().x()) <= 1);
  }

  void startPlacement_data() {
    QTest::addColumn<QRect>("children");
    QTest::addColumn<QMargins>("decorations");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<bool>("fills");
    const QRect three(0, 0, 1010, 710);  // the workspace, the preview and the browser
    const QMargins none;
    const QMargins titleBar(1, 24, 1, 1);
    // The client area holds the children below a 20-pixel menu bar.
    QTest::newRow("fits on 1280 x 1024: centred")
        << three << none << QRect(0, 0, 1280, 1024) << QRect(135, 147, 1010, 730) << false;
    QTest::newRow("the window manager's frame counts: centred with it")
        << three << titleBar << QRect(0, 0, 1280, 1024) << QRect(135, 158, 1010, 730) << false;
    QTest::newRow("a panel above: centred in the work area")
        << three << none << QRect(0, 40, 1280, 984) << QRect(135, 167, 1010, 730) << false;
    QTest::newRow("small children: the design client area, 743 x 656")
        << QRect(0, 0, 300, 200) << none << QRect(0, 0, 1280, 1024) << QRect(268, 174, 743, 676)
        << false;
    QTest::newRow("too narrow a screen fills the work area")
        << three << titleBar << QRect(0, 0, 1000, 900) << QRect(1, 24, 998, 875) << true;
    QTest::newRow("too low a screen fills the work area")
        << three << none << QRect(0, 0, 1280, 720) << QRect(0, 0, 1280, 720) << true;
    QTest::newRow("800 x 600 fills the work area")
        << three << none << QRect(0, 0, 800, 600) << QRect(0, 0, 800, 600) << true;
  }
  void startPlacement() {
    QFETCH(QRect, children);
    QFETCH(QMargins, decorations);
    QFETCH(QRect, available);
    QFETCH(QRect, geometry);
    QFETCH(bool, fills);
    const windows::FramePlacement placed =
        windows::startPlacement(children, 20, decorations, available);
    QCOMPARE(placed.geometry, geometry);
    QCOMPARE(placed.fillWorkArea, fills);
  }

  void closedWindowsComeBackFromEitherMenu_data() {
    QTest::addColumn<QString>("child");
    QTest::addColumn<QString>("menu");
    for (const char* child : {"the browser", "the preview window"}) {
      for (const char* menu : {"the frame's", "the workspace's"}) {
        QTest::addRow("%s from %s menu", child, menu)
            << QString::fromLatin1(child) << QString::fromLatin1(menu);
      }
    }
  }
  void closedWindowsComeBackFromEitherMenu() {
    QFETCH(QString, child);
    QFETCH(QString, menu);
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    QMdiSubWindow* sub = childWindow(program, child);
    QVERIFY(sub && sub->isVisible());
    const QPointer<QWidget> window = sub->widget();
    QVERIFY(sub->close());
    QVERIFY(!sub->isVisible());

    const bool browser = child == QLatin1String("the browser");
    if (menu == QLatin1String("the frame's")) {
      (browser ? program.frame->mnuDosya : program.frame->mnuOnPen)->trigger();
    } else {
      (browser ? program.form->mnuDosya : program.form->mnuOnPen)->trigger();
    }
    // Shown again, the same window, modeless and active.
    QVERIFY(sub->isVisible());
    QCOMPARE(sub->widget(), window.data());
    QCOMPARE(childWindow(program, child), sub);
    QCOMPARE(program.frame->mdiArea()->activeSubWindow(), sub);
    QVERIFY(!window->isModal());
  }

  void menuBarFollowsTheActiveChild_data() {
    QTest::addColumn<QString>("child");
    QTest::addColumn<QStringList>("menus");
    const QStringList frame{"mnuFoto", "mnuOnizle", "mnuOnPen", "mnuDosya", "mnuKapat"};
    QTest::newRow("the workspace: its six")
        << QStringLiteral("the workspace")
        << QStringList{"mnuFoto", "mnuOnizle", "mnuOnPen", "mnuDosya", "resim", "mnuKapat"};
    QTest::newRow("the browser: the frame's five") << QStringLiteral("the browser") << frame;
    QTest::newRow("the preview window: the frame's five")
        << QStringLiteral("the preview window") << frame;
    QTest::newRow("a child without menus: the frame's five") << QStringLiteral("another") << frame;
  }
  void menuBarFollowsTheActiveChild() {
    QFETCH(QString, child);
    QFETCH(QStringList, menus);
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    QMdiSubWindow* sub = childWindow(program, child);
    if (child == QLatin1String("another")) {
      sub = program.frame->addChild(new QWidget);
      sub->show();
    }
    // Away first, so that the menu bar has to change back.
    program.frame->mdiArea()->setActiveSubWindow(childWindow(
        program, child == QLatin1String("the workspace") ? QStringLiteral("the browser")
                                                         : QStringLiteral("the workspace")));
    program.frame->mdiArea()->setActiveSubWindow(sub);
    QStringList shown;
    for (const QAction* action : program.frame->menuBar()->actions()) {
      shown << action->objectName();
      QVERIFY(!action->menu());  // commands on the bar itself
    }
    QCOMPARE(shown, menus);
  }

  void framesMenusCaptions() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    QStringList captions;
    for (const QAction* action : program.frame->menuBarActions()) captions << action->text();
    QCOMPARE(captions, (QStringList{"Fotoğraf Çek", "Önizleme", "Önizleme Penceresi",
                                    "Dosya Penceresi", "Programı Kapat"}));
    const QMenu* popup = program.frame->mnuPopup;
    QCOMPARE(popup->title(), QStringLiteral("mnuPopup"));
    QVERIFY(!program.frame->menuBar()->actions().contains(popup->menuAction()));
    QCOMPARE(popup->actions(), (QList<QAction*>{program.frame->mnuRename, program.frame->mnuSil}));
    QCOMPARE(program.frame->mnuRename->text(), QStringLiteral("Yeniden Adlandır"));
    QCOMPARE(program.frame->mnuSil->text(), QStringLiteral("Resmi Sil"));
  }

  void framesPhotoCommandsRunTheWorkspacesMenuProcedure() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    prompts.answerMessage(ui::vbOK);
    ProgramWindows program(profile, prompts);
    // "Önizleme" before any photo: the workspace's message.
    program.frame->mnuOnizle->trigger();
    QCOMPARE(prompts.prompts().size(), 1);
    QCOMPARE(prompts.prompts().front().text, QStringLiteral("Lütfen Önce bir Fotoğraf çekiniz"));
    program.frame->mnuFoto->trigger();
    QVERIFY(program.form->photo.hasBitmap());
    program.frame->mnuOnizle->trigger();
    QVERIFY(program.registry.find<frmOnizle>()->Picture3->hasPicture());
    QCOMPARE(prompts.prompts().size(), 1);
  }

  void popupItemsRenameAndDeleteTheSelectedEntry() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    gozat& browser = *program.registry.find<gozat>();
    // No entry selected: each item runs the browser's procedure, which says so.
    prompts.answerMessage(ui::vbOK);
    program.frame->mnuRename->trigger();
    prompts.answerMessage(ui::vbYes);
    prompts.answerMessage(ui::vbOK);
    program.frame->mnuSil->trigger();
    const QList<testsupport::RecordedPrompt>& boxes = prompts.prompts();
    QCOMPARE(boxes.size(), 3);
    QCOMPARE(boxes[0].text, QStringLiteral("Yaptığınız işlemde hata oluştu\nHata Kodu:5"));
    QCOMPARE(boxes[1].title, QStringLiteral("Sil"));
    QCOMPARE(boxes[2].text, QStringLiteral("Yaptığınız işlemde hata oluştu"));
    QCOMPARE(browser.lstFoto->count(), 0);
  }

  void browsersRightClickShowsTheFramesPopup() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    gozat& browser = *program.registry.find<gozat>();
    emit browser.contextMenuRequested(QPoint(300, 200));
    QTRY_VERIFY(program.frame->mnuPopup->isVisible());
    QCOMPARE(program.frame->mnuPopup->pos(), QPoint(300, 200));
    program.frame->mnuPopup->close();
  }

  void closeProgramReleasesTheCameraAndRunsNoCloseHandler() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    const auto cameras = std::make_shared<CountingCameras>(testsupport::fakeCameras("Kamera A"));
    ProgramWindows program(profile, prompts, cameras);
    auto* counting = new CountingChild;
    program.frame->addChild(counting)->show();
    QCOMPARE(cameras->openNow(), 1);
    int openAtEnd = -1;
    program.whenEnding = [&] { openAtEnd = cameras->openNow(); };

    program.frame->mnuKapat->trigger();

    QCOMPARE(program.endCalls(), 1);
    QCOMPARE(openAtEnd, 0);  // released before the end
    QVERIFY(!program.captureWindow());
    QCOMPARE(counting->handlers, 0);
    // The workspace's own close handlers would have hidden it.
    QVERIFY(program.workspaceWindow()->isVisible());
  }

  void closingTheFrameRunsEveryUnloadHandler() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    const auto cameras = std::make_shared<CountingCameras>(testsupport::fakeCameras("Kamera A"));
    ProgramWindows program(profile, prompts, cameras);
    QVERIFY(program.captureWindow());
    const QPointer<QWidget> camera = program.captureWindow()->widget();
    QVERIFY(program.frame->close());
    // The workspace's query and unload, then the frame's unload: each closes the camera.
    QCOMPARE(cameras->openNow(), 0);
    QVERIFY(camera.isNull());
    QVERIFY(!program.captureWindow());
    QCOMPARE(program.endCalls(), 0);
  }

  void aWorkspaceAlreadyUnloadedIsNotUnloadedAgain() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    program.form->toolYon_ButtonClick(QStringLiteral("kapat"));
    QCOMPARE(program.endCalls(), 1);
    // A camera opened since: only the frame's own unload is left to close it.
    program.form->webCam().openCaptureWindow(0, *program.form);
    QVERIFY(program.captureWindow());
    QVERIFY(program.frame->close());
    QVERIFY(!program.captureWindow());
    QVERIFY(program.workspaceWindow()->isHidden());
    QCOMPARE(program.endCalls(), 1);
  }

  void keysLandingOnTheFrameReachTheActiveChildOnce_data() {
    QTest::addColumn<QString>("child");
    QTest::addColumn<QString>("part");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("boxes");
    QTest::addColumn<int>("ends");
    for (const char* child : {"the workspace", "the preview window"}) {
      for (const char* part :
           {"the frame", "its client area", "the client area's viewport", "the child's border"}) {
        const auto row = [&](const char* what, int key, int boxes, int ends) {
          QTest::addRow("%s on %s, %s active", what, part, child)
              << QString::fromLatin1(child) << QString::fromLatin1(part) << key << boxes << ends;
        };
        row("F9 ends the program", Qt::Key_F9, 0, 1);
        row("F6 asks for a photo", Qt::Key_F6, 1, 0);
        row("F8 does nothing", Qt::Key_F8, 0, 0);
      }
    }
  }
  void keysLandingOnTheFrameReachTheActiveChildOnce() {
    QFETCH(QString, child);
    QFETCH(QString, part);
    QFETCH(int, key);
    QFETCH(int, boxes);
    QFETCH(int, ends);
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    for (int i = 0; i < boxes; ++i) prompts.answerMessage(ui::vbOK);
    ProgramWindows program(profile, prompts);
    QVERIFY(QTest::qWaitForWindowActive(program.frame));
    QMdiSubWindow* sub = activeChildWithoutFocus(program, child);
    QVERIFY(sub);

    QTest::keyClick(framePart(program, *sub, part), Qt::Key(key));

    QCOMPARE(prompts.prompts().size(), boxes);
    QCOMPARE(program.endCalls(), ends);
  }

  void keysInTheBrowserAndThePreviewActAsInTheWorkspace_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QList<QVariant>>("answers");
    QTest::addColumn<int>("boxes");
    QTest::addColumn<int>("ends");
    QTest::addColumn<bool>("photo");
    QTest::addColumn<QString>("place");
    const QList<QVariant> ok{int(ui::vbOK)};
    const QList<QVariant> cancel{QString()};
    const std::initializer_list<std::tuple<const char*, int, QList<QVariant>, int, int, bool>> keys{
        {"F2 asks for a photo first", Qt::Key_F2, ok, 1, 0, false},
        {"F3 asks for a folder name", Qt::Key_F3, cancel, 1, 0, false},
        {"F5 takes a photo", Qt::Key_F5, {}, 0, 0, true},
        {"F6 asks for a photo first", Qt::Key_F6, ok, 1, 0, false},
        {"F7 does nothing yet", Qt::Key_F7, {}, 0, 0, false},
        {"F8 does nothing", Qt::Key_F8, {}, 0, 0, false},
        {"F9 ends the program", Qt::Key_F9, {}, 0, 1, false},
        {"Esc ends the program", Qt::Key_Escape, {}, 0, 1, false},
    };
    for (const auto& [name, key, answers, boxes, ends, photo] : keys) {
      for (const char* place : {"the browser", "the preview window"}) {
        QTest::addRow("%s, in %s", name, place)
            << key << answers << boxes << ends << photo << QString::fromLatin1(place);
      }
    }
  }
  void keysInTheBrowserAndThePreviewActAsInTheWorkspace() {
    QFETCH(int, key);
    QFETCH(QList<QVariant>, answers);
    QFETCH(int, boxes);
    QFETCH(int, ends);
    QFETCH(bool, photo);
    QFETCH(QString, place);
    const KeyOutcome inWorkspace = pressIn(QStringLiteral("the workspace"), Qt::Key(key), answers);
    QCOMPARE(inWorkspace.boxes.size(), boxes);
    QCOMPARE(inWorkspace.ends, ends);
    QCOMPARE(inWorkspace.photo, photo);
    const KeyOutcome there = pressIn(place, Qt::Key(key), answers);
    QCOMPARE(there.boxes, inWorkspace.boxes);
    QCOMPARE(there.ends, inWorkspace.ends);
    QCOMPARE(there.photo, inWorkspace.photo);
  }

  void activationPutsTheFocusIntoTheActiveChild_data() {
    QTest::addColumn<QString>("child");
    QTest::newRow("the workspace") << QStringLiteral("the workspace");
    QTest::newRow("the preview window") << QStringLiteral("the preview window");
  }
  void activationPutsTheFocusIntoTheActiveChild() {
    QFETCH(QString, child);
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    QVERIFY(QTest::qWaitForWindowActive(program.frame));
    QMdiSubWindow* sub = activeChildWithoutFocus(program, child);
    QVERIFY(sub);
    // A window of its own comes and goes, as a message box does.
    QWidget box;
    box.show();
    box.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    box.close();
    program.frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(program.frame));

    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus);
    QVERIFY(focus == sub->widget() || sub->widget()->isAncestorOf(focus));
    QTest::keyClick(focus, Qt::Key_F9);
    QCOMPARE(program.endCalls(), 1);
  }
};

QTEST_MAIN(FrmMainTest)
#include "tst_frmmain.moc"
