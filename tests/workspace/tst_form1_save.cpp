// Saving a photo, end to end through the real windows with the synthetic
// camera: what lands in the target folder (and what does not), the number
// box, the overwrite question, the quality slider, and every failure leaving
// the folder as it was with the number unchanged.

#include <fcntl.h>
#include <sys/stat.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <cerrno>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "browser/frmonizle.h"
#include "browser/gozat.h"
#include "capture/picformat32.h"
#include "photo_fixture.h"
#include "platform/files/syscalls.h"
#include "platform/picture/picturefile.h"
#include "platform/ui/picturebox.h"
#include "support/sandbox.h"
#include "support/scripted_prompter.h"
#include "workspace_fixture.h"

using testsupport::ProgramWindows;
using testsupport::rgb32;

namespace {

const QString kTitle = QStringLiteral("Velmora Photo");
const QString kOverwriteQuestion = QStringLiteral(
    "Girmiş olduğunuz dosya adı zaten mevcut. Varolan dosyayı değişirmek istiyormusunuz?");

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage loaded(const QString& path) {
  auto picture = picture::loadPicture(path);
  return picture ? picture->image() : QImage();
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  QCOMPARE(file.write(bytes), bytes.size());
}

// Every entry of a folder, hidden ones (temporary files) included.
QStringList entriesOf(const QString& folder) {
  QStringList names = QDir(folder).entryList(
      QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
  return names;
}

// The workspace started over a target folder of its own, a photo taken.
class Saving {
 public:
  Saving() {
    QDir().mkpath(folder());
    testsupport::settingsOf(profile).saveStringValue(
        Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(), QStringLiteral("Path"), folder());
  }

  // Starts the program; false when no photo could be taken.
  bool start() {
    program = std::make_unique<ProgramWindows>(profile, prompts);
    if (!testsupport::freezeLivePicture(form())) return false;
    form().takePhoto();
    return form().photo.hasBitmap();
  }

  Form1& form() { return *program->form; }
  QString folder() const { return profile.root() + QStringLiteral("/photos"); }
  QString file(const QString& name) const { return folder() + QLatin1Char('/') + name; }

  void pressF2() {
    form().txtSol->setFocus();
    QTest::keyClick(form().txtSol, Qt::Key_F2);
  }

  // The crop frame's part of the photo, as the user sees it.
  QImage framedPart() { return form().photo.image().copy(form().Label5->geometry()); }

  // What writing `part` as a BMP and converting it with the codec component
  // gives: the file the save command must leave.
  QByteArray throughBmp(const QImage& part, const QString& type, int quality) {
    const QString bmp = scratch.filePath(QStringLiteral("base.bmp"));
    if (!picture::savePictureAsBmp(picture::Picture(part), bmp)) return {};
    PicFormat32 codec;
    const QString out = scratch.filePath(QStringLiteral("out.") + type);
    if (type == QLatin1String("jpg") && !codec.BmpToJpeg(bmp, out, quality)) return {};
    if (type == QLatin1String("gif") && !codec.BmpToGif(bmp, out)) return {};
    return readFile(type == QLatin1String("bmp") ? bmp : out);
  }

  testsupport::SandboxProfile profile;
  testsupport::ScriptedPrompter prompts;
  std::unique_ptr<ProgramWindows> program;
  QTemporaryDir scratch;
};

// Of the luma (BT.601), where JPEG keeps its detail: colour is halved on
// both axes below quality 90 by design.
double lumaPsnr(const QImage& a, const QImage& b) {
  const QImage x = rgb32(a);
  const QImage y = rgb32(b);
  const auto luma = [](QRgb p) { return 0.299 * qRed(p) + 0.587 * qGreen(p) + 0.114 * qBlue(p); };
  double sum = 0;
  for (int row = 0; row < x.height(); ++row) {
    for (int col = 0; col < x.width(); ++col) {
      const double d = luma(x.pixel(col, row)) - luma(y.pixel(col, row));
      sum += d * d;
    }
  }
  const double mse = sum / (double(x.width()) * x.height());
  return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

// The photo reduced to few colours, so a GIF of any part of it is exact.
QImage fewColours(const QImage& photo) {
  QImage out = rgb32(photo);
  for (int y = 0; y < out.height(); ++y) {
    for (int x = 0; x < out.width(); ++x) {
      const QRgb p = out.pixel(x, y);
      out.setPixel(x, y, qRgb(qRed(p) & 0xC0, qGreen(p) & 0xC0, qBlue(p) & 0xE0));
    }
  }
  return out;
}

// The file layer's system calls, recorded or failed for one test.
struct SeamLog {
  static inline std::vector<std::string> calls;
  static inline int failWriteWith = 0;
  static inline int failOpenWith = 0;
};

void recordCalls(files::ScopedSyscalls& seam) {
  SeamLog::calls.clear();
  SeamLog::failWriteWith = 0;
  SeamLog::failOpenWith = 0;
  seam.table().open = [](const char* path, int flags, mode_t mode) {
    if (SeamLog::failOpenWith != 0 && (flags & O_CREAT) != 0)
      return errno = SeamLog::failOpenWith, -1;
    return files::realSyscalls().open(path, flags, mode);
  };
  seam.table().write = [](int fd, const void* buffer, size_t size) -> ssize_t {
    if (SeamLog::failWriteWith != 0) return errno = SeamLog::failWriteWith, -1;
    return files::realSyscalls().write(fd, buffer, size);
  };
  seam.table().fsync = [](int fd) {
    struct stat status {};
    ::fstat(fd, &status);
    SeamLog::calls.push_back(S_ISDIR(status.st_mode) ? "fsync folder" : "fsync file");
    return files::realSyscalls().fsync(fd);
  };
  seam.table().rename = [](const char* from, const char* to) {
    SeamLog::calls.push_back(std::string("rename to ") +
                             QFileInfo(QString::fromLocal8Bit(to)).fileName().toStdString());
    return files::realSyscalls().rename(from, to);
  };
}

}  // namespace

class Form1SaveTest : public QObject {
  Q_OBJECT
 private slots:
  // The design's defaults: the slider at its design position 1 (a missing
  // "Kalite" reads 0, see below).
  void firstSaveWithTheDefaults() {
    Saving s;
    testsupport::settingsOf(s.profile).saveDwordValue(
        Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(), QStringLiteral("Kalite"), 1);
    QVERIFY(s.start());
    QCOMPARE(s.form().cmbTur->currentText(), QStringLiteral("JPG"));
    QCOMPARE(s.form().Slider1->value(), 1);
    const QImage part = s.framedPart();

    s.pressF2();

    QCOMPARE(entriesOf(s.folder()), QStringList{QStringLiteral("Resim001.jpg")});
    QCOMPARE(loaded(s.file(QStringLiteral("Resim001.jpg"))).size(), QSize(105, 120));
    // Quality 20, through the codec's BMP-to-JPEG path: the very same bytes.
    QCOMPARE(readFile(s.file(QStringLiteral("Resim001.jpg"))),
             s.throughBmp(part, QStringLiteral("jpg"), 20));
    QCOMPARE(s.form().txtResim->text(), QStringLiteral("002"));
    QCOMPARE(s.form().txtResim->property("tag").toString(), QStringLiteral("2"));
    QVERIFY(s.prompts.prompts().isEmpty());

    // Listed in the browser under the name the box spells, with its size.
    const auto* browser = s.program->registry.find<gozat>();
    QVERIFY(browser);
    QCOMPARE(browser->lstFoto->count(), 1);
    const qint64 kb =
        std::llround(QFileInfo(s.file(QStringLiteral("Resim001.jpg"))).size() / 1024.0);
    QCOMPARE(browser->lstFoto->item(0)->text(), QStringLiteral("Resim001.JPG( %1KB )").arg(kb));
    QCOMPARE(browser->lstFotoName->item(0)->text(), QStringLiteral("Resim001.JPG"));
    QCOMPARE(browser->StatusBar1Panel1->text(), QStringLiteral(" 1  Adet Kayıt"));
  }

  // Saving the same name again (the counter set back) replaces the file and
  // leaves one browser entry.
  void theSameNameSavedTwiceIsListedOnce() {
    Saving s;
    QVERIFY(s.start());
    s.pressF2();
    s.form().txtResim->setText(QStringLiteral("001"));
    s.prompts.answerMessage(ui::vbYes);
    s.pressF2();
    QCOMPARE(entriesOf(s.folder()), QStringList{QStringLiteral("Resim001.jpg")});
    const auto* browser = s.program->registry.find<gozat>();
    QVERIFY(browser);
    QCOMPARE(browser->lstFoto->count(), 1);
    QCOMPARE(browser->StatusBar1Panel1->text(), QStringLiteral(" 1  Adet Kayıt"));
  }

  void eachTypeLeavesOnlyItsFile_data() {
    QTest::addColumn<int>("typeIndex");
    QTest::addColumn<QString>("type");
    QTest::newRow("JPG") << 0 << QStringLiteral("jpg");
    QTest::newRow("GIF") << 1 << QStringLiteral("gif");
    QTest::newRow("BMP") << 2 << QStringLiteral("bmp");
  }
  void eachTypeLeavesOnlyItsFile() {
    QFETCH(int, typeIndex);
    QFETCH(QString, type);
    Saving s;
    QVERIFY(s.start());
    s.form().cmbTur->setCurrentIndex(typeIndex);
    const QImage part = s.framedPart();

    QTest::mouseClick(s.form().tamam, Qt::LeftButton);

    const QString name = QStringLiteral("Resim001.") + type;
    QCOMPARE(entriesOf(s.folder()), QStringList{name});
    QCOMPARE(readFile(s.file(name)), s.throughBmp(part, type, 10));
    QCOMPARE(s.form().txtResim->text(), QStringLiteral("002"));
  }

  // The intermediate BMP of the design is never written, so a file that
  // happens to carry its name is safe.
  void aFileNamedLikeTheIntermediateBmpIsUntouched_data() {
    QTest::addColumn<int>("typeIndex");
    QTest::newRow("JPG") << 0;
    QTest::newRow("GIF") << 1;
  }
  void aFileNamedLikeTheIntermediateBmpIsUntouched() {
    QFETCH(int, typeIndex);
    Saving s;
    writeFile(s.file(QStringLiteral("Resim001.bmp")), "the user's own picture");
    QVERIFY(s.start());
    s.form().cmbTur->setCurrentIndex(typeIndex);
    s.pressF2();
    QCOMPARE(entriesOf(s.folder()).size(), 2);
    QCOMPARE(readFile(s.file(QStringLiteral("Resim001.bmp"))),
             QByteArray("the user's own picture"));
    QVERIFY(s.prompts.prompts().isEmpty());
  }

  void savedPixelsAreTheFramedPart_data() {
    QTest::addColumn<int>("typeIndex");
    QTest::addColumn<QString>("type");
    QTest::newRow("BMP exactly") << 2 << QStringLiteral("bmp");
    QTest::newRow("GIF exactly with few colours") << 1 << QStringLiteral("gif");
    QTest::newRow("JPG at quality 80 within tolerance") << 0 << QStringLiteral("jpg");
  }
  void savedPixelsAreTheFramedPart() {
    QFETCH(int, typeIndex);
    QFETCH(QString, type);
    Saving s;
    QVERIFY(s.start());
    Form1& form = s.form();
    // A frame away from the corner, so a wrong origin would show.
    form.txtSol->setText(QStringLiteral("37"));
    form.txtUst->setText(QStringLiteral("21"));
    QCOMPARE(form.Label5->geometry(), QRect(37, 21, 105, 120));
    if (type == QLatin1String("gif")) {
      form.photo = picture::Picture(fewColours(form.photo.image()));
      form.Picture2->setPicture(form.photo.image());
    }
    form.cmbTur->setCurrentIndex(typeIndex);
    form.Slider1->setValue(7);
    const QImage part = s.framedPart();

    s.pressF2();

    const QImage saved = loaded(s.file(QStringLiteral("Resim001.") + type));
    QCOMPARE(saved.size(), QSize(105, 120));
    if (type == QLatin1String("jpg")) {
      const double quality = lumaPsnr(saved, part);
      QVERIFY2(quality >= 35, qPrintable(QString::number(quality)));
    } else {
      QCOMPARE(rgb32(saved), rgb32(part));
    }
    // The browser lists the new file and selects it, so the preview window
    // shows the file as saved (for JPEG, after its compression).
    const auto* preview = s.program->registry.find<frmOnizle>();
    QVERIFY(preview);
    QCOMPARE(rgb32(preview->Picture3->picture()), rgb32(saved));
  }

  void noPhotoIsRefused() {
    Saving s;
    s.program = std::make_unique<ProgramWindows>(s.profile, s.prompts);
    s.prompts.answerMessage(ui::vbOK);
    s.pressF2();
    QCOMPARE(s.prompts.prompts().size(), 1);
    const auto& shown = s.prompts.prompts().front();
    QCOMPARE(shown.text, QStringLiteral("Lütfen önce bir fotoğraf çekiniz"));
    QCOMPARE(shown.icon, ui::vbCritical);
    QCOMPARE(shown.buttons, ui::vbOKOnly);
    QCOMPARE(shown.title, kTitle);
    QVERIFY(entriesOf(s.folder()).isEmpty());
    QCOMPARE(s.form().txtResim->text(), QStringLiteral("001"));
  }

  void existingFileIsAskedAbout_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("existing");
    QTest::newRow("No keeps the old file") << int(ui::vbNo) << QStringLiteral("Resim001.jpg");
    QTest::newRow("Yes replaces it") << int(ui::vbYes) << QStringLiteral("Resim001.jpg");
    QTest::newRow("Yes replaces one named in capitals")
        << int(ui::vbYes) << QStringLiteral("Resim001.JPG");
  }
  void existingFileIsAskedAbout() {
    QFETCH(int, answer);
    QFETCH(QString, existing);
    Saving s;
    writeFile(s.file(existing), "old photo");
    QVERIFY(s.start());
    const QImage part = s.framedPart();
    s.prompts.answerMessage(static_cast<ui::MsgBoxResult>(answer));

    s.pressF2();

    QCOMPARE(s.prompts.prompts().size(), 1);
    QCOMPARE(s.prompts.prompts().front().text, kOverwriteQuestion);
    if (answer == ui::vbNo) {
      QCOMPARE(entriesOf(s.folder()), QStringList{existing});
      QCOMPARE(readFile(s.file(existing)), QByteArray("old photo"));
      QCOMPARE(s.form().txtResim->text(), QStringLiteral("001"));
    } else {
      QCOMPARE(entriesOf(s.folder()), QStringList{QStringLiteral("Resim001.jpg")});
      QCOMPARE(readFile(s.file(QStringLiteral("Resim001.jpg"))),
               s.throughBmp(part, QStringLiteral("jpg"), 10));
      QCOMPARE(s.form().txtResim->text(), QStringLiteral("002"));
    }
  }

  void typedNumberIsUsedOnceThenTheCounterGoesOn() {
    Saving s;
    QVERIFY(s.start());
    s.form().txtResim->setText(QStringLiteral("050"));
    s.pressF2();
    QCOMPARE(entriesOf(s.folder()), QStringList{QStringLiteral("Resim050.jpg")});
    QCOMPARE(s.form().txtResim->text(), QStringLiteral("002"));
    s.pressF2();
    QCOMPARE(entriesOf(s.folder()),
             (QStringList{QStringLiteral("Resim002.jpg"), QStringLiteral("Resim050.jpg")}));
    QCOMPARE(s.form().txtResim->text(), QStringLiteral("003"));
  }

  void countersPastThreeDigitsKeepThemAll_data() {
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("shown");
    QTest::newRow("999 becomes 1000") << QStringLiteral("999") << QStringLiteral("1000");
    QTest::newRow("1000 becomes 1001") << QStringLiteral("1000") << QStringLiteral("1001");
    QTest::newRow("98 becomes 099") << QStringLiteral("98") << QStringLiteral("099");
  }
  void countersPastThreeDigitsKeepThemAll() {
    QFETCH(QString, tag);
    QFETCH(QString, shown);
    Saving s;
    QVERIFY(s.start());
    s.form().txtResim->setProperty("tag", tag);
    s.pressF2();
    QCOMPARE(s.form().txtResim->text(), shown);
    s.pressF2();
    QVERIFY(QFile::exists(s.file(QStringLiteral("Resim") + shown + QStringLiteral(".jpg"))));
  }

  void sliderSetsTheQuality_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("quality");
    QTest::newRow("position 7 is quality 80") << 7 << 80;
    QTest::newRow("position 0 is quality 10") << 0 << 10;
    QTest::newRow("position 12 is the highest quality") << 12 << 130;
  }
  void sliderSetsTheQuality() {
    QFETCH(int, position);
    QFETCH(int, quality);
    Saving s;
    QVERIFY(s.start());
    s.form().Slider1->setValue(position);
    QCOMPARE(testsupport::settingsOf(s.profile).getDwordValue(
                 Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(), QStringLiteral("Kalite")),
             position);
    QCOMPARE(s.form().Label14->text(), QStringLiteral("Resim Kalitesi(%1)").arg(position));
    const QImage part = s.framedPart();
    s.pressF2();
    QCOMPARE(readFile(s.file(QStringLiteral("Resim001.jpg"))),
             s.throughBmp(part, QStringLiteral("jpg"), quality));
  }

