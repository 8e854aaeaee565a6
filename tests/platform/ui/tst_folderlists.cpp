// The folder list and the drive list: their paths, their failures as values,
// and the change signal that fires once per real change, before the setter returns.

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidgetItem>

#include "platform/ui/dirlistbox.h"
#include "platform/ui/drivelistbox.h"

namespace {

QStringList childNames(const ui::DirListBox& list) {
  QStringList names;
  const QTreeWidgetItem* current = list.currentItem();
  for (int i = 0; current && i < current->childCount(); ++i)
    names.append(current->child(i)->text(0));
  return names;
}

}  // namespace

class FolderListsTest : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    QVERIFY(root_.isValid());
    for (const char* sub : {"Okul/9-A", "Okul/10-B", "Okul/.gizli", "Boş"}) {
      QVERIFY(QDir().mkpath(root_.filePath(QString::fromUtf8(sub))));
    }
    QFile file(root_.filePath(QStringLiteral("not-a-folder.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
  }

  void startsAtTheCurrentDirectory() {
    ui::DirListBox list;
    QCOMPARE(list.path(), QDir::currentPath());
  }

  void settingAPathShowsItsSubfoldersAndSignalsOnce() {
    ui::DirListBox list;
    QSignalSpy changed(&list, &ui::DirListBox::changed);
    const QString okul = root_.filePath(QStringLiteral("Okul"));
    QVERIFY(list.setPath(okul + QStringLiteral("/")));
    QCOMPARE(list.path(), okul);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(childNames(list), (QStringList{QStringLiteral("10-B"), QStringLiteral("9-A")}));
    QCOMPARE(list.currentItem()->text(0), QStringLiteral("Okul"));
    // The same folder again is no change.
    QVERIFY(list.setPath(okul));
    QCOMPARE(changed.count(), 1);
  }

  void failuresLeaveThePathAlone_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("error");
    QTest::newRow("a folder that does not exist")
        << root_.filePath(QStringLiteral("yok")) << int(ui::FolderError::NotFound);
    QTest::newRow("a file is not a folder")
        << root_.filePath(QStringLiteral("not-a-folder.txt")) << int(ui::FolderError::NotAFolder);
    QTest::newRow("an empty path") << QString() << int(ui::FolderError::NotFound);
  }
  void failuresLeaveThePathAlone() {
    QFETCH(QString, path);
    QFETCH(int, error);
    ui::DirListBox list;
    const QString before = list.path();
    QSignalSpy changed(&list, &ui::DirListBox::changed);
    const auto result = list.setPath(path);
    QVERIFY(!result);
    QCOMPARE(int(result.error()), error);
    QCOMPARE(list.path(), before);
    QCOMPARE(changed.count(), 0);
  }

  void relativePathsStartAtTheCurrentDirectory() {
    const QString saved = QDir::currentPath();
    QVERIFY(QDir::setCurrent(root_.path()));
    ui::DirListBox list;
    QVERIFY(list.setPath(QStringLiteral("Okul/9-A")));
    QDir::setCurrent(saved);
    QCOMPARE(list.path(), root_.filePath(QStringLiteral("Okul/9-A")));
  }

  void activatingAFolderOpensIt() {
    ui::DirListBox list;
    QVERIFY(list.setPath(root_.filePath(QStringLiteral("Okul"))));
    QSignalSpy changed(&list, &ui::DirListBox::changed);
    QTreeWidgetItem* nineA = list.currentItem()->child(1);
    emit list.itemActivated(nineA, 0);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(list.path(), root_.filePath(QStringLiteral("Okul/9-A")));
    // Its parent is listed above it and opens the same way.
    QTreeWidgetItem* parent = list.currentItem()->parent();
    emit list.itemActivated(parent, 0);
    QCOMPARE(list.path(), root_.filePath(QStringLiteral("Okul")));
  }

  void activatingAVanishedFolderOnlyRefreshes() {
    ui::DirListBox list;
    QVERIFY(list.setPath(root_.filePath(QStringLiteral("Okul"))));
    QVERIFY(QDir(root_.filePath(QStringLiteral("Okul/10-B"))).removeRecursively());
    QSignalSpy changed(&list, &ui::DirListBox::changed);
    emit list.itemActivated(list.currentItem()->child(0), 0);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(childNames(list), QStringList{QStringLiteral("9-A")});
  }

  void refreshShowsNewFolders() {
    ui::DirListBox list;
    QVERIFY(list.setPath(root_.filePath(QStringLiteral("Okul"))));
    QVERIFY(QDir().mkpath(root_.filePath(QStringLiteral("Okul/11-C"))));
    QCOMPARE(childNames(list).size(), 2);
    list.refresh();
    QCOMPARE(childNames(list).size(), 3);
  }

  void driveFollowsThePathItHolds() {
    const std::vector<ui::Volume> volumes{{QStringLiteral("/"), {}},
                                          {QStringLiteral("/media/usb"), QStringLiteral("USB")}};
    ui::DriveListBox drives(nullptr, volumes);
    QCOMPARE(drives.count(), 2);
    QCOMPARE(drives.itemText(1), QStringLiteral("/media/usb [USB]"));
    QSignalSpy changed(&drives, &ui::DriveListBox::changed);
    QVERIFY(drives.setDrive(QStringLiteral("/media/usb/Resimler")));
    QCOMPARE(drives.drive(), QStringLiteral("/media/usb"));
    QCOMPARE(drives.currentIndex(), 1);
    QCOMPARE(changed.count(), 1);
    // Another path on the same volume is no change.
    QVERIFY(drives.setDrive(QStringLiteral("/media/usb")));
    QCOMPARE(changed.count(), 1);
    QVERIFY(drives.setDrive(QStringLiteral("/home/okul")));
    QCOMPARE(drives.drive(), QStringLiteral("/"));
    QCOMPARE(changed.count(), 2);
  }

  void driveListStartsQuietlyOnTheCurrentDirectorysVolume() {
    ui::DriveListBox drives(nullptr, {{QStringLiteral("/"), {}}});
    QCOMPARE(drives.drive(), QStringLiteral("/"));
  }

  void aPathWithoutAVolumeIsAnError() {
    ui::DriveListBox drives(nullptr, {{QStringLiteral("/"), {}}});
    QSignalSpy changed(&drives, &ui::DriveListBox::changed);
    const auto result = drives.setDrive(QStringLiteral("C:"));
    QVERIFY(!result);
    QCOMPARE(result.error(), ui::DriveError::NoSuchDrive);
    QCOMPARE(drives.drive(), QStringLiteral("/"));
    QCOMPARE(changed.count(), 0);
  }

  void userChoiceSignalsToo() {
    ui::DriveListBox drives(nullptr, {{QStringLiteral("/"), {}}, {QStringLiteral("/mnt/x"), {}}});
    QSignalSpy changed(&drives, &ui::DriveListBox::changed);
    drives.setCurrentIndex(1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(drives.drive(), QStringLiteral("/mnt/x"));
  }

 private:
  QTemporaryDir root_;
};

QTEST_MAIN(FolderListsTest)
#include "tst_folderlists.moc"
