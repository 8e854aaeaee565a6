// Names and set-aside copies: names compared without regard to case, finding
// a file whatever the letter case of its name, and moving an old file aside
// so that it is never lost while a new one is written.

#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>

#include "file_text.h"
#include "platform/files/case_fold.h"
#include "platform/files/set_aside.h"
#include "platform/files/syscalls.h"

namespace fs = std::filesystem;
using testsupport::readText;
using testsupport::writeText;

namespace {

// Names in the folder, hidden ones included, sorted.
QStringList folderNames(const fs::path& folder) {
  QStringList names;
  for (const auto& entry : fs::directory_iterator(folder))
    names << QString::fromStdString(entry.path().filename().string());
  names.sort();
  return names;
}

}  // namespace

class FilesTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    folder_ = fs::path(dir_.path().toStdString()) / "case";
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }

  void findsIgnoringCase_data() {
    QTest::addColumn<QStringList>("present");  // files; a trailing '/' makes a folder
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("found");  // empty: nothing found

    QTest::newRow("exact name") << QStringList{"Resim001.jpg"} << "Resim001.jpg"
                                << "Resim001.jpg";
    QTest::newRow("extension in other case") << QStringList{"Resim001.jpg"} << "Resim001.JPG"
                                             << "Resim001.jpg";
    QTest::newRow("whole name in other case") << QStringList{"resim001.jpg"} << "RESIM001.JPG"
                                              << "resim001.jpg";
    QTest::newRow("dotted capital I is another letter than i")
        << QStringList{"öğrenci_çağ.bmp"} << "ÖĞRENCİ_ÇAĞ.bmp"
        << "";
    QTest::newRow("Turkish letters without dotted I")
        << QStringList{"öğrenci_çağ.bmp"} << "ÖĞRENCI_ÇAĞ.BMP"
        << "öğrenci_çağ.bmp";
    QTest::newRow("absent") << QStringList{"Resim002.jpg"} << "Resim001.jpg"
                            << "";
    QTest::newRow("a different extension is another file")
        << QStringList{"Resim001.gif"} << "Resim001.jpg"
        << "";
    QTest::newRow("exact name preferred over case variants")
        << QStringList{"RESIM001.JPG", "Resim001.jpg", "resim001.jpg"} << "Resim001.jpg"
        << "Resim001.jpg";
    QTest::newRow("several case variants: first in name order")
        << QStringList{"resim001.jpg", "RESIM001.JPG"} << "Resim001.Jpg"
        << "RESIM001.JPG";
    QTest::newRow("a folder is not a file") << QStringList{"Resim001.jpg/"} << "Resim001.jpg"
                                            << "";
    QTest::newRow("a folder in other case is not a file")
        << QStringList{"resim001.jpg/"} << "Resim001.jpg"
        << "";
  }
  void findsIgnoringCase() {
    QFETCH(QStringList, present);
    QFETCH(QString, asked);
    QFETCH(QString, found);
    for (const QString& name : present) {
      if (name.endsWith('/'))
        fs::create_directory(folder_ / name.chopped(1).toStdString());
      else
        writeText(folder_ / name.toStdString(), "x");
    }
    const auto result = files::findFileIgnoringCase((folder_ / asked.toStdString()).string());
    if (found.isEmpty()) {
      QVERIFY2(!result, result ? result->c_str() : "");
    } else {
      QVERIFY(result);
      QCOMPARE(QString::fromStdString(*result),
               QString::fromStdString((folder_ / found.toStdString()).string()));
    }
  }

  void missingFolderFindsNothing() {
    QVERIFY(!files::findFileIgnoringCase((folder_ / "yok" / "Resim001.jpg").string()));
    QVERIFY(!files::findFileIgnoringCase(""));
    QVERIFY(!files::findFileIgnoringCase(folder_.string() + "/"));
  }

  // A name without a folder is looked up in the current one and stays bare.
  void bareNameIsLookedUpHere() {
    writeText(folder_ / "Resim001.jpg", "x");
    const fs::path before = fs::current_path();
    fs::current_path(folder_);
    const auto found = files::findFileIgnoringCase("RESIM001.JPG");
    fs::current_path(before);
    QCOMPARE(found, std::optional<std::string>("Resim001.jpg"));
  }

  // A folder that cannot be listed finds nothing rather than guessing.
  void unlistableFolderFindsNothing() {
    writeText(folder_ / "Resim001.jpg", "x");
    files::ScopedSyscalls seam;
    seam.table().opendir = [](const char*) -> DIR* { return errno = EACCES, nullptr; };
    QVERIFY(!files::findFileIgnoringCase((folder_ / "RESIM001.JPG").string()));
    QVERIFY(files::findFileIgnoringCase((folder_ / "Resim001.jpg").string()));
  }

  // The hidden name is short whatever the file is called, so that a file
  // whose name is as long as names go can be set aside too.
  void setAsideFreesTheNameAndKeepsTheFile_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("everyday name") << "Resim001.jpg";
    QTest::newRow("name of 255 bytes") << QString(251, 'r') + ".jpg";
    QTest::newRow("Turkish name of 255 bytes") << QString(125, QChar(0x15F)) + "s.jpg";
  }
  void setAsideFreesTheNameAndKeepsTheFile() {
    QFETCH(QString, name);
    const auto file = folder_ / name.toStdString();
    writeText(file, "old");
    auto aside = files::SetAside::move(file.string());
    QVERIFY(aside);
    QVERIFY(!fs::exists(file));
    QVERIFY(aside->holdsFile());
    QCOMPARE(fs::path(aside->asidePath()).parent_path(), folder_);
    const std::string hidden = fs::path(aside->asidePath()).filename().string();
    QVERIFY2(hidden.starts_with(".tandeo-old-") && hidden.size() == 24, hidden.c_str());
    QCOMPARE(readText(aside->asidePath()), std::string("old"));
    QVERIFY(aside->commit());
    QVERIFY(folderNames(folder_).isEmpty());
  }

  // What is left in the folder after the replacement's writer has finished.
  void endsOfASetAside_data() {
    QTest::addColumn<QString>("ending");
    QTest::addColumn<bool>("newFileWritten");
    QTest::addColumn<QString>("content");  // of Resim001.jpg; empty: absent
    QTest::addColumn<int>("filesLeft");

    QTest::newRow("commit after the new file is written discards the old")
        << "commit" << true << "new" << 1;
    QTest::newRow("restore after a failed write brings the old back")
        << "restore" << false << "old" << 1;
    QTest::newRow("restore wins over what a failed writer left behind")
        << "restore" << true << "old" << 1;
    QTest::newRow("dropped without a write brings the old back") << "drop" << false << "old" << 1;
    QTest::newRow("dropped after a write keeps both, nothing lost") << "drop" << true << "new" << 2;
    QTest::newRow("moved to another owner which is dropped brings the old back")
        << "move then drop" << false << "old" << 1;
  }
  void endsOfASetAside() {
    QFETCH(QString, ending);
    QFETCH(bool, newFileWritten);
    QFETCH(QString, content);
    QFETCH(int, filesLeft);
    const auto file = folder_ / "Resim001.jpg";
    writeText(file, "old");
    {
      auto aside = files::SetAside::move(file.string());
      QVERIFY(aside);
      if (newFileWritten) writeText(file, "new");
      if (ending == "commit") QVERIFY(aside->commit());
      if (ending == "restore") QVERIFY(aside->restore());
      if (ending == "move then drop") {
        files::SetAside other = std::move(*aside);
        QVERIFY(!aside->holdsFile());
        QVERIFY(other.holdsFile());
      }
    }
    QCOMPARE(readText(file), content.toStdString());
    QCOMPARE(folderNames(folder_).size(), filesLeft);
  }

  void setAsideOfAMissingFileFails() {
    auto aside = files::SetAside::move((folder_ / "Resim001.jpg").string());
    QVERIFY(!aside);
    QCOMPARE(aside.error().code, ENOENT);
    QVERIFY(aside.error().message().find("Resim001.jpg") != std::string::npos);
    QVERIFY(folderNames(folder_).isEmpty());
  }

  // Without RENAME_NOREPLACE (older file systems) the move still never
  // replaces a file that has taken the hidden name meanwhile.
  void setAsideWithoutNoReplaceFallsBackToALink() {
    const auto file = folder_ / "Resim001.jpg";
    writeText(file, "old");
    files::ScopedSyscalls seam;
    seam.table().renameat2 = [](const char*, const char*, unsigned) { return errno = EINVAL, -1; };
    {
      auto aside = files::SetAside::move(file.string());
      QVERIFY(aside);
      QVERIFY(!fs::exists(file));
      QCOMPARE(readText(aside->asidePath()), std::string("old"));
    }
    QCOMPARE(readText(file), std::string("old"));
    QCOMPARE(folderNames(folder_).size(), 1);
  }

  void restoreThatFailsKeepsTheCopy() {
    const auto file = folder_ / "Resim001.jpg";
    writeText(file, "old");
    auto aside = files::SetAside::move(file.string());
    QVERIFY(aside);
    {
      files::ScopedSyscalls seam;
      seam.table().rename = [](const char*, const char*) { return errno = EIO, -1; };
      const auto restored = aside->restore();
      QVERIFY(!restored);
      QCOMPARE(restored.error().code, EIO);
    }
    QVERIFY(aside->holdsFile());
    QCOMPARE(readText(aside->asidePath()), std::string("old"));
  }

  void foldedNames_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("equal");

    QTest::newRow("ASCII letters") << "Velmora\\Photo"
                                   << "VELMORA\\photo" << true;
    QTest::newRow("Turkish letters with simple pairs") << "ĞÜŞÖÇ"
                                                       << "ğüşöç" << true;
    QTest::newRow("dotted capital I is not plain i") << "İ"
                                                     << "i" << false;
    QTest::newRow("dotless small i is not plain I") << "ı"
                                                    << "I" << false;
    QTest::newRow("Latin-1 letters") << "ÀÉÎÕÛ"
                                     << "àéîõû" << true;
    QTest::newRow("multiplication sign has no pair") << "×"
                                                     << "÷" << false;
    QTest::newRow("Latin Extended-A odd pairs") << "ĹŇŹŽ"
                                                << "ĺňźž" << true;
    QTest::newRow("Greek letters") << "ΑΒΓΣ"
                                   << "αβγς" << true;
    QTest::newRow("Cyrillic letters") << "ЁЖЯ"
                                      << "ёжя" << true;
    QTest::newRow("different letters") << "En"
                                       << "Boy" << false;
    QTest::newRow("prefix is not equal") << "Velmora"
                                         << "Velmor" << false;
  }
  void foldedNames() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, equal);
    QCOMPARE(files::equalsIgnoringCase(a.toStdString(), b.toStdString()), equal);
    std::string scratch;
    QCOMPARE(std::string(files::foldInto(a.toStdString(), scratch)),
             files::foldCase(a.toStdString()));
  }

  // Bytes that are not UTF-8 (a file name from an older system) compare as
  // they are and never make the folding read past the end.
  void invalidUtf8ComparesAsItIs_data() {
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<bool>("equal");
    QTest::newRow("Latin-9 byte against itself")
        << QByteArray("Resim\xFE") << QByteArray("Resim\xFE") << true;
    QTest::newRow("Latin-9 byte against its UTF-8 letter")
        << QByteArray("Resim\xFE") << QByteArray("Resim\xC5\x9F") << false;
    QTest::newRow("lead byte at the end")
        << QByteArray("RESIM\xC4") << QByteArray("resim\xC4") << true;
  }
  void invalidUtf8ComparesAsItIs() {
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(bool, equal);
    QCOMPARE(files::equalsIgnoringCase(a.toStdString(), b.toStdString()), equal);
  }

 private:
  QTemporaryDir dir_;
  fs::path folder_;
};

QTEST_APPLESS_MAIN(FilesTest)
#include "tst_files.moc"
