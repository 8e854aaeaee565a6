// Start-up of the workspace: the frame boxes and the quality slider from the
// settings store, the file type, the camera and the target folder.

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QSignalBlocker>
#include <QSlider>

#include "platform/ui/dirlistbox.h"
#include "platform/ui/drivelistbox.h"
#include "platform/ui/picturebox.h"
#include "platform/ui/prompt.h"
#include "platform/ui/simplecombobox.h"
#include "rules/form1_rules.h"
#include "settings/Module1.h"
#include "windows/windowregistry.h"
#include "workspace/form1.h"

namespace {

std::int32_t storedNumber(const Module1& settings, const char* name) {
  return settings.getDwordValue(Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(),
                                QString::fromLatin1(name));
}

}  // namespace

void Form1::Form_Load() {
  // 1. Top-left corner of the frame's client area.
  if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
    sub->move(0, 0);
  } else {
    move(0, 0);
  }
  loadFrameBoxes();            // 2, 3
  loadQuality();               // 4
  loadFacePlacement();         // beside the quality, in the same key
  cmbTur->setCurrentIndex(0);  // 5; its rule shows the quality controls
  startCamera();               // 6, 7, 8
  if (!restoreFolder()) {      // 9, 10
    // 11. The error step: keep the folder box's text as the remembered folder.
    qCDebug(lcWorkspace) << "start-up stopped at the folder:" << pathbox->currentText();
    storePath(pathbox->currentText().trimmed());
  }
}

bool Form1::loadFrameBoxes() {
  const std::array<std::pair<QLineEdit*, const char*>, 5> boxes{
      {{txtEn, "En"}, {txtBoy, "Boy"}, {txtUst, "Ust"}, {txtSol, "Sol"}, {txtYon, "Hareket"}}};
  for (const auto& [box, name] : boxes) {
    // A stored value equal to the design text would be no change, its rule
    // would not run and the frame would stay at its design place while the
    // box shows the stored number: start each box from empty, silently.
    {
      const QSignalBlocker quiet(box);
      box->clear();
    }
    box->setText(QString::number(storedNumber(settings(), name)));
  }
  if (rules::needsDefaultSize(txtEn->text())) txtEn->setText(QStringLiteral("105"));
  if (rules::needsDefaultSize(txtBoy->text())) txtBoy->setText(QStringLiteral("120"));
  return true;
}

void Form1::loadQuality() {
  // A stored position outside the slider's range (a hand-edited or damaged
  // store) is taken to the nearest end rather than stopping start-up.
  const std::int32_t stored = storedNumber(settings(), "Kalite");
  Slider1->setValue(std::clamp(stored, Slider1->minimum(), Slider1->maximum()));
}

void Form1::startCamera() {
  webCam_.listCaptureDrivers(*List1);
  if (const auto& cameras = windows_.context().cameras; cameras && cameras->notifier())
    connect(cameras->notifier(), &video::DeviceNotifier::devicesChanged, this,
            &Form1::followCameras, Qt::UniqueConnection);
  if (List1->count() > 0) List1->setCurrentRow(0);
  const QListWidgetItem* driver = List1->currentItem();
  if (driver && !driver->text().isEmpty()) {
    chosenCamera_ = webCam_.listedIdentity(List1->currentRow());
    webCam_.openCaptureWindow(List1->currentRow(), *Picture1->client());
    for (int i = 0; i < List1->count(); ++i) cmbCamList->addItem(List1->item(i)->text());
    cmbCamList->setCurrentIndex(0);
    return;
  }
  prompter().MsgBox(QStringLiteral("Yüklü Video Aygıtı Yok."), ui::vbOKOnly, ui::vbExclamation);
}

bool Form1::restoreFolder() {
  const Module1::StoredText stored = settings().readStringValue(
      Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(), QStringLiteral("Path"));
  if (!stored.exact) unrepresentedPath = stored.text;
  QString folder = stored.text;
  if (folder.isEmpty()) {
    if (!Dir1->setPath(QDir::currentPath())) return false;
    folder = Dir1->path();
  }
  folderHistory.add(folder);
  showHistory();
  updateHistoryButtons();
  recordHistory = true;
  if (!Dir1->setPath(pathbox->currentText().trimmed())) return false;
  if (!Drive1->setDrive(Dir1->path())) return false;
  return true;
}

void Form1::Form_Activate() {
  lastDriveIndex = static_cast<std::int16_t>(Drive1->currentIndex());
}

void Form1::Slider1_Change() {
  settings().saveDwordValue(Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(),
                            QStringLiteral("Kalite"), Slider1->value());
  Label14->setText(rules::qualityCaption(Slider1->value()));
}

void Form1::cmbTur_Click() {
  const bool visible = rules::qualityControlsVisible(cmbTur->currentIndex());
  Label14->setVisible(visible);
  Slider1->setVisible(visible);
}

void Form1::cmbCamList_Change() {
  // Takes effect the next time the capture window is opened.
  List1->setCurrentRow(cmbCamList->currentIndex());
  chosenCamera_ = webCam_.listedIdentity(cmbCamList->currentIndex());
}

void Form1::followCameras() {
  // Nothing changed in what the boxes show: leave them (and the user's
  // open drop-down) alone.
  if (!webCam_.relistCaptureDrivers(*List1)) return;
  const int chosen = std::max(0, webCam_.listedPosition(chosenCamera_));
  // The choice is kept by identity, not by the position a rebuilt box
  // would report on its way; a camera that went away stays the chosen one
  // for when it comes back.
  const QSignalBlocker quiet(cmbCamList);
  cmbCamList->clear();
  for (int i = 0; i < List1->count(); ++i) cmbCamList->addItem(List1->item(i)->text());
  if (List1->count() == 0) return;
  List1->setCurrentRow(chosen);
  cmbCamList->setCurrentIndex(chosen);
  qCDebug(lcWorkspace) << "cameras now:" << List1->count() << "chosen at" << chosen;
}
