#pragma once
// The module Photo: asking before a user-named picture file is replaced.
//
// Yes does not delete the old file: it is moved aside in its own folder, so
// that a replacement that then fails to be written costs the user nothing.
// The caller keeps the returned Overwrite while it writes, then calls commit()
// when its new file is in place, or restore() when the write failed. An
// Overwrite dropped without either puts the old file back if its name is
// still free.

#include <QString>

#include "platform/files/set_aside.h"

namespace ui {
class Prompter;
}

namespace Photo {

class [[nodiscard]] Overwrite {
 public:
  Overwrite(bool allowed, files::SetAside aside, QString target)
      : allowed_(allowed), aside_(std::move(aside)), target_(std::move(target)) {}

  // True: the caller may write the file; false: the user declined.
  bool allowed() const { return allowed_; }
  explicit operator bool() const { return allowed_; }
  // Whether an old file is being held aside (Yes was answered and the move worked).
  bool holdsOldFile() const { return aside_.holdsFile(); }
  // Where the caller writes: the name asked for, except when an old file whose
  // name differs only in letter case stays where it is (read-only, or not
  // movable). Then its own name, so the write replaces that file or fails on
  // it, rather than making a second file beside it.
  const QString& target() const { return target_; }

  // The new file is in place: the old copy is discarded. False if it could not be removed.
  bool commit();
  // The write failed: the old file goes back under its name.
  bool restore();

 private:
  bool allowed_;
  files::SetAside aside_;
  QString target_;
};

// No such file (a name differing only in letter case counts as the same
// file), or any failure of the check: allowed, without a question.
// Otherwise asks "Girmiş olduğunuz dosya adı zaten mevcut. ..." (Yes/No,
// question icon, title "Velmora Photo"): No gives not allowed; Yes moves the
// old file aside and gives allowed. A read-only file is not moved: allowed is
// still given, and the caller's write (at target()) meets the file and fails.
// The question goes to the user through `prompter`.
Overwrite confirmOverwrite(const QString& path, ui::Prompter& prompter);

}  // namespace Photo
