#pragma once
// The about box "Velmora Photo V1.0 Beta": the banner, the program's version,
// a notice on the terms of use, the system information program and the
// maker's web page. Modeless; "Tamam" (also Enter and Esc) unloads it.

#include <QDialog>

namespace windows {
struct ProgramContext;
}

namespace about {
class WebLinkLabel;
}

class QFrame;
class QLabel;
class QPushButton;

class hakkinda : public QDialog {
  Q_OBJECT
 public:
  // `context` is lent: its prompter, web page opener, machine-wide store and
  // search path are used while the window lives.
  explicit hakkinda(const windows::ProgramContext& context, QWidget* parent = nullptr);

  void Form_Load();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Label2_Click();
  void StartSysInfo();

  QLabel* Image1 = nullptr;
  about::WebLinkLabel* Label2 = nullptr;
  QPushButton* Command3 = nullptr;
  QLabel* lblversion = nullptr;
  QFrame* Line1 = nullptr;
  QPushButton* Command2 = nullptr;
  QPushButton* Command1 = nullptr;

 private:
  void createControls();

  const windows::ProgramContext& context_;
};
