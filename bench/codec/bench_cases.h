#pragma once
// The comparisons of one picture size: each pairs a velmora-convert command
// with the reference tool's command doing the same job, times both whole
// processes alternately and prints one row of the table.

#include <string>

#include "bench/codec/process_timer.h"

namespace codecbench {

struct Tools {
  std::string velmoraConvert;
  std::string cjpeg = "cjpeg";
  std::string djpeg = "djpeg";
  std::string magick = "convert";
  bool haveJpegTools = false;
  bool haveMagick = false;
};

struct SizeCase {
  std::string label;  // "1920x1080"
  std::string dir;    // scratch folder holding source.bmp
  int runs = 5;
};

void printTableHeader();
// Runs every comparison for one size; returns false if any missed its goal.
bool runSize(const Tools& tools, const SizeCase& size);

}  // namespace codecbench
