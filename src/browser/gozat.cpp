#include "browser/gozat.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QLoggingCategory>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <array>
#include <cerrno>
#include <cmath>

#include "browser/frmonizle.h"
#include "platform/files/case_fold.h"
#include "platform/files/copy.h"
#include "platform/files/trash.h"
#include "platform/picture/picturefile.h"
#include "platform/ui/keycodes.h"
#include "platform/ui/picturebox.h"
#include "platform/ui/prompt.h"
#include "platform/ui/twips.h"
#include "settings/Module1.h"
#include "settings/photo.h"
#include "windows/windowregistry.h"

namespace {

Q_LOGGING_CATEGORY(lcPhotoList, "tandeo.browser.list", QtWarningMsg)

constexpr double kFrameWidthTwips = 2775;
constexpr double kFrameHeightTwips = 5055;
constexpr double kListLeftTwips = 120;
constexpr double kListTopTwips = 240;
constexpr double kListWidthTwips = 2535;
constexpr double kListHeightTwips = 4740;
constexpr double kMinimumWidthTwips = 3000;
// The parts of the window around the frame and the list (Form_Resize).
constexpr double kFrameMarginTwips = 325;
constexpr double kListMarginTwips = 565;
constexpr double kBelowFrameTwips = 850;

// The workspace's file-type list cmbTur, in its order: an entry's item data
// is a position in it.
constexpr std::array<const char*, 3> kFileTypes{"JPG", "GIF", "BMP"};

// The runtime error numbers of the original platform the messages show.
enum ErrorNumber : int {
  kInvalidCall = 5,
  kFileNotFound = 53,
  kFileExists = 58,
  kDiskFull = 61,
  kPermissionDenied = 70,
  kPathFileAccess = 75,
  kPathNotFound = 76,
};

int errorNumberOf(const base::SystemError& error) {
  switch (error.code) {
    case ENOENT:
    case ENOTDIR:
      return kPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
      return kPermissionDenied;
    case EEXIST:
      return kFileExists;
    case ENOSPC:
    case EDQUOT:
      return kDiskFull;
    default:
      return kPathFileAccess;
  }
}

QMdiSubWindow* frameWindowOf(const QWidget& window) {
  return qobject_cast<QMdiSubWindow*>(window.parentWidget());
}

// The file an entry's path names on the disk: the program writes "Resim001.jpg"
// and the entry says "Resim001.JPG".
std::optional<std::string> fileOf(const QString& path) {
  return files::findFileIgnoringCase(path.toStdString());
}

}  // namespace

gozat::gozat(windows::WindowRegistry& windows, QWidget* parent)
    : QWidget(parent), windows_(windows) {
  setObjectName(QStringLiteral("gozat"));
  setWindowTitle(QStringLiteral("Fotoğraf Listesi"));
  setWindowIcon(QIcon::fromTheme(QStringLiteral("folder-pictures")));
  setFocusPolicy(Qt::StrongFocus);
  createControls();
  resize(ui::twipsToPixelsX(kMinimumWidthTwips),
         ui::twipsToPixelsY(kFrameHeightTwips + kBelowFrameTwips));
}

void gozat::createControls() {
  Frame1 = new QGroupBox(this);
  Frame1->setObjectName(QStringLiteral("Frame1"));
  Frame1->setGeometry(0, 0, ui::twipsToPixelsX(kFrameWidthTwips),
                      ui::twipsToPixelsY(kFrameHeightTwips));

  lstFoto = new QListWidget(Frame1);
  lstFoto->setObjectName(QStringLiteral("lstFoto"));
  lstFoto->setGeometry(ui::twipsToPixelsX(kListLeftTwips), ui::twipsToPixelsY(kListTopTwips),
                       ui::twipsToPixelsX(kListWidthTwips), ui::twipsToPixelsY(kListHeightTwips));
  // The list keeps the arrow keys; every key it does not take reaches the
  // window (keyPressEvent), which passes it on.
  lstFoto->viewport()->installEventFilter(this);
  // Every change of the selected entry previews it: a click, an arrow key, a new entry.
  connect(lstFoto, &QListWidget::currentRowChanged, this, [this] { lstFoto_Click(); });

  for (auto [list, name] : {std::pair{&lstFotoName, "lstFotoName"}, std::pair{&lstYol, "lstYol"}}) {
    *list = new QListWidget(this);
    (*list)->setObjectName(QString::fromLatin1(name));
    (*list)->hide();
  }

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  StatusBar1->setSizeGripEnabled(false);
  StatusBar1Panel1 = new QLabel(StatusBar1);
  StatusBar1Panel1->setObjectName(QStringLiteral("Panel1"));
  StatusBar1->addWidget(StatusBar1Panel1);
}

