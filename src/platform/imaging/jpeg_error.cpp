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

// The warnings that mean picture data is missing or cannot be decoded:
// libjpeg fills the gap with grey or garbage and carries on. A stream cut
// short and then closed with an end marker reads as JWRN_HIT_MARKER.
bool meansDamagedData(int code) {
  switch (code) {
    case JWRN_HIT_MARKER:         // premature end of data segment
    case JWRN_MUST_RESYNC:        // a marker where a restart marker belongs
    case JWRN_HUFF_BAD_CODE:      // entropy data that decodes to nothing
    case JWRN_ARITH_BAD_CODE:     // the same, arithmetic coding
    case JWRN_BOGUS_PROGRESSION:  // a progressive scan out of sequence
    case JWRN_NOT_SEQUENTIAL:     // scan parameters a sequential picture cannot have
      return true;
    default:
      return false;
  }
}

// Other warnings are silent. A stream that ends early always jumps back:
// libjpeg would pad it with grey and call it a picture, which we refuse to
// pass off as a success. Extra bytes before a marker (which some cameras
// always send) lose nothing and stay harmless.
void onMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;
  const int code = cinfo->err->msg_code;
  if (code == JWRN_JPEG_EOF || meansDamagedData(code)) std::longjmp(managerOf(cinfo).jump, 1);
}

void onOutput(j_common_ptr) {}

void onProgress(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number > kMaxJpegScans) std::longjmp(managerOf(cinfo).jump, 1);
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
