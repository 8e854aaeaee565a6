// F2 to file on disk: the median of 100 saves on the real workspace
// (offscreen, synthetic camera) for each type, against the codec alone on the
// same clipped picture plus writing and flushing one file of the size it
// gave (goal: at most 1.2), and against the same plus the folder's flush that
// a durable replacement needs after its rename. The steps are timed in turn
// so that a busy disk weighs on all of them alike. Then 1,000 saves in a row, each a new number:
// the time per save and the program's memory after 10, 100 and 1,000.

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <vector>

#include "mainwindow/frmmain.h"
#include "mainwindow/programwindows.h"
#include "platform/imaging/convert.h"
#include "platform/picture/picturefile.h"
#include "platform/ui/qtprompter.h"
#include "platform/video/deviceprovider.h"
#include "settings/Module1.h"
#include "support/program_windows.h"
#include "support/scratch_profile.h"
#include "windows/programcontext.h"
#include "windows/windowregistry.h"
#include "workspace/form1.h"

namespace {

constexpr int kRuns = 100;
using Clock = std::chrono::steady_clock;

double microsecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// Steps timed in turn, each after its own settle, so that a disk busy with
// something else slows all of them alike; the median of each.
std::vector<double> interleavedMedians(
    const std::vector<std::pair<std::function<void()>, std::function<void()>>>& steps) {
  std::vector<std::vector<double>> times(steps.size());
  for (int i = 0; i < kRuns; ++i) {
    for (std::size_t k = 0; k < steps.size(); ++k) {
      steps[k].second();
      const auto start = Clock::now();
      steps[k].first();
      times[k].push_back(microsecondsSince(start));
    }
  }
  std::vector<double> medians;
  for (auto& run : times) {
    std::nth_element(run.begin(), run.begin() + kRuns / 2, run.end());
    medians.push_back(run[kRuns / 2]);
  }
  return medians;
}

// Resident memory of the process in KiB.
long residentKiB() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// One file of `bytes` written and flushed: what any durable save must pay.
void writeAndFlush(const QString& path, const std::vector<std::uint8_t>& bytes) {
  const int fd =
      ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return;
  if (::write(fd, bytes.data(), bytes.size()) < 0) std::perror("write");
  ::fsync(fd);
  ::close(fd);
}

// The folder's own entry flushed, as a durable replacement ends.
void flushFolderOf(const QString& folder) {
  const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

void restartNumber(Form1& form) {
  form.txtResim->setProperty("tag", QStringLiteral("1"));
  form.txtResim->setText(QStringLiteral("001"));
}

void emptyFolder(const QString& folder) {
  QDir dir(folder);
  for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) dir.remove(name);
}

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir profile;
  bench::useScratchProfile(profile);
  QApplication app(argc, argv);

  // The photos go to a folder of their own, on the disk the profile is on
  // (BENCH_SAVE_FOLDER chooses another, to measure a real disk's flushes).
  const QString folder = qEnvironmentVariableIsSet("BENCH_SAVE_FOLDER")
                             ? qEnvironmentVariable("BENCH_SAVE_FOLDER")
                             : profile.path() + QStringLiteral("/photos");
  QDir().mkpath(folder);
  const Module1 settings = Module1::forUserProfile();
  settings.saveStringValue(Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(),
                           QStringLiteral("Path"), folder);
  settings.saveDwordValue(Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(),
                          QStringLiteral("Kalite"), 1);

  ui::QtPrompter dialogs;
  windows::WindowRegistry registry(windows::programContextOfThisRun(dialogs));
  // The live picture running, as a user would see it before pressing F5.
  const video::CaptureWindow* camera = bench::showProgramWithLivePicture(registry);
  if (!camera) return 1;
  Form1& form = registry.get<Form1>();
  form.takePhoto();
  form.showPreview();
  if (!form.photo.hasBitmap()) {
    std::fprintf(stderr, "no photo was taken\n");
    return 1;
  }

  // The clip the save command cuts, as the codec is handed it.
  const QImage clip =
      form.photo.image().copy(form.Label5->geometry()).convertToFormat(QImage::Format_BGR888);
  const imaging::PixelRows rows{clip.width(), clip.height(), imaging::ChannelOrder::Bgr,
                                clip.constBits(), static_cast<std::ptrdiff_t>(clip.bytesPerLine())};
  std::printf("clip %d x %d, folder %s\n", clip.width(), clip.height(), qPrintable(folder));

  const struct {
    int index;
    const char* type;
    imaging::PictureFormat format;
  } types[] = {{0, "JPG", imaging::PictureFormat::Jpeg},
               {1, "GIF", imaging::PictureFormat::Gif},
               {2, "BMP", imaging::PictureFormat::Bmp}};
  for (const auto& type : types) {
    form.cmbTur->setCurrentIndex(type.index);
    imaging::ConvertOptions options;
    options.quality = 20;
    const QString floorFile = folder + QStringLiteral("/floor");
    const auto encodeAndFlush = [&](bool flushFolder) {
      const auto bytes = imaging::encodeRows(type.format, rows, options);
      if (bytes) writeAndFlush(floorFile, *bytes);
      if (flushFolder) flushFolderOf(folder);
    };
    const auto removeFloor = [&] { QFile::remove(floorFile); };
    const picture::Picture clipPicture(form.photo.image().copy(form.Label5->geometry()));
    const auto medians = interleavedMedians({
        {[&] { form.tamam_Click(); },
         [&] {
           emptyFolder(folder);
           restartNumber(form);
         }},
        {[&] { encodeAndFlush(false); }, removeFloor},
        {[&] { encodeAndFlush(true); }, removeFloor},
        {[&] { (void)imaging::encodeRows(type.format, rows, options); }, [] {}},
        {[&] { (void)picture::savePicture(clipPicture, floorFile, type.format, options); },
         removeFloor},
    });
    const double save = medians[0], floor = medians[1], bothFlushes = medians[2];
    std::printf("%s:\n", type.type);
    std::printf("  of which the codec alone: median %.1f us\n", medians[3]);
    std::printf("  of which the picture layer's durable save: median %.1f us\n", medians[4]);
    std::printf("  codec + file written and flushed + folder flushed: median %.1f us\n",
                bothFlushes);
    std::printf("  F2 to file: median %.1f us\n", save);
    std::printf("  codec + one flushed file: median %.1f us\n", floor);
    std::printf("  ratio: %.2f (goal <= 1.2); against both flushes %.2f\n", save / floor,
                save / bothFlushes);
  }

  form.cmbTur->setCurrentIndex(0);
  emptyFolder(folder);
  restartNumber(form);
  const long memoryBefore = residentKiB();
  auto window = Clock::now();
  int windowStart = 0;
  for (int n = 1; n <= 1000; ++n) {
    form.tamam_Click();
    if (n == 10 || n == 100 || n == 1000) {
      std::printf("after %4d saves: %.1f us per save over saves %d-%d, resident %ld KiB (%+ld)\n",
                  n, microsecondsSince(window) / (n - windowStart), windowStart + 1, n,
                  residentKiB(), residentKiB() - memoryBefore);
      window = Clock::now();
      windowStart = n;
    }
  }
  const int files = static_cast<int>(QDir(folder).entryList(QDir::Files).size());
  std::printf("files in the folder: %d, number box shows %s\n", files,
              qPrintable(form.txtResim->text()));
  emptyFolder(folder);
  return 0;
}
