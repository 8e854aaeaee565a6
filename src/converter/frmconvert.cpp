#include "converter/frmconvert.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QThreadPool>
#include <vector>

#include "platform/ui/openfiledialog.h"
#include "platform/ui/prompt.h"
#include "platform/ui/twips.h"

namespace converter {

Q_LOGGING_CATEGORY(lcConverter, "tandeo.converter", QtCriticalMsg)

// The busy cursor for as long as one conversion runs; several stack.
class BusyCursor {
 public:
  BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

namespace {

QRect twipsRect(int left, int top, int width, int height) {
  return {ui::twipsToPixelsX(left), ui::twipsToPixelsY(top), ui::twipsToPixelsX(width),
          ui::twipsToPixelsY(height)};
}

// A tab whose controls are placed, as the design gives them, relative to the
// tab control itself (its tab row included) rather than to the page under
// the tabs: the page subtracts its own offset whenever it is laid out.
class TabPage final : public QWidget {
 public:
  explicit TabPage(QTabWidget& tabs) : tabs_(tabs) {}

  // `twips`: left, top, width, height; a width of 0 sizes a label to its caption.
  template <class W>
  W* place(W* control, const char* name, QRect twips) {
    control->setParent(this);
    control->setObjectName(QString::fromLatin1(name));
    placed_.push_back({control, twips});
    return control;
  }

 protected:
  void resizeEvent(QResizeEvent*) override { layOut(); }
  void showEvent(QShowEvent*) override { layOut(); }

 private:
  void layOut() {
    const QPoint origin = mapTo(&tabs_, QPoint(0, 0));
    for (const auto& [control, twips] : placed_) {
      QRect pixels = twipsRect(twips.x(), twips.y(), twips.width(), twips.height());
      if (twips.width() == 0) {
        // Labels size themselves to their caption (never lower than the design's 195).
        pixels.setSize(
            {control->sizeHint().width(), qMax(pixels.height(), control->sizeHint().height())});
      }
      control->setGeometry(pixels.translated(-origin));
    }
  }

