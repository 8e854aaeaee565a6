#pragma once
// Answers the program's prompts from a queue and records every one of them
// (text, buttons, icon, title), so a test checks what the user would have seen.
// A prompt with no answer queued, or of another kind than the next answer,
// fails the running test and is answered as Esc would answer it; answers left
// unused at the end fail the test too. A test hands it to the code it tests
// (the program context's prompter, a parameter).

#include <QList>
#include <QString>
#include <deque>
#include <variant>

#include "platform/ui/prompt.h"

namespace testsupport {

struct RecordedPrompt {
  enum class Kind { Message, Input };
  Kind kind = Kind::Message;
  QString text;  // message text or input prompt
  ui::MsgBoxButtons buttons = ui::vbOKOnly;
  ui::MsgBoxIcon icon = ui::vbNoIcon;
  QString title;
  QString defaultText;  // input boxes only
};

class ScriptedPrompter final : public ui::Prompter {
 public:
  ScriptedPrompter() = default;
  ~ScriptedPrompter() override;
  ScriptedPrompter(const ScriptedPrompter&) = delete;
  ScriptedPrompter& operator=(const ScriptedPrompter&) = delete;

  // Queues the answer to the next message box / input box (empty text = Cancel).
  void answerMessage(ui::MsgBoxResult answer) { answers_.emplace_back(answer); }
  void answerInput(const QString& typed) { answers_.emplace_back(typed); }

  const QList<RecordedPrompt>& prompts() const { return prompts_; }
  qsizetype pendingAnswers() const { return static_cast<qsizetype>(answers_.size()); }

 private:
  ui::MsgBoxResult showMessage(const QString& text, ui::MsgBoxButtons buttons, ui::MsgBoxIcon icon,
                               const QString& title) override;
  QString askForText(const QString& prompt, const QString& title,
                     const QString& defaultText) override;

  QList<RecordedPrompt> prompts_;
  std::deque<std::variant<ui::MsgBoxResult, QString>> answers_;
};

}  // namespace testsupport
