#pragma once
// The two product notices of the workspace's pictures Image11 and Image12:
// small modal windows announcing another program of the maker, each with
// "Kapat [ESC]" and a label that opens the maker's web page.

#include <QDialog>

#include "platform/ui/shell.h"

class QLabel;
class QPushButton;

namespace about {

class WebLinkLabel;

class ProductNotice : public QDialog {
  Q_OBJECT
 public:
  QLabel* lblUrun = nullptr;
  QLabel* lblAciklama = nullptr;
  WebLinkLabel* lblWeb = nullptr;
  QPushButton* cmdKapat = nullptr;

 protected:
  ProductNotice(const char* name, const QString& product, const QString& description,
                ui::WebPageOpener openWebPage, QWidget* parent);

 private:
  ui::WebPageOpener openWebPage_;
};

}  // namespace about

// "Velmora Kartela": pupil identity cards printed from the saved photos.
class frmKartela : public about::ProductNotice {
  Q_OBJECT
 public:
  explicit frmKartela(ui::WebPageOpener openWebPage, QWidget* parent = nullptr);
};

// "Velmora Yoklama": the class register's attendance, kept on the computer.
class frmYoklama : public about::ProductNotice {
  Q_OBJECT
 public:
  explicit frmYoklama(ui::WebPageOpener openWebPage, QWidget* parent = nullptr);
};
