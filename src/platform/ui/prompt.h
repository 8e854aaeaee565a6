#pragma once
// The one seam for modal prompts. Windows call MsgBox and InputBox on the
// Prompter they were given (the program context's); the implementation decides
// how the question reaches the user (real dialogs in the program, scripted
// answers in the tests). Button sets, icons and answers keep the numbers of the
// original platform's message box.

#include <QString>
#include <vector>

namespace ui {

enum MsgBoxButtons : int {
  vbOKOnly = 0,
  vbOKCancel = 1,
  vbAbortRetryIgnore = 2,
  vbYesNoCancel = 3,
  vbYesNo = 4,
  vbRetryCancel = 5,
};

enum MsgBoxIcon : int {
  vbNoIcon = 0,
  vbCritical = 16,
  vbQuestion = 32,
  vbExclamation = 48,
  vbInformation = 64,
};

enum MsgBoxResult : int {
  vbOK = 1,
  vbCancel = 2,
  vbAbort = 3,
  vbRetry = 4,
  vbIgnore = 5,
  vbYes = 6,
  vbNo = 7,
};

// The title a prompt shows when it names none of its own.
QString applicationTitle();

// The answers a button set offers, left to right; the first is the default.
std::vector<MsgBoxResult> answersOf(MsgBoxButtons buttons);
// What Esc (or closing the box) answers: Cancel, else No, else the only OK.
MsgBoxResult escapeAnswer(MsgBoxButtons buttons);

class Prompter {
 public:
  virtual ~Prompter() = default;

  // A title left empty becomes the application's title.
  MsgBoxResult MsgBox(const QString& text, MsgBoxButtons buttons = vbOKOnly,
                      MsgBoxIcon icon = vbNoIcon, const QString& title = {});
  // The typed text on OK or Enter, an empty text on Cancel or Esc.
  QString InputBox(const QString& prompt, const QString& title = {},
                   const QString& defaultText = {});

 private:
  // How a prompt reaches the user; `title` is never empty here.
  virtual MsgBoxResult showMessage(const QString& text, MsgBoxButtons buttons, MsgBoxIcon icon,
                                   const QString& title) = 0;
  virtual QString askForText(const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;
};

}  // namespace ui
