// The workspace's commands: function keys, the menu procedure, the toolbars
// and the school-system size button. Every command has its branch here; those
// whose work belongs to a window or rule not built yet say where it lands.

#include <QLineEdit>
#include <QListWidget>

#include "camera/frmwebcam.h"
#include "converter/frmconvert.h"
#include "platform/ui/keycodes.h"
#include "platform/ui/picturebox.h"
#include "windows/windowregistry.h"
#include "workspace/form1.h"

void Form1::KeyDown(std::int16_t keyCode) {
  switch (keyCode) {
    case ui::vbKeyF2:
      tamam_Click();
      break;
    case ui::vbKeyF3:
      Yeniklsr_Click();
      break;
    case ui::vbKeyF6:
      showPreview();
      break;
    case ui::vbKeyF7:
      windows_.show<frmConvert>();
      break;
    case ui::vbKeyF9:
      closeProgram();
      break;
    case ui::vbKeyF5:
      takePhoto();
      break;
    case ui::vbKeyEscape:
      toolYon_ButtonClick(QStringLiteral("kapat"));
      break;
    default:
      // F8 and every other key: nothing here.
      break;
  }
}

void Form1::menu(std::int16_t index) {
  switch (index) {
    case 0:
      takePhoto();
      break;
    case 1:
      showPreview();
      break;
    default:
      break;
  }
}

void Form1::toolYon_ButtonClick(const QString& key) {
  // The key alone decides; which of the four toolbars was clicked does not matter.
  if (key == QLatin1String("foto")) {
    takePhoto();
  } else if (key == QLatin1String("onizleme") || key == QLatin1String("al")) {
    showPreview();
  } else if (key == QLatin1String("gelismis")) {
    // The camera window opens driver 0 itself: only one capture window may
    // hold a driver, so the workspace lets go of its own until it is closed.
    webCam_.closeCaptureWindow();
    windows_.get<frmWebCam>().showModal();
    if (List1->currentRow() >= 0)
      webCam_.openCaptureWindow(List1->currentRow(), *Picture1->client());
  } else if (key == QLatin1String("donustur")) {
    windows_.show<frmConvert>();
  } else if (key == QLatin1String("kapat")) {
    closeWorkspace();
  } else {
    // The move pad's keys; any other key does nothing.
    cropFrameKey(key);
  }
}

void Form1::cmdEokul_Click() {
  txtEn->setText(QStringLiteral("105"));
  txtBoy->setText(QStringLiteral("120"));
}
