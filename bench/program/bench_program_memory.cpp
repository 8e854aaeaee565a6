// The program's memory over a day's work, in one process: the real frame,
// workspace and browser (offscreen, one synthetic camera, a scratch profile)
// take 1,000 photos and save each of them under a new number through the
// procedures F5 and F2 run. What stays must be what the browser's 1,000
// entries hold (goal: at most 4 KiB an entry: its three list rows and their
// texts; a kept 105 x 120 photo alone would be 50 KiB). Then 1,000 photos are
// taken without saving, twice: the second round must leave nothing behind
// (goal: at most 100 bytes a photo, a few pages of noise over the round).
//
//   bench_program_memory [PHOTOS]

#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "browser/gozat.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/programwindows.h"
#include "platform/ui/keycodes.h"
#include "platform/ui/prompt.h"
#include "settings/Module1.h"
#include "support/program_windows.h"
#include "support/scratch_profile.h"
#include "windows/programcontext.h"
#include "windows/windowregistry.h"
#include "workspace/form1.h"

namespace {

constexpr double kMaxBytesPerEntry = 4096;
constexpr double kMaxBytesPerUnsavedPhoto = 100;
using Clock = std::chrono::steady_clock;

long residentKiB() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Answers every prompt with its default button, as a user pressing Enter
// would, and counts them: a run without prompts is what is measured.
class DefaultAnswers final : public ui::Prompter {
 public:
  int count = 0;
  QString last;

 private:
  ui::MsgBoxResult showMessage(const QString& text, ui::MsgBoxButtons buttons, ui::MsgBoxIcon,
                               const QString&) override {
    ++count;
    last = text;
    return ui::answersOf(buttons).front();
  }
  QString askForText(const QString& prompt, const QString&, const QString& defaultText) override {
    ++count;
    last = prompt;
    return defaultText;
  }
};

// Lets the windows finish what the commands left queued (repaints, windows
// deleted later), so that the memory read next is the settled one.
void settle() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

const char* verdict(bool pass) {
  return pass ? "PASS" : "FAIL";
}

}  // namespace

int main(int argc, char** argv) {
  const int photos = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
  QTemporaryDir profile;
  bench::useScratchProfile(profile);
  QApplication app(argc, argv);

  const QString folder = profile.path() + QStringLiteral("/photos");
  QDir().mkpath(folder);
  Module1::forUserProfile().saveStringValue(Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(),
                                            QStringLiteral("Path"), folder);

  DefaultAnswers answers;
  windows::WindowRegistry registry(windows::programContextOfThisRun(answers));
  // The live picture running, as a user would see it before pressing F5.
  const video::CaptureWindow* camera = bench::showProgramWithLivePicture(registry);
  if (!camera) return 1;
  Form1& form = registry.get<Form1>();

  // One photo taken and saved first, not counted: the preview window, the
  // browser and the codec's tables are made once, for the first photo.
  form.KeyDown(ui::vbKeyF5);
  form.KeyDown(ui::vbKeyF2);
  settle();
  const gozat& browser = registry.get<gozat>();
  const int entriesBefore = browser.lstFoto->count();
  const long before = residentKiB();

  auto start = Clock::now();
  for (int n = 0; n < photos; ++n) {
    form.KeyDown(ui::vbKeyF5);
    form.KeyDown(ui::vbKeyF2);
  }
  const double takeAndSaveSeconds = secondsSince(start);
  settle();
  const long afterSaves = residentKiB();
  const int entries = browser.lstFoto->count() - entriesBefore;

  // Taken without saving, twice over: the first round may still settle
  // caches that any photo fills; the second shows whether a photo leaves
  // anything behind.
  start = Clock::now();
  for (int n = 0; n < photos; ++n) form.KeyDown(ui::vbKeyF5);
  const double takeSeconds = secondsSince(start);
  settle();
  const long afterTakes = residentKiB();
  for (int n = 0; n < photos; ++n) form.KeyDown(ui::vbKeyF5);
  settle();
  const long afterMoreTakes = residentKiB();

  const int files = static_cast<int>(QDir(folder).entryList(QDir::Files).size());
  std::printf("%d photos taken and saved (%.1f ms each), then 2 x %d taken (%.1f ms each)\n",
              photos, takeAndSaveSeconds * 1e3 / photos, photos, takeSeconds * 1e3 / photos);
  std::printf("  files in the folder: %d, browser entries: %d (+%d), prompts: %d%s%s\n", files,
              browser.lstFoto->count(), entries, answers.count, answers.count ? ", last: " : "",
              qPrintable(answers.last));
  std::printf("  resident before:                  %8ld KiB\n", before);
  std::printf("  after taking and saving:          %8ld KiB (%+ld)\n", afterSaves,
              afterSaves - before);
  std::printf("  after taking without saving:      %8ld KiB (%+ld)\n", afterTakes,
              afterTakes - afterSaves);
  std::printf("  after taking as many again:       %8ld KiB (%+ld)\n", afterMoreTakes,
              afterMoreTakes - afterTakes);
  if (entries != photos || files != photos + 1 || answers.count > 0) {
    std::fprintf(stderr, "the photos were not all saved and listed\n");
    return 1;
  }
  const double perEntry = static_cast<double>(afterSaves - before) * 1024.0 / entries;
  const double perUnsavedPhoto = static_cast<double>(afterMoreTakes - afterTakes) * 1024.0 / photos;
  std::printf("bytes per browser entry:            %6.0f (goal <= %.0f) %s\n", perEntry,
              kMaxBytesPerEntry, verdict(perEntry <= kMaxBytesPerEntry));
  std::printf("bytes per photo not saved (round 2): %6.0f (goal <= %.0f) %s\n", perUnsavedPhoto,
              kMaxBytesPerUnsavedPhoto, verdict(perUnsavedPhoto <= kMaxBytesPerUnsavedPhoto));
  return 0;
}
