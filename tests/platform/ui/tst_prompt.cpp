// The prompt seam: which answers a button set offers, what Esc answers, the
// default title, and the real Qt dialogs answering Enter and Esc like the
// original platform's boxes, with Turkish standard buttons.

#include <QApplication>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <functional>

#include "platform/ui/prompt.h"
#include "platform/ui/qtprompter.h"
#include "support/scripted_prompter.h"

using namespace ui;

namespace {

// Runs `act` on the modal dialog once it is up (the prompt blocks until answered).
void whenModal(std::function<void(QWidget*)> act) {
  auto* poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      poll->deleteLater();
      poll->stop();
      act(modal);
    }
  });
  poll->start(0);
}

}  // namespace

class PromptTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    QVERIFY(turkish_.load(QStringLiteral("qtbase_tr"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    QApplication::installTranslator(&turkish_);
  }

  void escapeAnswers_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<int>("onEscape");
    QTest::newRow("a lone OK is what Esc answers")
        << int(vbOKOnly) << QList<int>{vbOK} << int(vbOK);
    QTest::newRow("OK/Cancel: Esc cancels")
        << int(vbOKCancel) << QList<int>{vbOK, vbCancel} << int(vbCancel);
    QTest::newRow("Yes/No: Esc says No") << int(vbYesNo) << QList<int>{vbYes, vbNo} << int(vbNo);
    QTest::newRow("Yes/No/Cancel: Esc cancels rather than says No")
        << int(vbYesNoCancel) << QList<int>{vbYes, vbNo, vbCancel} << int(vbCancel);
    QTest::newRow("Retry/Cancel: Esc cancels")
        << int(vbRetryCancel) << QList<int>{vbRetry, vbCancel} << int(vbCancel);
    QTest::newRow("Abort/Retry/Ignore: Esc aborts")
        << int(vbAbortRetryIgnore) << QList<int>{vbAbort, vbRetry, vbIgnore} << int(vbAbort);
  }
  void escapeAnswers() {
    QFETCH(int, buttons);
    QFETCH(QList<int>, answers);
    QFETCH(int, onEscape);
    QList<int> offered;
    for (MsgBoxResult a : answersOf(MsgBoxButtons(buttons))) offered.append(a);
    QCOMPARE(offered, answers);
    QCOMPARE(int(escapeAnswer(MsgBoxButtons(buttons))), onEscape);
  }

  void seamFillsInTheApplicationTitle() {
    testsupport::ScriptedPrompter prompts;
    prompts.answerMessage(vbOK);
    prompts.answerMessage(vbNo);
    prompts.answerInput(QStringLiteral("Ek"));
    ui::Prompter& seam = prompts;
    QCOMPARE(seam.MsgBox(QStringLiteral("Yüklü Video Aygıtı Yok."), vbOKOnly, vbExclamation), vbOK);
    QCOMPARE(seam.MsgBox(QStringLiteral("Sil?"), vbYesNo, vbQuestion, QStringLiteral("Sil")), vbNo);
    QCOMPARE(seam.InputBox(QStringLiteral("Ad"), {}, QStringLiteral("x")), QStringLiteral("Ek"));
    QCOMPARE(prompts.prompts().size(), 3);
    QCOMPARE(prompts.prompts()[0].title, QStringLiteral("Velmora Photo"));
    QCOMPARE(prompts.prompts()[0].icon, vbExclamation);
    QCOMPARE(prompts.prompts()[1].title, QStringLiteral("Sil"));
    QCOMPARE(prompts.prompts()[2].title, QStringLiteral("Velmora Photo"));
    QCOMPARE(prompts.prompts()[2].defaultText, QStringLiteral("x"));
  }

  void messageBoxAnswersKeys_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");
    QTest::newRow("OK box: Enter answers OK") << int(vbOKOnly) << int(Qt::Key_Return) << int(vbOK);
    QTest::newRow("OK box: Esc answers OK") << int(vbOKOnly) << int(Qt::Key_Escape) << int(vbOK);
    QTest::newRow("Yes/No: Enter answers the first, Yes")
        << int(vbYesNo) << int(Qt::Key_Return) << int(vbYes);
    QTest::newRow("Yes/No: Esc answers No") << int(vbYesNo) << int(Qt::Key_Escape) << int(vbNo);
    QTest::newRow("Yes/No/Cancel: Esc answers Cancel")
        << int(vbYesNoCancel) << int(Qt::Key_Escape) << int(vbCancel);
    QTest::newRow("OK/Cancel: Enter answers OK")
        << int(vbOKCancel) << int(Qt::Key_Return) << int(vbOK);
  }
  void messageBoxAnswersKeys() {
    QFETCH(int, buttons);
    QFETCH(int, key);
    QFETCH(int, expected);
    whenModal([key](QWidget* box) { QTest::keyClick(box, Qt::Key(key)); });
    QtPrompter dialogs;
    QCOMPARE(int(dialogs.MsgBox(QStringLiteral("Metin"), MsgBoxButtons(buttons), vbQuestion,
                                QStringLiteral("Başlık"))),
             expected);
  }

  void messageBoxShowsTitleIconAndTurkishButtons() {
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList captions;
    whenModal([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      QVERIFY(box);
      title = box->windowTitle();
      icon = box->icon();
      for (QAbstractButton* b : box->buttons()) captions.append(b->text().remove(QLatin1Char('&')));
      QTest::keyClick(box, Qt::Key_Escape);
    });
    QtPrompter dialogs;
    QCOMPARE(dialogs.MsgBox(QStringLiteral("Dosya var."), vbYesNoCancel, vbExclamation), vbCancel);
    QCOMPARE(title, QStringLiteral("Velmora Photo"));
    QCOMPARE(icon, QMessageBox::Warning);
    captions.sort();
    QCOMPARE(captions, (QStringList{QStringLiteral("Evet"), QStringLiteral("Hayır"),
                                    QStringLiteral("İptal")}));
  }

  void inputBoxSelectsTheDefaultAndReturnsTyping_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Enter keeps the default")
        << QString() << int(Qt::Key_Return) << QStringLiteral("Ek Ders Belgeleri");
    QTest::newRow("typing replaces the selected default")
        << QStringLiteral("9-A") << int(Qt::Key_Return) << QStringLiteral("9-A");
    QTest::newRow("Esc gives an empty text")
        << QStringLiteral("9-A") << int(Qt::Key_Escape) << QString();
  }
  void inputBoxSelectsTheDefaultAndReturnsTyping() {
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(QString, expected);
    QString selected;
    whenModal([&](QWidget* modal) {
      auto* edit = modal->findChild<QLineEdit*>();
      QVERIFY(edit);
      QTRY_COMPARE(edit->selectedText(), QStringLiteral("Ek Ders Belgeleri"));
      selected = edit->selectedText();
      if (!typed.isEmpty()) QTest::keyClicks(edit, typed);
      QTest::keyClick(edit, Qt::Key(key));
    });
    QtPrompter dialogs;
    QCOMPARE(dialogs.InputBox(QStringLiteral("Yeni oluşturulacak olan klasörün adını giriniz"),
                              QStringLiteral("Yeni Klasör Oluştur"),
                              QStringLiteral("Ek Ders Belgeleri")),
             expected);
    QCOMPARE(selected, QStringLiteral("Ek Ders Belgeleri"));
  }

 private:
  QTranslator turkish_;
};

QTEST_MAIN(PromptTest)
#include "tst_prompt.moc"
