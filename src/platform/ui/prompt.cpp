#include "platform/ui/prompt.h"

#include "platform/ui/qtprompter.h"

namespace ui {
namespace {

Prompter* lentPrompter = nullptr;

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

Prompter* setPrompter(Prompter* prompter) {
  Prompter* previous = lentPrompter;
  lentPrompter = prompter;
  return previous;
}

Prompter& currentPrompter() {
  static QtPrompter dialogs;
  return lentPrompter ? *lentPrompter : dialogs;
}

MsgBoxResult MsgBox(const QString& text, MsgBoxButtons buttons, MsgBoxIcon icon,
                    const QString& title) {
  return currentPrompter().msgBox(text, buttons, icon, titleOrDefault(title));
}

QString InputBox(const QString& prompt, const QString& title, const QString& defaultText) {
  return currentPrompter().inputBox(prompt, titleOrDefault(title), defaultText);
}

}  // namespace ui
