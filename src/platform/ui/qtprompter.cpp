#include "platform/ui/qtprompter.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace ui {
namespace {

QMessageBox::Icon qtIcon(MsgBoxIcon icon) {
  switch (icon) {
    case vbCritical:
      return QMessageBox::Critical;
    case vbQuestion:
      return QMessageBox::Question;
    case vbExclamation:
      return QMessageBox::Warning;
    case vbInformation:
      return QMessageBox::Information;
    case vbNoIcon:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButton qtButton(MsgBoxResult answer) {
  switch (answer) {
    case vbOK:
      return QMessageBox::Ok;
    case vbCancel:
      return QMessageBox::Cancel;
    case vbAbort:
      return QMessageBox::Abort;
    case vbRetry:
      return QMessageBox::Retry;
    case vbIgnore:
      return QMessageBox::Ignore;
    case vbYes:
      return QMessageBox::Yes;
    case vbNo:
      return QMessageBox::No;
  }
  return QMessageBox::Ok;
}

}  // namespace

MsgBoxResult QtPrompter::showMessage(const QString& text, MsgBoxButtons buttons, MsgBoxIcon icon,
                                     const QString& title) {
  QMessageBox box(qtIcon(icon), title, text, QMessageBox::NoButton, QApplication::activeWindow());
  const auto answers = answersOf(buttons);
  for (MsgBoxResult answer : answers) {
    QPushButton* button = box.addButton(qtButton(answer));
    if (answer == answers.front()) box.setDefaultButton(button);
  }
  const MsgBoxResult onEscape = escapeAnswer(buttons);
  box.setEscapeButton(box.button(qtButton(onEscape)));
  box.exec();
  for (MsgBoxResult answer : answers) {
    if (box.clickedButton() == box.button(qtButton(answer))) return answer;
  }
  return onEscape;
}

QString QtPrompter::askForText(const QString& prompt, const QString& title,
                               const QString& defaultText) {
  QInputDialog dialog(QApplication::activeWindow());
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setWindowTitle(title);
  dialog.setLabelText(prompt);
  dialog.setTextValue(defaultText);
  // Typing replaces the suggested name, as users expect of such a box.
  QTimer::singleShot(0, &dialog, [&dialog] {
    if (auto* edit = dialog.findChild<QLineEdit*>()) edit->selectAll();
  });
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.textValue();
}

}  // namespace ui
