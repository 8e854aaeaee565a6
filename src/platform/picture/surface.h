#pragma once
// How the picture layer stores pixels. Every bitmap and picture is one of
// three QImage formats: Indexed8 with a colour table (a 256-colour picture),
// RGB32 (true colour), or ARGB32 where the source had transparency. Keeping
// to these lets rectangles move with plain row copies.

#include <QImage>
#include <QList>
#include <QSize>

namespace picture {

// The largest bitmap the layer makes. Sizes come from window geometry and
// from the user's crop frame, so anything beyond this is a mistake, and
// refusing it beats exhausting memory.
inline constexpr int kMaxSide = 32767;
inline constexpr qint64 kMaxPixels = qint64(64) * 1024 * 1024;

bool fitsLimits(qint64 width, qint64 height);

// Brings any image to one of the three storage formats (a null image stays
// null). An indexed image without colours gets the grey ramp Qt would assume.
QImage normalisedSurface(QImage image);

// True for the formats normalisedSurface produces.
bool isSurfaceFormat(QImage::Format format);

// A black image of that size and format (Indexed8 takes `colorTable`); null
// when a side is not positive, the size is beyond the limits or memory is short.
QImage newBlackSurface(QSize size, QImage::Format format, const QList<QRgb>& colorTable = {});

// The colour table index that paints black in an indexed image: an exact
// opaque black if there is one, else a black entry added while the table has
// room, else the darkest entry.
int blackIndex(QImage& indexed);

// Exactly 256 entries: missing ones are black, extra ones dropped.
QList<QRgb> paddedTo256(QList<QRgb> colours);

}  // namespace picture