QString gozat::displayText(const QString& fileName, std::uint64_t bytes) {
  const auto kib = std::llround(static_cast<double>(bytes) / 1024.0);
  return fileName + QStringLiteral("( ") + QString::number(kib) + QStringLiteral("KB )");
}

std::optional<std::uint64_t> gozat::lengthOf(const QString& path) {
  const auto file = fileOf(path);
  if (!file) return std::nullopt;
  auto length = files::fileLength(*file);
  if (!length) return std::nullopt;
  return *length;
}

QString gozat::countText(int entries) {
  return QStringLiteral(" ") + QString::number(entries) + QStringLiteral("  Adet Kayıt");
}

double gozat::widthTwips() const {
  const QMdiSubWindow* own = frameWindowOf(*this);
  return ui::pixelsToTwipsX(own ? own->width() : width());
}

void gozat::Form_Load(const QWidget& workspace, const QWidget& preview) {
  loadDone = false;
  yerlesim(workspace, preview);
  loadDone = true;
  StatusBar1Panel1->setMinimumWidth(width());
}

void gozat::yerlesim(const QWidget& workspace, const QWidget& preview) {
  QMdiSubWindow* own = frameWindowOf(*this);
  if (!own) return;
  // Each step on its own: a window not in the frame leaves its part out.
  if (const QMdiSubWindow* beside = frameWindowOf(workspace)) {
    own->move(beside->x() + beside->width(), own->y());
  }
  if (const QMdiSubWindow* above = frameWindowOf(preview)) {
    own->move(own->x(), above->y() + above->height());
  }
  const auto stored = static_cast<std::int32_t>(windows_.context().settings.getDwordValue(
      Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(), QStringLiteral("ExpWith")));
  const double width = stored < kMinimumWidthTwips ? kMinimumWidthTwips : stored;
  placedWidthTwips_ = width;
  own->resize(ui::twipsToPixelsX(width), ui::twipsToPixelsY(kFrameHeightTwips + kBelowFrameTwips));
  qCDebug(lcPhotoList) << "photo browser placed at" << own->geometry();
}

void gozat::Form_Resize() {
  const double width = widthTwips();
  Frame1->resize(ui::twipsToPixelsX(std::max(0.0, width - kFrameMarginTwips)), Frame1->height());
  lstFoto->resize(ui::twipsToPixelsX(std::max(0.0, width - kListMarginTwips)), lstFoto->height());
  if (loadDone && std::lround(width) != std::lround(placedWidthTwips_)) {
    placedWidthTwips_ = width;
    windows_.context().settings.saveDwordValue(Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(),
                                               QStringLiteral("ExpWith"),
                                               static_cast<std::uint32_t>(std::lround(width)));
  }
}

void gozat::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int barHeight = StatusBar1->sizeHint().height();
  StatusBar1->setGeometry(0, height() - barHeight, width(), barHeight);
  Form_Resize();
}

void gozat::Form_KeyDown(std::int16_t keyCode, std::int16_t /*shift*/) {
  emit keyDown(keyCode);
}

void gozat::keyPressEvent(QKeyEvent* event) {
  Form_KeyDown(ui::vbKeyCode(event->key()), ui::vbShiftState(event->modifiers()));
  event->accept();
}

