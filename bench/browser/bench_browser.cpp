// addSavedPhotoToBrowser as the list grows: the real workspace and browser
// (offscreen, synthetic camera) list 1,000 saved photos one after the other,
// each with its preview, size and count text, as the save command does. The
// cost of adding the entries around the 1,000th against those around the
// 10th (goal: at most 1.5), and the memory each entry takes.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <vector>

#include "browser/gozat.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/programwindows.h"
#include "platform/ui/qtprompter.h"
#include "rules/form1_rules.h"
#include "settings/Module1.h"
#include "support/scratch_profile.h"
#include "windows/programcontext.h"
#include "windows/windowregistry.h"
#include "workspace/form1.h"

namespace {

constexpr int kEntries = 1000;
constexpr int kRounds = 5;
constexpr int kWindow = 10;  // entries timed around each point
using Clock = std::chrono::steady_clock;

long residentKb() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * 4;
}

double median(std::vector<double> values) {
  std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
  return values[values.size() / 2];
}

// One file per number, the size of a saved 105 × 120 photo.
void writePhotos(const QString& folder) {
  QImage photo(105, 120, QImage::Format_RGB32);
  for (int y = 0; y < photo.height(); ++y)
    for (int x = 0; x < photo.width(); ++x) photo.setPixel(x, y, qRgb(x * 2, y * 2, (x ^ y) & 255));
  const QString first = folder + QStringLiteral("/Resim001.jpg");
  photo.save(first, "JPG", 80);
  for (int n = 2; n <= kEntries; ++n) {
    QFile::copy(first, folder + QStringLiteral("/Resim") +
                           rules::counterNumberText(QString::number(n)) + QStringLiteral(".jpg"));
  }
}

void clearBrowser(gozat& browser) {
  browser.lstFoto->clear();
  browser.lstFotoName->clear();
  browser.lstYol->clear();
}

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir profile;
  bench::useScratchProfile(profile);
  QApplication app(argc, argv);

  const QString folder = profile.path() + QStringLiteral("/photos");
  QDir().mkpath(folder);
  writePhotos(folder);
  const Module1 settings = Module1::forUserProfile();
  settings.saveStringValue(Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(),
                           QStringLiteral("Path"), folder);

  ui::QtPrompter dialogs;
  windows::WindowRegistry registry(windows::programContextOfThisRun(dialogs));
  windows::defineProgramWindows(registry);
  registry.show<windows::frmMain>();
  Form1& form = registry.get<Form1>();
  form.cmbTur->setCurrentIndex(0);
  gozat& browser = registry.get<gozat>();

  std::vector<double> early, late;
  double perEntryKb = 0;
  for (int round = 0; round < kRounds; ++round) {
    clearBrowser(browser);
    QCoreApplication::processEvents();
    const long before = residentKb();
    for (int n = 1; n <= kEntries; ++n) {
      form.txtResim->setText(rules::counterNumberText(QString::number(n)));
      const auto start = Clock::now();
      form.addSavedPhotoToBrowser();
      const double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
      if (n > 10 - kWindow / 2 && n <= 10 + kWindow / 2) early.push_back(us);
      if (n > kEntries - kWindow) late.push_back(us);
    }
    perEntryKb = std::max(perEntryKb, double(residentKb() - before) / kEntries);
  }
  const double atTen = median(early);
  const double atThousand = median(late);
  std::printf("entries listed: %d (%d rounds)\n", browser.lstFoto->count(), kRounds);
  std::printf("adding around the 10th entry:    %8.1f us (median)\n", atTen);
  std::printf("adding around the 1,000th entry: %8.1f us (median)\n", atThousand);
  std::printf("ratio 1,000th / 10th: %.2f (goal <= 1.5)\n", atThousand / atTen);
  std::printf("memory per entry: %.2f KiB (resident growth over %d entries, largest round)\n",
              perEntryKb, kEntries);
  return 0;
}
