// The whole program started as a user starts it, against the least a Qt
// Widgets program with a frame does (bench_minimal_window), in the same run:
//
// 1. From just before fork/exec to the first camera frame painted
//    (velmora-tandeo, one synthetic camera, a scratch profile, offscreen),
//    against the reference from exec to its first paint. Goal: at most 1.5x.
// 2. The peak resident memory (VmHWM) of each, read once the first paint is
//    there and a settling time has passed. Goal: at most 1.5x.
//
// Both report their first paint on the logging category "tandeo.startup"
// with the monotonic clock's reading; the programs take turns, each run in a
// new process, and the medians are compared (the machine is shared).
//
//   bench_program_startup [--runs N] [--settle-ms MS] [PROGRAM REFERENCE]

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/expected.h"
#include "platform/base/system_error.h"
#include "platform/base/unique_fd.h"
#include "support/scratch_profile.h"

namespace {

constexpr double kGoal = 1.5;
constexpr int kFirstPaintTimeoutMs = 30'000;
constexpr std::string_view kStampMarker = "at monotonic ";

struct PosixClose {
  static int close(int fd) { return ::close(fd); }
};
using Fd = base::UniqueFd<PosixClose>;

// The clock the programs stamp their first paint with (the system's monotonic one).
long long monotonicNs() {
  return static_cast<long long>(
      std::chrono::nanoseconds(std::chrono::steady_clock::now().time_since_epoch()).count());
}

// A started program: killed and reaped when it goes away.
class Child {
 public:
  explicit Child(pid_t pid) : pid_(pid) {}
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_;
};

// "VmHWM:     81234 kB" from /proc/<pid>/status, in KiB; 0 if it is not there.
long statusKiB(pid_t pid, std::string_view field) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) != 0 || line.size() <= field.size() || line[field.size()] != ':')
      continue;
    return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
  }
  return 0;
}

// CPU time of every thread of `pid` so far, in ms (the scheduler's own
// count): less sensitive to a busy machine than the wall clock.
double cpuMs(pid_t pid) {
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  double ms = 0;
  std::error_code gone;
  for (const auto& task : std::filesystem::directory_iterator(tasks, gone)) {
    std::ifstream schedstat(task.path() / "schedstat");
    long long onCpuNs = 0;
    if (schedstat >> onCpuNs) ms += static_cast<double>(onCpuNs) / 1e6;
  }
  return ms;
}

// The stamp of a "... at monotonic <ns> ns" line, or -1.
long long stampIn(std::string_view line) {
  const auto at = line.find(kStampMarker);
  if (at == std::string_view::npos) return -1;
  const char* first = line.data() + at + kStampMarker.size();
  long long ns = -1;
  std::from_chars(first, line.data() + line.size(), ns);
  return ns;
}

// The child's standard error, read line by line as it comes.
class ErrorLines {
 public:
  explicit ErrorLines(Fd fd) : fd_(std::move(fd)) {}

  // Reads what arrives within `timeoutMs`; false once the child closed it.
  bool readFor(int timeoutMs) {
    pollfd watched{fd_.get(), POLLIN, 0};
    if (::poll(&watched, 1, timeoutMs) <= 0) return true;
    char chunk[4096];
    const ssize_t got = ::read(fd_.get(), chunk, sizeof chunk);
    if (got <= 0) return false;
    pending_.append(chunk, static_cast<std::size_t>(got));
    for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
      lines_.push_back(pending_.substr(0, end));
      pending_.erase(0, end + 1);
    }
    return true;
  }
  const std::vector<std::string>& lines() const { return lines_; }

 private:
  Fd fd_;
  std::string pending_;
  std::vector<std::string> lines_;
};

struct Run {
  double msToFirstPaint = 0;
  double cpuMsToFirstPaint = 0;
  long peakKiB = 0;
};

std::string lastLines(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = lines.size() > 5 ? lines.size() - 5 : 0; i < lines.size(); ++i)
    text += "\n    " + lines[i];
  return text;
}

