// The workspace's commands that act today: the function keys through key
// preview, every way to close (each releases the camera first), the school
// size button; and the keys that must do nothing.

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QToolBar>

#include "platform/ui/dirlistbox.h"
#include "platform/ui/keycodes.h"
#include "platform/ui/simplecombobox.h"
#include "support/sandbox.h"
#include "support/scripted_prompter.h"
#include "workspace_fixture.h"

using testsupport::CountingCameras;
using testsupport::ProgramWindows;

namespace {

QAction* toolbarButton(const Form1& form, const char* key) {
  return form.toolYon[4]->findChild<QAction*>(QString::fromLatin1(key));
}

QAction* frameMenu(const windows::frmMain& frame, const QString& caption) {
  for (QAction* action : frame.menuBar()->actions()) {
    if (action->text() == caption) return action;
  }
  return nullptr;
}

std::shared_ptr<CountingCameras> oneCamera() {
  return std::make_shared<CountingCameras>(testsupport::fakeCameras("Kamera A"));
}

// A way of giving the workspace a command, by name, as a test row.
void run(ProgramWindows& program, const QString& how) {
  Form1& form = *program.form;
  if (how == QStringLiteral("KeyDown Esc")) {
    form.KeyDown(ui::vbKeyEscape);
  } else if (how == QStringLiteral("Esc typed in a text box")) {
    form.txtOnAd->setFocus();
    QTest::keyClick(form.txtOnAd, Qt::Key_Escape);
  } else if (how == QStringLiteral("toolbar Kapat")) {
    toolbarButton(form, "kapat")->trigger();
  } else if (how == QStringLiteral("KeyDown F9")) {
    form.KeyDown(ui::vbKeyF9);
  } else if (how == QStringLiteral("F9 typed in a text box")) {
    form.txtEn->setFocus();
    QTest::keyClick(form.txtEn, Qt::Key_F9);
  } else if (how == QStringLiteral("menu Programı Kapat")) {
    QAction* item = frameMenu(*program.frame, QStringLiteral("Programı Kapat"));
    QVERIFY(item);
    item->trigger();
  } else if (how == QStringLiteral("closing the workspace window")) {
    program.workspaceWindow()->close();
  } else {
    QFAIL(qPrintable(QStringLiteral("unknown way: ") + how));
  }
}

}  // namespace

