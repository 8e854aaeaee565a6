// The target folder through the real folder, drive and history controls on
// real temporary folder trees: the history the folder rule keeps, back and
// forward, a new folder, unreadable drives and folders that went away.

#include <QDir>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QToolButton>

#include "platform/ui/dirlistbox.h"
#include "platform/ui/drivelistbox.h"
#include "platform/ui/simplecombobox.h"
#include "platform/ui/volumes.h"
#include "settings/Module1.h"
#include "support/sandbox.h"
#include "support/scripted_prompter.h"
#include "workspace_fixture.h"

using testsupport::ProgramWindows;
using testsupport::SandboxProfile;
using testsupport::settingsOf;

namespace {

QString storedPath(const SandboxProfile& profile) {
  return settingsOf(profile).getStringValue(Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(),
                                            QStringLiteral("Path"));
}

QStringList historyShown(const Form1& form) {
  QStringList entries;
  for (int i = 0; i < form.pathbox->count(); ++i) entries << form.pathbox->itemText(i);
  return entries;
}

// pathbox shows the history exactly: its entries, its current one, its text.
void checkHistoryShown(const Form1& form) {
  QCOMPARE(historyShown(form), form.folderHistory.entries());
  QCOMPARE(form.pathbox->currentIndex(), form.folderHistory.current());
  QCOMPARE(form.pathbox->currentText(), form.folderHistory.currentFolder());
  QCOMPARE(form.pathbox->toolTip(), form.pathbox->currentText());
}

// Drives over a sandbox: "/" and the given folders as mounted volumes; a
// folder on a volume listed in `dead` cannot be read.
struct SandboxDrives {
  std::shared_ptr<QStringList> dead = std::make_shared<QStringList>();
  ui::DriveAccess access(const QStringList& mountPoints) const {
    ui::DriveAccess drives;
    drives.list = [mountPoints] {
      std::vector<ui::Volume> volumes{{QStringLiteral("/"), {}}};
      for (const QString& root : mountPoints) volumes.push_back({root, QStringLiteral("USB")});
      return volumes;
    };
    drives.probe = [dead = dead](const QString& folder) -> base::Expected<void, base::SystemError> {
      for (const QString& root : *dead) {
        if (folder == root || folder.startsWith(root + QLatin1Char('/'))) {
          return base::SystemError{ENOMEDIUM, "open folder"};
        }
      }
      return ui::probeFolder(folder);
    };
    return drives;
  }
};

class FolderTree {
 public:
  explicit FolderTree(const SandboxProfile& profile) : root_(profile.root() + "/okul") {}
  QString make(const QString& name) const {
    QDir().mkpath(path(name));
    return path(name);
  }
  QString path(const QString& name) const { return root_ + QLatin1Char('/') + name; }

 private:
  QString root_;
};

}  // namespace

class Form1FolderTest : public QObject {
  Q_OBJECT
 private slots:
  void plainStartHasOneEntryAndNoWayToGo() {
    SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    Form1& form = *program.form;
    QCOMPARE(form.folderHistory.entries(), QStringList{QDir::currentPath()});
    checkHistoryShown(form);
    QVERIFY(!form.hrkt[0]->isEnabled());
    QVERIFY(!form.hrkt[1]->isEnabled());
    QCOMPARE(form.hrkt[0]->toolTip(), QStringLiteral("Geri "));
    QCOMPARE(form.hrkt[1]->toolTip(), QStringLiteral("İleri "));
  }