// Starts `program`, waits for its first-paint line, lets it settle for
// `settleMs` and reads its peak memory; the program is killed afterwards.
base::Expected<Run, std::string> runUntilFirstPaint(const std::string& program,
                                                    const std::string& folder, int settleMs) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return base::SystemError::fromErrno("pipe").message();
  Fd readEnd(ends[0]);
  Fd writeEnd(ends[1]);

  const long long start = monotonicNs();
  const pid_t pid = ::fork();
  if (pid < 0) return base::SystemError::fromErrno("fork").message();
  if (pid == 0) {
    // Only async-signal-safe calls until exec.
    ::dup2(writeEnd.get(), STDERR_FILENO);
    if (::chdir(folder.c_str()) != 0) ::_exit(126);
    char* const argv[] = {const_cast<char*>(program.c_str()), nullptr};
    ::execv(program.c_str(), argv);
    ::_exit(127);
  }
  const Child child(pid);
  writeEnd.reset();

  ErrorLines errors(std::move(readEnd));
  std::size_t seen = 0;
  long long painted = -1;
  while (painted < 0) {
    if (seen < errors.lines().size()) {
      painted = stampIn(errors.lines()[seen++]);
      continue;
    }
    if (monotonicNs() - start > kFirstPaintTimeoutMs * 1'000'000LL)
      return program + ": no first paint within 30 s" + lastLines(errors.lines());
    if (!errors.readFor(100))
      return program + ": ended before its first paint" + lastLines(errors.lines());
  }
  // Read as soon as the line is there: the little the program did since
  // painting is counted too.
  const double cpu = cpuMs(pid);
  // Settling: the child keeps running (and writing, which must not block it).
  for (const long long until = monotonicNs() + settleMs * 1'000'000LL; monotonicNs() < until;)
    if (!errors.readFor(50)) return program + ": ended while settling" + lastLines(errors.lines());
  const long peak = statusKiB(pid, "VmHWM");
  if (peak <= 0) return program + ": no peak memory in /proc/" + std::to_string(pid) + "/status";
  return Run{static_cast<double>(painted - start) / 1e6, cpu, peak};
}

template <class T>
T median(std::vector<T> values) {
  std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
  return values[values.size() / 2];
}

struct Summary {
  std::vector<double> ms;
  std::vector<double> cpuMs;
  std::vector<long> kib;
};

void printFigures(const char* name, const Summary& runs) {
  const auto [fastest, slowest] = std::minmax_element(runs.ms.begin(), runs.ms.end());
  const auto [least, most] = std::minmax_element(runs.kib.begin(), runs.kib.end());
  std::printf("  %s\n    first paint  median %7.1f ms (%.1f-%.1f), CPU time median %.1f ms\n", name,
              median(runs.ms), *fastest, *slowest, median(runs.cpuMs));
  std::printf("    peak memory median %7ld KiB (%ld-%ld)\n", median(runs.kib), *least, *most);
}

void printRatio(const char* what, double ratio) {
  std::printf("%-40s %.2fx (goal <= %.1fx) %s\n", what, ratio, kGoal,
              ratio <= kGoal ? "PASS" : "FAIL");
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 11;
  int settleMs = 2000;
  std::vector<std::string> programs{TANDEO_PROGRAM, TANDEO_REFERENCE_PROGRAM};
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--runs" && i + 1 < argc)
      runs = std::max(1, std::atoi(argv[++i]));
    else if (arg == "--settle-ms" && i + 1 < argc)
      settleMs = std::max(0, std::atoi(argv[++i]));
    else
      positional.emplace_back(arg);
  }
  if (positional.size() == 2) programs = positional;

  QTemporaryDir profile;
  bench::useScratchProfile(profile);
  // The first-paint lines, and nothing else from the programs' categories.
  qputenv("QT_LOGGING_RULES", "tandeo.startup.info=true");
  const std::string folder = profile.path().toStdString();

  // One start of each first, not counted: the scratch profile gets its
  // settings file and the page cache holds both programs' libraries.
  std::vector<Summary> results(2);
  for (int round = -1; round < runs; ++round) {
    for (int turn = 0; turn < 2; ++turn) {
      // Alternate who goes first, so a drift in the machine's load weighs on both.
      const std::size_t which = static_cast<std::size_t>((turn + round + 1) % 2);
      const auto run = runUntilFirstPaint(programs[which], folder, settleMs);
      if (!run) {
        std::fprintf(stderr, "%s\n", run.error().c_str());
        return 1;
      }
      if (round < 0) continue;
      results[which].ms.push_back(run->msToFirstPaint);
      results[which].cpuMs.push_back(run->cpuMsToFirstPaint);
      results[which].kib.push_back(run->peakKiB);
    }
  }

  std::printf("%d starts each, taking turns; peak read %d ms after the first paint\n", runs,
              settleMs);
  printFigures("velmora-tandeo, to its first camera frame:", results[0]);
  printFigures("minimal Qt Widgets frame, to its first paint:", results[1]);
  printRatio("start-up to first frame painted:", median(results[0].ms) / median(results[1].ms));
  std::printf("%-40s %.2fx (for information)\n", "CPU time to first frame painted:",
              median(results[0].cpuMs) / median(results[1].cpuMs));
  printRatio("peak memory (VmHWM):", static_cast<double>(median(results[0].kib)) /
                                         static_cast<double>(median(results[1].kib)));
  return 0;
}
