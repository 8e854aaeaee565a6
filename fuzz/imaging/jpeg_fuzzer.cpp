// Arbitrary bytes to the JPEG reader, and whatever decodes to every writer.

#include "reader_fuzzer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return fuzzing::fuzzReader(imaging::PictureFormat::Jpeg, data, size);
}