  QTabWidget& tabs_;
  std::vector<std::pair<QWidget*, QRect>> placed_;
};

struct TabControls {
  QLabel*& sourceLabel;
  const char* sourceLabelName;
  const char* sourceCaption;
  QLineEdit*& source;
  const char* sourceName;
  QLabel*& targetLabel;
  const char* targetLabelName;
  const char* targetCaption;
  QLineEdit*& target;
  const char* targetName;
  QPushButton*& browse;
  const char* browseName;
  QPushButton*& convert;
  const char* convertName;
};

TabPage* createTab(QTabWidget& tabs, const QString& caption, const TabControls& c, int convertTop) {
  auto* page = new TabPage(tabs);
  c.sourceLabel = page->place(new QLabel(QString::fromUtf8(c.sourceCaption)), c.sourceLabelName,
                              {120, 480, 0, 195});
  c.source = page->place(new QLineEdit, c.sourceName, {1440, 480, 2655, 285});
  c.targetLabel = page->place(new QLabel(QString::fromUtf8(c.targetCaption)), c.targetLabelName,
                              {120, 840, 0, 195});
  c.target = page->place(new QLineEdit, c.targetName, {1440, 840, 2655, 285});
  c.browse =
      page->place(new QPushButton(QStringLiteral("...")), c.browseName, {4200, 600, 495, 255});
  c.convert = page->place(new QPushButton(QStringLiteral("Dönüştür")), c.convertName,
                          {120, convertTop, 4575, 495});
  tabs.addTab(page, caption);
  return page;
}

}  // namespace
}  // namespace converter

frmConvert::frmConvert(ui::Prompter& prompter, ui::OpenFileDialog& fileDialog, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint),
      prompter_(prompter),
      fileDialog_(fileDialog) {
  setObjectName(QStringLiteral("frmConvert"));
  setWindowTitle(QStringLiteral("Resim Dönüştür"));
  // Closing unloads the window: the next opening starts from empty boxes.
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(ui::twipsToPixelsX(5100), ui::twipsToPixelsY(2520));
  // The design's small dialog font: its captions fit the twips layout only
  // at 8 points, narrowed where the desktop's font runs wider.
  QFont small = font();
  small.setPointSizeF(8.25);
  small.setStretch(QFont::SemiCondensed);
  setFont(small);
  createControls();
  connectHandlers();
}

frmConvert::~frmConvert() = default;

void frmConvert::createControls() {
  using converter::TabControls;
  SSTab1 = new QTabWidget(this);
  SSTab1->setObjectName(QStringLiteral("SSTab1"));
  SSTab1->setGeometry(converter::twipsRect(120, 120, 4860, 2295));
  // All four tabs in one row, sharing its width.
  SSTab1->tabBar()->setExpanding(true);
  SSTab1->setUsesScrollButtons(false);
  SSTab1->setElideMode(Qt::ElideNone);

  converter::createTab(
      *SSTab1, QStringLiteral("Gif>>Bmp"),
      TabControls{Label1[0], "Label1(0)", "Gif Dosyaadı", Text1, "Text1", Label7[0], "Label7(0)",
                  "Bitmap Dosyaadı", Text2, "Text2", Command5, "Command5", Command2, "Command2"},
      1440);
  converter::createTab(
      *SSTab1, QStringLiteral("Bmp>>Gif"),
      TabControls{Label7[1], "Label7(1)", "Bitmap Dosyaadı", Text3, "Text3", Label1[1], "Label1(1)",
                  "Gif Dosyaadı", Text4, "Text4", Command7, "Command7", Command1, "Command1"},
      1440);
  converter::createTab(
      *SSTab1, QStringLiteral("Jpeg>>Bmp"),
      TabControls{Label7[3], "Label7(3)", "Jpeg Dosyaadı", Text5, "Text5", Label7[2], "Label7(2)",
                  "Bitmap  Dosyaadı", Text6, "Text6", Command8, "Command8", Command4, "Command4"},
      1440);
  auto* jpeg = converter::createTab(
      *SSTab1, QStringLiteral("Bmp>>Jpeg"),
      TabControls{Label7[4], "Label7(4)", "Bitmap Dosyaadı", Text7, "Text7", Label7[5], "Label7(5)",
                  "Jpeg  Dosyaadı", Text8, "Text8", Command9, "Command9", Command3, "Command3"},
      1680);
  Label3 = jpeg->place(new QLabel(QStringLiteral("JPG Kalitesi")), "Label3", {120, 1260, 0, 195});
  Text9 = jpeg->place(new QLineEdit(QStringLiteral("65")), "Text9", {1680, 1215, 375, 285});
  HScroll1 = jpeg->place(new QScrollBar(Qt::Horizontal), "HScroll1", {2160, 1200, 2475, 315});
  HScroll1->setRange(0, 130);
  HScroll1->setPageStep(10);
  HScroll1->setValue(65);
  SSTab1->setCurrentIndex(0);
}

void frmConvert::connectHandlers() {
  const auto onClick = [this](QPushButton* button, void (frmConvert::*handler)()) {
    connect(button, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
  };
  onClick(Command5, &frmConvert::Command5_Click);
  onClick(Command7, &frmConvert::Command7_Click);
  onClick(Command8, &frmConvert::Command8_Click);
  onClick(Command9, &frmConvert::Command9_Click);
  onClick(Command2, &frmConvert::Command2_Click);
  onClick(Command1, &frmConvert::Command1_Click);
  onClick(Command4, &frmConvert::Command4_Click);
  onClick(Command3, &frmConvert::Command3_Click);
  connect(HScroll1, &QScrollBar::valueChanged, this, [this] { HScroll1_Change(); });
}

void frmConvert::Command5_Click() {
  browse({"*.gif", "gif", "Open Gif to save as Bmp", Text1, Text2, "bmp"});
}

void frmConvert::Command7_Click() {
  browse({"*.bmp", "bmp", "Open Bmp to save as Gif", Text3, Text4, "gif"});
}

void frmConvert::Command8_Click() {
  browse({"*.jpg", "jpg", "Open Jpg to save as Bmp", Text5, Text6, "bmp"});
}

void frmConvert::Command9_Click() {
  browse({"*.bmp", "bmp", "Open Bmp to save as Jpg", Text7, Text8, "jpg"});
}

void frmConvert::browse(const BrowseStep& step) {
  // A cancelled dialog reports its initial pattern, which lands in the boxes
  // like a chosen name ("*.gif" proposes "*.bmp").
  const QString fileName = fileDialog_.showOpen({QString::fromLatin1(step.initialFileName),
                                                 QString::fromLatin1(step.defaultExtension),
                                                 QString::fromLatin1(step.title)});
  step.source->setText(fileName);
  step.target->setText(converter::proposedTarget(fileName, QString::fromLatin1(step.newExtension)));
}

void frmConvert::Command2_Click() {
  convert(Command2, {converter::Operation::GifToBmp, Text1->text(), Text2->text(), {}});
}

void frmConvert::Command1_Click() {
  convert(Command1, {converter::Operation::BmpToGif, Text3->text(), Text4->text(), {}});
}

void frmConvert::Command4_Click() {
  convert(Command4, {converter::Operation::JpegToBmp, Text5->text(), Text6->text(), {}});
}

void frmConvert::Command3_Click() {
  // The quality box's text, whether the bar or the user wrote it.
  convert(Command3, {converter::Operation::BmpToJpeg, Text7->text(), Text8->text(), Text9->text()});
}

void frmConvert::HScroll1_Change() {
  Text9->setText(QString::number(HScroll1->value()));
  if (HScroll1->value() < 2) {
    HScroll1->setValue(2);
    Text9->setText(QStringLiteral("2"));
  }
}

void frmConvert::convert(QPushButton* button, converter::Conversion conversion) {
  button->setEnabled(false);
  running_[button] = std::make_unique<converter::BusyCursor>();
  qCDebug(converter::lcConverter) << "converting" << conversion.source << "to" << conversion.target;
  // The worker touches no widget: it hands its result back to the user
  // interface thread, where the window may be gone by then. The global pool
  // is waited for when the application ends, so no conversion is cut off.
  QThreadPool::globalInstance()->start(
      [window = QPointer<frmConvert>(this), button, codec = PicFormat321, conversion] {
        const PicFormat32::Result result = converter::run(codec, conversion);
        QMetaObject::invokeMethod(
            qApp,
            [window, button, conversion, result] {
              if (window) window->conversionEnded(button, conversion, result);
            },
            Qt::QueuedConnection);
      });
}

void frmConvert::conversionEnded(QPushButton* button, const converter::Conversion& conversion,
                                 const PicFormat32::Result& result) {
  running_.erase(button);
  button->setEnabled(true);
  if (!result) {
    const QPointer<frmConvert> window(this);
    prompter_.MsgBox(converter::failureMessage(conversion, result.error()), ui::vbOKOnly,
                     ui::vbCritical, QStringLiteral("Velmora Photo"));
    // The window may have been closed while the message was up.
    if (!window) return;
  }
  emit conversionFinished(result.ok());
}
