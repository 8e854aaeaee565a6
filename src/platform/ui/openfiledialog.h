#pragma once
// The common Open dialog as a seam: windows ask the one they were given (the
// program context's), which is Qt's file dialog in the program and a scripted
// one in the tests.

#include <QString>

namespace ui {

struct OpenFileRequest {
  QString fileName;          // shown first; a pattern such as "*.gif" filters the list
  QString defaultExtension;  // added to a typed name without one, e.g. "gif"
  QString title;
};

class OpenFileDialog {
 public:
  virtual ~OpenFileDialog() = default;
  // The file name the dialog reports once it is closed: the chosen file, or
  // the request's file name unchanged when the user cancelled.
  virtual QString showOpen(const OpenFileRequest& request) = 0;
};

class QtOpenFileDialog final : public OpenFileDialog {
 public:
  QString showOpen(const OpenFileRequest& request) override;
};

}  // namespace ui