class Form1CommandsTest : public QObject {
  Q_OBJECT
 private slots:
  void everyWayOutReleasesTheCamera_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("unloaded");
    // "kapat" closes the camera, then unloads the workspace.
    QTest::newRow("Esc works like the Kapat button") << QStringLiteral("KeyDown Esc") << true;
    QTest::newRow("Esc reaches the window from a text box")
        << QStringLiteral("Esc typed in a text box") << true;
    QTest::newRow("the toolbar's Kapat button") << QStringLiteral("toolbar Kapat") << true;
    // Ending the program at once runs no unload handler.
    QTest::newRow("F9 ends at once") << QStringLiteral("KeyDown F9") << false;
    QTest::newRow("F9 reaches the window from a text box")
        << QStringLiteral("F9 typed in a text box") << false;
    QTest::newRow("the menu Programı Kapat ends at once")
        << QStringLiteral("menu Programı Kapat") << false;
    QTest::newRow("closing the window runs its two unload handlers")
        << QStringLiteral("closing the workspace window") << true;
  }
  void everyWayOutReleasesTheCamera() {
    QFETCH(QString, how);
    QFETCH(bool, unloaded);
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    const auto cameras = oneCamera();
    ProgramWindows program(profile, prompts, cameras);
    QVERIFY(QTest::qWaitForWindowActive(program.frame));
    QVERIFY(program.captureWindow());
    const QPointer<QWidget> camera = program.captureWindow()->widget();
    QCOMPARE(cameras->openNow(), 1);

    run(program, how);

    QCOMPARE(program.endCalls(), 1);
    QCOMPARE(cameras->openNow(), 0);
    QVERIFY(camera.isNull());
    QVERIFY(!program.captureWindow());
    QCOMPARE(program.workspaceWindow()->isHidden(), unloaded);
  }

  void keysWithoutACommandDoNothing_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("F8 has no action in the workspace") << int(Qt::Key_F8);
    QTest::newRow("F1") << int(Qt::Key_F1);
    QTest::newRow("F4") << int(Qt::Key_F4);
    QTest::newRow("F10") << int(Qt::Key_F10);
    QTest::newRow("a letter") << int(Qt::Key_A);
  }
  void keysWithoutACommandDoNothing() {
    QFETCH(int, key);
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;  // fails the test on any prompt
    const auto cameras = oneCamera();
    ProgramWindows program(profile, prompts, cameras);
    QVERIFY(QTest::qWaitForWindowActive(program.frame));
    video::CaptureWindow* camera = program.captureWindow();
    program.form->KeyDown(ui::vbKeyCode(key));
    program.form->txtSol->setFocus();
    QTest::keyClick(program.form->txtSol, Qt::Key(key));
    QCOMPARE(program.endCalls(), 0);
    QVERIFY(camera);
    QCOMPARE(program.captureWindow(), camera);
    QCOMPARE(cameras->openNow(), 1);
    QVERIFY(!program.workspaceWindow()->isHidden());
  }

  void keyPreviewSeesTheKeyOnceWhicheverControlHasTheFocus_data() {
    QTest::addColumn<QString>("control");
    QTest::newRow("a frame box") << QStringLiteral("txtBoy");
    QTest::newRow("the step box") << QStringLiteral("txtYon");
    QTest::newRow("the file type list") << QStringLiteral("cmbTur");
    QTest::newRow("the camera list") << QStringLiteral("cmbCamList");
    QTest::newRow("the folder list") << QStringLiteral("Dir1");
    QTest::newRow("the folder box") << QStringLiteral("pathbox");
    QTest::newRow("the save button") << QStringLiteral("tamam");
  }
  void keyPreviewSeesTheKeyOnceWhicheverControlHasTheFocus() {
    QFETCH(QString, control);
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    QVERIFY(QTest::qWaitForWindowActive(program.frame));
    auto* target = program.form->findChild<QWidget*>(control);
    QVERIFY(target);
    target->setFocus();
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus && (focus == target || target->isAncestorOf(focus)));
    QTest::keyClick(focus, Qt::Key_F9);
    // Ignored by the control, the key travels on to its parents: still one command.
    QCOMPARE(program.endCalls(), 1);
  }

  void keysOfOtherWindowsAreNotTheWorkspaces() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    QTest::keyClick(program.frame->menuBar(), Qt::Key_F9);
    QCOMPARE(program.endCalls(), 0);
  }

  void schoolSizeButtonSetsWidthThenHeight() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    Form1& form = *program.form;
    form.txtEn->setText(QStringLiteral("50"));
    form.txtBoy->setText(QStringLiteral("60"));
    QStringList order;
    QObject::connect(form.txtEn, &QLineEdit::textChanged, [&order] { order << "En"; });
    QObject::connect(form.txtBoy, &QLineEdit::textChanged, [&order] { order << "Boy"; });
    QTest::mouseClick(form.cmdEokul, Qt::LeftButton);
    QCOMPARE(form.txtEn->text(), QStringLiteral("105"));
    QCOMPARE(form.txtBoy->text(), QStringLiteral("120"));
    QCOMPARE(order, (QStringList{QStringLiteral("En"), QStringLiteral("Boy")}));
  }

  void menuProcedureIgnoresUnknownIndexes() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    const auto cameras = oneCamera();
    ProgramWindows program(profile, prompts, cameras);
    for (std::int16_t index : {std::int16_t(2), std::int16_t(-1), std::int16_t(99)}) {
      program.form->menu(index);
    }
    QCOMPARE(program.endCalls(), 0);
    QVERIFY(program.captureWindow());
    QCOMPARE(cameras->openNow(), 1);
  }
};

QTEST_MAIN(Form1CommandsTest)
#include "tst_form1_commands.moc"
