#pragma once
// libjpeg's way to fail is a call that must not return. Ours longjmps back to
// the setjmp of a small C-style step function that owns nothing, so no C++
// object is ever jumped over; the caller holds the structures and destroys
// them in the ordinary way.

#include <csetjmp>

// clang-format off
#include <cstddef>  // jpeglib.h needs size_t and FILE declared before it
#include <cstdio>
#include <jpeglib.h>
// clang-format on

namespace imaging {

inline constexpr int kMaxJpegScans = 100;

// Filled by jpeg_std_error and setjmp where it is used.
struct JpegErrorManager {  // NOLINT(cppcoreguidelines-pro-type-member-init)
  jpeg_error_mgr pub;      // first member: libjpeg hands us a pointer to it
  std::jmp_buf jump;
};

// Installs the error callbacks: any error, a premature end of data, data
// that is missing or cannot be decoded (libjpeg would fill it with grey or
// garbled blocks; a file with it is refused as damaged, a camera frame
// dropped) and a progressive stream with more than kMaxJpegScans scans all
// jump back.
jpeg_error_mgr* installErrorManager(JpegErrorManager& manager);

// Watches the scan count of a decompression (the decoder calls it per scan).
struct JpegScanLimit {
  jpeg_progress_mgr pub;
};
void installScanLimit(jpeg_decompress_struct& cinfo, JpegScanLimit& limit);

}  // namespace imaging
