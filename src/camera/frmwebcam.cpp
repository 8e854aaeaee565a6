#include "camera/frmwebcam.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <array>

#include "camera/imagecontrol.h"
#include "platform/ui/drawnicons.h"
#include "platform/ui/keycodes.h"
#include "platform/ui/picturebox.h"
#include "platform/ui/prompt.h"
#include "platform/ui/twips.h"
#include "platform/video/capturewidget.h"
#include "platform/video/privateclipboard.h"
#include "rules/numbers.h"
#include "settings/Module1.h"
#include "windows/programcontext.h"

namespace {

Q_LOGGING_CATEGORY(lcCamera, "tandeo.camera", QtWarningMsg)

constexpr double kClientWidthTwips = 9015;
constexpr double kClientHeightTwips = 7605;
constexpr double kOutputTopTwips = 840;
constexpr double kOutputWidthTwips = 9015;
constexpr double kOutputHeightTwips = 6735;
constexpr double kImageWidthTwips = 8940;
constexpr double kImageHeightTwips = 6660;
constexpr int kDefaultIntervalMs = 10;
constexpr int kLongestIntervalMs = 1000;
constexpr QRect kCaptureGeometry(0, 0, 320, 240);

const QString kRefresh = QStringLiteral("Refresh");
const QString kTitle = QStringLiteral("Velmora Photo");

constexpr int kButtonIconSize = 24;

// The window's own button pictures: resources/icons/camera-<key>.svg.
QIcon buttonIcon(const QString& key) {
  return ui::drawnIcon(QStringLiteral("camera-%1").arg(key), kButtonIconSize);
}

std::int32_t storedRefresh(const Module1& settings) {
  return settings.getDwordValue(Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(), kRefresh);
}

}  // namespace

