// Automatic placement of the crop frame on the pupil's face: the check box
// "Yüzü otomatik yerleştir", remembered as "YuzYerlestir" beside "Kalite",
// and the placement after each photo (F5, or "Resim Al" in the camera
// window; never on the live picture), which moves the frame the way the move
// pad does and says under the photo what there is to say. The staff then
// fine-tune the frame as before.

#include <QCheckBox>
#include <QLabel>

#include "platform/ui/picturebox.h"
#include "rules/faceplacement.h"
#include "settings/Module1.h"
#include "windows/windowregistry.h"
#include "workspace/form1.h"

namespace {

const QString kValueName = QStringLiteral("YuzYerlestir");

}  // namespace

void Form1::loadFacePlacement() {
  // The stored number as a check box's value: 0 off (and a first run), on otherwise.
  const std::int32_t stored =
      settings().getDwordValue(Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(), kValueName);
  chkYuzYerlestir->setChecked(stored != 0);
  // Ticked here, the box's click handler gets the detector ready, as a click would.
  if (!windows_.context().faceFinder) {
    chkYuzYerlestir->setEnabled(false);
    chkYuzYerlestir->setToolTip(QStringLiteral("Yüz bulma bu kurulumda kullanılamıyor."));
  }
}

void Form1::chkYuzYerlestir_Click() {
  settings().saveDwordValue(Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(), kValueName,
                            chkYuzYerlestir->isChecked() ? 1 : 0);
  // The detector gets ready while the staff frame the first pupil.
  if (const auto& finder = windows_.context().faceFinder; finder && chkYuzYerlestir->isChecked())
    finder->prepare();
}

void Form1::placeFrameOnFace() {
  const std::shared_ptr<face::FaceFinder>& finder = windows_.context().faceFinder;
  if (!finder || !chkYuzYerlestir->isChecked() || !photo.hasBitmap()) {
    lblYuzMesaj->clear();
    return;
  }
  const std::vector<face::FoundFace> faces = finder->find(photo.image());
  const rules::FacePlacement placed =
      rules::placeOnFace(faces, photo.size(), Picture2->size(), cropFrame);
  lblYuzMesaj->setText(rules::adviceLine(placed.advice));
  qCDebug(lcWorkspace) << "faces found:" << faces.size() << lblYuzMesaj->text();
  if (!placed.topLeft) return;
  rules::FrameRect moved = cropFrame;
  moved.left = static_cast<float>(placed.topLeft->x());
  moved.top = static_cast<float>(placed.topLeft->y());
  putFrame(moved);
}
