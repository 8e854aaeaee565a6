// Start-up on a machine without any capture device: one warning, and the
// rest of start-up still runs.

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>

#include "platform/ui/dirlistbox.h"
#include "platform/ui/simplecombobox.h"
#include "support/sandbox.h"
#include "support/scripted_prompter.h"
#include "workspace_fixture.h"

class Form1NoCameraTest : public QObject {
  Q_OBJECT
 private slots:
  void warnsOnceAndGoesOn() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    prompts.answerMessage(ui::vbOK);
    const auto cameras = std::make_shared<testsupport::CountingCameras>(testsupport::noCameras());
    testsupport::ProgramWindows program(profile, prompts, cameras);
    Form1& form = *program.form;

    QCOMPARE(prompts.prompts().size(), 1);
    const testsupport::RecordedPrompt& warning = prompts.prompts().front();
    QCOMPARE(warning.text, QStringLiteral("Yüklü Video Aygıtı Yok."));
    QCOMPARE(warning.buttons, ui::vbOKOnly);
    QCOMPARE(warning.icon, ui::vbExclamation);
    QCOMPARE(warning.title, QStringLiteral("Velmora Photo"));

    QCOMPARE(form.List1->count(), 0);
    QCOMPARE(form.cmbCamList->count(), 0);
    QVERIFY(!program.captureWindow());
    QCOMPARE(cameras->opened(), 0);
    QCOMPARE(form.txtEn->text(), QStringLiteral("105"));
    QCOMPARE(form.cmbTur->currentIndex(), 0);
    QCOMPARE(form.pathbox->currentText(), QDir::currentPath());
    QCOMPARE(form.Dir1->path(), QDir::currentPath());
    QVERIFY(form.recordHistory);
  }

  void closingWithoutACameraIsHarmless() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    prompts.answerMessage(ui::vbOK);
    testsupport::ProgramWindows program(profile, prompts, testsupport::noCameras());
    program.form->KeyDown(ui::vbKeyEscape);
    QCOMPARE(program.endCalls(), 1);
    QVERIFY(program.workspaceWindow()->isHidden());
  }
};

QTEST_MAIN(Form1NoCameraTest)
#include "tst_form1_nocamera.moc"
