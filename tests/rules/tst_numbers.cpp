// The readings of a box's number: in the Turkish notation ("." groups
// thousands, "," separates the fraction) the boxes use whatever the desktop's
// locale, and in other notations handed in; the leading number that moves the
// frame, and the rounding to whole pixels.

#include <QTest>
#include <cmath>
#include <limits>

#include "rules/numbers.h"

using namespace rules;

Q_DECLARE_METATYPE(std::optional<std::int32_t>)

namespace {

const QLocale kTurkish(QLocale::Turkish, QLocale::Turkey);

}  // namespace

class NumbersTest : public QObject {
  Q_OBJECT
 private slots:
  void countsAsNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("counts");
    QTest::newRow("a whole number") << QStringLiteral("105") << true;
    QTest::newRow("a signed number") << QStringLiteral("-5") << true;
    QTest::newRow("a plus sign") << QStringLiteral("+5") << true;
    QTest::newRow("a comma fraction") << QStringLiteral("12,5") << true;
    QTest::newRow("a comma still waiting for its fraction") << QStringLiteral("12,") << true;
    QTest::newRow("a fraction without a whole part") << QStringLiteral(",5") << true;
    QTest::newRow("grouped thousands") << QStringLiteral("1.234") << true;
    QTest::newRow("grouped thousands with a fraction") << QStringLiteral("1.234,5") << true;
    QTest::newRow("blanks around it") << QStringLiteral(" 12 ") << true;
    QTest::newRow("an empty text") << QString() << false;
    QTest::newRow("a trailing dot") << QStringLiteral("12.") << false;
    QTest::newRow("a dot that groups too few digits") << QStringLiteral("12.5") << false;
    QTest::newRow("a dot that groups too many digits") << QStringLiteral("1.2345") << false;
    QTest::newRow("a lone comma") << QStringLiteral(",") << false;
    QTest::newRow("a lone sign") << QStringLiteral("-") << false;
    QTest::newRow("two commas") << QStringLiteral("1,2,3") << false;
    QTest::newRow("a letter") << QStringLiteral("1a2") << false;
    QTest::newRow("an exponent") << QStringLiteral("1e5") << false;
  }
  void countsAsNumber() {
    QFETCH(QString, text);
    QFETCH(bool, counts);
    QCOMPARE(rules::countsAsNumber(text, kTurkish), counts);
  }

  void storedNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<std::int32_t>>("stored");
    using N = std::optional<std::int32_t>;
    QTest::newRow("a whole number") << QStringLiteral("105") << N(105);
    QTest::newRow("12,5 rounds down to the even 12") << QStringLiteral("12,5") << N(12);
    QTest::newRow("13,5 rounds up to the even 14") << QStringLiteral("13,5") << N(14);
    QTest::newRow("-2,5 rounds to -2") << QStringLiteral("-2,5") << N(-2);
    QTest::newRow("12,6 rounds up") << QStringLiteral("12,6") << N(13);
    QTest::newRow("grouped thousands") << QStringLiteral("1.234") << N(1234);
    QTest::newRow("blanks are trimmed") << QStringLiteral(" 7 ") << N(7);
    QTest::newRow("the largest 32-bit number") << QStringLiteral("2147483647") << N(2147483647);
    QTest::newRow("the smallest 32-bit number")
        << QStringLiteral("-2147483648") << N(std::numeric_limits<std::int32_t>::min());
    QTest::newRow("one beyond 32 bits stores nothing") << QStringLiteral("2147483648") << N();
    QTest::newRow("a half past the largest stores nothing")
        << QStringLiteral("2147483647,5") << N();
    QTest::newRow("an empty box stores nothing") << QString() << N();
    QTest::newRow("a lone comma stores nothing") << QStringLiteral(",") << N();
    QTest::newRow("letters store nothing") << QStringLiteral("abc") << N();
  }
  void storedNumber() {
    QFETCH(QString, text);
    QFETCH(std::optional<std::int32_t>, stored);
    QCOMPARE(rules::storedNumber(text, kTurkish), stored);
  }

  void numberText_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("digits");
    QTest::addColumn<QString>("text");
    QTest::newRow("a whole number") << 107.0 << 15 << QStringLiteral("107");
    QTest::newRow("a negative number") << -65.0 << 15 << QStringLiteral("-65");
    QTest::newRow("a fraction keeps its comma") << 170.5 << 15 << QStringLiteral("170,5");
    QTest::newRow("no grouping of thousands") << 1234567.0 << 7 << QStringLiteral("1234567");
    QTest::newRow("a single keeps its seven digits")
        << double(233.766f) << 7 << QStringLiteral("233,766");
    QTest::newRow("large values are written out, never with an exponent")
        << 10000060.0 << 7 << QStringLiteral("10000060");
    QTest::newRow("no negative zero") << -0.0 << 15 << QStringLiteral("0");
  }
  void numberText() {
    QFETCH(double, value);
    QFETCH(int, digits);
    QFETCH(QString, text);
    QCOMPARE(rules::numberText(value, kTurkish, digits), text);
    // What is written reads back as the same number.
    QVERIFY(rules::countsAsNumber(rules::numberText(value, kTurkish, digits), kTurkish));
  }

  void filter_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<bool>("rewritten");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("resultCaret");
    QTest::newRow("a number is accepted") << QStringLiteral("12") << 2 << false << QString() << 0;
    QTest::newRow("a fraction is accepted")
        << QStringLiteral("12,5") << 4 << false << QString() << 0;
    QTest::newRow("grouped thousands are accepted")
        << QStringLiteral("1.234") << 5 << false << QString() << 0;
    QTest::newRow("a typed dot goes")
        << QStringLiteral("12.") << 3 << true << QStringLiteral("12") << 2;
    QTest::newRow("a letter goes and the caret steps back")
        << QStringLiteral("1a2") << 2 << true << QStringLiteral("12") << 1;
    QTest::newRow("a letter at the start keeps the caret at the start")
        << QStringLiteral("a12") << 0 << true << QStringLiteral("12") << 0;
    QTest::newRow("a second comma goes")
        << QStringLiteral("1,2,") << 4 << true << QStringLiteral("1,2") << 3;
    QTest::newRow("a misplaced group dot goes")
        << QStringLiteral("12.5") << 4 << true << QStringLiteral("125") << 3;
    QTest::newRow("a lone sign empties the box")
        << QStringLiteral("-") << 1 << true << QString() << 0;
    QTest::newRow("blanks before the number cost no digit")
        << QStringLiteral("  1a2 ") << 4 << true << QStringLiteral("12") << 3;
    QTest::newRow("a lone comma is left alone, so the filter does not run again")
        << QStringLiteral(",") << 1 << false << QString() << 0;
    QTest::newRow("an empty box is left alone") << QString() << 0 << false << QString() << 0;
  }
  void filter() {
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(bool, rewritten);
    QFETCH(QString, result);
    QFETCH(int, resultCaret);
    const std::optional<FilteredText> filtered = filterNumberText(text, caret, kTurkish);
    QCOMPARE(filtered.has_value(), rewritten);
    if (!filtered) return;
    QCOMPARE(filtered->text, result);
    QCOMPARE(filtered->caret, resultCaret);
    // The rebuilt text never needs another rebuild.
    QVERIFY(!filterNumberText(filtered->text, filtered->caret, kTurkish));
  }

  void filterKeepsTheDecimalPointOfTheNotation() {
    const std::optional<FilteredText> filtered = filterNumberText("1x.5", 2, QLocale::c());
    QVERIFY(filtered);
    QCOMPARE(filtered->text, QStringLiteral("1.5"));
  }

  void boxNotationIsTurkishWhateverTheDesktop_data() {
    QTest::addColumn<QLocale>("desktop");
    QTest::newRow("an English desktop") << QLocale(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("a C desktop") << QLocale::c();
    QTest::newRow("a German desktop") << QLocale(QLocale::German, QLocale::Germany);
    QTest::newRow("a Turkish desktop") << kTurkish;
  }
  void boxNotationIsTurkishWhateverTheDesktop() {
    QFETCH(QLocale, desktop);
    QLocale::setDefault(desktop);
    const QLocale notation = boxNotation();
    QLocale::setDefault(QLocale::c());
    QCOMPARE(notation.decimalPoint(), QStringLiteral(","));
    QCOMPARE(notation.groupSeparator(), QStringLiteral("."));
    QCOMPARE(rules::userNumber(QStringLiteral("12,5"), notation), std::optional(12.5));
    QCOMPARE(rules::storedNumber(QStringLiteral("1.050"), notation), std::optional(1050));
    QVERIFY(rules::filterNumberText(QStringLiteral("12."), 3, notation));
    QCOMPARE(rules::numberText(10.5, notation), QStringLiteral("10,5"));
  }

  void readingsFollowTheNotationHandedIn_data() {
    QTest::addColumn<QLocale>("notation");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("counts");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("filtered");
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("English: 12,5 is no number and filters to 125")
        << english << QStringLiteral("12,5") << false << 0.0 << QStringLiteral("125");
    QTest::newRow("English: 12.5 is twelve and a half")
        << english << QStringLiteral("12.5") << true << 12.5 << QString();
    QTest::newRow("English: 1,234.5 groups its thousands")
        << english << QStringLiteral("1,234.5") << true << 1234.5 << QString();
    QTest::newRow("C: 12,5 is no number and filters to 125")
        << QLocale::c() << QStringLiteral("12,5") << false << 0.0 << QStringLiteral("125");
    QTest::newRow("Turkish: 12,5 is twelve and a half")
        << kTurkish << QStringLiteral("12,5") << true << 12.5 << QString();
  }
  void readingsFollowTheNotationHandedIn() {
    QFETCH(QLocale, notation);
    QFETCH(QString, text);
    QFETCH(bool, counts);
    QFETCH(double, value);
    QFETCH(QString, filtered);
    QCOMPARE(rules::countsAsNumber(text, notation), counts);
    if (counts) QCOMPARE(*rules::userNumber(text, notation), value);
    const auto rebuilt = rules::filterNumberText(text, int(text.size()), notation);
    QCOMPARE(rebuilt ? rebuilt->text : QString(), filtered);
  }

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
    QCOMPARE(rules::leadingNumber(text), number);
  }

  void leadingNumberIgnoringBlanks_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number");
    QTest::newRow("a whole number") << QStringLiteral("250") << 250.0;
    QTest::newRow("a blank inside the digits is ignored") << QStringLiteral("2 50") << 250.0;
    QTest::newRow("tabs and line feeds are ignored") << QStringLiteral("\t1\n0 0") << 100.0;
    QTest::newRow("a carriage return ends the number") << QStringLiteral("1\r2") << 1.0;
    QTest::newRow("a blank between sign and digits") << QStringLiteral("- 5") << -5.0;
    QTest::newRow("letters end the number") << QStringLiteral("250abc") << 250.0;
    QTest::newRow("a comma ends the number") << QStringLiteral("2,5") << 2.0;
    QTest::newRow("a dot is the decimal point") << QStringLiteral("2.5") << 2.5;
    QTest::newRow("a blank inside the fraction") << QStringLiteral("3. 5") << 3.5;
    QTest::newRow("an exponent with E") << QStringLiteral("1E2") << 100.0;
    QTest::newRow("an exponent with D") << QStringLiteral("1D2") << 100.0;
    QTest::newRow("a lower-case d exponent with a sign") << QStringLiteral("25d-1") << 2.5;
    QTest::newRow("a D without digits ends the number") << QStringLiteral("7D") << 7.0;
    QTest::newRow("hexadecimal") << QStringLiteral("&H10") << 16.0;
    QTest::newRow("hexadecimal letters in either case") << QStringLiteral("&hfF") << 255.0;
    QTest::newRow("hexadecimal stops at a non-digit") << QStringLiteral("&H1G") << 1.0;
    QTest::newRow("octal") << QStringLiteral("&O17") << 15.0;
    QTest::newRow("octal stops at an 8") << QStringLiteral("&O18") << 1.0;
    QTest::newRow("a blank after the ampersand") << QStringLiteral("& H 1 0") << 16.0;
    QTest::newRow("a prefix without digits is 0") << QStringLiteral("&H") << 0.0;
    QTest::newRow("a text without a number is 0") << QStringLiteral("abc") << 0.0;
    QTest::newRow("an empty text is 0") << QString() << 0.0;
    QTest::newRow("only blanks is 0") << QStringLiteral(" \t ") << 0.0;
  }
  void leadingNumberIgnoringBlanks() {
    QFETCH(QString, text);
    QFETCH(double, number);
    QCOMPARE(rules::leadingNumberIgnoringBlanks(text), number);
  }

  void leadingNumberIgnoresTheDesktop() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const double number = rules::leadingNumber(QStringLiteral("12,5"));
    QLocale::setDefault(QLocale::c());
    QCOMPARE(number, 12.0);
  }

  void roundingHalvesToEven_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("whole");
    QTest::newRow("whole numbers stay") << 105.0 << 105;
    QTest::newRow("below a half rounds down") << 2.49 << 2;
    QTest::newRow("above a half rounds up") << 2.51 << 3;
    QTest::newRow("a half below an even number goes up to it") << 1.5 << 2;
    QTest::newRow("a half above an even number goes down to it") << 2.5 << 2;
    QTest::newRow("a half after an odd number goes to the even one") << 3.5 << 4;
    QTest::newRow("negative halves go to even too") << -2.5 << -2;
    QTest::newRow("negative halves below an even number") << -3.5 << -4;
    QTest::newRow("beyond int is clamped") << 1e12 << std::numeric_limits<int>::max();
    QTest::newRow("not a number gives 0") << std::numeric_limits<double>::quiet_NaN() << 0;
  }
  void roundingHalvesToEven() {
    QFETCH(double, value);
    QFETCH(int, whole);
    QCOMPARE(rules::roundHalfToEven(value), whole);
  }
};

QTEST_APPLESS_MAIN(NumbersTest)
#include "tst_numbers.moc"
