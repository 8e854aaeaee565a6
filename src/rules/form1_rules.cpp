#include "rules/form1_rules.h"

namespace rules {

QString qualityCaption(int position) {
  return QStringLiteral("Resim Kalitesi(%1)").arg(position);
}

QString photoBasePath(const QString& folder, const QString& prefix, const QString& number) {
  return folder + QLatin1Char('/') + prefix.trimmed() + number.trimmed();
}

PhotoName checkPhotoName(const QString& prefix, const QString& number) {
  const QString stem = prefix.trimmed() + number.trimmed();
  if (stem.contains(QLatin1Char('/'))) return PhotoName::ContainsSlash;
  if (stem.contains(QChar(u'\0'))) return PhotoName::ContainsNul;
  if (stem == QLatin1String(".") || stem == QLatin1String("..")) return PhotoName::NamesAFolder;
  return PhotoName::Acceptable;
}

QString nextCounter(const QString& counter) {
  return QString::number(static_cast<long long>(leadingNumber(counter)) + 1);
}

QString counterNumberText(const QString& counter) {
  return counter.rightJustified(3, QLatin1Char('0'));
}

bool isPlainFolderName(const QString& name) {
  return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
         !name.contains(QLatin1Char('/')) && !name.contains(QChar(u'\0'));
}

}  // namespace rules
