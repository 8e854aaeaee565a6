// Photo::confirmOverwrite as the save and rename commands use it: the question
// the user sees, and what is on disk after the answer and after the caller's
// own write, done with the picture codec as the program does it.

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QtTest>

#include "platform/files/replace.h"
#include "platform/imaging/convert.h"
#include "settings/photo.h"
#include "support/sandbox.h"
#include "support/scripted_prompter.h"

namespace {

const QString kQuestion = QStringLiteral(
    "Girmiş olduğunuz dosya adı zaten mevcut. Varolan dosyayı değişirmek istiyormusunuz?");

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every name in the folder, hidden ones included.
QStringList allNames(const QString& folder) {
  return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// The caller's write, as the save command does it: the target replaced
// durably. `succeed` false converts a source that is not there.
bool callerWrites(const QString& target, bool succeed, const QString& folder) {
  const std::string out = QFile::encodeName(target).toStdString();
  if (!succeed) {
    const std::string missing = QFile::encodeName(folder + "/yok.bmp").toStdString();
    return bool(imaging::convertFile(missing, imaging::PictureFormat::Bmp, out,
                                     imaging::PictureFormat::Bmp));
  }
  const std::uint8_t bytes[] = {'n', 'e', 'w'};
  return bool(files::replaceDurably(out, bytes));
}

}  // namespace

class PhotoOverwriteTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    profile_ = std::make_unique<testsupport::SandboxProfile>();
    folder_ = profile_->root() + "/Resimler";
    QVERIFY(QDir().mkpath(folder_));
  }
  void cleanup() { profile_.reset(); }

  void noFileAllowsWithoutAQuestion_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("no such file") << "Resim001.jpg";
    QTest::newRow("folder missing") << "yok/Resim001.jpg";
    QTest::newRow("a folder of that name") << "Alt";
  }
  void noFileAllowsWithoutAQuestion() {
    QFETCH(QString, name);
    QVERIFY(QDir(folder_).mkdir("Alt"));
    testsupport::ScriptedPrompter prompter;
    auto overwrite = Photo::confirmOverwrite(folder_ + "/" + name, prompter);
    QVERIFY(overwrite.allowed());
    QVERIFY(!overwrite.holdsOldFile());
    QCOMPARE(overwrite.target(), folder_ + "/" + name);
    QVERIFY(prompter.prompts().isEmpty());
  }

  // The whole exchange: the question, the answer, the caller's write, and
  // what the folder holds at the end.
  void existingFile_data() {
    QTest::addColumn<QString>("existing");  // name on disk, holding "old"
    QTest::addColumn<QString>("asked");     // name the caller means to write
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("writeSucceeds");
    QTest::addColumn<bool>("allowed");
    QTest::addColumn<bool>("freeAfterAnswer");  // the asked name is free once True returns
    QTest::addColumn<QString>("finalName");     // what holds the picture at the end
    QTest::addColumn<QByteArray>("finalContent");

    QTest::newRow("No keeps the file and declines")
        << "Resim001.jpg"
        << "Resim001.jpg" << int(ui::vbNo) << false << false << false << false << "Resim001.jpg"
        << QByteArray("old");
    QTest::newRow("Yes then a good write: new file, old copy discarded")
        << "Resim001.jpg"
        << "Resim001.jpg" << int(ui::vbYes) << false << true << true << true << "Resim001.jpg"
        << QByteArray("new");
    QTest::newRow("Yes then a failed write: old file back")
        << "Resim001.jpg"
        << "Resim001.jpg" << int(ui::vbYes) << false << false << true << true << "Resim001.jpg"
        << QByteArray("old");
    QTest::newRow("read-only file, Yes: allowed, file stays, the write fails")
        << "Resim001.jpg"
        << "Resim001.jpg" << int(ui::vbYes) << true << true << true << false << "Resim001.jpg"
        << QByteArray("old");
    QTest::newRow("name in other case is found and asked about")
        << "Resim001.jpg"
        << "Resim001.JPG" << int(ui::vbNo) << false << false << false << false << "Resim001.jpg"
        << QByteArray("old");
    QTest::newRow("name in other case, Yes then a good write: one file")
        << "Resim001.jpg"
        << "Resim001.JPG" << int(ui::vbYes) << false << true << true << true << "Resim001.JPG"
        << QByteArray("new");
    // Not moved, the read-only file keeps its name: the write must go there
    // and fail, not make a second file under the asked name.
    QTest::newRow("read-only file in other case, Yes: the write fails on that file")
        << "Resim001.jpg"
        << "Resim001.JPG" << int(ui::vbYes) << true << true << true << false << "Resim001.jpg"
        << QByteArray("old");
    QTest::newRow("name in other case, Yes then a failed write: old name back")
        << "Resim001.jpg"
        << "Resim001.JPG" << int(ui::vbYes) << false << false << true << true << "Resim001.jpg"
        << QByteArray("old");
  }
  void existingFile() {
    QFETCH(QString, existing);
    QFETCH(QString, asked);
    QFETCH(int, answer);
    QFETCH(bool, readOnly);
    QFETCH(bool, writeSucceeds);
    QFETCH(bool, allowed);
    QFETCH(bool, freeAfterAnswer);
    QFETCH(QString, finalName);
    QFETCH(QByteArray, finalContent);

    const QString oldPath = folder_ + "/" + existing;
    const QString target = folder_ + "/" + asked;
    writeFile(oldPath, "old");
    if (readOnly) QCOMPARE(::chmod(QFile::encodeName(oldPath).constData(), 0444), 0);

    testsupport::ScriptedPrompter prompter;
    prompter.answerMessage(ui::MsgBoxResult(answer));
    {
      auto overwrite = Photo::confirmOverwrite(target, prompter);
      QCOMPARE(prompter.prompts().size(), 1);
      const auto& asked_ = prompter.prompts().first();
      QCOMPARE(asked_.text, kQuestion);
      QCOMPARE(asked_.buttons, ui::vbYesNo);
      QCOMPARE(asked_.icon, ui::vbQuestion);
      QCOMPARE(asked_.title, QStringLiteral("Velmora Photo"));

      QCOMPARE(overwrite.allowed(), allowed);
      QCOMPARE(!QFile::exists(oldPath) && !QFile::exists(target), freeAfterAnswer);
      if (allowed) {
        const bool written = callerWrites(overwrite.target(), writeSucceeds, folder_);
        QCOMPARE(written, writeSucceeds && !readOnly);
        QVERIFY(written ? overwrite.commit() : overwrite.restore());
      }
    }
    QCOMPARE(allNames(folder_), QStringList{finalName});
    QCOMPARE(readFile(folder_ + "/" + finalName), finalContent);
  }

  // A caller that returns early (an exception, a forgotten restore) must not
  // cost the user the old file.
  void droppedWithoutAWordPutsTheOldFileBack() {
    const QString path = folder_ + "/Resim001.jpg";
    writeFile(path, "old");
    testsupport::ScriptedPrompter prompter;
    prompter.answerMessage(ui::vbYes);
    {
      auto overwrite = Photo::confirmOverwrite(path, prompter);
      QVERIFY(overwrite.holdsOldFile());
      QVERIFY(!QFile::exists(path));
    }
    QCOMPARE(allNames(folder_), QStringList{"Resim001.jpg"});
    QCOMPARE(readFile(path), QByteArray("old"));
  }

  // However long the name, the old file is held aside while the caller
  // writes (the hidden name it gets is short) and discarded after.
  void longNameIsHeldAsideToo() {
    const QString path = folder_ + "/" + QString(251, QLatin1Char('r')) + ".jpg";
    writeFile(path, "old");
    testsupport::ScriptedPrompter prompter;
    prompter.answerMessage(ui::vbYes);
    auto overwrite = Photo::confirmOverwrite(path, prompter);
    QVERIFY(overwrite.allowed());
    QVERIFY(overwrite.holdsOldFile());
    QVERIFY(!QFile::exists(path));
    QVERIFY(callerWrites(overwrite.target(), true, folder_));
    QVERIFY(overwrite.commit());
    QCOMPARE(allNames(folder_), QStringList{QString(251, QLatin1Char('r')) + ".jpg"});
    QCOMPARE(readFile(path), QByteArray("new"));
  }

  // A folder the user may not write: the move fails, True is still given and
  // the file is untouched (the caller's write then fails on its own).
  void moveAsideFailingStillAllows() {
    if (::geteuid() == 0) QSKIP("root may rename in a read-only folder");
    const QString path = folder_ + "/Resim001.jpg";
    writeFile(path, "old");
    QVERIFY(QFile::setPermissions(folder_, QFile::ReadOwner | QFile::ExeOwner));
    testsupport::ScriptedPrompter prompter;
    prompter.answerMessage(ui::vbYes);
    auto overwrite = Photo::confirmOverwrite(path, prompter);
    QVERIFY(overwrite.allowed());
    QVERIFY(!overwrite.holdsOldFile());
    QCOMPARE(readFile(path), QByteArray("old"));
    QVERIFY(QFile::setPermissions(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  }

 private:
  std::unique_ptr<testsupport::SandboxProfile> profile_;
  QString folder_;
};

QTEST_GUILESS_MAIN(PhotoOverwriteTest)
#include "tst_photo_overwrite.moc"
