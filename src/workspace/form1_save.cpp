// Saving a photo: the framed part of the photo written into the target
// folder as prefix + running number in the chosen type, after the overwrite
// question, then listed in the browser and the number advanced.
//
// The clip is encoded straight from memory into its file: no BMP is written
// beside it first, so a file named like the intermediate BMP is never touched
// and nothing is left behind when a step fails. The bytes are those the
// BMP-then-convert path gives (same JPEG at the same quality, same GIF).

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QSlider>
#include <cerrno>
#include <cstring>

#include "browser/frmonizle.h"
#include "platform/picture/picturefile.h"
#include "platform/ui/picturebox.h"
#include "platform/ui/prompt.h"
#include "platform/ui/simplecombobox.h"
#include "rules/form1_rules.h"
#include "settings/photo.h"
#include "windows/windowregistry.h"
#include "workspace/form1.h"

namespace {

const QString kTitle = QStringLiteral("Velmora Photo");

QString systemCause(const base::SystemError& error) {
  switch (error.code) {
    case ENOSPC:
    case EDQUOT:
      return QStringLiteral("Diskte yeterli boş yer yok.");
    case EACCES:
    case EPERM:
      return QStringLiteral("Bu dosyaya ya da klasöre yazma izniniz yok.");
    case EROFS:
      return QStringLiteral("Disk yalnızca okunabilir.");
    case ENOENT:
    case ENOTDIR:
      return QStringLiteral("Hedef klasör bulunamadı.");
    case ENAMETOOLONG:
      return QStringLiteral("Dosya adı çok uzun.");
    case EISDIR:
      return QStringLiteral("Bu adda bir klasör var.");
    case EINVAL:
    case EILSEQ:
      return QStringLiteral("Dosya sistemi bu dosya adını kabul etmiyor.");
    case EIO:
      return QStringLiteral("Disk okunurken ya da yazılırken bir hata oluştu.");
    default:
      return QStringLiteral("Sistem hatası: ") + QString::fromLocal8Bit(std::strerror(error.code));
  }
}

QString imageCause(imaging::ImageError error) {
  if (error == imaging::ImageError::TooLarge)
    return QStringLiteral("Resim kaydedilemeyecek kadar büyük.");
  return QStringLiteral("Resim bu türe dönüştürülemedi.");
}

// "Resim kaydedilemedi: <file>" and the cause in the user's words.
QString failureMessage(const QString& file, const picture::FileError& error) {
  QString cause = QStringLiteral("Resim kaydedilemedi.");
  if (const auto* system = std::get_if<base::SystemError>(&error.cause))
    cause = systemCause(*system);
  else if (const auto* image = std::get_if<imaging::ImageError>(&error.cause))
    cause = imageCause(*image);
  return QStringLiteral("Resim kaydedilemedi: ") + file + QLatin1Char('\n') + cause;
}

QString refusalMessage(rules::PhotoName verdict, const QString& name) {
  switch (verdict) {
    case rules::PhotoName::ContainsSlash:
      return QStringLiteral("Ön ad ve dosya adı \"/\" işareti içeremez: ") + name;
    case rules::PhotoName::NamesAFolder:
      return QStringLiteral("\".\" ve \"..\" dosya adı olarak kullanılamaz: ") + name;
    case rules::PhotoName::ContainsNul:
    case rules::PhotoName::Acceptable:
      break;
  }
  return QStringLiteral("Dosya adı geçersiz karakter içeriyor: ") + name;
}

imaging::PictureFormat formatOfType(int typeIndex) {
  switch (typeIndex) {
    case 1:
      return imaging::PictureFormat::Gif;
    case 2:
      return imaging::PictureFormat::Bmp;
    default:
      return imaging::PictureFormat::Jpeg;
  }
}

bool somethingAt(const QString& path) {
  const QFileInfo info(path);
  return info.exists() || info.isSymLink();
}

}  // namespace

void Form1::tamam_Click() {
  if (!photo.hasBitmap()) {
    prompter().MsgBox(QStringLiteral("Lütfen önce bir fotoğraf çekiniz"), ui::vbOKOnly,
                      ui::vbCritical, kTitle);
    return;
  }
  const frmOnizle* preview = windows_.find<frmOnizle>();
  if (!preview || !preview->Picture3->hasPicture()) showPreview();
  clipToCropFrame();
  QCoreApplication::processEvents();

  const QString folder = pathbox->currentText().trimmed();
  const QString basePath = rules::photoBasePath(folder, txtOnAd->text(), txtResim->text());
  const QString checkPath = basePath + QLatin1Char('.') + cmbTur->currentText().trimmed();
  if (const auto verdict = rules::checkPhotoName(txtOnAd->text(), txtResim->text());
      verdict != rules::PhotoName::Acceptable) {
    prompter().MsgBox(
        refusalMessage(verdict, txtOnAd->text().trimmed() + txtResim->text().trimmed()),
        ui::vbOKOnly, ui::vbCritical, kTitle);
    return;
  }
  if (!writeClip(checkPath, basePath)) return;
  addSavedPhotoToBrowser();
  advanceCounter();
}

bool Form1::writeClip(const QString& checkPath, const QString& basePath) {
  Photo::Overwrite overwrite = Photo::confirmOverwrite(checkPath, prompter());
  if (!overwrite) return false;
  // Written with a lower-case extension, unless an old file that stays in
  // place (read-only, or not movable) answers to the name: then at that file,
  // so the write meets it rather than making a second file beside it.
  const QString file =
      somethingAt(overwrite.target())
          ? overwrite.target()
          : basePath + QLatin1Char('.') + cmbTur->currentText().trimmed().toLower();
  imaging::ConvertOptions options;
  options.quality = rules::jpegQuality(Slider1->value());
  const auto written =
      picture::savePicture(pctResim.clip(), file, formatOfType(cmbTur->currentIndex()), options);
  if (!written) {
    qCWarning(lcWorkspace) << "saving the photo failed:" << written.error().detail;
    overwrite.restore();
    prompter().MsgBox(failureMessage(file, written.error()), ui::vbOKOnly, ui::vbCritical, kTitle);
    return false;
  }
  overwrite.commit();
  return true;
}

void Form1::advanceCounter() {
  const QString counter = rules::nextCounter(txtResim->property("tag").toString());
  txtResim->setProperty("tag", counter);
  txtResim->setText(rules::counterNumberText(counter));
}
