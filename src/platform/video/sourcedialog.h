#pragma once
// "Video Kaynağı": every control the camera reports, one group per control
// class. Integers are sliders with their value beside them, booleans check
// boxes, menus lists, buttons buttons. Each change reaches the device at once;
// controls an auto switch holds are disabled and follow it as it changes.

#include <QDialog>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/base/expected.h"
#include "platform/base/system_error.h"
#include "platform/video/capturedevice.h"

class QLabel;

namespace video {

// How the dialog reaches the device: lent by the capture window, which
// answers with nothing once the camera is gone.
struct ControlAccess {
  std::function<std::vector<ControlInfo>()> read;
  std::function<base::Expected<void, base::SystemError>(std::uint32_t id, std::int32_t value)>
      write;
};

class SourceDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit SourceDialog(ControlAccess access, QWidget* parent = nullptr);

  // The slider, check box, list or button of control `id`; null when the
  // dialog shows no such control.
  QWidget* editorFor(std::uint32_t id) const;
  // The text beside a slider, showing its value.
  QLabel* valueLabelFor(std::uint32_t id) const;
  // Every writable control back to the device's default, auto switches
  // first so that the controls they free take their defaults too.
  void restoreDefaults();

 signals:
  void controlChanged();

 private:
  struct Row {
    ControlInfo info;
    QWidget* editor = nullptr;
    QLabel* label = nullptr;
    QLabel* valueLabel = nullptr;
  };

  void build(const std::vector<ControlInfo>& controls);
  QWidget* makeEditor(Row& row);
  void changed(std::uint32_t id, std::int32_t value);
  // Values and flags as the device has them now.
  void refresh();
  void showValue(Row& row, const ControlInfo& info);
  Row* rowFor(std::uint32_t id);
  const Row* rowFor(std::uint32_t id) const;

  ControlAccess access_;
  std::vector<Row> rows_;
};

}  // namespace video
