// The workspace's controls and their places. Sizes the design gives in twips
// (the window, the two picture boxes, the move pad rows) go through the
// screen's twips per pixel; everything else is laid out by Qt layouts.

#include <QAction>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QToolBar>
#include <QToolButton>

#include "platform/ui/dirlistbox.h"
#include "platform/ui/drawnicons.h"
#include "platform/ui/drivelistbox.h"
#include "platform/ui/picturebox.h"
#include "platform/ui/simplecombobox.h"
#include "platform/ui/statictextlabel.h"
#include "platform/ui/twips.h"
#include "platform/ui/updown.h"
#include "windows/windowregistry.h"
#include "workspace/cropframelabel.h"
#include "workspace/form1.h"

namespace {

// Picture sizes in pixels; each is one the build renders (ui::kDrawnIconSizes).
constexpr int kPadIconSize = 24;
constexpr int kCommandIconSize = 32;
constexpr int kButtonIconSize = 16;

constexpr double kClientWidthTwips = 11985;
constexpr double kClientHeightTwips = 10230;
constexpr double kPictureWidthTwips = 4800;
constexpr double kPictureHeightTwips = 3600;
constexpr double kPadRowWidthTwips = 1920;
constexpr double kPadRowHeightTwips = 570;

template <class W>
W* named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QLabel* label(const char* name, const QString& caption, QWidget* parent = nullptr) {
  return named(new QLabel(caption, parent), name);
}

QLineEdit* textBox(const char* name, const QString& text) {
  auto* box = named(new QLineEdit(text), name);
  box->setMaximumWidth(70);
  return box;
}

ui::UpDown* upDown(const char* name, QLineEdit* buddy, int minimum, int maximum) {
  auto* control = named(new ui::UpDown, name);
  control->setBuddy(buddy);
  control->setRange(minimum, maximum);
  control->setFixedHeight(buddy->sizeHint().height());
  return control;
}

QToolButton* pictureButton(const char* name, const char* image, int size,
                           const QString& toolTip = {}) {
  auto* button = named(new QToolButton, name);
  button->setIcon(ui::drawnIcon(QString::fromLatin1(image), size));
  button->setIconSize(QSize(size, size));
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);
  button->setToolTip(toolTip);
  return button;
}

QHBoxLayout* row(std::initializer_list<QWidget*> widgets) {
  auto* layout = new QHBoxLayout;
  layout->setSpacing(4);
  for (QWidget* widget : widgets) layout->addWidget(widget);
  return layout;
}

}  // namespace

void Form1::createControls() {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QString());
  setWindowIcon(ui::programIcon());
  setFixedSize(ui::twipsToPixelsX(kClientWidthTwips), ui::twipsToPixelsY(kClientHeightTwips));

  auto* columns = new QHBoxLayout;
  columns->setSpacing(6);
  columns->addWidget(createCameraColumn(), 0, Qt::AlignTop);
  columns->addWidget(createPhotoColumn(), 0, Qt::AlignTop);
  columns->addWidget(createSideColumn(), 1);

  auto* window = new QVBoxLayout(this);
  window->setContentsMargins(6, 4, 6, 6);
  window->setSpacing(4);
  window->addWidget(createCommandToolbar());
  window->addLayout(columns, 1);

  List1 = named(new QListWidget(this), "List1");
  List1->hide();
  createWaitingNotice();
  createMenus();
}

QWidget* Form1::createCameraColumn() {
  auto* column = new QWidget;
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(6);

  Picture1 = named(new ui::PictureBox, "Picture1");
  Picture1->setFixedBoxSize(ui::twipsToPixelsX(kPictureWidthTwips),
                            ui::twipsToPixelsY(kPictureHeightTwips));
  layout->addWidget(Picture1);

  Frame2 = named(new QGroupBox(QStringLiteral("Kamera")), "Frame2");
  Label2 = label("Label2", QStringLiteral("Kamerayı Seçiniz"));
  cmbCamList = named(new QComboBox, "cmbCamList");
  Label16 =
      label("Label16", QStringLiteral("* Görüntü alamıyorsanız Gelişmiş Kamerayı Kullanınız."));
  Label16->setWordWrap(true);
  QPalette red = Label16->palette();
  red.setColor(QPalette::WindowText, QColor(0xC0, 0x00, 0x00));
  Label16->setPalette(red);
  auto* camera = new QGridLayout(Frame2);
  camera->setContentsMargins(8, 6, 8, 6);
  camera->addWidget(Label2, 0, 0);
  camera->addWidget(cmbCamList, 0, 1);
  camera->addWidget(Label16, 1, 0, 1, 2);
  camera->setColumnStretch(1, 1);
  layout->addWidget(Frame2);

  layout->addWidget(createFolderGroup(), 1);
  column->setFixedWidth(Picture1->width());
  return column;
}