  void storedOrMissingQualityZeroIsAccepted_data() {
    QTest::addColumn<bool>("stored");
    QTest::newRow("missing") << false;
    QTest::newRow("stored 0") << true;
  }
  void storedOrMissingQualityZeroIsAccepted() {
    QFETCH(bool, stored);
    Saving s;
    if (stored)
      testsupport::settingsOf(s.profile).saveDwordValue(
          Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(), QStringLiteral("Kalite"), 0);
    QVERIFY(s.start());
    QCOMPARE(s.form().Slider1->value(), 0);
    const QImage part = s.framedPart();
    s.pressF2();
    QVERIFY(s.prompts.prompts().isEmpty());
    QCOMPARE(readFile(s.file(QStringLiteral("Resim001.jpg"))),
             s.throughBmp(part, QStringLiteral("jpg"), 10));
  }

  void namesOutsideTheFolderAreRefused_data() {
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("message");
    QTest::newRow("slash in the prefix")
        << QStringLiteral("../Resim") << QStringLiteral("001")
        << QStringLiteral("Ön ad ve dosya adı \"/\" işareti içeremez: ../Resim001");
    QTest::newRow("slash in the number")
        << QStringLiteral("Resim") << QStringLiteral("0/1")
        << QStringLiteral("Ön ad ve dosya adı \"/\" işareti içeremez: Resim0/1");
    QTest::newRow("a name of ..") << QStringLiteral(".") << QStringLiteral(".")
                                  << QStringLiteral(
                                         "\".\" ve \"..\" dosya adı olarak kullanılamaz: ..");
    QTest::newRow("a name of .") << QString() << QStringLiteral(" . ")
                                 << QStringLiteral(
                                        "\".\" ve \"..\" dosya adı olarak kullanılamaz: .");
  }
  void namesOutsideTheFolderAreRefused() {
    QFETCH(QString, prefix);
    QFETCH(QString, number);
    QFETCH(QString, message);
    Saving s;
    QVERIFY(s.start());
    s.form().txtOnAd->setText(prefix);
    s.form().txtResim->setText(number);
    s.prompts.answerMessage(ui::vbOK);
    s.pressF2();
    QCOMPARE(s.prompts.prompts().size(), 1);
    QCOMPARE(s.prompts.prompts().front().text, message);
    QCOMPARE(s.prompts.prompts().front().title, kTitle);
    QVERIFY(entriesOf(s.folder()).isEmpty());
    QVERIFY(entriesOf(s.profile.root()).contains(QStringLiteral("photos")));
    QCOMPARE(s.form().txtResim->property("tag").toString(), QStringLiteral("1"));
  }

