// The target folder: the drive and folder lists, the history behind the back
// and forward buttons, a new sub-folder, and the remembered folder.
// folderHistory is the history; pathbox's list only shows it (showHistory).

#include <QDir>
#include <QSignalBlocker>
#include <QToolButton>

#include "platform/ui/dirlistbox.h"
#include "platform/ui/drivelistbox.h"
#include "platform/ui/prompt.h"
#include "platform/ui/simplecombobox.h"
#include "rules/form1_rules.h"
#include "settings/Module1.h"
#include "windows/windowregistry.h"
#include "workspace/form1.h"

void Form1::connectFolder() {
  connect(Drive1, &ui::DriveListBox::changed, this, [this] { Drive1_Change(); });
  connect(Dir1, &ui::DirListBox::changed, this, [this] { Dir1_Change(); });
  connect(pathbox, &QComboBox::editTextChanged, this, [this] { pathbox_Change(); });
  for (int index : {0, 1}) {
    connect(hrkt[index], &QToolButton::clicked, this, [this, index] { hrkt_Click(index); });
  }
  connect(Yeniklsr, &QToolButton::clicked, this, [this] { Yeniklsr_Click(); });
}

void Form1::storePath(const QString& folder) {
  if (!unrepresentedPath.isEmpty()) {
    // Written back, the stand-in would replace the bytes it stands for.
    if (folder.trimmed() == unrepresentedPath.trimmed()) {
      qCDebug(lcWorkspace) << "the stored folder is kept as it is stored:" << folder;
      return;
    }
    unrepresentedPath.clear();
  }
  settings().saveStringValue(Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(),
                             QStringLiteral("Path"), folder);
}

void Form1::showHistory() {
  const QStringList& entries = folderHistory.entries();
  // The history only grows or has an entry replaced, so the list is brought
  // into step entry by entry rather than rebuilt.
  for (int i = 0; i < entries.size(); ++i) {
    if (i == pathbox->count()) {
      pathbox->addItem(entries[i]);
    } else if (pathbox->itemText(i) != entries[i]) {
      pathbox->setItemText(i, entries[i]);
    }
  }
  while (pathbox->count() > entries.size()) pathbox->removeItem(pathbox->count() - 1);
  pathbox->setCurrentIndex(folderHistory.current());
  // An entry replaced in place keeps the index; the box shows its new text.
  if (folderHistory.current() >= 0 && pathbox->currentText() != folderHistory.currentFolder()) {
    pathbox->setEditText(folderHistory.currentFolder());
  }
}

bool Form1::folderReadable(const QString& folder) const {
  const auto readable = windows_.context().drives.probe(folder);
  if (!readable) qCDebug(lcWorkspace) << "cannot read" << readable.error().message().c_str();
  return readable.ok();
}

void Form1::Drive1_Change() {
  if (enterDrive()) {
    lastDriveIndex = static_cast<std::int16_t>(Drive1->currentIndex());
    return;
  }
  if (restoringDrive_) {
    // The drive being put back cannot be read either: the outer rule settles it.
    restoredDriveFailed_ = true;
    return;
  }
  prompter().MsgBox(QStringLiteral("Sürücüde Disk/Disket Yok"), ui::vbOKOnly, ui::vbNoIcon);
  const int failed = Drive1->currentIndex();
  restoringDrive_ = true;
  restoredDriveFailed_ = false;
  Drive1->setCurrentIndex(lastDriveIndex);
  restoringDrive_ = false;
  if (restoredDriveFailed_ || Drive1->currentIndex() == failed) {
    // Nothing to go back to: show the drive of the folder still shown, quietly.
    const QSignalBlocker quiet(Drive1);
    Drive1->setCurrentIndex(ui::volumeIndexFor(Drive1->volumes(), Dir1->path()));
    lastDriveIndex = static_cast<std::int16_t>(Drive1->currentIndex());
  }
}

bool Form1::enterDrive() {
  const QString drive = Drive1->drive();
  if (drive.isEmpty()) return false;
  // A drive has no current folder of its own here: the folder shown stays
  // when it lies on the chosen drive, otherwise the drive's top folder.
  const bool folderOnDrive =
      ui::volumeIndexFor(Drive1->volumes(), Dir1->path()) == Drive1->currentIndex();
  const QString folder = folderOnDrive ? Dir1->path() : drive;
  if (!folderReadable(folder)) return false;
  if (!Dir1->setPath(folder)) return false;           // 1 (the folder rule runs)
  if (!QDir::setCurrent(Dir1->path())) return false;  // 2
  return true;                                        // 3 by the caller
}

void Form1::Dir1_Change() {
  // A failing step ends the rule silently; what is done stays done.
  if (!QDir::setCurrent(Dir1->path())) {
    qCDebug(lcWorkspace) << "cannot make the folder current:" << Dir1->path();
    return;
  }
  if (recordHistory) {
    folderHistory.add(Dir1->path());
    showHistory();
  }
  updateHistoryButtons();
  recordHistory = true;
  Dir1->refresh();
  storePath(pathbox->currentText().trimmed());
}

void Form1::updateHistoryButtons() {
  const rules::HistoryButtons buttons = folderHistory.buttons();
  hrkt[0]->setEnabled(buttons.backEnabled);
  hrkt[1]->setEnabled(buttons.forwardEnabled);
  hrkt[0]->setToolTip(buttons.backToolTip);
  hrkt[1]->setToolTip(buttons.forwardToolTip);
}

void Form1::hrkt_Click(int index) {
  const bool back = index == 0;
  if (!(back ? folderHistory.back() : folderHistory.forward())) return;  // 1
  showHistory();
  const QString folder = pathbox->currentText().trimmed();
  const auto notFound = [this, back, &folder] {
    // The folder went away (or its drive did): stay where we were and say so.
    back ? folderHistory.forward() : folderHistory.back();
    showHistory();
    updateHistoryButtons();
    prompter().MsgBox(QStringLiteral("Klasör bulunamadı: %1").arg(folder), ui::vbOKOnly,
                      ui::vbExclamation, QStringLiteral("Velmora Photo"));
  };
  if (!folderReadable(folder)) return notFound();
  recordHistory = false;                       // 2
  const auto entered = Dir1->setPath(folder);  // 3: the folder rule runs
  // The same folder twice in a row (a stored folder, at start-up) is no
  // change: no folder rule takes the False back, and the next visit would go
  // unrecorded.
  recordHistory = true;
  if (!entered) return notFound();
  (void)Drive1->setDrive(Dir1->path());  // 4: the drive rule runs for another drive
  updateHistoryButtons();                // 5
}

void Form1::pathbox_Change() {
  pathbox->setToolTip(pathbox->currentText());
}

void Form1::Yeniklsr_Click() {
  const QString answer = prompter().InputBox(
      QStringLiteral("Yeni oluşturulacak olan klasörün adını giriniz"),
      QStringLiteral("Yeni Klasör Oluştur"), QStringLiteral("Ek Ders Belgeleri"));
  if (answer.isEmpty()) return;  // also Cancel
  const QString name = answer.trimmed();
  // A failure ends the rule silently; a name that is no single folder name
  // ("..", "a/b") is such a failure, so nothing is made outside the folder.
  if (!rules::isPlainFolderName(name)) return;
  if (!QDir(pathbox->currentText().trimmed()).mkdir(name)) return;
  Dir1->refresh();
  (void)Dir1->setPath(Dir1->path() + QLatin1Char('/') + name);  // the folder rule records it
}
