// velmora-convert [--quality N] [--no-dither] [--] SOURCE TARGET
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

constexpr char kUsageLine[] =
    "usage: velmora-convert [--quality N] [--no-dither] [--] SOURCE TARGET\n";

// The memory figure comes from measuring the worst cases at the size limit: a
// progressive 4:4:4 JPEG and an RLE BMP that claims the full size.
constexpr char kHelp[] =
    "Converts one picture between BMP, JPEG and GIF; the two file extensions\n"
    "(bmp, jpg or jpeg, gif) choose the conversion. An existing target is\n"
    "replaced only once the new file is complete.\n"
    "\n"
    "  --quality N   JPEG quality, 1 to 100 (default 75)\n"
    "  --no-dither   GIF targets without error diffusion\n"
    "  --            ends the options: every later argument is a file name\n"
    "  -h, --help    this text\n"
    "\n"
    "Pictures may have up to 16384 pixels a side and 100 megapixels in all.\n"
    "A picture at that limit can need up to about 900 MB of memory while it\n"
    "is converted (a progressive JPEG with full colour resolution needs the\n"
    "most).\n"
    "\n"
    "Exit status: 0 converted, 1 conversion failed, 2 usage error.\n";

struct Arguments {
  std::string quality = "75";
  bool dither = true;  // GIF targets; off only for palette-quality benchmarks
  bool help = false;
  std::vector<std::string> paths;
};

bool parseArguments(int argc, char** argv, Arguments& out) {
  constexpr std::string_view kQualityEq = "--quality=";
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
      out.paths.emplace_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--quality" && i + 1 < argc) {
      out.quality = argv[++i];
    } else if (arg.substr(0, kQualityEq.size()) == kQualityEq) {
      out.quality = arg.substr(kQualityEq.size());
    } else if (arg == "--no-dither") {
      out.dither = false;
    } else if (arg == "--help" || arg == "-h") {
      out.help = true;
    } else {
      return false;
    }
  }
  return out.help || out.paths.size() == 2;
}

// Every message is one line whatever a file name holds: control characters
// (a newline in a name, an escape sequence) are written as escapes.
std::string printable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (byte < 0x20 || byte == 0x7f) {
      static constexpr char kHex[] = "0123456789abcdef";
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xf];
    } else {
      out += c;
    }
  }
  return out;
}

int fail(std::string_view what, const char* why, int status) {
  (void)std::fprintf(stderr, "velmora-convert: %s: %s\n", printable(what).c_str(), why);
  return status;
}

int run(int argc, char** argv) {
  Arguments args;
  if (!parseArguments(argc, argv, args)) {
    (void)std::fputs(kUsageLine, stderr);
    return kUsage;
  }
  if (args.help) {
    (void)std::fputs(kUsageLine, stdout);
    (void)std::fputs(kHelp, stdout);
    return 0;
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
