// The folder history behind the back and forward buttons, without the folder
// controls: what each visit, back and forward leaves, and what the buttons show.

#include <QTest>

#include "rules/folderhistory.h"

using rules::FolderHistory;

namespace {

// A history after `steps`: a folder name is a visit, "<" back, ">" forward.
FolderHistory after(const QStringList& steps) {
  FolderHistory history;
  for (const QString& step : steps) {
    if (step == QLatin1String("<")) {
      history.back();
    } else if (step == QLatin1String(">")) {
      history.forward();
    } else {
      history.add(step);
    }
  }
  return history;
}

}  // namespace

class FolderHistoryTest : public QObject {
  Q_OBJECT
 private slots:
  void anEmptyHistoryHasNoWayToGo() {
    FolderHistory history;
    QCOMPARE(history.current(), -1);
    QCOMPARE(history.currentFolder(), QString());
    QVERIFY(!history.back());
    QVERIFY(!history.forward());
    const rules::HistoryButtons buttons = history.buttons();
    QVERIFY(!buttons.backEnabled);
    QVERIFY(!buttons.forwardEnabled);
    QCOMPARE(buttons.backToolTip, QStringLiteral("Geri "));
    QCOMPARE(buttons.forwardToolTip, QStringLiteral("İleri "));
  }

  void steps_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("current");
    QTest::newRow("the first folder is the one entry")
        << QStringList{"/A"} << QStringList{"/A"} << "/A";
    QTest::newRow("visits are added in order")
        << QStringList{"/A", "/B", "/C"} << QStringList{"/A", "/B", "/C"} << "/C";
    QTest::newRow("visiting the current folder at the end records it again")
        << QStringList{"/A", "/A"} << QStringList{"/A", "/A"} << "/A";
    QTest::newRow("back twice makes the first current")
        << QStringList{"/A", "/B", "/C", "<", "<"} << QStringList{"/A", "/B", "/C"} << "/A";
    QTest::newRow("a new folder after going back replaces only the next entry")
        << QStringList{"/A", "/B", "/C", "<", "<", "/D"} << QStringList{"/A", "/D", "/C"} << "/D";
    QTest::newRow("the next entry's own folder after going back changes nothing but the current")
        << QStringList{"/A", "/B", "/C", "<", "<", "/B"} << QStringList{"/A", "/B", "/C"} << "/B";
    QTest::newRow("forward goes back to where back came from")
        << QStringList{"/A", "/B", "/C", "<", "<", ">"} << QStringList{"/A", "/B", "/C"} << "/B";
    QTest::newRow("back at the first entry stays there")
        << QStringList{"/A", "/B", "<", "<"} << QStringList{"/A", "/B"} << "/A";
    QTest::newRow("forward at the last entry stays there")
        << QStringList{"/A", "/B", ">"} << QStringList{"/A", "/B"} << "/B";
  }
  void steps() {
    QFETCH(QStringList, steps);
    QFETCH(QStringList, entries);
    QFETCH(QString, current);
    const FolderHistory history = after(steps);
    QCOMPARE(history.entries(), entries);
    QCOMPARE(history.currentFolder(), current);
    QCOMPARE(history.entries().at(history.current()), current);
  }

  void backAndForwardSayWhetherTheyMoved() {
    FolderHistory history = after({"/A", "/B"});
    QVERIFY(!history.forward());
    QVERIFY(history.back());
    QVERIFY(!history.back());
    QVERIFY(history.forward());
    QCOMPARE(history.current(), 1);
  }

  void buttons_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("back");
    QTest::addColumn<bool>("forward");
    QTest::addColumn<QString>("backTip");
    QTest::addColumn<QString>("forwardTip");
    QTest::newRow("a single entry disables both")
        << QStringList{"/A"} << false << false << QStringLiteral("Geri ")
        << QStringLiteral("İleri ");
    QTest::newRow("at the end: back names the entry before")
        << QStringList{"/A", "/B", "/C"} << true << false << QStringLiteral("Geri /B")
        << QStringLiteral("İleri ");
    QTest::newRow("at the start: forward names the entry after")
        << QStringList{"/A", "/B", "/C", "<", "<"} << false << true << QStringLiteral("Geri ")
        << QStringLiteral("İleri /B");
    QTest::newRow("in the middle: both") << QStringList{"/A", "/B", "/C", "<"} << true << true
                                         << QStringLiteral("Geri /A") << QStringLiteral("İleri /C");
    QTest::newRow("a start-up with another stored folder can go back at once")
        << QStringList{"/Okul", "/Okul"} << true << false << QStringLiteral("Geri /Okul")
        << QStringLiteral("İleri ");
  }
  void buttons() {
    QFETCH(QStringList, steps);
    QFETCH(bool, back);
    QFETCH(bool, forward);
    QFETCH(QString, backTip);
    QFETCH(QString, forwardTip);
    const rules::HistoryButtons buttons = after(steps).buttons();
    QCOMPARE(buttons.backEnabled, back);
    QCOMPARE(buttons.forwardEnabled, forward);
    QCOMPARE(buttons.backToolTip, backTip);
    QCOMPARE(buttons.forwardToolTip, forwardTip);
  }
};

QTEST_APPLESS_MAIN(FolderHistoryTest)
#include "tst_folderhistory.moc"
