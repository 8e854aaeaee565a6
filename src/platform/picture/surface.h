#pragma once
// How the picture layer stores pixels. Every picture is one of three QImage
// formats: Indexed8 with a colour table (a 256-colour picture), RGB32 (true
// colour), or ARGB32 where the source had transparency. Keeping to these lets
// rectangles move with plain row copies.

#include <QImage>
#include <QList>
#include <QSize>

namespace picture {

// The largest picture the layer makes. Sizes come from window geometry and
// from the user's crop frame, so anything beyond this is a mistake, and
// refusing it beats exhausting memory.
inline constexpr int kMaxSide = 32767;
inline constexpr qint64 kMaxPixels = qint64(64) * 1024 * 1024;

// Brings any image to one of the three storage formats (a null image stays
// null). An indexed image without colours gets the grey ramp Qt would assume.
QImage normalisedSurface(QImage image);

// A black image of that size in one of the storage formats (Indexed8 takes
// `colorTable`, and black is painted with an exact black entry, one added
// while the table has room, or else the darkest entry); null for another
// format, a side that is not positive, a size beyond the limits or when
// memory is short.
QImage newBlackSurface(QSize size, QImage::Format format, const QList<QRgb>& colorTable = {});

}  // namespace picture
