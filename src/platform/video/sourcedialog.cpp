#include "platform/video/sourcedialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>
#include <map>
#include <utility>

#include "platform/video/controllabels.h"
#include "platform/video/deviceprovider.h"

namespace video {
namespace {

constexpr int kGroupColumns = 2;

bool isWritable(const ControlInfo& c) {
  return !c.flags.readOnly && !c.flags.disabled && !c.flags.grabbed &&
         c.type != ControlType::Button;
}

// Auto switches decide for the controls they hold, so a change to them (or
// to any menu or switch) is followed by a fresh look at every control.
bool mayChangeOthers(const ControlInfo& c) {
  return c.type != ControlType::Integer || isAutoSwitch(c);
}

}  // namespace

SourceDialog::SourceDialog(ControlAccess access, QWidget* parent)
    : QDialog(parent), access_(std::move(access)) {
  setWindowTitle(QString::fromUtf8("Video Kaynağı"));
  setObjectName("frmVideoKaynagi");
  build(access_.read ? access_.read() : std::vector<ControlInfo>{});
}

void SourceDialog::build(const std::vector<ControlInfo>& controls) {
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  layout->addLayout(grid);
  // Groups in the device's order of classes.
  std::vector<std::uint32_t> classes;
  std::map<std::uint32_t, QFormLayout*> forms;
  for (const auto& c : controls) {
    if (c.flags.disabled) continue;
    if (forms.count(c.controlClass)) continue;
    auto* group = new QGroupBox(controlClassTitle(c.controlClass, c.className), this);
    forms[c.controlClass] = new QFormLayout(group);
    const int at = static_cast<int>(classes.size());
    classes.push_back(c.controlClass);
    grid->addWidget(group, at / kGroupColumns, at % kGroupColumns, Qt::AlignTop);
  }
  rows_.reserve(controls.size());
  for (const auto& c : controls) {
    if (c.flags.disabled) continue;
    Row& row = rows_.emplace_back();
    row.info = c;
    row.label = new QLabel(controlLabel(c), this);
    QWidget* editor = makeEditor(row);
    if (c.type == ControlType::Button)
      forms[c.controlClass]->addRow(editor);
    else
      forms[c.controlClass]->addRow(row.label, editor);
    showValue(row, c);
  }
  if (rows_.empty())
    layout->addWidget(new QLabel(QString::fromUtf8("Bu kameranın ayarı yok."), this));

  auto* buttons = new QDialogButtonBox(this);
  auto* defaults =
      buttons->addButton(QString::fromUtf8("Varsayılanlar"), QDialogButtonBox::ResetRole);
  auto* close = buttons->addButton("Kapat", QDialogButtonBox::RejectRole);
  defaults->setObjectName("defaultsButton");
  close->setObjectName("closeButton");
  defaults->setEnabled(!rows_.empty());
  connect(defaults, &QPushButton::clicked, this, &SourceDialog::restoreDefaults);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

QWidget* SourceDialog::makeEditor(Row& row) {
  const ControlInfo& c = row.info;
  const std::uint32_t id = c.id;
  switch (c.type) {
    case ControlType::Integer: {
      auto* box = new QWidget(this);
      auto* line = new QHBoxLayout(box);
      line->setContentsMargins(0, 0, 0, 0);
      auto* slider = new QSlider(Qt::Horizontal, box);
      slider->setRange(c.minimum, c.maximum);
      slider->setSingleStep(c.step);
      slider->setPageStep(std::max(c.step, (c.maximum - c.minimum) / 10));
      slider->setMinimumWidth(160);
      row.valueLabel = new QLabel(box);
      row.valueLabel->setMinimumWidth(row.valueLabel->fontMetrics().horizontalAdvance("-00000"));
      row.valueLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      line->addWidget(slider, 1);
      line->addWidget(row.valueLabel);
      connect(slider, &QSlider::valueChanged, this, [this, id](int value) { changed(id, value); });
      row.editor = slider;
      return box;
    }
    case ControlType::Boolean: {
      auto* check = new QCheckBox(this);
      connect(check, &QCheckBox::toggled, this, [this, id](bool on) { changed(id, on ? 1 : 0); });
      row.editor = check;
      return check;
    }
    case ControlType::Menu:
    case ControlType::IntegerMenu: {
      auto* list = new QComboBox(this);
      for (const auto& item : c.menu) list->addItem(menuItemLabel(c, item), item.index);
      connect(list, &QComboBox::activated, this,
              [this, id, list](int at) { changed(id, list->itemData(at).toInt()); });
      row.editor = list;
      return list;
    }
    case ControlType::Button: {
      auto* button = new QPushButton(controlLabel(c), this);
      connect(button, &QPushButton::clicked, this, [this, id] { changed(id, 1); });
      row.editor = button;
      return button;
    }
  }
  return nullptr;
}

const SourceDialog::Row* SourceDialog::rowFor(std::uint32_t id) const {
  const auto it =
      std::find_if(rows_.begin(), rows_.end(), [id](const Row& r) { return r.info.id == id; });
  return it == rows_.end() ? nullptr : &*it;
}

SourceDialog::Row* SourceDialog::rowFor(std::uint32_t id) {
  return const_cast<Row*>(std::as_const(*this).rowFor(id));
}

QWidget* SourceDialog::editorFor(std::uint32_t id) const {
  const Row* row = rowFor(id);
  return row ? row->editor : nullptr;
}

QLabel* SourceDialog::valueLabelFor(std::uint32_t id) const {
  const Row* row = rowFor(id);
  return row ? row->valueLabel : nullptr;
}

void SourceDialog::showValue(Row& row, const ControlInfo& info) {
  row.info = info;
  const bool editable = info.isEditable();
  row.editor->setEnabled(editable);
  row.label->setEnabled(editable);
  if (row.valueLabel) {
    row.valueLabel->setEnabled(editable);
    row.valueLabel->setText(QString::number(info.value));
  }
  const QSignalBlocker block(row.editor);
  if (auto* slider = qobject_cast<QSlider*>(row.editor)) {
    slider->setValue(info.value);
  } else if (auto* check = qobject_cast<QCheckBox*>(row.editor)) {
    check->setChecked(info.value != 0);
  } else if (auto* list = qobject_cast<QComboBox*>(row.editor)) {
    list->setCurrentIndex(list->findData(info.value));
  }
}

void SourceDialog::changed(std::uint32_t id, std::int32_t value) {
  Row* row = rowFor(id);
  if (!row || !access_.write) return;
  const auto written = access_.write(id, value);
  if (!written) {
    qCDebug(lcVideo) << "control" << Qt::hex << id << "refused" << Qt::dec << value << ":"
                     << written.error().message().c_str();
    refresh();  // show what the device kept
    return;
  }
  row->info.value = value;
  if (row->valueLabel) row->valueLabel->setText(QString::number(value));
  if (mayChangeOthers(row->info)) refresh();
  emit controlChanged();
}

void SourceDialog::refresh() {
  if (!access_.read) return;
  for (const auto& info : access_.read())
    if (Row* row = rowFor(info.id)) showValue(*row, info);
}

void SourceDialog::restoreDefaults() {
  if (!access_.write || !access_.read) return;
  const auto writeDefaults = [this](bool autoSwitches) {
    for (const auto& c : access_.read()) {
      if (!isWritable(c) || isAutoSwitch(c) != autoSwitches) continue;
      // A control its switch still holds may refuse; it keeps its value then.
      if (const auto written = access_.write(c.id, c.defaultValue); !written)
        qCDebug(lcVideo) << "default of" << c.name.c_str() << "refused";
    }
  };
  writeDefaults(true);
  writeDefaults(false);
  refresh();
  emit controlChanged();
}

}  // namespace video
