#include "platform/video/formatdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSize>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/video/formatchoice.h"

namespace video {
namespace {

QString fourccName(std::uint32_t fourcc) {
  QString text;
  for (int i = 0; i < 4; ++i) text += QChar(static_cast<char>((fourcc >> (8 * i)) & 0xFF));
  return text.trimmed();
}

quint64 pack(Fraction f) {
  return static_cast<quint64>(f.numerator) << 32 | f.denominator;
}

Fraction unpack(quint64 v) {
  return {static_cast<std::uint32_t>(v >> 32), static_cast<std::uint32_t>(v & 0xFFFFFFFFu)};
}

void selectData(QComboBox* list, const QVariant& data) {
  const int at = list->findData(data);
  list->setCurrentIndex(at >= 0 ? at : 0);
}

}  // namespace

QString frameRateText(Fraction interval) {
  if (interval.numerator == 0 || interval.denominator == 0) return QString::fromUtf8("Varsayılan");
  const double fps = static_cast<double>(interval.denominator) / interval.numerator;
  QString number = QString::number(fps, 'f', 2);
  while (number.endsWith('0')) number.chop(1);
  if (number.endsWith('.')) number.chop(1);
  return number.replace('.', ',') + " kare/sn";
}

FormatDialog::FormatDialog(std::vector<PixelFormatInfo> formats, IntervalQuery intervals,
                           FormatOption current, QWidget* parent)
    : QDialog(parent),
      intervals_(std::move(intervals)),
      current_(current),
      formatList_(new QComboBox(this)),
      sizeList_(new QComboBox(this)),
      rateList_(new QComboBox(this)) {
  setWindowTitle(QString::fromUtf8("Görüntü Boyutu"));
  setObjectName("frmGoruntuBoyutu");
  formatList_->setObjectName("formatList");
  sizeList_->setObjectName("sizeList");
  rateList_->setObjectName("rateList");
  // A format the preview cannot show would leave the window black.
  std::copy_if(
      formats.begin(), formats.end(), std::back_inserter(formats_),
      [](const PixelFormatInfo& f) { return isShowableFourcc(f.fourcc) && !f.sizes.empty(); });

  auto* form = new QFormLayout;
  form->addRow(QString::fromUtf8("Biçim"), formatList_);
  form->addRow(QString::fromUtf8("Çözünürlük"), sizeList_);
  form->addRow(QString::fromUtf8("Kare Hızı"), rateList_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText("Tamam");
  buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8("İptal"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);

  for (const auto& f : formats_) {
    const QString description = QString::fromStdString(f.description);
    formatList_->addItem(description.isEmpty() ? fourccName(f.fourcc) : description,
                         QVariant::fromValue(f.fourcc));
  }
  selectData(formatList_, QVariant::fromValue(current_.fourcc));
  fillSizes();
  connect(formatList_, &QComboBox::currentIndexChanged, this, &FormatDialog::fillSizes);
  connect(sizeList_, &QComboBox::currentIndexChanged, this, &FormatDialog::fillRates);
  setMinimumWidth(320);
}

const PixelFormatInfo* FormatDialog::selectedFormat() const {
  const int at = formatList_->currentIndex();
  return at >= 0 && at < static_cast<int>(formats_.size()) ? &formats_[static_cast<std::size_t>(at)]
                                                           : nullptr;
}

// Ranges are offered as the common sizes on their steps: a list says which
// sizes the camera does well, where free spin boxes would invite sizes the
// driver only reaches by cropping or rescaling.
void FormatDialog::fillSizes() {
  const QSize keep = sizeList_->count() ? sizeList_->currentData().toSize()
                                        : QSize(current_.width, current_.height);
  QSignalBlocker block(sizeList_);
  sizeList_->clear();
  if (const PixelFormatInfo* format = selectedFormat()) {
    for (const auto& range : format->sizes)
      for (auto [w, h] : concreteSizes(range))
        if (sizeList_->findData(QSize(w, h)) < 0)
          sizeList_->addItem(QString::fromUtf8("%1 × %2").arg(w).arg(h), QSize(w, h));
  }
  selectData(sizeList_, keep);
  fillRates();
}

void FormatDialog::fillRates() {
  const quint64 keep = rateList_->count()
                           ? rateList_->currentData().toULongLong()
                           : pack({current_.intervalNumerator, current_.intervalDenominator});
  rateList_->clear();
  const PixelFormatInfo* format = selectedFormat();
  const QSize size = sizeList_->currentData().toSize();
  std::vector<Fraction> rates;
  if (format && intervals_ && size.isValid())
    rates = concreteIntervals(intervals_(format->fourcc, size.width(), size.height()));
  for (const Fraction& f : rates) rateList_->addItem(frameRateText(f), pack(f));
  if (rates.empty()) rateList_->addItem(frameRateText({}), pack({}));
  rateList_->setEnabled(!rates.empty());
  int at = rateList_->findData(keep);
  if (at < 0) at = rateList_->findData(pack({1, 30}));
  rateList_->setCurrentIndex(std::max(0, at));
}

FormatOption FormatDialog::chosen() const {
  const PixelFormatInfo* format = selectedFormat();
  if (!format) return current_;
  const QSize size = sizeList_->currentData().toSize();
  const Fraction rate = unpack(rateList_->currentData().toULongLong());
  return {format->fourcc, size.width(), size.height(), rate.numerator, rate.denominator};
}

}  // namespace video
