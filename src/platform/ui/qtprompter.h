#pragma once
// Prompts as Qt dialogs, modal over the active window. The standard buttons
// take their texts from Qt's translations, so they read "Evet", "Hayır",
// "Tamam" once the Turkish catalogue is loaded.

#include "platform/ui/prompt.h"

namespace ui {

class QtPrompter final : public Prompter {
 private:
  MsgBoxResult showMessage(const QString& text, MsgBoxButtons buttons, MsgBoxIcon icon,
                           const QString& title) override;
  QString askForText(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
};

}  // namespace ui