  // Written to a temporary file, flushed, renamed into place, and the
  // folder flushed, all before the command returns.
  void savedFileIsDurable() {
    Saving s;
    QVERIFY(s.start());
    files::ScopedSyscalls seam;
    recordCalls(seam);
    s.pressF2();
    QCOMPARE(SeamLog::calls,
             (std::vector<std::string>{"fsync file", "rename to Resim001.jpg", "fsync folder"}));
  }

  void failedWritesLeaveTheFolderAsItWas_data() {
    QTest::addColumn<QString>("existing");  // answered Yes when there
    QTest::addColumn<int>("failWrite");
    QTest::addColumn<int>("failOpen");
    QTest::addColumn<QString>("cause");
    QTest::newRow("disk full") << QString() << ENOSPC << 0
                               << QStringLiteral("Diskte yeterli boş yer yok.");
    QTest::newRow("disk full after Yes puts the old file back")
        << QStringLiteral("Resim001.jpg") << ENOSPC << 0
        << QStringLiteral("Diskte yeterli boş yer yok.");
    QTest::newRow("read-only file system")
        << QString() << 0 << EROFS << QStringLiteral("Disk yalnızca okunabilir.");
    QTest::newRow("folder not writable")
        << QString() << 0 << EACCES
        << QStringLiteral("Bu dosyaya ya da klasöre yazma izniniz yok.");
    QTest::newRow("I/O error") << QString() << EIO << 0
                               << QStringLiteral(
                                      "Disk okunurken ya da yazılırken bir hata oluştu.");
  }
  void failedWritesLeaveTheFolderAsItWas() {
    QFETCH(QString, existing);
    QFETCH(int, failWrite);
    QFETCH(int, failOpen);
    QFETCH(QString, cause);
    Saving s;
    if (!existing.isEmpty()) writeFile(s.file(existing), "old photo");
    QVERIFY(s.start());
    const QStringList before = entriesOf(s.folder());
    if (!existing.isEmpty()) s.prompts.answerMessage(ui::vbYes);
    s.prompts.answerMessage(ui::vbOK);
    {
      files::ScopedSyscalls seam;
      recordCalls(seam);
      SeamLog::failWriteWith = failWrite;
      SeamLog::failOpenWith = failOpen;
      s.pressF2();
    }
    const auto& shown = s.prompts.prompts().back();
    QCOMPARE(shown.text, QStringLiteral("Resim kaydedilemedi: ") + s.file("Resim001.jpg") +
                             QLatin1Char('\n') + cause);
    QCOMPARE(shown.icon, ui::vbCritical);
    QCOMPARE(shown.title, kTitle);
    QCOMPARE(entriesOf(s.folder()), before);
    if (!existing.isEmpty()) QCOMPARE(readFile(s.file(existing)), QByteArray("old photo"));
    QCOMPARE(s.form().txtResim->text(), QStringLiteral("001"));
    QCOMPARE(s.form().txtResim->property("tag").toString(), QStringLiteral("1"));
  }

