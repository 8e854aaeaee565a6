#pragma once
// The converter window as the program shows it (through the window registry,
// created on first use, unloaded on closing), over scripted prompts, a
// scripted Open dialog and a temporary folder; plus the pictures the tests
// convert.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "converter/frmconvert.h"
#include "mainwindow/programwindows.h"
#include "support/scripted_file_dialog.h"
#include "support/scripted_prompter.h"
#include "windows/windowregistry.h"

namespace testsupport {

// Eight flat colour blocks on an 8-pixel grid: exact in a GIF palette and
// nearly exact in a JPEG, so every conversion can be compared pixel by pixel.
inline QImage blockPicture(int width = 96, int height = 64) {
  static const QRgb colours[] = {qRgb(200, 30, 30),  qRgb(30, 160, 40),   qRgb(20, 40, 190),
                                 qRgb(240, 220, 40), qRgb(250, 250, 250), qRgb(10, 10, 10),
                                 qRgb(120, 60, 160), qRgb(40, 190, 200)};
  QImage picture(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) picture.setPixel(x, y, colours[(x / 24 + (y / 32) * 4) % 8]);
  return picture;
}

// The mean difference per channel of two pictures of one size (0 for equal ones).
inline double meanDifference(const QImage& a, const QImage& b) {
  const QImage left = a.convertToFormat(QImage::Format_RGB32);
  const QImage right = b.convertToFormat(QImage::Format_RGB32);
  double sum = 0;
  for (int y = 0; y < left.height(); ++y)
    for (int x = 0; x < left.width(); ++x) {
      const QRgb p = left.pixel(x, y), q = right.pixel(x, y);
      sum += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q));
    }
  return sum / (3.0 * left.width() * left.height());
}

inline QByteArray fileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ConverterWindows {
 public:
  ConverterWindows() : registry_(context(prompts, dialog)) {
    windows::defineProgramWindows(registry_);
  }

  // The window, created (afresh after a close) and shown.
  frmConvert& show() { return registry_.show<frmConvert>(); }
  frmConvert* find() const { return registry_.find<frmConvert>(); }

  // Clicks `button` (its tab made current first) and waits until the
  // conversion has ended; its success as reported by the window.
  static bool convert(frmConvert& window, QPushButton* button) {
    for (int tab = 0; tab < window.SSTab1->count(); ++tab)
      if (window.SSTab1->widget(tab)->isAncestorOf(button)) window.SSTab1->setCurrentIndex(tab);
    QSignalSpy finished(&window, &frmConvert::conversionFinished);
    QTest::mouseClick(button, Qt::LeftButton);
    if (finished.isEmpty() && !finished.wait(60000)) return false;
    return finished.constFirst().constFirst().toBool();
  }

  ScriptedPrompter prompts;
  std::shared_ptr<ScriptedFileDialog> dialog = std::make_shared<ScriptedFileDialog>();
  QTemporaryDir folder;

  QString file(const QString& name) const { return folder.filePath(name); }

 private:
  static windows::ProgramContext context(ScriptedPrompter& prompts,
                                         std::shared_ptr<ScriptedFileDialog> dialog) {
    windows::ProgramContext context;
    context.prompter = &prompts;
    context.openFileDialog = std::move(dialog);
    return context;
  }

  windows::WindowRegistry registry_;
};

}  // namespace testsupport
