// The frame: the workspace as its child at the top-left corner, the active
// child's menu bar, closing the frame running the children's unload
// handlers and its own, each releasing the camera; and keys that land on the
// frame itself (no control has the focus) reaching the active child once.

#include <QApplication>
#include <QMdiArea>
#include <QMenuBar>
#include <QPointer>

#include "browser/frmonizle.h"
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
    QVERIFY(program.frame->mdiArea()->viewport()->rect().contains(sub->geometry()));
    QCOMPARE(program.frame->mdiArea()->activeSubWindow(), sub);
    QCOMPARE(program.frame->windowTitle(),
             QStringLiteral("Velmora Tandeo( Pratik Fotoğraf Aracı)"));
    // Asked for again, the workspace is the same window.
    QCOMPARE(&program.registry.show<Form1>(), program.form);
  }

  void menuBarFollowsTheActiveChild() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    QMenuBar* bar = program.frame->menuBar();
    QCOMPARE(bar->actions(), program.form->menuBarActions());
    auto* plain = new QWidget;
    plain->resize(100, 80);
    QMdiSubWindow* other = program.frame->addChild(plain);
    other->show();
    program.frame->mdiArea()->setActiveSubWindow(other);
    QVERIFY(bar->actions().isEmpty());
    program.frame->mdiArea()->setActiveSubWindow(program.workspaceWindow());
    QCOMPARE(bar->actions().size(), 6);
    QCOMPARE(bar->actions().last()->text(), QStringLiteral("Programı Kapat"));
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