  void storedFolderIsInTheHistoryTwice() {
    SandboxProfile profile;
    const QString photos = FolderTree(profile).make("Fotoğraflar");
    settingsOf(profile).saveStringValue(Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(),
                                        QStringLiteral("Path"), photos);
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    Form1& form = *program.form;
    QCOMPARE(form.folderHistory.entries(), (QStringList{photos, photos}));
    QCOMPARE(form.folderHistory.current(), 1);
    checkHistoryShown(form);
    QVERIFY(form.hrkt[0]->isEnabled());
    QVERIFY(!form.hrkt[1]->isEnabled());
    QCOMPARE(QDir::currentPath(), photos);

    // Back to the same folder changes nothing on disk, and the next folder
    // chosen is still recorded.
    form.hrkt[0]->click();
    QCOMPARE(form.folderHistory.current(), 0);
    const QString next = FolderTree(profile).make("Sonraki");
    QVERIFY(form.Dir1->setPath(next));
    QCOMPARE(form.folderHistory.entries(), (QStringList{photos, next}));
    QCOMPARE(storedPath(profile), next);
  }

  void visitsAndBackTwice() {
    SandboxProfile profile;
    const FolderTree tree(profile);
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    Form1& form = *program.form;
    const QString start = form.Dir1->path();
    for (const char* name : {"A", "B", "C"}) QVERIFY(form.Dir1->setPath(tree.make(name)));
    QCOMPARE(form.folderHistory.entries(),
             (QStringList{start, tree.path("A"), tree.path("B"), tree.path("C")}));
    checkHistoryShown(form);
    QCOMPARE(form.hrkt[0]->toolTip(), QStringLiteral("Geri ") + tree.path("B"));
    QVERIFY(!form.hrkt[1]->isEnabled());
    QCOMPARE(storedPath(profile), tree.path("C"));

    form.hrkt[0]->click();
    form.hrkt[0]->click();
    QCOMPARE(form.Dir1->path(), tree.path("A"));
    QCOMPARE(QDir::currentPath(), tree.path("A"));
    QCOMPARE(form.folderHistory.currentFolder(), tree.path("A"));
    checkHistoryShown(form);
    QVERIFY(form.hrkt[1]->isEnabled());
    QCOMPARE(form.hrkt[1]->toolTip(), QStringLiteral("İleri ") + tree.path("B"));
    QCOMPARE(storedPath(profile), tree.path("A"));
    QVERIFY(form.recordHistory);
    QVERIFY(prompts.prompts().isEmpty());

    form.hrkt[1]->click();
    QCOMPARE(form.Dir1->path(), tree.path("B"));
    QCOMPARE(form.hrkt[1]->toolTip(), QStringLiteral("İleri ") + tree.path("C"));
  }

