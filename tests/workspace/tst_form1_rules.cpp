// The workspace's rules that need no window.

#include <QTest>

#include "workspace/form1_rules.h"

using namespace workspace;

class Form1RulesTest : public QObject {
  Q_OBJECT
 private slots:
  void leadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number");
    QTest::newRow("a whole number") << QStringLiteral("105") << 105.0;
    QTest::newRow("zero") << QStringLiteral("0") << 0.0;
    QTest::newRow("a negative number") << QStringLiteral("-5") << -5.0;
    QTest::newRow("blanks before it are skipped") << QStringLiteral("  42") << 42.0;
    QTest::newRow("a dot is the decimal point") << QStringLiteral("12.5") << 12.5;
    QTest::newRow("a comma ends the number") << QStringLiteral("12,5") << 12.0;
    QTest::newRow("letters end the number") << QStringLiteral("12px") << 12.0;
    QTest::newRow("an exponent continues it") << QStringLiteral("1e2") << 100.0;
    QTest::newRow("an exponent without digits does not") << QStringLiteral("3e") << 3.0;
    QTest::newRow("a text that does not start with a number is 0") << QStringLiteral("a12") << 0.0;
    QTest::newRow("an empty text is 0") << QString() << 0.0;
    QTest::newRow("a lone sign is 0") << QStringLiteral("-") << 0.0;
    QTest::newRow("a lone dot is 0") << QStringLiteral(".") << 0.0;
    QTest::newRow("a fraction without a whole part") << QStringLiteral(".5") << 0.5;
  }
  void leadingNumber() {
    QFETCH(QString, text);
    QFETCH(double, number);
    QCOMPARE(workspace::leadingNumber(text), number);
  }

  void defaultSize_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("0 is replaced") << QStringLiteral("0") << true;
    QTest::newRow("a negative size is replaced") << QStringLiteral("-12") << true;
    QTest::newRow("a text without a number is replaced") << QStringLiteral("abc") << true;
    QTest::newRow("1 is kept") << QStringLiteral("1") << false;
    QTest::newRow("a stored size is kept") << QStringLiteral("150") << false;
  }
  void defaultSize() {
    QFETCH(QString, text);
    QFETCH(bool, replaced);
    QCOMPARE(needsDefaultSize(text), replaced);
  }

  void qualityCaptionAndVisibility() {
    QCOMPARE(qualityCaption(7), QStringLiteral("Resim Kalitesi(7)"));
    QCOMPARE(qualityCaption(0), QStringLiteral("Resim Kalitesi(0)"));
    QVERIFY(qualityControlsVisible(0));
    QVERIFY(!qualityControlsVisible(1));
    QVERIFY(!qualityControlsVisible(2));
  }

  void historyButtons_data() {
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("current");
    QTest::addColumn<bool>("back");
    QTest::addColumn<bool>("forward");
    QTest::addColumn<QString>("backTip");
    QTest::addColumn<QString>("forwardTip");
    const QStringList abc{QStringLiteral("/A"), QStringLiteral("/B"), QStringLiteral("/C")};
    QTest::newRow("a single entry disables both")
        << QStringList{QStringLiteral("/A")} << 0 << false << false << QStringLiteral("Geri ")
        << QStringLiteral("İleri ");
    QTest::newRow("at the end: back names the entry before")
        << abc << 2 << true << false << QStringLiteral("Geri /B") << QStringLiteral("İleri ");
    QTest::newRow("at the start: forward names the entry after")
        << abc << 0 << false << true << QStringLiteral("Geri ") << QStringLiteral("İleri /B");
    QTest::newRow("in the middle: both")
        << abc << 1 << true << true << QStringLiteral("Geri /A") << QStringLiteral("İleri /C");
    QTest::newRow("no entry selected: forward leads to the first")
        << abc << -1 << false << true << QStringLiteral("Geri ") << QStringLiteral("İleri /A");
    QTest::newRow("an empty history") << QStringList{} << -1 << false << false
                                      << QStringLiteral("Geri ") << QStringLiteral("İleri ");
  }
  void historyButtons() {
    QFETCH(QStringList, entries);
    QFETCH(int, current);
    QFETCH(bool, back);
    QFETCH(bool, forward);
    QFETCH(QString, backTip);
    QFETCH(QString, forwardTip);
    const auto buttons = workspace::historyButtons(entries, current);
    QCOMPARE(buttons.backEnabled, back);
    QCOMPARE(buttons.forwardEnabled, forward);
    QCOMPARE(buttons.backToolTip, backTip);
    QCOMPARE(buttons.forwardToolTip, forwardTip);
  }
};

QTEST_APPLESS_MAIN(Form1RulesTest)
#include "tst_form1_rules.moc"
