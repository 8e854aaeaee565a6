// The frame: the workspace as its child at the top-left corner, the active
// child's menu bar, and closing the frame running the children's unload
// handlers and its own, each releasing the camera.

#include <QMdiArea>
#include <QMenuBar>
#include <QPointer>

#include "platform/ui/twips.h"
#include "support/sandbox.h"
#include "support/scripted_prompter.h"
#include "workspace_fixture.h"

using testsupport::CountingCameras;
using testsupport::ProgramWindows;

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
};

QTEST_MAIN(FrmMainTest)
#include "tst_frmmain.moc"
