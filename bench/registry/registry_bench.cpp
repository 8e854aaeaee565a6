// Latency of the settings store against the floor of doing the same file
// work by hand. Run on demand:
//
//   registry_bench [folder] [rounds]
//
// The folder (default: a new one under $TMPDIR or /tmp) should sit on the
// disk the user's profile lives on, since fsync dominates a write.
//
// Write: one setting saved as the program saves it (create-or-open the key,
// then set the value: lock, re-read, rewrite, fsync, rename, folder fsync)
// against writing the same bytes to a new file, fsync, rename.
// Read: one value looked up (read and parse the file) against reading the
// same file with open/fstat/read/close; the program's number read, which
// opens the key and then queries (two reads), is shown as well.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/registry/store.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Stats {
  double median = 0;
  double p99 = 0;
};

Stats summarize(std::vector<double> micros) {
  std::sort(micros.begin(), micros.end());
  const auto at = [&](double q) {
    return micros[std::min(micros.size() - 1, static_cast<std::size_t>(q * micros.size()))];
  };
  return {at(0.5), at(0.99)};
}

double timeOnce(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

std::string readFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  struct stat st {};
  ::fstat(fd, &st);
  std::string text(static_cast<std::size_t>(st.st_size), '\0');
  const ssize_t n = ::read(fd, text.data(), text.size());
  ::close(fd);
  text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return text;
}

void writeByHand(const std::string& target, const std::string& bytes, bool syncFolder) {
  const std::string temp = target + ".hand";
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != ssize_t(bytes.size()) ||
      ::fsync(fd) != 0 || ::close(fd) != 0 || ::rename(temp.c_str(), target.c_str()) != 0) {
    std::perror("floor write");
    std::exit(1);
  }
  if (syncFolder) {
    const int dir = ::open(std::filesystem::path(target).parent_path().c_str(),
                           O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::fsync(dir);
    ::close(dir);
  }
}

void seed(registry::Store& store) {
  auto main = store.createKey("Velmora\\Photo");
  auto layout = store.createKey("Velmora\\Photo\\Settings");
  if (!main || !layout) {
    static_cast<void>(
        std::fprintf(stderr, "cannot create the store in %s\n", store.file().c_str()));
    std::exit(1);
  }
  int n = 100;
  for (const char* name : {"En", "Boy", "Ust", "Sol", "Hareket", "Kalite"}) {
    (void)store.setValue(*main, name, registry::Value::dword(n++));
  }
  (void)store.setValue(*main, "Path", registry::Value::text("/home/okul/Resimler/2024 Sınıf 9-A"));
  (void)store.setValue(*layout, "ExpWith", registry::Value::dword(3000));
  (void)store.setValue(*layout, "Refresh", registry::Value::dword(10));
}

void print(const char* what, Stats store, Stats floor) {
  std::printf(
      "%-34s median %8.1f us  p99 %8.1f us | floor median %8.1f us  p99 %8.1f us | "
      "ratio median %.2fx  p99 %.2fx\n",
      what, store.median, store.p99, floor.median, floor.p99, store.median / floor.median,
      store.p99 / floor.p99);
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder;
  if (argc > 1) {
    folder = argv[1];
  } else {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/registry-bench-XXXXXX";
    if (!::mkdtemp(pattern.data())) return std::perror("mkdtemp"), 1;
    folder = pattern;
  }
  const int rounds = argc > 2 ? std::max(10, std::atoi(argv[2])) : 400;
  const std::string file = folder + "/Velmora/user.reg";
  const std::string floorFile = folder + "/floor.reg";

  registry::Store store(file);
  seed(store);
  const registry::KeyHandle key{"HKEY_CURRENT_USER\\Velmora\\Photo"};

  std::vector<double> storeWrite, floorWrite, floorWriteDir, storeRead, module1Read, floorRead;
  for (int i = 0; i < rounds; ++i) {
    // Interleaved, so that disk and cache drift hit both sides alike.
    storeWrite.push_back(timeOnce([&] {
      auto k = store.createKey("Velmora\\Photo");
      (void)store.setValue(*k, "En", registry::Value::dword(1000 + i));
    }));
    const std::string bytes = readFile(file);
    floorWrite.push_back(timeOnce([&] { writeByHand(floorFile, bytes, false); }));
    floorWriteDir.push_back(timeOnce([&] { writeByHand(floorFile, bytes, true); }));
  }
  // Reads of a settled file, as at start-up, many more of them: they are fast.
  for (int i = 0; i < rounds * 25; ++i) {
    storeRead.push_back(timeOnce([&] { (void)store.readValue(key, "Path"); }));
    module1Read.push_back(timeOnce([&] {
      auto k = store.openKey("Velmora\\Photo");
      std::uint8_t buffer[4];
      (void)store.queryInto(*k, "En", buffer);
    }));
    floorRead.push_back(timeOnce([&] { (void)readFile(file); }));
  }

  std::printf("registry store, %d rounds, %zu-byte file in %s\n", rounds, readFile(file).size(),
              folder.c_str());
  print("write (save one value)", summarize(storeWrite), summarize(floorWrite));
  print("write vs floor with folder fsync", summarize(storeWrite), summarize(floorWriteDir));
  print("read (one value)", summarize(storeRead), summarize(floorRead));
  const Stats twoReads = summarize(module1Read);
  print("read (open key + query: 2 reads)", twoReads, summarize(floorRead));
  // The store must flush its folder after the rename (or a power cut can undo
  // a save); that flush alone is a large part of the plain floor.
  const Stats plain = summarize(floorWrite), withFolder = summarize(floorWriteDir);
  const double ratio = summarize(storeWrite).median / withFolder.median;
  std::printf("folder fsync alone: floor with it / floor without = %.2fx (median)\n",
              withFolder.median / plain.median);
  std::printf(
      "write against the same steps by hand, folder fsync included: %.2fx (goal <= 1.50x) %s\n",
      ratio, ratio <= 1.5 ? "ok" : "OVER");
  if (argc <= 1) std::filesystem::remove_all(folder);
  return 0;
}