bool gozat::eventFilter(QObject* watched, QEvent* event) {
  const bool press = event->type() == QEvent::MouseButtonPress;
  const bool doubleClick = event->type() == QEvent::MouseButtonDblClick;
  if (watched == lstFoto->viewport() && (press || doubleClick)) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (press) {
      lstFoto_MouseDown(mouse->button(), mouse->globalPosition().toPoint());
      // A right click leaves the selection alone: the menu acts on the entry selected before.
      return mouse->button() == Qt::RightButton;
    }
    if (mouse->button() == Qt::LeftButton) {
      lstFoto_DblClick();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void gozat::lstFoto_Click() {
  const int row = lstFoto->currentRow();
  // An entry joins lstFoto before lstYol: nothing to show until it is whole.
  if (lstFoto->count() == 0 || row < 0 || row >= lstYol->count()) return;
  const auto file = fileOf(lstYol->item(row)->text());
  if (!file) return;
  auto picture = picture::loadPicture(QString::fromStdString(*file));
  if (!picture) {
    qCDebug(lcPhotoList) << "no preview of" << lstYol->item(row)->text();
    return;
  }
  windows_.get<frmOnizle>().Picture3->setPicture(picture->image());
  QCoreApplication::processEvents();
}

void gozat::lstFoto_DblClick() {
  if (lstFoto->count() > 0) mnuRename();
}

void gozat::lstFoto_MouseDown(Qt::MouseButton button, const QPoint& globalPosition) {
  if (button == Qt::RightButton && lstFoto->count() > 0) emit contextMenuRequested(globalPosition);
}

void gozat::showError(int number) {
  windows_.context().prompter->MsgBox(
      QStringLiteral("Yaptığınız işlemde hata oluştu\nHata Kodu:") + QString::number(number),
      ui::vbOKOnly, ui::vbCritical, QStringLiteral("Hata"));
}

void gozat::mnuRename() {
  const int row = lstFoto->currentRow();
  if (row < 0 || row >= lstFotoName->count()) return showError(kInvalidCall);
  const QString oldName = lstFotoName->item(row)->text();
  const QString oldPath = lstYol->item(row)->text();
  const QString stem = oldName.left(oldName.size() - 4);
  const QString answer = windows_.context().prompter->InputBox(
      QStringLiteral("Yeni Dosya Adını Giriniz:"), QStringLiteral("Yeniden Adlandır"), stem);
  if (answer == stem || answer.isEmpty()) return;
  // A name, not a path: the copy stays in the entry's folder.
  if (answer.contains(QLatin1Char('/')) || answer.contains(QChar(0)))
    return showError(kPathFileAccess);
  const int type = lstFoto->item(row)->data(Qt::UserRole).toInt();
  if (type < 0 || type >= static_cast<int>(kFileTypes.size())) return showError(kInvalidCall);
  const QString newName = answer + QStringLiteral(".") + QLatin1String(kFileTypes[type]);
  const QString newPath = oldPath.left(oldPath.size() - oldName.size()) + newName;

  // Names differing only in letter case are one file to the program: the
  // entry takes the new name and the file stays as it is.
  if (!files::equalsIgnoringCase(oldName.toStdString(), newName.toStdString())) {
    const auto source = fileOf(oldPath);
    Photo::Overwrite overwrite = Photo::confirmOverwrite(newPath, *windows_.context().prompter);
    if (!overwrite) return;
    if (!source) {
      (void)overwrite.restore();
      return showError(kFileNotFound);
    }
    if (auto copied = files::copyFile(*source, overwrite.target().toStdString()); !copied) {
      (void)overwrite.restore();
      qCWarning(lcPhotoList) << "rename:" << copied.error().message().c_str();
      return showError(errorNumberOf(copied.error()));
    }
    (void)overwrite.commit();
  }
  lstYol->item(row)->setText(newPath);
  lstFotoName->item(row)->setText(newName);
  QCoreApplication::processEvents();
  const auto length = lengthOf(newPath);
  if (!length) return showError(kFileNotFound);
  lstFoto->item(row)->setText(displayText(newName, *length));
}

void gozat::mnuSil() {
  const int row = lstFoto->currentRow();
  const QString shown = row >= 0 ? lstFoto->item(row)->text() : QString();
  const ui::MsgBoxResult answer = windows_.context().prompter->MsgBox(
      shown + QStringLiteral("\nBu dosyayı silmek istediğinize emin misiniz?"), ui::vbYesNo,
      ui::vbQuestion, QStringLiteral("Sil"));
  if (answer != ui::vbYes) return;
  const auto error = [this] {
    windows_.context().prompter->MsgBox(QStringLiteral("Yaptığınız işlemde hata oluştu"),
                                        ui::vbOKOnly, ui::vbCritical, QStringLiteral("Hata"));
  };
  if (row < 0 || row >= lstYol->count()) return error();
  const auto file = fileOf(lstYol->item(row)->text());
  if (!file) return error();
  if (auto gone = files::discardFile(*file, windows_.context().trash); !gone) {
    qCWarning(lcPhotoList) << "delete:" << gone.error().message().c_str();
    return error();
  }
  removeEntry(row);
  // The count follows the list (the status bar would otherwise keep the old count).
  StatusBar1Panel1->setText(countText(lstFoto->count()));
}

void gozat::removeEntry(int row) {
  // The hidden lists first: removing the shown entry selects another, whose
  // preview then reads its own path.
  delete lstYol->takeItem(row);
  delete lstFotoName->takeItem(row);
  delete lstFoto->takeItem(row);
}
