#include "platform/video/controllabels.h"

#include <linux/videodev2.h>

#include <algorithm>

namespace video {
namespace {

struct Label {
  std::uint32_t id;
  const char* text;
};

constexpr Label kControls[] = {
    {V4L2_CID_BRIGHTNESS, "Parlaklık"},
    {V4L2_CID_CONTRAST, "Karşıtlık"},
    {V4L2_CID_SATURATION, "Doygunluk"},
    {V4L2_CID_HUE, "Renk Tonu"},
    {V4L2_CID_HUE_AUTO, "Otomatik Renk Tonu"},
    {V4L2_CID_GAMMA, "Gama"},
    {V4L2_CID_GAIN, "Kazanç"},
    {V4L2_CID_AUTOGAIN, "Otomatik Kazanç"},
    {V4L2_CID_SHARPNESS, "Keskinlik"},
    {V4L2_CID_BACKLIGHT_COMPENSATION, "Arka Işık Telafisi"},
    {V4L2_CID_AUTO_WHITE_BALANCE, "Otomatik Beyaz Dengesi"},
    {V4L2_CID_WHITE_BALANCE_TEMPERATURE, "Beyaz Dengesi"},
    {V4L2_CID_POWER_LINE_FREQUENCY, "Güç Hattı Frekansı"},
    {V4L2_CID_HFLIP, "Yatay Çevir"},
    {V4L2_CID_VFLIP, "Dikey Çevir"},
    {V4L2_CID_EXPOSURE, "Pozlama"},
    {V4L2_CID_EXPOSURE_AUTO, "Otomatik Pozlama"},
    {V4L2_CID_EXPOSURE_ABSOLUTE, "Pozlama"},
    {V4L2_CID_EXPOSURE_AUTO_PRIORITY, "Pozlama Önceliği"},
    {V4L2_CID_FOCUS_ABSOLUTE, "Odak"},
    {V4L2_CID_FOCUS_AUTO, "Otomatik Odak"},
    {V4L2_CID_ZOOM_ABSOLUTE, "Yakınlaştırma"},
    {V4L2_CID_PAN_ABSOLUTE, "Yatay Kaydırma"},
    {V4L2_CID_TILT_ABSOLUTE, "Dikey Kaydırma"},
    {V4L2_CID_PRIVACY, "Gizlilik"},
};

struct ItemLabel {
  std::uint32_t id;
  std::uint32_t index;
  const char* text;
};

constexpr ItemLabel kItems[] = {
    {V4L2_CID_POWER_LINE_FREQUENCY, V4L2_CID_POWER_LINE_FREQUENCY_DISABLED, "Kapalı"},
    {V4L2_CID_POWER_LINE_FREQUENCY, V4L2_CID_POWER_LINE_FREQUENCY_50HZ, "50 Hz"},
    {V4L2_CID_POWER_LINE_FREQUENCY, V4L2_CID_POWER_LINE_FREQUENCY_60HZ, "60 Hz"},
    {V4L2_CID_POWER_LINE_FREQUENCY, V4L2_CID_POWER_LINE_FREQUENCY_AUTO, "Otomatik"},
    {V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_AUTO, "Otomatik"},
    {V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_MANUAL, "Elle"},
    {V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_SHUTTER_PRIORITY, "Enstantane Öncelikli"},
    {V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_APERTURE_PRIORITY, "Otomatik (Diyafram Öncelikli)"},
};

constexpr std::uint32_t kAutoSwitches[] = {V4L2_CID_EXPOSURE_AUTO, V4L2_CID_AUTO_WHITE_BALANCE,
                                           V4L2_CID_FOCUS_AUTO,    V4L2_CID_AUTOGAIN,
                                           V4L2_CID_HUE_AUTO,      V4L2_CID_AUTOBRIGHTNESS};

}  // namespace

QString controlLabel(const ControlInfo& control) {
  for (const auto& label : kControls)
    if (label.id == control.id) return QString::fromUtf8(label.text);
  return QString::fromStdString(control.name);
}

QString menuItemLabel(const ControlInfo& control, const MenuItem& item) {
  if (control.type == ControlType::IntegerMenu) return QString::number(item.number);
  for (const auto& label : kItems)
    if (label.id == control.id && label.index == item.index) return QString::fromUtf8(label.text);
  return QString::fromStdString(item.name);
}

QString controlClassTitle(std::uint32_t controlClass, const std::string& driverName) {
  if (controlClass == V4L2_CTRL_CLASS_USER) return QString::fromUtf8("Görüntü");
  if (controlClass == V4L2_CTRL_CLASS_CAMERA) return QStringLiteral("Kamera");
  if (!driverName.empty()) return QString::fromStdString(driverName);
  return QString::fromUtf8("Diğer");
}

bool isAutoSwitch(const ControlInfo& control) {
  return control.flags.updatesOthers ||
         std::find(std::begin(kAutoSwitches), std::end(kAutoSwitches), control.id) !=
             std::end(kAutoSwitches);
}

}  // namespace video
