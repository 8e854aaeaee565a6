#include "settings/photo.h"

#include <QFile>

#include "platform/files/find_file.h"
#include "platform/imaging/target_file.h"
#include "platform/ui/prompt.h"
#include "settings/Module1.h"

namespace Photo {
namespace {

Overwrite allowedWithoutAside(const QString& target) {
  return Overwrite(true, files::SetAside(), target);
}

bool userAgrees(ui::Prompter& prompter) {
  const auto answer = prompter.MsgBox(
      QStringLiteral("Girmiş olduğunuz dosya adı zaten mevcut. Varolan dosyayı değişirmek "
                     "istiyormusunuz?"),
      ui::vbYesNo, ui::vbQuestion, QStringLiteral("Velmora Photo"));
  return answer == ui::vbYes;
}

}  // namespace

bool Overwrite::commit() {
  const auto error = aside_.commit();
  if (error) qCWarning(lcSettings) << "set-aside copy not removed:" << error.message().c_str();
  return !error;
}

bool Overwrite::restore() {
  const auto error = aside_.restore();
  if (error) qCWarning(lcSettings) << "old file not put back:" << error.message().c_str();
  return !error;
}

Overwrite confirmOverwrite(const QString& path, ui::Prompter& prompter) {
  const auto existing = files::findFileIgnoringCase(QFile::encodeName(path).toStdString());
  if (!existing) return allowedWithoutAside(path);
  if (!userAgrees(prompter)) return Overwrite(false, files::SetAside(), path);

  // The codec refuses to replace a read-only file; leaving it where it is
  // lets the caller's write meet it and report that.
  const QString existingName = QFile::decodeName(existing->string().c_str());
  if (!imaging::checkTargetWritable(existing->string())) return allowedWithoutAside(existingName);
  auto aside = files::SetAside::move(*existing);
  if (!aside) {
    qCDebug(lcSettings) << "old file not moved aside:" << aside.error().message().c_str();
    return allowedWithoutAside(existingName);
  }
  return Overwrite(true, std::move(*aside), path);
}

}  // namespace Photo