QWidget* Form1::createPhotoColumn() {
  auto* column = new QWidget;
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(6);

  Picture2 = named(new ui::PictureBox, "Picture2");
  Picture2->setFixedBoxSize(ui::twipsToPixelsX(kPictureWidthTwips),
                            ui::twipsToPixelsY(kPictureHeightTwips));
  // The crop frame: see-through, a single line, placed by its boxes' rules.
  Label5 = named(new workspace::CropFrameLabel(Picture2->client()), "Label5");
  Label5->setGeometry(0, 0, 105, 120);
  layout->addWidget(Picture2);
  layout->addWidget(createFrameSizeGroup());
  createFaceMessageLine();
  layout->addWidget(createMovePadGroup(), 1);
  column->setFixedWidth(Picture2->width());
  return column;
}

QGroupBox* Form1::createFrameSizeGroup() {
  Frame3 = named(new QGroupBox(QStringLiteral("Fotoğraf")), "Frame3");
  Label1 = label("Label1", QStringLiteral("Yakalanan Kare"));
  chkYuzYerlestir =
      named(new QCheckBox(QStringLiteral("Yüzü otomatik yerleştir")), "chkYuzYerlestir");
  Frame1 = named(new QGroupBox(QStringLiteral("Çerçeve boyutu")), "Frame1");

  txtSol = textBox("txtSol", QStringLiteral("193"));
  txtUst = textBox("txtUst", QStringLiteral("161"));
  txtEn = textBox("txtEn", QStringLiteral("161"));
  txtBoy = textBox("txtBoy", QStringLiteral("193"));
  UpDown5 = upDown("UpDown5", txtSol, 0, 1000000);
  UpDown4 = upDown("UpDown4", txtUst, 0, 100000);
  UpDown1 = upDown("UpDown1", txtEn, 10, 100000);
  UpDown2 = upDown("UpDown2", txtBoy, 10, 1000000);
  Label13 = label("Label13", QStringLiteral("Soldan"));
  Label7 = label("Label7", QStringLiteral("Üstten"));
  Label3 = label("Label3", QStringLiteral("Genişlik"));
  Label4 = label("Label4", QStringLiteral("Yükseklik"));
  cmdEokul = named(new QPushButton(QStringLiteral("MEBBIS E-Okul Boyutlarına Getir")), "cmdEokul");

  auto* boxes = new QGridLayout(Frame1);
  boxes->setContentsMargins(8, 4, 8, 6);
  boxes->setHorizontalSpacing(4);
  const std::array<std::tuple<QLabel*, QLineEdit*, ui::UpDown*, int, int>, 4> cells{{
      {Label13, txtSol, UpDown5, 0, 0},
      {Label7, txtUst, UpDown4, 1, 0},
      {Label3, txtEn, UpDown1, 0, 4},
      {Label4, txtBoy, UpDown2, 1, 4},
  }};
  for (const auto& [caption, box, arrows, r, c] : cells) {
    boxes->addWidget(caption, r, c);
    boxes->addWidget(box, r, c + 1);
    boxes->addWidget(arrows, r, c + 2);
  }
  boxes->setColumnMinimumWidth(3, 10);
  boxes->setColumnStretch(3, 1);
  boxes->addWidget(cmdEokul, 2, 0, 1, 7);

  auto* layout = new QVBoxLayout(Frame3);
  layout->setContentsMargins(6, 2, 6, 6);
  layout->setSpacing(2);
  // The check box shares the caption's line, where the design left room.
  auto* caption = row({Label1, chkYuzYerlestir});
  caption->insertStretch(1, 1);
  layout->addLayout(caption);
  layout->addWidget(Frame1);
  return Frame3;
}

namespace {

// Keeps the advice line on the "Fotoğraf" frame's caption line, right of the
// caption: the first line under the photo with room to spare, so the
// workspace's controls stay where they always were.
class CaptionLinePlacer final : public QObject {
 public:
  CaptionLinePlacer(QGroupBox* frame, QLabel* line) : QObject(frame), frame_(frame), line_(line) {
    frame->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == frame_ && event->type() == QEvent::Resize) place();
    return false;
  }

