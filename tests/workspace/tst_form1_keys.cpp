// Every command key runs its command exactly once per press: wherever the
// focus is when the key goes down (a text box, the camera box, the workspace
// itself, the preview window), and wherever the command's nested event
// processing moves the focus before Qt hands the ignored press on to the
// parents of the control that had it.

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLineEdit>

#include "browser/frmonizle.h"
#include "support/sandbox.h"
#include "support/scripted_prompter.h"
#include "workspace_fixture.h"

using testsupport::ProgramWindows;

namespace {

// What a key's command leaves behind, so that the runs can be counted.
enum class Command {
  Photo,           // the waiting notice is shown once per photo
  UnsavedPhoto,    // one error box per photo that cannot be written
  PreviewNoPhoto,  // one "take a photo first" box per preview
  End,             // one ending of the program
};

const QString kNoPhoto = QStringLiteral("Lütfen Önce bir Fotoğraf çekiniz");
const QString kUnsaved = QStringLiteral("Fotoğraf geçici dosyaya yazılamadı: ");

// Counts how often a widget is shown.
class ShowCounter : public QObject {
 public:
  explicit ShowCounter(QWidget& widget) { widget.installEventFilter(this); }
  int count() const { return count_; }

 protected:
  bool eventFilter(QObject* /*watched*/, QEvent* event) override {
    if (event->type() == QEvent::Show) ++count_;
    return false;
  }

 private:
  int count_ = 0;
};

// The widget that has the focus when the key goes down, given the focus.
QWidget* focusPlace(ProgramWindows& program, const QString& place) {
  Form1& form = *program.form;
  QWidget* target = nullptr;
  if (place == QLatin1String("a text box")) {
    target = form.txtEn;
  } else if (place == QLatin1String("the camera box")) {
    target = form.cmbCamList;
  } else if (place == QLatin1String("the workspace itself")) {
    target = &form;
  } else if (place == QLatin1String("the preview window")) {
    form.mnuOnPen->trigger();
    target = program.registry.find<frmOnizle>();
  }
  if (!target) return nullptr;
  target->setFocus();
  return QTest::qWaitFor([target] { return QApplication::focusWidget() == target; }) ? target
                                                                                     : nullptr;
}

// Moves the focus the next time pending events run, which is inside the command.
void moveFocusDuringTheCommand(Form1& form, const QString& move) {
  QMetaObject::invokeMethod(
      &form,
      [&form, move] {
        if (move == QLatin1String("the focus goes")) {
          if (QWidget* focus = QApplication::focusWidget()) focus->clearFocus();
        } else if (move == QLatin1String("the workspace takes the focus")) {
          form.setFocus();
        }
      },
      Qt::QueuedConnection);
}

// The program for one case: a capture that cannot be written needs a program
// folder and a cache folder that cannot be made.
std::unique_ptr<ProgramWindows> programFor(Command command,
                                           const testsupport::SandboxProfile& profile,
                                           ui::Prompter& prompts) {
  rules::ProgramFolders folders{profile.programFolder(), profile.programCacheFolder()};
  if (command == Command::UnsavedPhoto) {
    const QString plain = profile.root() + QStringLiteral("/plain");
    QFile file(plain);
    if (!file.open(QIODevice::WriteOnly)) return nullptr;
    folders = {plain, plain + QStringLiteral("/Velmora")};
  }
  return std::make_unique<ProgramWindows>(prompts, testsupport::settingsOf(profile), folders);
}

}  // namespace

Q_DECLARE_METATYPE(Command)

class Form1KeysTest : public QObject {
  Q_OBJECT
 private slots:

