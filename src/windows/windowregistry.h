#pragma once
// The program's windows, each existing once: created on first use, its load
// rule run right after it is registered (so the load rule may already reach
// the window itself and its siblings), and shown again rather than created
// again afterwards. Windows reach their siblings only through this registry,
// which the program (or a test) owns and hands to every window it creates,
// together with the program context.

#include <QPointer>
#include <QWidget>
#include <functional>
#include <typeindex>
#include <unordered_map>
#include <vector>

#include "windows/programcontext.h"

namespace windows {

class WindowRegistry {
 public:
  explicit WindowRegistry(ProgramContext context) : context_(std::move(context)) {}
  // Deletes the windows without a Qt parent, newest first; the others go with their parent.
  ~WindowRegistry();
  WindowRegistry(const WindowRegistry&) = delete;
  WindowRegistry& operator=(const WindowRegistry&) = delete;

  // How a window of class W is made (the factory places it, e.g. into the frame)
  // and what its load rule is.
  template <class W>
  void define(std::function<W*(WindowRegistry&)> create, std::function<void(W&)> load = {}) {
    Entry& entry = entries_[std::type_index(typeid(W))];
    entry.name = typeid(W).name();
    entry.create = [create = std::move(create)](WindowRegistry& r) -> QWidget* {
      return create(r);
    };
    entry.load = [load = std::move(load)](QWidget& w) {
      if (load) load(static_cast<W&>(w));
    };
  }

  // What the program was given from outside (cameras, prompts, folders, ...).
  ProgramContext& context() { return context_; }

  // The window, created and loaded on first use.
  template <class W>
  W& get() {
    return static_cast<W&>(obtain(std::type_index(typeid(W))));
  }

  // The window when it exists already; nullptr otherwise. Never creates.
  template <class W>
  W* find() const {
    const auto it = entries_.find(std::type_index(typeid(W)));
    return it == entries_.end() ? nullptr : static_cast<W*>(it->second.window.data());
  }

  // The window, created on first use, made visible and brought to the front (modeless).
  template <class W>
  W& show() {
    W& window = get<W>();
    showWindow(window);
    return window;
  }

 private:
  struct Entry {
    const char* name = "";
    std::function<QWidget*(WindowRegistry&)> create;
    std::function<void(QWidget&)> load;
    QPointer<QWidget> window;
    bool creating = false;
  };

  QWidget& obtain(std::type_index type);
  static void showWindow(QWidget& window);

  ProgramContext context_;
  std::unordered_map<std::type_index, Entry> entries_;
  std::vector<QPointer<QWidget>> created_;
};

}  // namespace windows