 private:
  void place() {
    const QFontMetrics metrics = frame_->fontMetrics();
    const int left = metrics.horizontalAdvance(frame_->title()) + 12;
    line_->setGeometry(left, 0, std::max(0, frame_->width() - left - 2), metrics.height());
  }

  QGroupBox* frame_;
  QLabel* line_;
};

}  // namespace

void Form1::createFaceMessageLine() {
  lblYuzMesaj = label("lblYuzMesaj", QString());
  lblYuzMesaj->setParent(Frame3);
  QPalette red = lblYuzMesaj->palette();
  red.setColor(QPalette::WindowText, QColor(0xC0, 0x00, 0x00));
  lblYuzMesaj->setPalette(red);
  lblYuzMesaj->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  // A little smaller than the captions, so the longest advice fits the line.
  QFont small = lblYuzMesaj->font();
  small.setPointSizeF(small.pointSizeF() * 0.9);
  lblYuzMesaj->setFont(small);
  new CaptionLinePlacer(Frame3, lblYuzMesaj);
}

QGroupBox* Form1::createMovePadGroup() {
  Frame6 = named(new QGroupBox(QStringLiteral("Çerçeve Yönlendirme")), "Frame6");
  createPadToolbar(2, {{"genarti", {}}, {"ust", {}}, {"geneksi", {}}});
  createPadToolbar(0, {{"sol", QStringLiteral("Sola Kaydır")},
                       {"orta", QStringLiteral("Ortala")},
                       {"sag", QStringLiteral("Sağa Kaydır")}});
  createPadToolbar(1, {{"yukarti", {}}, {"alt", {}}, {"yukeksi", {}}});

  auto* pad = new QVBoxLayout;
  pad->setSpacing(0);
  for (int index : {2, 0, 1}) pad->addWidget(toolYon[index]);

  txtYon = textBox("txtYon", QStringLiteral("10"));
  UpDown3 = upDown("UpDown3", txtYon, 1, 10000000);
  Label6 = label("Label6", QStringLiteral("Hareket Aralığı"));
  auto* step = new QVBoxLayout;
  step->addStretch(1);
  step->addWidget(Label6);
  step->addLayout(row({txtYon, UpDown3}));
  step->addStretch(1);

  auto* layout = new QHBoxLayout(Frame6);
  layout->setContentsMargins(10, 4, 10, 6);
  layout->setSpacing(16);
  layout->addLayout(pad);
  layout->addLayout(step);
  layout->addStretch(1);
  return Frame6;
}

QToolBar* Form1::createPadToolbar(int index,
                                  std::initializer_list<std::pair<const char*, QString>> buttons) {
  auto* bar = new QToolBar;
  bar->setObjectName(QStringLiteral("toolYon(%1)").arg(index));
  bar->setProperty("index", index);
  bar->setFixedSize(ui::twipsToPixelsX(kPadRowWidthTwips), ui::twipsToPixelsY(kPadRowHeightTwips));
  bar->setIconSize(QSize(kPadIconSize, kPadIconSize));
  bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
  for (const auto& [key, toolTip] : buttons) {
    const QString name = QString::fromLatin1(key);
    const char* image =
        name.startsWith(QLatin1String("gen")) || name.startsWith(QLatin1String("yuk"))
            ? (name.endsWith(QLatin1String("arti")) ? "grow" : "shrink")
            : key;
    QAction* button =
        bar->addAction(ui::drawnIcon(QString::fromLatin1(image), kPadIconSize), QString());
    button->setObjectName(name);
    button->setData(name);
    button->setToolTip(toolTip);
  }
  for (QToolButton* button : bar->findChildren<QToolButton*>()) button->setFocusPolicy(Qt::NoFocus);
  toolYon[index] = bar;
  return bar;
}

