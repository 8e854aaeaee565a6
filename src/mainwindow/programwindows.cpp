#include "mainwindow/programwindows.h"

#include <QMenu>

#include "about/hakkinda.h"
#include "about/notices.h"
#include "browser/frmonizle.h"
#include "browser/gozat.h"
#include "camera/frmwebcam.h"
#include "converter/frmconvert.h"
#include "mainwindow/frmmain.h"
#include "windows/windowregistry.h"
#include "workspace/form1.h"

namespace windows {

void defineProgramWindows(WindowRegistry& windows) {
  windows.define<frmMain>([](WindowRegistry& r) { return new frmMain(r); },
                          [](frmMain& frame) { frame.MDIForm_Load(); });
  windows.define<Form1>(
      [](WindowRegistry& r) {
        auto* form = new Form1(r);
        r.get<frmMain>().addChild(form);
        return form;
      },
      [](Form1& form) { form.Form_Load(); });
  // The preview window knows no other window: here its keys are passed on to
  // the workspace, and its load rule is told where the workspace is.
  windows.define<frmOnizle>(
      [](WindowRegistry& r) {
        auto* preview = new frmOnizle;
        r.get<frmMain>().addChild(preview, ChildCaption::Thin);
        QObject::connect(preview, &frmOnizle::keyDown, preview,
                         [&r](std::int16_t keyCode) { r.get<Form1>().KeyDown(keyCode); });
        return preview;
      },
      [&windows](frmOnizle& preview) { preview.Form_Load(windows.get<Form1>()); });
  // The camera window: top-level, modal for the workspace, unloaded when it
  // closes; the picture "Resim Al" hands over goes to the workspace's photo box.
  windows.define<frmWebCam>(
      [](WindowRegistry& r) {
        auto* camera = new frmWebCam(r.context());
        QObject::connect(camera, &frmWebCam::pictureTaken, camera,
                         [&r](const QImage& picture) { r.get<Form1>().setPhoto(picture); });
        return camera;
      },
      [](frmWebCam& camera) { camera.Form_Load(); });
  // The photo browser, likewise: keys to the workspace, placed beside it and
  // under the preview window; its right click shows the frame's pop-up.
  windows.define<gozat>(
      [](WindowRegistry& r) {
        auto* browser = new gozat(r);
        frmMain& frame = r.get<frmMain>();
        frame.addChild(browser, ChildCaption::Thin);
        QObject::connect(browser, &gozat::keyDown, browser,
                         [&r](std::int16_t keyCode) { r.get<Form1>().KeyDown(keyCode); });
        QObject::connect(browser, &gozat::contextMenuRequested, &frame,
                         [&frame](const QPoint& at) { frame.mnuPopup->popup(at); });
        return browser;
      },
      [&windows](gozat& browser) {
        browser.Form_Load(windows.get<Form1>(), windows.get<frmOnizle>());
      });

  // Windows of their own beside the frame: the converter and the about box
  // are modeless and unload on closing; the notices are modal.
  windows.define<frmConvert>([](WindowRegistry& r) {
    ProgramContext& context = r.context();
    return new frmConvert(*context.prompter, *context.openFileDialog);
  });
  windows.define<hakkinda>([](WindowRegistry& r) { return new hakkinda(r.context()); },
                           [](hakkinda& box) { box.Form_Load(); });
  windows.define<frmKartela>(
      [](WindowRegistry& r) { return new frmKartela(r.context().openWebPage); });
  windows.define<frmYoklama>(
      [](WindowRegistry& r) { return new frmYoklama(r.context().openWebPage); });
}

}  // namespace windows
