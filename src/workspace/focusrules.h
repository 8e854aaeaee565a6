#pragma once
// Focus-gain and focus-loss rules of text boxes. Focus that leaves with the
// window (another program activated, a menu opened) is not the user leaving
// the box, so those do not count.

#include <QObject>
#include <functional>
#include <vector>

class QWidget;

namespace workspace {

class FocusRules : public QObject {
  Q_OBJECT
 public:
  using Rule = std::function<void()>;
  explicit FocusRules(QObject* parent = nullptr) : QObject(parent) {}

  void onGotFocus(QWidget* box, Rule rule);
  void onLostFocus(QWidget* box, Rule rule);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Entry {
    QObject* box;
    bool gained;
    Rule rule;
  };
  void watch(QWidget* box, bool gained, Rule rule);
  std::vector<Entry> entries_;
};

}  // namespace workspace
