#include "bench/codec/bench_cases.h"

#include <cstdio>
#include <filesystem>
#include <optional>

#include "bench/codec/psnr.h"

namespace codecbench {
namespace {

struct Pair {
  std::string name;
  Command ours, theirs;
  double goal;  // the largest acceptable ratio ours / theirs
};

struct Medians {
  double ours = 0, theirs = 0;
  bool ok = false;
};

// One untimed run of each first (page cache, dynamic loader), then the two
// alternately so that drift in the machine's load hits both alike.
Medians timePair(const Pair& pair, int runs) {
  if (!timeProcess(pair.ours) || !timeProcess(pair.theirs)) return {};
  std::vector<double> ours, theirs;
  for (int i = 0; i < runs; ++i) {
    const auto a = timeProcess(pair.ours);
    const auto b = timeProcess(pair.theirs);
    if (!a || !b) return {};
    ours.push_back(*a);
    theirs.push_back(*b);
  }
  return {median(ours), median(theirs), true};
}

bool printRow(const std::string& size, const Pair& pair, const Medians& m,
              const std::string& note) {
  if (!m.ok) {
    std::printf("%-10s %-34s failed: %s | %s\n", size.c_str(), pair.name.c_str(),
                describe(pair.ours).c_str(), describe(pair.theirs).c_str());
    return false;
  }
  const double ratio = m.ours / m.theirs;
  const bool met = ratio <= pair.goal;
  std::printf("%-10s %-34s %9.1f %9.1f %7.2f  <=%.2f %-5s %s\n", size.c_str(), pair.name.c_str(),
              m.ours * 1e3, m.theirs * 1e3, ratio, pair.goal, met ? "ok" : "MISS", note.c_str());
  return met;
}

std::string fileIn(const SizeCase& size, const char* name) {
  return size.dir + "/" + name;
}

std::string sizeNote(const std::string& ours, const std::string& theirs) {
  std::error_code e1, e2;
  const auto a = std::filesystem::file_size(ours, e1), b = std::filesystem::file_size(theirs, e2);
  if (e1 || e2 || b == 0) return "size: ?";
  char text[96];
  const double diff = (double(a) - double(b)) / double(b) * 100.0;
  std::snprintf(text, sizeof text, "size %+.2f%% (%s)", diff,
                std::abs(diff) <= 2.0 ? "ok" : "MISS");
  return text;
}

std::string psnrNote(const imaging::RgbImage& source, const std::string& ours,
                     const std::string& theirs) {
  const auto a = loadPicture(ours), b = loadPicture(theirs);
  if (!a || !b) return "PSNR: ?";
  const double pa = psnr(source, *a).value_or(-1), pb = psnr(source, *b).value_or(-1);
  if (pa < 0 || pb < 0) return "PSNR: ?";
  char text[96];
  std::snprintf(text, sizeof text, "PSNR %.2f dB vs %.2f dB (%s)", pa, pb,
                pa >= pb ? "ok" : "MISS");
  return text;
}

bool runJpeg(const Tools& t, const SizeCase& s, int quality) {
  const std::string q = std::to_string(quality);
  const std::string ours = fileIn(s, "ours.jpg"), theirs = fileIn(s, "cjpeg.jpg");
  Pair pair{"BMP->JPEG q" + q + " vs cjpeg",
            {t.velmoraConvert, "--quality", q, fileIn(s, "source.bmp"), ours},
            {t.cjpeg, "-quality", q, "-optimize", "-outfile", theirs, fileIn(s, "source.bmp")},
            1.10};
  if (quality >= 90) pair.theirs.insert(pair.theirs.begin() + 4, {"-sample", "1x1"});
  const Medians m = timePair(pair, s.runs);
  const std::string note = m.ok ? sizeNote(ours, theirs) : "";
  return printRow(s.label, pair, m, note) && note.find("MISS") == std::string::npos;
}

bool runJpegDecode(const Tools& t, const SizeCase& s) {
  const std::string input = fileIn(s, "cjpeg.jpg");  // the q95 file of the row above
  const Pair pair{"JPEG->BMP vs djpeg -bmp",
                  {t.velmoraConvert, input, fileIn(s, "ours-from-jpeg.bmp")},
                  {t.djpeg, "-bmp", "-outfile", fileIn(s, "djpeg.bmp"), input},
                  1.10};
  return printRow(s.label, pair, timePair(pair, s.runs), "");
}

bool runGif(const Tools& t, const SizeCase& s, const imaging::RgbImage& source, bool dither) {
  const std::string ours = fileIn(s, dither ? "ours.gif" : "ours-nd.gif");
  const std::string theirs = fileIn(s, dither ? "magick.gif" : "magick-nd.gif");
  Pair pair{dither ? "BMP->GIF dithered vs convert" : "BMP->GIF +dither vs convert +dither",
            {t.velmoraConvert, fileIn(s, "source.bmp"), ours},
            {t.magick, fileIn(s, "source.bmp"), "-colors", "256", theirs},
            1.0};
  if (!dither) {
    pair.ours.insert(pair.ours.begin() + 1, "--no-dither");
    pair.theirs.insert(pair.theirs.begin() + 2, "+dither");
  }
  const Medians m = timePair(pair, s.runs);
  const std::string note = m.ok ? psnrNote(source, ours, theirs) : "";
  return printRow(s.label, pair, m, note) && note.find("MISS") == std::string::npos;
}

bool runGifDecode(const Tools& t, const SizeCase& s) {
  const std::string input = fileIn(s, "ours.gif");
  const Pair pair{"GIF->BMP vs convert",
                  {t.velmoraConvert, input, fileIn(s, "ours-from-gif.bmp")},
                  {t.magick, input, fileIn(s, "magick-from-gif.bmp")},
                  1.0};
  return printRow(s.label, pair, timePair(pair, s.runs), "");
}

}  // namespace

void printTableHeader() {
  std::printf("%-10s %-34s %9s %9s %7s  %-5s %-5s %s\n", "size", "conversion", "ours ms", "ref ms",
              "ratio", "goal", "", "quality");
}

bool runSize(const Tools& tools, const SizeCase& size) {
  const auto source = loadPicture(fileIn(size, "source.bmp"));
  if (!source) {
    std::printf("%-10s cannot read the test picture\n", size.label.c_str());
    return false;
  }
  bool allMet = true;
  if (tools.haveJpegTools) {
    allMet &= runJpeg(tools, size, 75);
    allMet &= runJpeg(tools, size, 95);
    allMet &= runJpegDecode(tools, size);
  }
  if (tools.haveMagick) {
    allMet &= runGif(tools, size, *source, false);
    allMet &= runGif(tools, size, *source, true);
    allMet &= runGifDecode(tools, size);
  }
  return allMet;
}

}  // namespace codecbench
