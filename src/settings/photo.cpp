#include "settings/photo.h"

#include <QFile>

#include "platform/files/case_fold.h"
#include "platform/files/replace.h"
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
  const auto done = aside_.commit();
  if (!done)
    qCWarning(lcSettings) << "set-aside copy not removed:" << done.error().message().c_str();
  return done.ok();
}

bool Overwrite::restore() {
  const auto done = aside_.restore();
  if (!done) qCWarning(lcSettings) << "old file not put back:" << done.error().message().c_str();
  return done.ok();
}

Overwrite confirmOverwrite(const QString& path, ui::Prompter& prompter) {
  const auto existing = files::findFileIgnoringCase(QFile::encodeName(path).toStdString());
  if (!existing) return allowedWithoutAside(path);
  if (!userAgrees(prompter)) return Overwrite(false, files::SetAside(), path);

  // Writes refuse to replace a read-only file; leaving it where it is lets
  // the caller's write meet it and report that.
  const QString existingName = QFile::decodeName(existing->c_str());
  if (!files::writableTarget(*existing)) return allowedWithoutAside(existingName);
  auto aside = files::SetAside::move(*existing);
  if (!aside) {
    qCDebug(lcSettings) << "old file not moved aside:" << aside.error().message().c_str();
    return allowedWithoutAside(existingName);
  }
  return Overwrite(true, std::move(*aside), path);
}

}  // namespace Photo
