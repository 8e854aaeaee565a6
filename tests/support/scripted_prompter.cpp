#include "support/scripted_prompter.h"

#include <QTest>
#include <algorithm>

namespace testsupport {
namespace {

void fail(const QString& why) {
  QTest::qFail(why.toUtf8().constData(), __FILE__, __LINE__);
}

}  // namespace

ScriptedPrompter::~ScriptedPrompter() {
  if (!answers_.empty() && !QTest::currentTestFailed()) {
    fail(QStringLiteral("%1 scripted answer(s) never asked for").arg(answers_.size()));
  }
}

ui::MsgBoxResult ScriptedPrompter::showMessage(const QString& text, ui::MsgBoxButtons buttons,
                                               ui::MsgBoxIcon icon, const QString& title) {
  prompts_.append({RecordedPrompt::Kind::Message, text, buttons, icon, title, {}});
  const ui::MsgBoxResult onEscape = ui::escapeAnswer(buttons);
  if (answers_.empty() || !std::holds_alternative<ui::MsgBoxResult>(answers_.front())) {
    fail(QStringLiteral("unexpected message box: \"%1\"").arg(text));
    return onEscape;
  }
  const ui::MsgBoxResult answer = std::get<ui::MsgBoxResult>(answers_.front());
  answers_.pop_front();
  const auto offered = ui::answersOf(buttons);
  if (std::find(offered.begin(), offered.end(), answer) == offered.end()) {
    fail(QStringLiteral("answer %1 is not a button of \"%2\"").arg(answer).arg(text));
    return onEscape;
  }
  return answer;
}

QString ScriptedPrompter::askForText(const QString& prompt, const QString& title,
                                     const QString& defaultText) {
  prompts_.append(
      {RecordedPrompt::Kind::Input, prompt, ui::vbOKCancel, ui::vbNoIcon, title, defaultText});
  if (answers_.empty() || !std::holds_alternative<QString>(answers_.front())) {
    fail(QStringLiteral("unexpected input box: \"%1\"").arg(prompt));
    return {};
  }
  QString typed = std::get<QString>(answers_.front());
  answers_.pop_front();
  return typed;
}

}  // namespace testsupport
