// The preview window: its place beside the workspace, its design size, one
// instance however often it is opened, and keys passed on to the workspace.

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "browser/frmonizle.h"
#include "platform/ui/picturebox.h"
#include "platform/ui/twips.h"
#include "support/sandbox.h"
#include "support/scripted_prompter.h"
#include "workspace/photo_fixture.h"
#include "workspace/workspace_fixture.h"

using testsupport::ProgramWindows;

namespace {

QMdiSubWindow* frameWindow(const QWidget& window) {
  return qobject_cast<QMdiSubWindow*>(window.parentWidget());
}

}  // namespace

class FrmOnizleTest : public QObject {
  Q_OBJECT
 private slots:
  void opensBesideTheWorkspaceAtTheTop() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    const QMdiSubWindow* workspace = program.workspaceWindow();

    program.form->mnuOnPen->trigger();

    const frmOnizle* preview = program.registry.find<frmOnizle>();
    QVERIFY(preview);
    const QMdiSubWindow* own = frameWindow(*preview);
    QVERIFY(own);
    QVERIFY(own->isVisible());
    QCOMPARE(own->windowTitle(), QStringLiteral("Resim"));
    const double left = ui::pixelsToTwipsX(workspace->x()) + ui::pixelsToTwipsX(workspace->width());
    QCOMPARE(own->pos(), QPoint(ui::twipsToPixelsX(left), 0));
    QVERIFY(own->x() >= workspace->geometry().right());
    QCOMPARE(preview->size(), QSize(ui::twipsToPixelsX(2760), ui::twipsToPixelsY(2655)));
    QCOMPARE(preview->Picture3->geometry(),
             QRect(0, 0, ui::twipsToPixelsX(2715), ui::twipsToPixelsY(2580)));
    // Fixed size: the user cannot resize it.
    QCOMPARE(own->minimumSize(), own->maximumSize());
  }

  void existsOnceHoweverOftenItIsOpened() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    program.form->mnuOnPen->trigger();
    frmOnizle* first = program.registry.find<frmOnizle>();
    frameWindow(*first)->close();
    program.form->mnuOnPen->trigger();
    program.form->takePhoto();
    program.form->showPreview();
    QCOMPARE(program.registry.find<frmOnizle>(), first);
    QVERIFY(frameWindow(*first)->isVisible());
    int previews = 0;
    for (QMdiSubWindow* sub : program.frame->mdiArea()->subWindowList())
      previews += qobject_cast<frmOnizle*>(sub->widget()) ? 1 : 0;
    QCOMPARE(previews, 1);
  }

  void keysActAsInTheWorkspace_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("photo");
    QTest::addColumn<bool>("previewed");
    QTest::addColumn<int>("ends");
    QTest::newRow("F5 takes a photo") << int(Qt::Key_F5) << true << false << 0;
    QTest::newRow("F6 previews the framed part") << int(Qt::Key_F6) << false << true << 0;
    QTest::newRow("F9 ends the program") << int(Qt::Key_F9) << false << false << 1;
    QTest::newRow("Esc works like Kapat") << int(Qt::Key_Escape) << false << false << 1;
    QTest::newRow("F8 does nothing") << int(Qt::Key_F8) << false << false << 0;
  }
  void keysActAsInTheWorkspace() {
    QFETCH(int, key);
    QFETCH(bool, photo);
    QFETCH(bool, previewed);
    QFETCH(int, ends);
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    Form1& form = *program.form;
    if (previewed) form.takePhoto();  // F6 needs a photo to cut from
    form.Label5->setGeometry(10, 10, 105, 120);
    form.mnuOnPen->trigger();
    frmOnizle& preview = *program.registry.find<frmOnizle>();
    QVERIFY(!preview.Picture3->hasPicture());

    QTest::keyClick(&preview, Qt::Key(key));

    QCOMPARE(form.photo.hasBitmap(), photo || previewed);
    QCOMPARE(preview.Picture3->hasPicture(), previewed);
    if (previewed) QCOMPARE(preview.Picture3->picture().size(), QSize(105, 120));
    QCOMPARE(program.endCalls(), ends);
  }
};

QTEST_MAIN(FrmOnizleTest)
#include "tst_frmonizle.moc"
