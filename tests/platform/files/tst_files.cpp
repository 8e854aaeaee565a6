// The file services: finding a file whatever the letter case of its name, and
// moving an old file aside so that it is never lost while a new one is written.

#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "platform/files/find_file.h"
#include "platform/files/set_aside.h"

namespace fs = std::filesystem;

namespace {

void writeText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string readText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

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
    const auto result = files::findFileIgnoringCase(folder_ / asked.toStdString());
    if (found.isEmpty()) {
      QVERIFY2(!result, result ? result->c_str() : "");
    } else {
      QVERIFY(result);
      QCOMPARE(QString::fromStdString(result->string()),
               QString::fromStdString((folder_ / found.toStdString()).string()));
    }
  }

  void missingFolderFindsNothing() {
    QVERIFY(!files::findFileIgnoringCase(folder_ / "yok" / "Resim001.jpg"));
    QVERIFY(!files::findFileIgnoringCase(fs::path()));
  }

  void setAsideFreesTheNameAndKeepsTheFile() {
    const auto file = folder_ / "Resim001.jpg";
    writeText(file, "old");
    auto aside = files::SetAside::move(file);
    QVERIFY(aside);
    QVERIFY(!fs::exists(file));
    QVERIFY(aside->holdsFile());
    QCOMPARE(aside->asidePath().parent_path(), folder_);
    QVERIFY(aside->asidePath().filename().string().starts_with(".Resim001.jpg.old-"));
    QCOMPARE(readText(aside->asidePath()), std::string("old"));
    QVERIFY(!aside->commit());
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
      auto aside = files::SetAside::move(file);
      QVERIFY(aside);
      if (newFileWritten) writeText(file, "new");
      if (ending == "commit") QVERIFY(!aside->commit());
      if (ending == "restore") QVERIFY(!aside->restore());
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
    auto aside = files::SetAside::move(folder_ / "Resim001.jpg");
    QVERIFY(!aside);
    QCOMPARE(aside.error(), std::make_error_code(std::errc::no_such_file_or_directory));
    QVERIFY(folderNames(folder_).isEmpty());
  }

 private:
  QTemporaryDir dir_;
  fs::path folder_;
};

QTEST_APPLESS_MAIN(FilesTest)
#include "tst_files.moc"
