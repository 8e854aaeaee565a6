#include "rules/form1_rules.h"

namespace rules {

QString qualityCaption(int position) {
  return QStringLiteral("Resim Kalitesi(%1)").arg(position);
}

}  // namespace rules
