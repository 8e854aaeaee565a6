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
  windows.define<frmOnizle>(
      [](WindowRegistry& r) {
        auto* preview = new frmOnizle(r);
        r.get<frmMain>().addChild(preview);
        return preview;
      },
      [](frmOnizle& preview) { preview.Form_Load(); });
}

}  // namespace windows