QToolBar* Form1::createCommandToolbar() {
  auto* bar = new QToolBar;
  bar->setObjectName(QStringLiteral("toolYon(4)"));
  bar->setProperty("index", 4);
  bar->setIconSize(QSize(kCommandIconSize, kCommandIconSize));
  bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  const std::array<std::tuple<const char*, QString, QString>, 6> buttons{{
      {"foto", QStringLiteral("Fotoğraf Çek[F5]"), {}},
      {"onizleme", QStringLiteral("Önizleme [F6]"), {}},
      {"al", QStringLiteral("Resim  Al [F7]"),
       QStringLiteral("Çekilen Fotoğrafı üye kayıt ekranına gönderir")},
      {"gelismis", QStringLiteral("Gelişmiş Kamera[F8]"), {}},
      {"donustur", QStringLiteral("Resim Dönüştür[F7]"), {}},
      {"kapat", QStringLiteral("Kapat [ESC]"), {}},
  }};
  for (const auto& [key, caption, toolTip] : buttons) {
    QAction* button =
        bar->addAction(ui::drawnIcon(QString::fromLatin1(key), kCommandIconSize), caption);
    button->setObjectName(QString::fromLatin1(key));
    button->setData(QString::fromLatin1(key));
    if (!toolTip.isEmpty()) button->setToolTip(toolTip);
  }
  for (QToolButton* button : bar->findChildren<QToolButton*>()) {
    button->setFocusPolicy(Qt::NoFocus);
    button->setMinimumWidth(120);
  }
  toolYon[4] = bar;
  return bar;
}

QWidget* Form1::createSideColumn() {
  auto* column = new QWidget;
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(6);
  layout->addWidget(createSaveGroup());

  Label17 = label("Label17", QStringLiteral("Diğer Programlarımızı Denediniz mi?"));
  Label17->setWordWrap(true);
  Label17->setAlignment(Qt::AlignHCenter);
  QFont bold = Label17->font();
  bold.setBold(true);
  Label17->setFont(bold);
  Image11 = pictureButton("Image11", "notice-one", 40);
  Image12 = pictureButton("Image12", "notice-two", 40);
  Label15 = label("Label15",
                  QStringLiteral("Programı daha verimli kullanmak için 1024x768 pikselden daha "
                                 "yüksek çözünürlükte kullanınız"));
  Label15->setWordWrap(true);
  Label15->setAlignment(Qt::AlignHCenter);
  Image22 = pictureButton("Image22", "about", 40);

  layout->addStretch(1);
  layout->addWidget(Label17);
  auto* notices = row({Image11, Image12});
  notices->setAlignment(Qt::AlignHCenter);
  layout->addLayout(notices);
  layout->addStretch(1);
  layout->addWidget(Label15);
  layout->addWidget(Image22, 0, Qt::AlignHCenter);
  return column;
}

QGroupBox* Form1::createSaveGroup() {
  Frame5 = named(new QGroupBox(QStringLiteral("Resim Kaydet")), "Frame5");
  Label9 = label("Label9", QStringLiteral("Ön Ad"));
  txtOnAd = named(new QLineEdit(QStringLiteral("Resim")), "txtOnAd");
  Label8 = label("Label8", QStringLiteral("Dosya Adı"));
  txtResim = named(new QLineEdit(QStringLiteral("001")), "txtResim");
  txtResim->setProperty("tag", QStringLiteral("1"));
  Label12 = label("Label12", QStringLiteral("Dosya Türü"));
  cmbTur = named(new QComboBox, "cmbTur");
  cmbTur->addItems({QStringLiteral("JPG"), QStringLiteral("GIF"), QStringLiteral("BMP")});
  // No type is chosen at design; start-up picks "JPG" and so runs its rule.
  cmbTur->setCurrentIndex(-1);
  Label14 = label("Label14", QStringLiteral("Resim Kalitesi(1)"));
  Slider1 = named(new QSlider(Qt::Horizontal), "Slider1");
  Slider1->setRange(0, 12);
  Slider1->setValue(1);
  Slider1->setSingleStep(1);
  Slider1->setPageStep(5);
  Slider1->setTickPosition(QSlider::TicksBelow);
  Slider1->setTickInterval(1);
  tamam = named(new QPushButton(QStringLiteral("Kaydet [F2]")), "tamam");
  tamam->setIcon(ui::drawnIcon(QStringLiteral("save"), kButtonIconSize));
  tamam->setIconSize(QSize(kButtonIconSize, kButtonIconSize));

  auto* layout = new QVBoxLayout(Frame5);
  layout->setContentsMargins(8, 4, 8, 8);
  layout->setSpacing(2);
  for (QWidget* widget : {static_cast<QWidget*>(Label9), static_cast<QWidget*>(txtOnAd),
                          static_cast<QWidget*>(Label8), static_cast<QWidget*>(txtResim),
                          static_cast<QWidget*>(Label12), static_cast<QWidget*>(cmbTur),
                          static_cast<QWidget*>(Label14), static_cast<QWidget*>(Slider1)}) {
    layout->addWidget(widget);
  }
  layout->addSpacing(6);
  layout->addWidget(tamam);
  return Frame5;
}

