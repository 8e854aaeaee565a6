#include "platform/ui/drawnicons.h"

#include <QApplication>
#include <QIconEngine>
#include <QImageReader>
#include <QLoggingCategory>
#include <QPainter>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

Q_LOGGING_CATEGORY(lcIcons, "tandeo.icons", QtWarningMsg)

namespace ui {
namespace {

// One rendering the build made: `pixels` wide and high, in file `path`.
struct Rendering {
  int pixels;
  QString path;
};

// Reads a rendering only when a pixmap of it is first asked for. Qt's own
// file engine decodes every file as it is added, so an icon offered at nine
// sizes was nine PNG decodes at start-up, the 256-pixel one included.
class DrawnIconEngine final : public QIconEngine {
 public:
  explicit DrawnIconEngine(std::vector<Rendering> renderings)
      : renderings_(std::move(renderings)) {}

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
    const Rendering* best = nearest(size);
    if (!best) return {};
    QPixmap picture = load(*best);
    const QSize fitted = picture.size().scaled(size, Qt::KeepAspectRatio).boundedTo(picture.size());
    if (fitted != picture.size())
      picture = picture.scaled(fitted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (mode != QIcon::Normal && qApp) {
      QStyleOption option;
      option.palette = QApplication::palette();
      const QPixmap generated = QApplication::style()->generatedIconPixmap(mode, picture, &option);
      if (!generated.isNull()) picture = generated;
    }
    return picture;
  }

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
    painter->drawPixmap(rect, pixmap(rect.size() * ratio, mode, state));
  }

  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
    const Rendering* best = nearest(size);
    if (!best) return {};
    const QSize rendered(best->pixels, best->pixels);
    return rendered.scaled(size, Qt::KeepAspectRatio).boundedTo(rendered);
  }

  QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
    QList<QSize> sizes;
    for (const Rendering& rendering : renderings_)
      sizes.append(QSize(rendering.pixels, rendering.pixels));
    return sizes;
  }

  bool isNull() override { return renderings_.empty(); }
  QString key() const override { return QStringLiteral("DrawnIconEngine"); }
  QIconEngine* clone() const override { return new DrawnIconEngine(renderings_); }

 private:
  std::vector<Rendering> renderings_;  // smallest first

  // The smallest rendering at least as large as asked for, else the largest.
  const Rendering* nearest(const QSize& size) const {
    if (renderings_.empty()) return nullptr;
    const int wanted = std::max(size.width(), size.height());
    for (const Rendering& rendering : renderings_)
      if (rendering.pixels >= wanted) return &rendering;
    return &renderings_.back();
  }

  static QPixmap load(const Rendering& rendering) {
    QPixmap picture;
    if (QPixmapCache::find(rendering.path, &picture)) return picture;
    // Read as the PNG it is: a reader left to find the format out asks every
    // image plugin installed first, which loads them all (TIFF, WebP, MNG and
    // the libraries under them) on the first picture of the run.
    QImageReader reader(rendering.path, "png");
    reader.setAutoDetectImageFormat(false);
    const QImage image = reader.read();
    if (image.isNull()) {
      qCWarning(lcIcons) << "cannot read" << rendering.path << reader.errorString();
      return picture;
    }
    picture = QPixmap::fromImage(image);
    QPixmapCache::insert(rendering.path, picture);
    return picture;
  }
};

bool isDrawnSize(int size) {
  return std::find(std::begin(kDrawnIconSizes), std::end(kDrawnIconSizes), size) !=
         std::end(kDrawnIconSizes);
}

// The build's renderings of `name` at `size` and, for 2x screens, at twice it.
void addRenderings(std::vector<Rendering>& renderings, const QString& name, int size) {
  const QString stem = QStringLiteral(":/icons/%1-%2").arg(name).arg(size);
  renderings.push_back({size, stem + QStringLiteral(".png")});
  renderings.push_back({2 * size, stem + QStringLiteral("@2x.png")});
}

QIcon iconOf(std::vector<Rendering> renderings) {
  std::stable_sort(renderings.begin(), renderings.end(),
                   [](const Rendering& a, const Rendering& b) { return a.pixels < b.pixels; });
  return QIcon(new DrawnIconEngine(std::move(renderings)));
}

}  // namespace

QIcon drawnIcon(const QString& name, int size) {
  // A size the build does not render would show nothing; say which it was.
  if (!isDrawnSize(size)) {
    qCWarning(lcIcons) << "no rendering of" << name << "at" << size << "pixels";
    return {};
  }
  std::vector<Rendering> renderings;
  addRenderings(renderings, name, size);
  return iconOf(std::move(renderings));
}

QIcon programIcon() {
  const QString name = QStringLiteral("velmora-tandeo");
  std::vector<Rendering> renderings;
  for (const int size : kDrawnIconSizes) addRenderings(renderings, name, size);
  for (const int size : kProgramIconSizes) addRenderings(renderings, name, size);
  return iconOf(std::move(renderings));
}

}  // namespace ui
