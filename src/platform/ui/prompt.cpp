#include "platform/ui/prompt.h"

namespace ui {
namespace {

QString titleOrDefault(const QString& title) {
  return title.isEmpty() ? applicationTitle() : title;
}

}  // namespace

QString applicationTitle() {
  return QStringLiteral("Velmora Photo");
}

std::vector<MsgBoxResult> answersOf(MsgBoxButtons buttons) {
  switch (buttons) {
    case vbOKCancel:
      return {vbOK, vbCancel};
    case vbAbortRetryIgnore:
      return {vbAbort, vbRetry, vbIgnore};
    case vbYesNoCancel:
      return {vbYes, vbNo, vbCancel};
    case vbYesNo:
      return {vbYes, vbNo};
    case vbRetryCancel:
      return {vbRetry, vbCancel};
    case vbOKOnly:
      break;
  }
  return {vbOK};
}

MsgBoxResult escapeAnswer(MsgBoxButtons buttons) {
  const auto answers = answersOf(buttons);
  for (MsgBoxResult wanted : {vbCancel, vbNo}) {
    for (MsgBoxResult answer : answers) {
      if (answer == wanted) return answer;
    }
  }
  // Abort/Retry/Ignore has no way out; Abort is the one that backs off.
  return answers.front();
}

MsgBoxResult Prompter::MsgBox(const QString& text, MsgBoxButtons buttons, MsgBoxIcon icon,
                              const QString& title) {
  return showMessage(text, buttons, icon, titleOrDefault(title));
}

QString Prompter::InputBox(const QString& prompt, const QString& title,
                           const QString& defaultText) {
  return askForText(prompt, titleOrDefault(title), defaultText);
}

}  // namespace ui
