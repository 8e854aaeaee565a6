// The workspace opens the converter (F7, its toolbar button, its menu item)
// and the about box without making them modal, and the two product notices
// modally.

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "about/hakkinda.h"
#include "about/notices.h"
#include "converter/frmconvert.h"
#include "support/sandbox.h"
#include "support/scripted_prompter.h"
#include "workspace/workspace_fixture.h"

using testsupport::ProgramWindows;

class TestOpenedFromWorkspace : public QObject {
  Q_OBJECT
 private slots:
  void converterIsShownModeless_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("F7 typed in a text box") << "F7";
    QTest::newRow("the toolbar's donustur button") << "toolbar";
    QTest::newRow("the menu Resim Dönüştür") << "menu";
  }
  void converterIsShownModeless() {
    QFETCH(QString, how);
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    QVERIFY(QTest::qWaitForWindowActive(program.frame));
    Form1& form = *program.form;
    const auto open = [&] {
      if (how == "F7") {
        form.txtOnAd->setFocus();
        QTest::keyClick(form.txtOnAd, Qt::Key_F7);
      } else if (how == "toolbar") {
        form.toolYon[4]->findChild<QAction*>(QStringLiteral("donustur"))->trigger();
      } else {
        QAction* item = nullptr;
        for (QAction* action : program.frame->menuBar()->actions())
          if (action->text() == QStringLiteral("Resim Dönüştür")) item = action;
        QVERIFY(item);
        item->trigger();
      }
    };
    open();
    frmConvert* converter = program.registry.find<frmConvert>();
    QVERIFY(converter);
    QVERIFY(converter->isVisible());
    QVERIFY(!converter->isModal());
    QVERIFY(!QApplication::activeModalWidget());
    // Asked again, the same window comes to the front.
    open();
    QCOMPARE(program.registry.find<frmConvert>(), converter);
    QVERIFY(program.captureWindow());  // the workspace's camera goes on
  }

  void aboutBoxIsShownModeless() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    QTest::mouseClick(program.form->Image22, Qt::LeftButton);
    hakkinda* box = program.registry.find<hakkinda>();
    QVERIFY(box);
    QVERIFY(box->isVisible());
    QVERIFY(!box->isModal());
  }

  void noticesAreModal_data() {
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("notice");
    QTest::newRow("Image11 shows Velmora Kartela") << "Image11"
                                                   << "frmKartela";
    QTest::newRow("Image12 shows Velmora Yoklama") << "Image12"
                                                   << "frmYoklama";
  }
  void noticesAreModal() {
    QFETCH(QString, picture);
    QFETCH(QString, notice);
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    QString modal;
    QTimer::singleShot(0, [&] {
      QWidget* shown = QApplication::activeModalWidget();
      if (!shown) return;
      modal = shown->objectName();
      QTest::keyClick(shown, Qt::Key_Escape);
    });
    auto* button = program.form->findChild<QToolButton*>(picture);
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);  // returns once the notice is closed
    QCOMPARE(modal, notice);
    QVERIFY(!QApplication::activeModalWidget());
  }
};

QTEST_MAIN(TestOpenedFromWorkspace)
#include "tst_opened_from_workspace.moc"
