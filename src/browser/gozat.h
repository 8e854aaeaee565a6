#pragma once
// The photo browser "Fotoğraf Listesi": the photos saved in this run, one
// entry per file, kept at the same position in three lists (display text with
// the size, file name, full path) with the file type's index as item data. A
// click previews the file in the preview window, a double click renames it
// (a copy under the new name; the old file stays), a right click asks for the
// frame's pop-up, whose items rename or delete (to the desktop's trash). It sits under the preview
// window and remembers its width ("ExpWith"). It knows no workspace: its keys leave as keyDown, its
// right clicks as contextMenuRequested, and its load rule is handed the window it goes beside
// (mainwindow/programwindows.cpp).

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <optional>

#include "windows/mdichild.h"

class QGroupBox;
class QLabel;
class QListWidget;
class QStatusBar;

namespace windows {
class WindowRegistry;
}

class gozat : public QWidget, public windows::MdiChild {
  Q_OBJECT
 public:
  explicit gozat(windows::WindowRegistry& windows, QWidget* parent = nullptr);

  // The display text of an entry: "Resim001.JPG( 45KB )".
  static QString displayText(const QString& fileName, std::uint64_t bytes);
  // The length of the file an entry's path names, found without regard to
  // the case of its name; nothing when there is no such file.
  static std::optional<std::uint64_t> lengthOf(const QString& path);
  // The count text of the status bar: " 3  Adet Kayıt".
  static QString countText(int entries);

  // Under the preview window, to the right of `workspace`.
  void yerlesim(const QWidget& workspace, const QWidget& preview);
  void Form_Load(const QWidget& workspace, const QWidget& preview);
  void Form_Resize();
  void Form_KeyDown(std::int16_t keyCode, std::int16_t shift);
  void lstFoto_Click();
  void lstFoto_DblClick();
  void lstFoto_MouseDown(Qt::MouseButton button, const QPoint& globalPosition);
  void mnuRename();
  void mnuSil();

  // The window's outer width in twips (the sub-window's, as the frame shows it).
  double widthTwips() const;

  bool loadDone = false;

  QGroupBox* Frame1 = nullptr;
  QListWidget* lstFoto = nullptr;
  QListWidget* lstFotoName = nullptr;
  QListWidget* lstYol = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  // The status bar's one panel.
  QLabel* StatusBar1Panel1 = nullptr;

 signals:
  // A key went down in the window, with the original platform's key code.
  void keyDown(std::int16_t keyCode);
  // A right click on a list with entries: the frame's pop-up goes at
  // `globalPosition`, and acts on the entry selected before.
  void contextMenuRequested(const QPoint& globalPosition);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void createControls();
  void showError(int number);
  // The three lists and the item data without the entry at `row`.
  void removeEntry(int row);

  windows::WindowRegistry& windows_;
  // The width yerlesim gave the window: a resize event that only delivers it
  // (Qt sends a hidden window's resize when it is first shown) stores nothing.
  double placedWidthTwips_ = -1;
};
