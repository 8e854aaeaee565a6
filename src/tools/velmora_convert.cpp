// velmora-convert [--quality N] [--no-dither] SOURCE TARGET
// Converts one picture file, the formats picked from the two extensions (bmp,
// jpg/jpeg, gif). The same conversion code as the program's codec component,
// without Qt, so that a benchmark times the codec and not a toolkit start-up.

#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "platform/imaging/convert.h"
#include "platform/imaging/quality.h"

namespace {

constexpr int kConversionFailed = 1;
constexpr int kUsage = 2;

struct Arguments {
  std::string quality = "75";
  bool dither = true;  // GIF targets; off only for palette-quality benchmarks
  std::vector<std::string> paths;
};

bool parseArguments(int argc, char** argv, Arguments& out) {
  constexpr std::string_view kQualityEq = "--quality=";
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--quality" && i + 1 < argc) {
      out.quality = argv[++i];
    } else if (arg == "--no-dither") {
      out.dither = false;
    } else if (arg.substr(0, kQualityEq.size()) == kQualityEq) {
      out.quality = arg.substr(kQualityEq.size());
    } else if (arg.size() > 1 && arg[0] == '-' && arg != "--") {
      return false;
    } else if (arg != "--") {
      out.paths.emplace_back(arg);
    }
  }
  return out.paths.size() == 2;
}

int fail(const std::string& what, const char* why, int status) {
  (void)std::fprintf(stderr, "velmora-convert: %s: %s\n", what.c_str(), why);
  return status;
}

int run(int argc, char** argv) {
  Arguments args;
  if (!parseArguments(argc, argv, args)) {
    (void)std::fprintf(stderr,
                       "usage: velmora-convert [--quality N] [--no-dither] SOURCE TARGET\n");
    return kUsage;
  }
  const std::string& source = args.paths[0];
  const std::string& target = args.paths[1];
  const auto from = imaging::formatFromExtension(source);
  const auto to = imaging::formatFromExtension(target);
  if (!from) return fail(source, "unknown picture type (expected bmp, jpg, jpeg or gif)", kUsage);
  if (!to) return fail(target, "unknown picture type (expected bmp, jpg, jpeg or gif)", kUsage);
  auto quality = imaging::parseQuality(args.quality);
  if (!quality) return fail(args.quality, imaging::describe(quality.error()), kUsage);

  imaging::ConvertOptions options;
  options.quality = *quality;
  options.dither = args.dither;
  auto done = imaging::convertFile(source, *from, target, *to, options);
  if (!done) {
    const bool targetSide = done.error() == imaging::ImageError::TargetNotWritable;
    return fail(targetSide ? target : source, imaging::describe(done.error()), kConversionFailed);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const std::exception& error) {  // out of memory, in practice
    return fail("velmora-convert", error.what(), kConversionFailed);
  }
}
