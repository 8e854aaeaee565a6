// Arbitrary bytes to the GIF reader, and whatever decodes to every writer.

#include "reader_fuzzer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return fuzzing::fuzzReader(imaging::PictureFormat::Gif, data, size);
}