frmWebCam::frmWebCam(windows::ProgramContext& context, CaptureWindowFactory makeWindow,
                     QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      context_(context),
      // Hidden, with scaling left off: each frame reaches the clipboard at the
      // camera's own size, not at the hidden window's.
      makeWindow_(makeWindow ? std::move(makeWindow)
                             : captureWidgets(context.cameras, context.cameraProfiles,
                                              CaptureWidgetShown::Hidden)) {
  setObjectName(QStringLiteral("frmWebCam"));
  setWindowTitle(QStringLiteral("Velmora Aranel Gelişmiş Kamera"));
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(ui::twipsToPixelsX(kClientWidthTwips), ui::twipsToPixelsY(kClientHeightTwips));
  // The window itself takes the keys; none of its controls takes the focus.
  setFocusPolicy(Qt::StrongFocus);

  createToolbar();

  picOutput = new ui::PictureBox(this);
  picOutput->setObjectName(QStringLiteral("picOutput"));
  // No border: Image1's place is measured from the box's own corner.
  picOutput->setFrameStyle(QFrame::NoFrame);
  picOutput->setLineWidth(0);
  picOutput->setFocusPolicy(Qt::NoFocus);
  picOutput->move(0, ui::twipsToPixelsY(kOutputTopTwips));
  picOutput->setFixedBoxSize(ui::twipsToPixelsX(kOutputWidthTwips),
                             ui::twipsToPixelsY(kOutputHeightTwips));

  Image1 = new camera::ImageControl(picOutput->client());
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setWidthTwips(kImageWidthTwips);
  Image1->setHeightTwips(kImageHeightTwips);

  tmrMain = new QTimer(this);
  tmrMain->setObjectName(QStringLiteral("tmrMain"));
  tmrMain->setInterval(kDefaultIntervalMs);
  connect(tmrMain, &QTimer::timeout, this, [this] { tmrMain_Timer(); });
}

frmWebCam::~frmWebCam() {
  tmrMain->stop();
  captureWindow_.reset();
}

void frmWebCam::createToolbar() {
  toolYon = new QToolBar(this);
  toolYon->setObjectName(QStringLiteral("toolYon"));
  toolYon->setIconSize(QSize(kButtonIconSize, kButtonIconSize));
  toolYon->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  toolYon->setFixedSize(width(), ui::twipsToPixelsY(kOutputTopTwips));
  toolYon->move(0, 0);
  const std::array<std::pair<const char*, QString>, 6> buttons{{
      {"baslat", QStringLiteral("Başlat[F2]")},
      {"durdur", QStringLiteral("Durdur[F3]")},
      {"ayarlar", QStringLiteral("Ayarlar")},
      {"hiz", QStringLiteral("Yenileme Hızı[F6]")},
      {"al", QStringLiteral("Resim  Al [F7]")},
      {"kapat", QStringLiteral("Kapat [ESC]")},
  }};
  for (const auto& [key, caption] : buttons) {
    const QString name = QString::fromLatin1(key);
    QAction* button = toolYon->addAction(buttonIcon(name), caption);
    button->setObjectName(name);
    button->setData(name);
    connect(button, &QAction::triggered, this, [this, name] { toolYon_ButtonClick(name); });
  }

  // "Ayarlar": its face opens the source dialog, its arrow the two items.
  auto* menu = new QMenu(this);
  menu->setObjectName(QStringLiteral("ayarlarMenu"));
  for (const auto& [key, caption] : {std::pair{"boyut", QStringLiteral("Görüntü Boyutu [F4]")},
                                     std::pair{"kaynak", QStringLiteral("Video Kaynağı[F5]")}}) {
    const QString name = QString::fromLatin1(key);
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    item->setData(name);
    connect(item, &QAction::triggered, this, [this, name] { toolYon_ButtonMenuClick(name); });
  }
  QAction* ayarlar = toolYon->findChild<QAction*>(QStringLiteral("ayarlar"));
  ayarlar->setMenu(menu);
  if (auto* face = qobject_cast<QToolButton*>(toolYon->widgetForAction(ayarlar)))
    face->setPopupMode(QToolButton::MenuButtonPopup);
  for (QToolButton* button : toolYon->findChildren<QToolButton*>())
    button->setFocusPolicy(Qt::NoFocus);
}

void frmWebCam::startCamera() {
  if (tmrMain->isActive()) return;
  // The window of an earlier start goes first (it is disconnected by then),
  // so at most one capture window ever holds the driver.
  captureWindow_.reset();
  captureWindow_ =
      makeWindow_(*picOutput->client(), QStringLiteral("WebcamCapture"), kCaptureGeometry);
  if (captureWindow_ && captureWindow_->widget()) captureWindow_->widget()->hide();
  QCoreApplication::processEvents();
  if (captureWindow_) captureWindow_->connectDriver(0);
  Image1->setStretch(false);
  tmrMain->start();
}

void frmWebCam::stopCamera() {
  tmrMain->stop();
  QCoreApplication::processEvents();
  if (captureWindow_) captureWindow_->disconnectDriver();
}

void frmWebCam::Form_Load() {
  const std::int32_t refresh = storedRefresh(context_.settings);
  // This window never stores more than 1000 ms; a larger value written by
  // something else is taken as the longest interval it offers rather than
  // leaving the picture all but frozen.
  tmrMain->setInterval(refresh >= 1 ? std::min(refresh, kLongestIntervalMs) : kDefaultIntervalMs);
  startCamera();
}

void frmWebCam::tmrMain_Timer() {
  // Every step runs whatever became of the one before; a step that cannot
  // be done is left out without a word.
  if (captureWindow_) {
    captureWindow_->connectDriver(0);
    captureWindow_->grabFrame();
    captureWindow_->copyFrame();
  }
  video::PrivateClipboard& clipboard = video::privateClipboard();
  Image1->setPicture(clipboard.image());
  clipboard.clear();
  placeImage();
}

// The stretch rules and the centring, in twips as the design measures them.
void frmWebCam::placeImage() {
  const double areaWidth = ui::pixelsToTwipsX(picOutput->width());
  const double areaHeight = ui::pixelsToTwipsY(picOutput->height());
  if (areaWidth < Image1->widthTwips()) {
    Image1->setStretch(true);
    Image1->setWidthTwips(kImageWidthTwips);
  }
  if (areaHeight < Image1->heightTwips()) {
    Image1->setStretch(true);
    Image1->setHeightTwips(kImageHeightTwips);
  }
  Image1->setLeftTwips(rules::roundHalfToEven(areaWidth - Image1->widthTwips()) / 2);
  Image1->setTopTwips(rules::roundHalfToEven(areaHeight - Image1->heightTwips()) / 2);
}

void frmWebCam::toolYon_ButtonClick(const QString& key) {
  if (key == QLatin1String("baslat")) {
    startCamera();
  } else if (key == QLatin1String("durdur")) {
    stopCamera();
  } else if (key == QLatin1String("ayarlar")) {
    if (captureWindow_) captureWindow_->showSourceDialog();
  } else if (key == QLatin1String("hiz")) {
    askRefreshRate();
  } else if (key == QLatin1String("al")) {
    emit pictureTaken(Image1->picture());
    toolYon_ButtonClick(QStringLiteral("kapat"));
  } else if (key == QLatin1String("kapat")) {
    stopCamera();
    QCoreApplication::processEvents();
    unloadWindow();
  }
}

void frmWebCam::toolYon_ButtonMenuClick(const QString& key) {
  if (key == QLatin1String("boyut")) {
    if (captureWindow_) captureWindow_->showFormatDialog();
    Image1->setStretch(false);
  } else if (key == QLatin1String("kaynak")) {
    if (captureWindow_) captureWindow_->showSourceDialog();
  }
}

void frmWebCam::askRefreshRate() {
  ui::Prompter& prompter = *context_.prompter;
  const QString answer = prompter.InputBox(QStringLiteral("Kamera Yineleme Hızını Giriniz"),
                                           QStringLiteral("1-1000 arasında bir değer giriniz"),
                                           QString::number(storedRefresh(context_.settings)));
  if (answer.isEmpty()) return;
  const double value = rules::leadingNumberIgnoringBlanks(answer);
  if (value >= 1 && value <= kLongestIntervalMs) {
    const int milliseconds = rules::roundHalfToEven(value);
    context_.settings.saveDwordValue(Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(), kRefresh,
                                     milliseconds);
    tmrMain->setInterval(milliseconds);
    qCDebug(lcCamera) << "refresh interval" << milliseconds << "ms";
    return;
  }
  prompter.MsgBox(QStringLiteral("Lütfen 1-1000 arasında sayısal bir değer giriniz"), ui::vbOKOnly,
                  ui::vbExclamation, kTitle);
}

void frmWebCam::Form_KeyDown(std::int16_t keyCode, std::int16_t /*shift*/) {
  switch (keyCode) {
    case ui::vbKeyF2:
      toolYon_ButtonClick(QStringLiteral("baslat"));
      break;
    case ui::vbKeyF3:
      toolYon_ButtonClick(QStringLiteral("durdur"));
      break;
    // The menu items name F4 and F5: the program gives those keys their items.
    case ui::vbKeyF4:
      toolYon_ButtonMenuClick(QStringLiteral("boyut"));
      break;
    case ui::vbKeyF5:
      toolYon_ButtonMenuClick(QStringLiteral("kaynak"));
      break;
    case ui::vbKeyF6:
      toolYon_ButtonClick(QStringLiteral("hiz"));
      break;
    case ui::vbKeyF7:
      toolYon_ButtonClick(QStringLiteral("al"));
      break;
    case ui::vbKeyEscape:
      toolYon_ButtonClick(QStringLiteral("kapat"));
      break;
    default:
      break;
  }
}

void frmWebCam::Form_QueryUnload(bool& /*cancel*/, windows::UnloadMode /*unloadMode*/) {
  QCoreApplication::processEvents();
  if (captureWindow_) captureWindow_->disconnectDriver();
}

void frmWebCam::unloadWindow() {
  close();
}

void frmWebCam::closeEvent(QCloseEvent* event) {
  bool cancel = false;
  Form_QueryUnload(cancel, windows::UnloadMode::FormControlMenu);
  // Closing is never refused; the window goes (WA_DeleteOnClose) and with
  // it its capture windows, so the next use loads it afresh.
  tmrMain->stop();
  event->accept();
}

void frmWebCam::keyPressEvent(QKeyEvent* event) {
  Form_KeyDown(ui::vbKeyCode(event->key()), ui::vbShiftState(event->modifiers()));
  event->accept();
}

void frmWebCam::showModal() {
  setWindowModality(Qt::ApplicationModal);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect centred = frameGeometry();
    centred.moveCenter(screen->availableGeometry().center());
    move(centred.topLeft());
  }
  QEventLoop loop;
  connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
  show();
  raise();
  activateWindow();
  setFocus();
  // The window deletes itself once closed; `this` is gone when exec returns.
  loop.exec(QEventLoop::DialogExec);
}
