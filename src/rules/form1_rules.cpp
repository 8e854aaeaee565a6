#include "rules/form1_rules.h"

namespace rules {

QString qualityCaption(int position) {
  return QStringLiteral("Resim Kalitesi(%1)").arg(position);
}

bool isPlainFolderName(const QString& name) {
  return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
         !name.contains(QLatin1Char('/')) && !name.contains(QChar(u'\0'));
}

}  // namespace rules