  void realFailuresNameTheFileAndTheCause_data() {
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<bool>("removeFolder");
    QTest::addColumn<QString>("cause");
    QTest::newRow("folder removed meanwhile")
        << QStringLiteral("Resim") << true << QStringLiteral("Hedef klasör bulunamadı.");
    QTest::newRow("a name the file system refuses")
        << QString(300, QLatin1Char('r')) << false << QStringLiteral("Dosya adı çok uzun.");
  }
  void realFailuresNameTheFileAndTheCause() {
    QFETCH(QString, prefix);
    QFETCH(bool, removeFolder);
    QFETCH(QString, cause);
    Saving s;
    QVERIFY(s.start());
    s.form().txtOnAd->setText(prefix);
    if (removeFolder) QVERIFY(QDir(s.folder()).removeRecursively());
    s.prompts.answerMessage(ui::vbOK);
    s.pressF2();
    QCOMPARE(s.prompts.prompts().size(), 1);
    QCOMPARE(s.prompts.prompts().front().text, QStringLiteral("Resim kaydedilemedi: ") +
                                                   s.file(prefix + QStringLiteral("001.jpg")) +
                                                   QLatin1Char('\n') + cause);
    if (!removeFolder) QVERIFY(entriesOf(s.folder()).isEmpty());
    QCOMPARE(s.form().txtResim->text(), QStringLiteral("001"));
  }

