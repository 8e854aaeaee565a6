// bench_codec [--quick] [--runs N] [--scratch DIR]
// velmora-convert against the reference tools, whole processes, on a
// photographic test picture at 320x240, 1920x1080 and 6000x4000 (--quick
// leaves the last out). Prints the median times of both sides, their ratio
// against the goal, JPEG size differences and GIF PSNR against the source.
// The files go to /dev/shm when it is there and writable, else to the temp
// folder; --scratch DIR chooses another.
// Reference tools: cjpeg/djpeg (libjpeg-turbo-progs, scripts/install-deps
// --bench) and ImageMagick's convert.

#include <stdlib.h>  // mkdtemp
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/codec/bench_cases.h"
#include "bench/codec/test_picture.h"
#include "platform/imaging/convert.h"

namespace fs = std::filesystem;

namespace {

// velmora-convert replaces its target atomically and flushes it to the disk
// (fsync), while cjpeg, djpeg and convert never flush: on a disk the
// comparison would time the disk, not the codec. A memory file system makes
// the flush free, so the folder of shared memory comes first.
std::string defaultScratch() {
  std::error_code error;
  if (fs::is_directory("/dev/shm", error) && ::access("/dev/shm", W_OK | X_OK) == 0)
    return "/dev/shm";
  return fs::temp_directory_path().string();
}

struct Options {
  bool quick = false;
  int runs = 5;
  std::string scratch = defaultScratch();
};

// A scratch folder removed with everything in it when the bench ends.
class ScratchDir {
 public:
  explicit ScratchDir(const std::string& parent) {
    std::string pattern = (fs::path(parent) / "bench-codec-XXXXXX").string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

bool parse(int argc, char** argv, Options& out) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--quick") == 0) {
      out.quick = true;
    } else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
      out.runs = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--scratch") == 0 && i + 1 < argc) {
      out.scratch = argv[++i];
    } else {
      return false;
    }
  }
  return true;
}

bool onPath(const std::string& program) {
  if (program.find('/') != std::string::npos) return ::access(program.c_str(), X_OK) == 0;
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  for (std::size_t start = 0; start <= dirs.size();) {
    const std::size_t end = std::min(dirs.find(':', start), dirs.size());
    const std::string dir = dirs.substr(start, end - start);
    if (!dir.empty() && ::access((dir + "/" + program).c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

codecbench::Tools findTools() {
  codecbench::Tools tools;
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  tools.velmoraConvert = (self.parent_path() / "velmora-convert").string();
  tools.haveJpegTools = onPath(tools.cjpeg) && onPath(tools.djpeg);
  // ImageMagick's own binary, not a wrapper script earlier on the PATH whose
  // shell start-up would be timed as well.
  if (::access("/usr/bin/convert", X_OK) == 0) tools.magick = "/usr/bin/convert";
  tools.haveMagick = onPath(tools.magick);
  return tools;
}

bool writeTestPicture(const std::string& dir, int width, int height) {
  const auto image = codecbench::makeTestPicture(width, height);
  auto bytes = imaging::encodePicture(imaging::PictureFormat::Bmp, image, {});
  if (!bytes) return false;
  std::ofstream out(dir + "/source.bmp", std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes->data()),
            static_cast<std::streamsize>(bytes->size()));
  return bool(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parse(argc, argv, options)) {
    std::fprintf(stderr, "usage: bench_codec [--quick] [--runs N] [--scratch DIR]\n");
    return 2;
  }
  const codecbench::Tools tools = findTools();
  if (::access(tools.velmoraConvert.c_str(), X_OK) != 0) {
    std::fprintf(stderr, "bench_codec: %s not found\n", tools.velmoraConvert.c_str());
    return 1;
  }
  if (!tools.haveJpegTools)
    std::printf("cjpeg/djpeg missing (scripts/install-deps --bench): JPEG rows skipped\n");
  if (!tools.haveMagick) std::printf("ImageMagick's convert missing: GIF rows skipped\n");

  struct Size {
    int w, h;
  };
  std::vector<Size> sizes{{320, 240}, {1920, 1080}};
  if (!options.quick) sizes.push_back({6000, 4000});

  ScratchDir scratch(options.scratch);
  if (scratch.path().empty()) {
    std::fprintf(stderr, "bench_codec: cannot make a folder in %s\n", options.scratch.c_str());
    return 1;
  }
  std::printf("scratch folder: %s, %d runs each (%d at 320x240, 3 at 6000x4000)\n",
              scratch.path().c_str(), options.runs, options.runs * 5);
  codecbench::printTableHeader();
  bool allMet = true;
  for (const Size& s : sizes) {
    codecbench::SizeCase size;
    size.label = std::to_string(s.w) + "x" + std::to_string(s.h);
    size.dir = scratch.path() + "/" + size.label;
    // The largest picture takes seconds per ImageMagick run; fewer runs keep
    // the whole bench within minutes. The smallest takes milliseconds, where
    // a single slow process start moves a median of five: more runs.
    size.runs = s.w * s.h > 10'000'000 ? std::min(options.runs, 3)
                : s.w * s.h < 100'000  ? options.runs * 5
                                       : options.runs;
    fs::create_directory(size.dir);
    if (!writeTestPicture(size.dir, s.w, s.h)) {
      std::printf("%-10s cannot write the test picture\n", size.label.c_str());
      allMet = false;
      continue;
    }
    allMet &= codecbench::runSize(tools, size);
    std::fflush(stdout);
  }
  std::printf("%s\n", allMet ? "all goals met" : "some goals missed (MISS above)");
  return 0;
}