  void choosingFromTheMiddle_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QStringList>("after");  // the entries after the start folder
    QTest::newRow("another folder replaces the next entry") << "D" << QStringList{"A", "D", "C"};
    QTest::newRow("the next entry itself leaves the history as it is")
        << "B" << QStringList{"A", "B", "C"};
  }
  void choosingFromTheMiddle() {
    QFETCH(QString, chosen);
    QFETCH(QStringList, after);
    SandboxProfile profile;
    const FolderTree tree(profile);
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    Form1& form = *program.form;
    const QString start = form.Dir1->path();
    for (const char* name : {"A", "B", "C", "D"}) tree.make(name);
    for (const char* name : {"A", "B", "C"}) QVERIFY(form.Dir1->setPath(tree.path(name)));
    form.hrkt[0]->click();
    form.hrkt[0]->click();

    QVERIFY(form.Dir1->setPath(tree.path(chosen)));
    QStringList expected{start};
    for (const QString& name : after) expected << tree.path(name);
    QCOMPARE(form.folderHistory.entries(), expected);
    QCOMPARE(form.folderHistory.currentFolder(), tree.path(chosen));
    checkHistoryShown(form);
    QVERIFY(form.hrkt[1]->isEnabled());
    QCOMPARE(form.hrkt[1]->toolTip(), QStringLiteral("İleri ") + tree.path("C"));
    QCOMPARE(storedPath(profile), tree.path(chosen));
  }

  void newFolder_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("made");  // the folder entered; empty: nothing happens
    QTest::newRow("the default name") << "Ek Ders Belgeleri"
                                      << "Ek Ders Belgeleri";
    QTest::newRow("blanks around the name are trimmed") << "  Yeni Sınıf  "
                                                        << "Yeni Sınıf";
    QTest::newRow("cancel") << ""
                            << "";
    QTest::newRow("only blanks") << "   "
                                 << "";
    QTest::newRow("an existing folder") << "Var"
                                        << "";
    QTest::newRow("a name leading to the parent") << "../x"
                                                  << "";
    QTest::newRow("a name with a slash") << "Var/x"
                                         << "";
    QTest::newRow("the parent itself") << ".."
                                       << "";
    QTest::newRow("the folder itself") << "."
                                       << "";
  }
  void newFolder() {
    QFETCH(QString, answer);
    QFETCH(QString, made);
    SandboxProfile profile;
    const FolderTree tree(profile);
    const QString school = tree.make("Okul");
    QVERIFY(QDir().mkpath(school + "/Var"));
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    Form1& form = *program.form;
    QVERIFY(form.Dir1->setPath(school));
    const QStringList before = form.folderHistory.entries();
    const QStringList treeBefore =
        QDir(tree.path("")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    prompts.answerInput(answer);
    form.Yeniklsr->click();

    QCOMPARE(prompts.prompts().size(), 1);
    const testsupport::RecordedPrompt& asked = prompts.prompts()[0];
    QCOMPARE(asked.kind, testsupport::RecordedPrompt::Kind::Input);
    QCOMPARE(asked.text, QStringLiteral("Yeni oluşturulacak olan klasörün adını giriniz"));
    QCOMPARE(asked.title, QStringLiteral("Yeni Klasör Oluştur"));
    QCOMPARE(asked.defaultText, QStringLiteral("Ek Ders Belgeleri"));
    // Nothing appeared beside the target folder.
    QCOMPARE(QDir(tree.path("")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), treeBefore);
    if (made.isEmpty()) {
      QCOMPARE(form.Dir1->path(), school);
      QCOMPARE(form.folderHistory.entries(), before);
      QCOMPARE(QDir(school).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Var"});
      QCOMPARE(storedPath(profile), school);
      return;
    }
    const QString folder = school + QLatin1Char('/') + made;
    QVERIFY(QFileInfo(folder).isDir());
    QCOMPARE(form.Dir1->path(), folder);
    QCOMPARE(form.folderHistory.entries(), before + QStringList{folder});
    checkHistoryShown(form);
    QCOMPARE(storedPath(profile), folder);
  }

  void f3AsksForANewFolder() {
    SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    prompts.answerInput(QString());
    QTest::keyClick(program.form->txtOnAd, Qt::Key_F3);
    QCOMPARE(prompts.prompts().size(), 1);
    QCOMPARE(prompts.prompts()[0].title, QStringLiteral("Yeni Klasör Oluştur"));
  }

  void unreadableDriveIsShownOnceAndThePreviousComesBack() {
    SandboxProfile profile;
    const FolderTree tree(profile);
    const QString card = tree.make("kart");
    SandboxDrives drives;
    *drives.dead << card;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts, testsupport::fakeCameras("Kamera A"),
                           drives.access({card}));
    Form1& form = *program.form;
    const QString folder = form.Dir1->path();
    const QStringList history = form.folderHistory.entries();
    QCOMPARE(form.Drive1->currentIndex(), 0);

    prompts.answerMessage(ui::vbOK);
    form.Drive1->setCurrentIndex(1);

    QCOMPARE(prompts.prompts().size(), 1);
    QCOMPARE(prompts.prompts()[0].text, QStringLiteral("Sürücüde Disk/Disket Yok"));
    QCOMPARE(prompts.prompts()[0].buttons, ui::vbOKOnly);
    QCOMPARE(prompts.prompts()[0].icon, ui::vbNoIcon);
    QCOMPARE(form.Drive1->currentIndex(), 0);
    QCOMPARE(form.lastDriveIndex, 0);
    QCOMPARE(form.Dir1->path(), folder);
    QCOMPARE(form.folderHistory.entries(), history);

    // The card put in: the drive is taken and its folder entered and recorded.
    drives.dead->clear();
    form.Drive1->setCurrentIndex(1);
    QCOMPARE(form.Dir1->path(), card);
    QCOMPARE(form.lastDriveIndex, 1);
    QCOMPARE(form.folderHistory.currentFolder(), card);
  }

  void twoUnreadableDrivesInARow() {
    SandboxProfile profile;
    const FolderTree tree(profile);
    const QString card = tree.make("kart");
    const QString network = tree.make("ag");
    SandboxDrives drives;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts, testsupport::fakeCameras("Kamera A"),
                           drives.access({card, network}));
    Form1& form = *program.form;
    form.Drive1->setCurrentIndex(2);  // the network drive, still there
    QCOMPARE(form.lastDriveIndex, 2);
    QCOMPARE(form.Dir1->path(), network);

    // It dies, and the card reader is empty.
    *drives.dead << card << network;
    prompts.answerMessage(ui::vbOK);
    form.Drive1->setCurrentIndex(1);

    QCOMPARE(prompts.prompts().size(), 1);
    // Back on the drive of the folder still shown, without another round.
    QCOMPARE(form.Drive1->currentIndex(), 2);
    QCOMPARE(form.Dir1->path(), network);
    QCOMPARE(program.endCalls(), 0);
  }

  void vanishedHistoryFolder_data() {
    QTest::addColumn<bool>("back");
    QTest::addColumn<bool>("driveDies");  // else the folder is removed
    QTest::newRow("going back to a removed folder") << true << false;
    QTest::newRow("going forward to a removed folder") << false << false;
    QTest::newRow("going back to a folder whose drive died") << true << true;
  }
  void vanishedHistoryFolder() {
    QFETCH(bool, back);
    QFETCH(bool, driveDies);
    SandboxProfile profile;
    const FolderTree tree(profile);
    SandboxDrives drives;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts, testsupport::fakeCameras("Kamera A"),
                           drives.access({tree.path("B")}));
    Form1& form = *program.form;
    for (const char* name : {"A", "B", "C"}) QVERIFY(form.Dir1->setPath(tree.make(name)));
    if (!back) {
      form.hrkt[0]->click();
      form.hrkt[0]->click();
    }
    const QString stays = back ? tree.path("C") : tree.path("A");
    if (driveDies) {
      *drives.dead << tree.path("B");
    } else {
      QVERIFY(QDir(tree.path("B")).removeRecursively());
    }
    const QStringList history = form.folderHistory.entries();
    const int current = form.folderHistory.current();

    prompts.answerMessage(ui::vbOK);
    form.hrkt[back ? 0 : 1]->click();

    QCOMPARE(prompts.prompts().size(), 1);
    QCOMPARE(prompts.prompts()[0].text, QStringLiteral("Klasör bulunamadı: ") + tree.path("B"));
    QCOMPARE(prompts.prompts()[0].title, QStringLiteral("Velmora Photo"));
    QCOMPARE(form.Dir1->path(), stays);
    QCOMPARE(form.folderHistory.entries(), history);
    QCOMPARE(form.folderHistory.current(), current);
    checkHistoryShown(form);
    QCOMPARE(storedPath(profile), stays);
    QVERIFY(form.recordHistory);
    QCOMPARE(program.endCalls(), 0);

    // Still usable: the folder back again is reached, and new visits are recorded.
    drives.dead->clear();
    tree.make("B");
    form.hrkt[back ? 0 : 1]->click();
    QCOMPARE(form.Dir1->path(), tree.path("B"));
    QVERIFY(form.Dir1->setPath(tree.make("D")));
    QCOMPARE(form.folderHistory.currentFolder(), tree.path("D"));
  }
};

QTEST_MAIN(Form1FolderTest)
#include "tst_form1_folder.moc"
