#pragma once
// The format converter "Resim Dönüştür": four tabs, one per direction (GIF to
// BMP, BMP to GIF, JPEG to BMP, BMP to JPEG with a quality). A browse button
// fills the source box from the Open dialog and proposes the target; the
// convert button hands both boxes to the codec as they stand.
//
// A conversion runs on a worker thread so that a large picture does not
// freeze the window; its button stays disabled and the cursor busy until it
// ends. A failure is reported in a message box; success shows nothing.
// Closing the window unloads it (the next opening starts afresh); a
// conversion still running then finishes unseen (the codec replaces its
// target atomically, so no half-written file is left).

#include <QWidget>
#include <array>
#include <map>
#include <memory>

#include "capture/picformat32.h"
#include "converter/conversion.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QTabWidget;

namespace ui {
class OpenFileDialog;
class Prompter;
}  // namespace ui

namespace converter {
class BusyCursor;
}

class frmConvert : public QWidget {
  Q_OBJECT
 public:
  // Both are lent and must outlive the window.
  frmConvert(ui::Prompter& prompter, ui::OpenFileDialog& fileDialog, QWidget* parent = nullptr);
  ~frmConvert() override;

  // Browse buttons.
  void Command5_Click();
  void Command7_Click();
  void Command8_Click();
  void Command9_Click();
  // Convert buttons; each returns at once, the conversion goes on in the background.
  void Command2_Click();
  void Command1_Click();
  void Command4_Click();
  void Command3_Click();
  void HScroll1_Change();

  QTabWidget* SSTab1 = nullptr;
  std::array<QLabel*, 2> Label1{};
  std::array<QLabel*, 6> Label7{};
  QLabel* Label3 = nullptr;
  QLineEdit* Text1 = nullptr;
  QLineEdit* Text2 = nullptr;
  QLineEdit* Text3 = nullptr;
  QLineEdit* Text4 = nullptr;
  QLineEdit* Text5 = nullptr;
  QLineEdit* Text6 = nullptr;
  QLineEdit* Text7 = nullptr;
  QLineEdit* Text8 = nullptr;
  QLineEdit* Text9 = nullptr;
  QScrollBar* HScroll1 = nullptr;
  QPushButton* Command1 = nullptr;
  QPushButton* Command2 = nullptr;
  QPushButton* Command3 = nullptr;
  QPushButton* Command4 = nullptr;
  QPushButton* Command5 = nullptr;
  QPushButton* Command7 = nullptr;
  QPushButton* Command8 = nullptr;
  QPushButton* Command9 = nullptr;

 signals:
  // A conversion ended and its failure, if any, was shown.
  void conversionFinished(bool succeeded);

 private:
  struct BrowseStep {
    const char* initialFileName;
    const char* defaultExtension;
    const char* title;
    QLineEdit* source;
    QLineEdit* target;
    const char* newExtension;
  };

  void createControls();
  void connectHandlers();
  void browse(const BrowseStep& step);
  void convert(QPushButton* button, converter::Conversion conversion);
  void conversionEnded(QPushButton* button, const converter::Conversion& conversion,
                       const PicFormat32::Result& result);

  ui::Prompter& prompter_;
  ui::OpenFileDialog& fileDialog_;
  PicFormat32 PicFormat321;
  // The conversions under way, by their button; each keeps the cursor busy.
  std::map<QPushButton*, std::unique_ptr<converter::BusyCursor>> running_;
};