QFrame* Form1::createFolderGroup() {
  Frame7 = named(new QFrame, "Frame7");
  Frame7->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  Label11 = label("Label11", QStringLiteral("Dosyaların Kaydedileceği Yer"));
  QFont bold = Label11->font();
  bold.setBold(true);
  Label11->setFont(bold);
  pathbox = named(new ui::SimpleComboBox, "pathbox");
  pathbox->setEditText(QStringLiteral("pathbox"));
  Drive1 = named(new ui::DriveListBox(nullptr, windows_.context().drives.list()), "Drive1");
  hrkt[0] = pictureButton("hrkt(0)", "back", 20, QStringLiteral("Geri"));
  hrkt[1] = pictureButton("hrkt(1)", "forward", 20, QStringLiteral("İleri"));
  for (int i : {0, 1}) hrkt[i]->setProperty("index", i);
  Yeniklsr = pictureButton("Yeniklsr", "new-folder", 20, QStringLiteral("Yeni Klasör [F3]"));
  Dir1 = named(new ui::DirListBox, "Dir1");

  auto* drives = row({Drive1, hrkt[0], hrkt[1], Yeniklsr});
  drives->setStretch(0, 1);
  auto* layout = new QVBoxLayout(Frame7);
  layout->setContentsMargins(8, 6, 8, 8);
  layout->setSpacing(4);
  layout->addWidget(Label11);
  layout->addWidget(pathbox);
  layout->addLayout(drives);
  layout->addWidget(Dir1, 1);
  return Frame7;
}

namespace {

// Puts the waiting notice over the middle of the two picture boxes, where the
// user is looking, each time it appears. Placing it when it was made meant
// laying the whole workspace out in its constructor, and again once it was
// shown: the longest step before the first camera frame.
class NoticePlacer final : public QObject {
 public:
  NoticePlacer(QWidget* notice, const QWidget* first, const QWidget* second)
      : QObject(notice), notice_(notice), first_(first), second_(second) {
    notice->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == notice_ && event->type() == QEvent::Show) place();
    return false;
  }

 private:
  void place() {
    QWidget* host = notice_->parentWidget();
    if (QLayout* layout = host->layout()) layout->activate();
    const QRect pictures(first_->mapTo(host, QPoint(0, 0)),
                         second_->mapTo(host, QPoint(second_->width(), second_->height())));
    const QSize size(360, 64);
    notice_->setGeometry(
        QRect(pictures.center() - QPoint(size.width() / 2, size.height() / 2), size));
  }

  QWidget* notice_;
  const QWidget* first_;
  const QWidget* second_;
};

}  // namespace

void Form1::createWaitingNotice() {
  waiting = named(new QFrame(this), "waiting");
  waiting->setFrameStyle(QFrame::Panel | QFrame::Raised);
  waiting->setLineWidth(2);
  waiting->setAutoFillBackground(true);
  // Laid out once, the first time it is shown: the notice is painted while
  // the photo is being taken.
  Label10 =
      named(new ui::StaticTextLabel(QStringLiteral("Resim Alınıyor. Lütfen Bekleyiniz"), waiting),
            "Label10");
  QFont big = Label10->font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.3);
  Label10->setFont(big);
  Label10->setAlignment(Qt::AlignCenter);
  auto* layout = new QVBoxLayout(waiting);
  layout->addWidget(Label10);
  waiting->hide();
  new NoticePlacer(waiting, Picture1, Picture2);
}

void Form1::createMenus() {
  const std::array<std::tuple<QAction**, const char*, QString>, 6> items{{
      {&mnuFoto, "mnuFoto", QStringLiteral("Fotoğraf Çek")},
      {&mnuOnizle, "mnuOnizle", QStringLiteral("Önizleme")},
      {&mnuOnPen, "mnuOnPen", QStringLiteral("Önizleme Penceresi")},
      {&mnuDosya, "mnuDosya", QStringLiteral("Dosya Penceresi")},
      {&resim, "resim", QStringLiteral("Resim Dönüştür")},
      {&mnuKapat, "mnuKapat", QStringLiteral("Programı Kapat")},
  }};
  for (const auto& [member, name, caption] : items) {
    *member = named(new QAction(caption, this), name);
  }
}
