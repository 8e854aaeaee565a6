// Taking a photo (the live picture frozen into Picture2 through the temporary
// capture file, the frame then placed on the face when that is asked for) and
// cutting the framed part of it into the preview window.

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <cmath>

#include "browser/frmonizle.h"
#include "capture/modBitBlt.h"
#include "platform/picture/picturefile.h"
#include "platform/ui/picturebox.h"
#include "platform/ui/prompt.h"
#include "platform/ui/twips.h"
#include "rules/capturefile.h"
#include "rules/numbers.h"
#include "windows/windowregistry.h"
#include "workspace/form1.h"

namespace {

const QString kTitle = QStringLiteral("Velmora Photo");

bool folderIsWritable(const QString& folder) {
  const QFileInfo info(folder);
  return info.isDir() && info.isWritable();
}

}  // namespace

void Form1::takePhoto() {
  showWaiting(true);
  QCoreApplication::processEvents();
  const QString failure = capturePhoto();
  // Still behind the waiting notice: the finder takes a moment.
  if (failure.isEmpty()) placeFrameOnFace();
  QCoreApplication::processEvents();
  showWaiting(false);
  // Reported once the window is usable again, so the user is never left
  // in front of a disabled workspace.
  if (!failure.isEmpty()) prompter().MsgBox(failure, ui::vbOKOnly, ui::vbExclamation, kTitle);
}

QString Form1::capturePhoto() {
  const picture::Picture grabbed = modBitBlt::grabPicture(
      webCam_.captureWindow(), 0, 0, static_cast<std::int32_t>(std::lround(Picture1->width())),
      static_cast<std::int32_t>(std::lround(Picture1->height())));

  const QString file = captureFilePath();
  if (const auto saved = picture::savePictureAsBmp(grabbed, file, picture::Durability::Scratch);
      !saved) {
    qCWarning(lcWorkspace) << "saving the photo failed:" << saved.error().detail;
    return QStringLiteral("Fotoğraf geçici dosyaya yazılamadı: ") + file;
  }
  auto loaded = picture::loadPicture(file);
  if (!loaded) {
    qCWarning(lcWorkspace) << "reading the photo back failed:" << loaded.error().detail;
    return QStringLiteral("Fotoğraf geçici dosyadan okunamadı: ") + file;
  }
  // The crop frame stays where it is and now lies over the new photo.
  photo = std::move(*loaded);
  Picture2->setPicture(photo.image());
  return {};
}

void Form1::setPhoto(const QImage& picture) {
  photo = picture::Picture(picture);
  Picture2->setPicture(photo.image());
  placeFrameOnFace();
}

QString Form1::captureFilePath() const {
  const rules::ProgramFolders& folders = windows_.context().folders;
  const QString folder = rules::captureFolder(folders, folderIsWritable);
  // A failure shows when the file is written, with the file's name.
  if (folder == folders.cache && !QDir().mkpath(folder)) {
    qCDebug(lcWorkspace) << "cannot create the cache folder" << folder;
  }
  return rules::captureFilePath(folder);
}

void Form1::showWaiting(bool busy) {
  waiting->setVisible(busy);
  if (busy) {
    waiting->raise();
    // Drawn now: a pending repaint may be held back until after the photo,
    // and the notice is there to be seen while it is taken.
    waiting->repaint();
  }
  // The workspace takes no input meanwhile; it is not greyed out, as a
  // disabled parent window is not on the original platform either.
  if (busy)
    inputBlock_ = std::make_unique<ui::InputBlocker>(*this);
  else
    inputBlock_.reset();
}

void Form1::clipToCropFrame() {
  pctResim.setPicture(photo);
  const QRect frame = Label5->geometry();
  pctResim.setClipX(rules::roundHalfToEven(frame.x()));
  pctResim.setClipY(rules::roundHalfToEven(frame.y()));
  pctResim.setClipWidth(rules::roundHalfToEven(frame.width()));
  pctResim.setClipHeight(rules::roundHalfToEven(frame.height()));
}

void Form1::showPreview() {
  if (!photo.hasBitmap()) {
    prompter().MsgBox(QStringLiteral("Lütfen Önce bir Fotoğraf çekiniz"), ui::vbOKOnly,
                      ui::vbExclamation, kTitle);
    return;
  }
  clipToCropFrame();
  QCoreApplication::processEvents();

  frmOnizle* preview = windows_.find<frmOnizle>();
  if (!preview || !preview->isVisibleTo(preview->window())) {
    preview = &windows_.show<frmOnizle>();
  }
  preview->Picture3->setFixedBoxSize(pctResim.clipWidth(), pctResim.clipHeight());
  preview->Picture3->setPicture(pctResim.clip().image());
  preview->setSizeTwips(preview->Picture3->width() * ui::twipsPerPixelX() + 50,
                        preview->Picture3->height() * ui::twipsPerPixelY() + 250);
}