  void everyCommandKeyRunsOncePerPress_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("place");
    QTest::addColumn<QString>("move");
    const std::initializer_list<std::tuple<const char*, int, Command>> keys{
        {"F5 takes one photo", Qt::Key_F5, Command::Photo},
        {"F5 shows one error box when the photo cannot be written", Qt::Key_F5,
         Command::UnsavedPhoto},
        {"F6 shows one box when there is no photo", Qt::Key_F6, Command::PreviewNoPhoto},
        {"F9 ends the program once", Qt::Key_F9, Command::End},
        {"Esc closes once", Qt::Key_Escape, Command::End},
    };
    for (const auto& [name, key, command] : keys) {
      for (const char* place :
           {"a text box", "the camera box", "the workspace itself", "the preview window"}) {
        for (const char* move :
             {"the focus stays", "the focus goes", "the workspace takes the focus"}) {
          QTest::addRow("%s, from %s, %s meanwhile", name, place, move)
              << key << command << QString::fromLatin1(place) << QString::fromLatin1(move);
        }
      }
    }
  }
  void everyCommandKeyRunsOncePerPress() {
    QFETCH(int, key);
    QFETCH(Command, command);
    QFETCH(QString, place);
    QFETCH(QString, move);
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter answers;  // an unexpected second box fails the test too
    testsupport::ModalPrompts prompts(answers);
    if (command == Command::UnsavedPhoto || command == Command::PreviewNoPhoto) {
      answers.answerMessage(ui::vbOK);
    }
    const auto program = programFor(command, profile, prompts);
    QVERIFY(program);
    // The ending, like any command, may let pending events run.
    program->whenEnding = [] { QCoreApplication::processEvents(); };
    QVERIFY(QTest::qWaitForWindowActive(program->frame));
    ShowCounter photos(*program->form->waiting);
    QWidget* target = focusPlace(*program, place);
    QVERIFY(target);
    moveFocusDuringTheCommand(*program->form, move);

    QTest::keyClick(target, Qt::Key(key));

    const QList<testsupport::RecordedPrompt>& boxes = answers.prompts();
    switch (command) {
      case Command::Photo:
        QCOMPARE(photos.count(), 1);
        QCOMPARE(boxes.size(), 0);
        QVERIFY(program->form->photo.hasBitmap());
        break;
      case Command::UnsavedPhoto:
        QCOMPARE(photos.count(), 1);
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes.front().text.startsWith(kUnsaved));
        break;
      case Command::PreviewNoPhoto:
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes.front().text, kNoPhoto);
        break;
      case Command::End:
        QCOMPARE(boxes.size(), 0);
        break;
    }
    QCOMPARE(program->endCalls(), command == Command::End ? 1 : 0);
  }

  void successivePressesEachRunTheirCommand_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("place");
    // The first photo of a run once took two: the input block of the photo
    // joined the application's filters while they were being called.
    QTest::newRow("two F5 in a text box, one photo each")
        << int(Qt::Key_F5) << QStringLiteral("a text box");
    QTest::newRow("two F6 on the workspace itself, one box each")
        << int(Qt::Key_F6) << QStringLiteral("the workspace itself");
    QTest::newRow("two F6 in the preview window, one box each")
        << int(Qt::Key_F6) << QStringLiteral("the preview window");
  }
  void successivePressesEachRunTheirCommand() {
    QFETCH(int, key);
    QFETCH(QString, place);
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    const bool photo = key == Qt::Key_F5;
    if (!photo) {
      prompts.answerMessage(ui::vbOK);
      prompts.answerMessage(ui::vbOK);
    }
    ProgramWindows program(profile, prompts);
    QVERIFY(QTest::qWaitForWindowActive(program.frame));
    ShowCounter photos(*program.form->waiting);
    QWidget* target = focusPlace(program, place);
    QVERIFY(target);
    // QTest builds both presses at the same place on the stack.
    QTest::keyClick(target, Qt::Key(key));
    QTest::keyClick(target, Qt::Key(key));
    QCOMPARE(photos.count(), photo ? 2 : 0);
    QCOMPARE(prompts.prompts().size(), photo ? 0 : 2);
  }

  void aPressDuringACommandRunsItsOwnCommandOnce_data() {
    QTest::addColumn<QString>("place");
    QTest::newRow("F9 pressed in the text box while F6's box is up")
        << QStringLiteral("a text box");
    QTest::newRow("F9 pressed in the preview window while F6's box is up")
        << QStringLiteral("the preview window");
  }
  void aPressDuringACommandRunsItsOwnCommandOnce() {
    QFETCH(QString, place);
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter answers;
    testsupport::ModalPrompts prompts(answers);
    answers.answerMessage(ui::vbOK);
    ProgramWindows program(profile, prompts);
    QVERIFY(QTest::qWaitForWindowActive(program.frame));
    QWidget* target = focusPlace(program, place);
    QVERIFY(target);
    // Runs while the box of F6 lets pending events run.
    QMetaObject::invokeMethod(
        target, [target] { QTest::keyClick(target, Qt::Key_F9); }, Qt::QueuedConnection);

    QTest::keyClick(target, Qt::Key_F6);

    QCOMPARE(answers.prompts().size(), 1);
    QCOMPARE(program.endCalls(), 1);
  }
};

QTEST_MAIN(Form1KeysTest)
#include "tst_form1_keys.moc"