  // A read-only old file stays where it is; the write meets it under its own
  // name (whatever its letter case) and fails, rather than adding a second file.
  void readOnlyOldFileIsMetNotDoubled_data() {
    QTest::addColumn<QString>("existing");
    QTest::newRow("same name") << QStringLiteral("Resim001.jpg");
    QTest::newRow("name in capitals") << QStringLiteral("RESIM001.JPG");
  }
  void readOnlyOldFileIsMetNotDoubled() {
    QFETCH(QString, existing);
    Saving s;
    writeFile(s.file(existing), "old photo");
    QVERIFY(QFile::setPermissions(s.file(existing), QFileDevice::ReadOwner));
    QVERIFY(s.start());
    s.prompts.answerMessage(ui::vbYes);
    s.prompts.answerMessage(ui::vbOK);
    s.pressF2();
    QCOMPARE(s.prompts.prompts().size(), 2);
    QCOMPARE(s.prompts.prompts().back().text,
             QStringLiteral("Resim kaydedilemedi: ") + s.file(existing) +
                 QStringLiteral("\nBu dosyaya ya da klasöre yazma izniniz yok."));
    QCOMPARE(entriesOf(s.folder()), QStringList{existing});
    QCOMPARE(readFile(s.file(existing)), QByteArray("old photo"));
    QCOMPARE(s.form().txtResim->text(), QStringLiteral("001"));
  }
};

QTEST_MAIN(Form1SaveTest)
#include "tst_form1_save.moc"
