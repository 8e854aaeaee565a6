#pragma once
// The maker's web page and the label that opens it, shared by the about box
// and the product notices.

#include <QLabel>

namespace about {

inline constexpr char kMakerWebPage[] = "https://velmora.example/tandeo";
// What the labels show of it.
inline constexpr char kMakerWebAddress[] = "www.velmora.example";

// A label with a hand cursor of its own that reports a click (a press and a
// release on it with the left button).
class WebLinkLabel : public QLabel {
  Q_OBJECT
 public:
  explicit WebLinkLabel(const QString& caption, QWidget* parent = nullptr);

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace about
