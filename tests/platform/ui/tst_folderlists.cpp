// The folder list and the drive list: their paths, their failures as values,
// and the change signal that fires once per real change, before the setter returns.

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidgetItem>
#include <future>
#include <memory>

#include "platform/ui/dirlistbox.h"
#include "platform/ui/drivelistbox.h"
#include "platform/ui/volumes.h"

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

  void probe_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("error");  // 0: readable
    QTest::newRow("a folder can be read") << "Okul" << 0;
    QTest::newRow("a missing folder") << "yok" << ENOENT;
    QTest::newRow("a file is no folder") << "not-a-folder.txt" << ENOTDIR;
  }
  void probe() {
    QFETCH(QString, name);
    QFETCH(int, error);
    const auto readable = ui::probeFolder(root_.filePath(name));
    QCOMPARE(readable.ok(), error == 0);
    if (error != 0) QCOMPARE(readable.error().code, error);
  }

  void aProbeThatDoesNotAnswerGivesUpAtItsLimit() {
    // The opening blocks until the test lets it go, as a dead mount would.
    auto release = std::make_shared<std::promise<void>>();
    std::shared_future<void> released = release->get_future().share();
    std::promise<void> finished;
    std::future<void> workerDone = finished.get_future();
    const auto readable = ui::probeFolderWith(
        [released, finished = std::make_shared<std::promise<void>>(std::move(finished))] {
          released.wait();
          finished->set_value();
          return 0;
        },
        QStringLiteral("/mnt/ag"), std::chrono::milliseconds(20));
    QVERIFY(!readable);
    QCOMPARE(readable.error().code, ETIMEDOUT);
    QVERIFY(QString::fromStdString(readable.error().context).contains("/mnt/ag"));
    // The stuck worker ends on its own once the opening returns.
    release->set_value();
    workerDone.wait();
  }

  void mountTable_data() {
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<QStringList>("shown");  // captions in list order
    QTest::newRow("system first, then homes, media, network, the rest")
        << QByteArray(
               "/dev/sdc1 /mnt/yedek ext4 rw 0 0\n"
               "server:/okul /mnt/okul nfs4 rw 0 0\n"
               "/dev/sdb1 /media/ali/KART vfat rw 0 0\n"
               "/dev/sdd1 /run/media/ayse/USB vfat rw 0 0\n"
               "/dev/sda2 /home ext4 rw 0 0\n"
               "/dev/sda1 / ext4 rw 0 0\n")
        << QStringList{"/",
                       "/home",
                       "/media/ali/KART [KART]",
                       "/run/media/ayse/USB",
                       "/mnt/okul [server:/okul]",
                       "/mnt/yedek"};
    QTest::newRow("pseudo file systems and system areas are left out")
        << QByteArray(
               "proc /proc proc rw 0 0\n"
               "tmpfs /run tmpfs rw 0 0\n"
               "/dev/sda1 / ext4 rw 0 0\n"
               "tmpfs /tmp tmpfs rw 0 0\n"
               "/dev/loop0 /snap/core/1 squashfs ro 0 0\n"
               "/dev/sda3 /boot/efi vfat rw 0 0\n")
        << QStringList{"/"};
    QTest::newRow("escaped blanks in a mount point")
        << QByteArray("/dev/sda1 / ext4 rw 0 0\n/dev/sdb1 /media/ali/Yeni\\040Birim vfat rw 0 0\n")
        << QStringList{"/", "/media/ali/Yeni Birim [KART]"};
    QTest::newRow("the root is there even when the table is empty")
        << QByteArray() << QStringList{"/"};
    QTest::newRow("a volume mounted twice is listed once")
        << QByteArray(
               "/dev/sda1 / ext4 rw 0 0\n/dev/sdb1 /media/x vfat rw 0 0\n"
               "/dev/sdb1 /media/x vfat rw 0 0\n")
        << QStringList{"/", "/media/x [KART]"};
  }
  void mountTable() {
    QFETCH(QByteArray, table);
    QFETCH(QStringList, shown);
    const auto volumes = ui::volumesFromMountTable(table, [](const QString& device) {
      return device == QLatin1String("/dev/sdb1") ? QStringLiteral("KART") : QString();
    });
    QStringList captions;
    for (const ui::Volume& volume : volumes) captions << ui::volumeCaption(volume);
    QCOMPARE(captions, shown);
  }

 private:
  QTemporaryDir root_;
};

QTEST_MAIN(FolderListsTest)
#include "tst_folderlists.moc"
