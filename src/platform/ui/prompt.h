#pragma once
// The one seam for modal prompts. Windows call MsgBox and InputBox; the
// installed Prompter decides how the question reaches the user (real dialogs in
// the program, scripted answers in the tests). Button sets, icons and answers
// keep the numbers of the original platform's message box.

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
  // `title` is never empty here: the seam has already put the application's title in.
  virtual MsgBoxResult msgBox(const QString& text, MsgBoxButtons buttons, MsgBoxIcon icon,
                              const QString& title) = 0;
  // The typed text on OK, an empty text on Cancel.
  virtual QString inputBox(const QString& prompt, const QString& title,
                           const QString& defaultText) = 0;
};

// Lends `prompter` to the seam (nullptr puts the Qt dialogs back); returns the
// one lent before so a scope can restore it.
Prompter* setPrompter(Prompter* prompter);
Prompter& currentPrompter();

MsgBoxResult MsgBox(const QString& text, MsgBoxButtons buttons = vbOKOnly,
                    MsgBoxIcon icon = vbNoIcon, const QString& title = {});
QString InputBox(const QString& prompt, const QString& title = {}, const QString& defaultText = {});

}  // namespace ui
