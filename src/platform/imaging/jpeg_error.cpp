#include "platform/imaging/jpeg_error.h"

#include <jerror.h>

namespace imaging {
namespace {

JpegErrorManager& managerOf(j_common_ptr cinfo) {
  return *reinterpret_cast<JpegErrorManager*>(cinfo->err);
}

[[noreturn]] void onError(j_common_ptr cinfo) {
  std::longjmp(managerOf(cinfo).jump, 1);
}

// Warnings are silent, except a stream that ends early: libjpeg would pad it
// with grey and call it a picture, which we refuse to pass off as a success.
// Extra bytes before a marker (which some cameras always send) are harmless.
void onMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;
  const int code = cinfo->err->msg_code;
  if (code == JWRN_JPEG_EOF) {
    managerOf(cinfo).truncated = true;
    std::longjmp(managerOf(cinfo).jump, 1);
  }
  if (code == JWRN_HIT_MARKER || code == JWRN_MUST_RESYNC) managerOf(cinfo).corruptData = true;
}

void onOutput(j_common_ptr) {}

void onProgress(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number > kMaxJpegScans) {
    managerOf(cinfo).tooManyScans = true;
    std::longjmp(managerOf(cinfo).jump, 1);
  }
}

}  // namespace

jpeg_error_mgr* installErrorManager(JpegErrorManager& manager) {
  jpeg_error_mgr* err = jpeg_std_error(&manager.pub);
  err->error_exit = onError;
  err->emit_message = onMessage;
  err->output_message = onOutput;
  return err;
}

void installScanLimit(jpeg_decompress_struct& cinfo, JpegScanLimit& limit) {
  limit.pub = {};
  limit.pub.progress_monitor = onProgress;
  cinfo.progress = &limit.pub;
}

}  // namespace imaging
