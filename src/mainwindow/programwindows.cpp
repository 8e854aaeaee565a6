#include "mainwindow/programwindows.h"

#include "browser/frmonizle.h"
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
        r.get<frmMain>().addChild(preview);
        QObject::connect(preview, &frmOnizle::keyDown, preview,
                         [&r](std::int16_t keyCode) { r.get<Form1>().KeyDown(keyCode); });
        return preview;
      },
      [&windows](frmOnizle& preview) { preview.Form_Load(windows.get<Form1>()); });
}

}  // namespace windows
