#pragma once
// Whole small files as text, for the file layer's tests.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace testsupport {

inline void writeText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string readText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace testsupport
