#pragma once
// One conversion of the converter window as a value: which of the codec's
// operations, with which texts. It runs on any thread (it touches no widget)
// and its failure becomes the Turkish message the window shows.

#include <QString>

#include "capture/picformat32.h"

namespace converter {

enum class Operation { GifToBmp, BmpToGif, JpegToBmp, BmpToJpeg };

struct Conversion {
  Operation operation = Operation::GifToBmp;
  QString source;
  QString target;
  QString quality;  // BmpToJpeg only: the quality box's text
};

// Calls the codec operation with the conversion's texts, unchanged.
PicFormat32::Result run(PicFormat32 codec, const Conversion& conversion);

// What the user reads when `conversion` failed with `error`: the file it
// concerns and the cause, in Turkish.
QString failureMessage(const Conversion& conversion, imaging::ImageError error);

// The browse buttons' target proposal: `fileName` without its last three
// characters, followed by `extension` (a.gif gives a.bmp; a.jpeg gives a.jbmp).
QString proposedTarget(const QString& fileName, const QString& extension);

}  // namespace converter
