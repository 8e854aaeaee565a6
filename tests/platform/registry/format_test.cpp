// The text format on its own: what the parser accepts and refuses, what the
// writer produces, and that the two agree on every value form.

#include <QtTest>

#include "platform/registry/document.h"
#include "platform/registry/key_lookup.h"
#include "platform/registry/key_path.h"
#include "platform/registry/reg_writer.h"
#include "platform/registry/store_path.h"

using registry::Bytes;
using registry::Document;
using registry::Value;

Q_DECLARE_METATYPE(registry::Value)

namespace {

const QByteArray kHead = "Windows Registry Editor Version 5.00\n\n";

Document parseOk(const QByteArray& text) {
  auto parsed = Document::parse(text.toStdString());
  if (!parsed) {
    qWarning("line %zu: %s", parsed.error().line, parsed.error().reason.c_str());
    return {};
  }
  return std::move(*parsed);
}

Value bytesValue(std::uint32_t type, std::initializer_list<int> bytes) {
  Value v{type, {}};
  for (int b : bytes) v.data.push_back(static_cast<std::uint8_t>(b));
  return v;
}

Document withValue(const std::string& name, const Value& value) {
  Document doc;
  doc.setValue("HKEY_CURRENT_USER\\Velmora", name, value);
  return doc;
}

}  // namespace

class FormatTest : public QObject {
  Q_OBJECT

 private slots:
  void parsedValue_data();
  void parsedValue();
  void refusedText_data();
  void refusedText();
  void canonicalFileRoundTripsByteForByte_data();
  void canonicalFileRoundTripsByteForByte();
  void writtenForm_data();
  void writtenForm();
  void longValueWrapsAndReadsBack();
  void createKeyAddsEveryLevelOnce();
  void newKeysKeepExistingSpellingAndTreeOrder();
  void settingOneValueKeepsEverythingElse();
  void keyPaths_data();
  void keyPaths();
  void defaultStorePath_data();
  void defaultStorePath();
};

void FormatTest::parsedValue_data() {
  QTest::addColumn<QByteArray>("body");
  QTest::addColumn<QString>("key");
  QTest::addColumn<QString>("name");
  QTest::addColumn<registry::Value>("expected");

  const QString photo = "HKEY_CURRENT_USER\\Velmora\\Photo";
  const QByteArray sec = "[HKEY_CURRENT_USER\\Velmora\\Photo]\n";
  QTest::newRow("quoted text") << sec + "\"Path\"=\"/home/x/Resimler\"\n"
                               << photo << "Path" << Value::text("/home/x/Resimler");
  QTest::newRow("escaped backslash and quote") << sec + "\"P\"=\"a\\\\b\\\"c\"\n"
                                               << photo << "P" << Value::text("a\\b\"c");
  QTest::newRow("text ending in an escaped backslash") << sec + "\"P\"=\"C:\\\\\"\n"
                                                       << photo << "P" << Value::text("C:\\");
  QTest::newRow("Turkish text") << sec + "\"T\"=\"ğüşıöçĞÜŞİÖÇ\"\n"
                                << photo << "T" << Value::text("ğüşıöçĞÜŞİÖÇ");
  QTest::newRow("dword") << sec + "\"En\"=dword:00000069\n" << photo << "En" << Value::dword(105);
  QTest::newRow("dword short and upper case") << sec + "\"En\"=DWORD:FF\n"
                                              << photo << "En" << Value::dword(255);
  QTest::newRow("dword all ones is minus one") << sec + "\"En\"=dword:ffffffff\n"
                                               << photo << "En" << Value::dword(-1);
  QTest::newRow("plain hex is binary") << sec + "\"B\"=hex:01,02,ff\n"
                                       << photo << "B" << bytesValue(3, {1, 2, 0xff});
  QTest::newRow("typed hex keeps a zero") << sec + "\"S\"=hex(1):41,00,42\n"
                                          << photo << "S" << bytesValue(1, {0x41, 0, 0x42});
  QTest::newRow("hex continued on the next line") << sec + "\"B\"=hex(3):01,02,\\\n  03,04\n"
                                                  << photo << "B" << bytesValue(3, {1, 2, 3, 4});
  QTest::newRow("hex continued over CRLF lines")
      << QByteArray(sec).replace("\n", "\r\n") + "\"B\"=hex:01,\\\r\n  02,\\\r\n  03\r\n"
      << photo << "B" << bytesValue(3, {1, 2, 3});
  QTest::newRow("empty hex") << sec + "\"S\"=hex(1):\n" << photo << "S" << bytesValue(1, {});
  QTest::newRow("qword kept raw") << sec + "\"Q\"=hex(b):01,00,00,00,00,00,00,00\n"
                                  << photo << "Q" << bytesValue(11, {1, 0, 0, 0, 0, 0, 0, 0});
  QTest::newRow("default value") << sec + "@=\"x\"\n" << photo << "" << Value::text("x");
  QTest::newRow("value name with escaped quote") << sec + "\"a\\\"b\"=\"1\"\n"
                                                 << photo << "a\"b" << Value::text("1");
  QTest::newRow("blanks around the equals sign") << sec + "\"En\" = dword:00000001  \n"
                                                 << photo << "En" << Value::dword(1);
  QTest::newRow("comments and blank lines skipped")
      << "; made by hand\n\n" + sec + "\n; the width\n\"En\"=dword:00000002\n\n"
      << photo << "En" << Value::dword(2);
  QTest::newRow("a repeated value: the last one counts")
      << sec + "\"En\"=dword:00000001\n\"EN\"=dword:00000002\n"
      << photo << "En" << Value::dword(2);
  QTest::newRow("a repeated key merges")
      << sec + "\"A\"=\"1\"\n[HKEY_CURRENT_USER\\Other]\n" + sec + "\"B\"=\"2\"\n"
      << photo << "A" << Value::text("1");
  QTest::newRow("key and value names ignore ASCII case") << sec + "\"Path\"=\"x\"\n"
                                                         << "hkey_current_user\\VELMORA\\photo"
                                                         << "PATH" << Value::text("x");
  QTest::newRow("key and value names ignore Turkish case")
      << QByteArray("[HKEY_CURRENT_USER\\ĞÜŞÖÇ]\n\"Şış\"=\"x\"\n") << "HKEY_CURRENT_USER\\ğüşöç"
      << "şış" << Value::text("x");
}

// The document and the streaming lookup must agree on every file.
void FormatTest::parsedValue() {
  QFETCH(QByteArray, body);
  QFETCH(QString, key);
  QFETCH(QString, name);
  QFETCH(registry::Value, expected);

  for (const QByteArray& text : {kHead + body, "\xEF\xBB\xBF" + kHead + body}) {
    const Document doc = parseOk(text);
    const Value* found = doc.find(key.toStdString(), name.toStdString());
    QVERIFY(found);
    QCOMPARE(*found, expected);
    QVERIFY(doc.hasKey(key.toStdString()));

    registry::KeyLookup lookup(key.toStdString(), name.toStdString());
    QVERIFY(registry::parseRegText(text.toStdString(), lookup).ok());
    QVERIFY(lookup.keyFound());
    QVERIFY(lookup.found());
    QCOMPARE(*lookup.found(), expected);
  }
}

void FormatTest::refusedText_data() {
  QTest::addColumn<QByteArray>("text");
  QTest::addColumn<int>("line");

  const QByteArray sec = "[HKEY_CURRENT_USER\\V]\n";
  QTest::newRow("missing header") << QByteArray("[HKEY_CURRENT_USER\\V]\n") << 1;
  QTest::newRow("older header") << QByteArray("REGEDIT4\n\n") + sec << 1;
  QTest::newRow("value before any key") << kHead + "\"A\"=\"1\"\n" << 3;
  QTest::newRow("key without closing bracket") << kHead + "[HKEY_CURRENT_USER\\V\n" << 3;
  QTest::newRow("empty key line") << kHead + "[]\n" << 3;
  QTest::newRow("unclosed text") << kHead + sec + "\"A\"=\"1\n" << 4;
  QTest::newRow("unknown escape in text") << kHead + sec + "\"A\"=\"a\\nb\"\n" << 4;
  QTest::newRow("text followed by more") << kHead + sec + "\"A\"=\"1\" x\n" << 4;
  QTest::newRow("name without equals sign") << kHead + sec + "\"A\" \"1\"\n" << 4;
  QTest::newRow("unquoted name") << kHead + sec + "A=\"1\"\n" << 4;
  QTest::newRow("dword of nine digits") << kHead + sec + "\"A\"=dword:000000001\n" << 4;
  QTest::newRow("dword not hex") << kHead + sec + "\"A\"=dword:0000000g\n" << 4;
  QTest::newRow("empty dword") << kHead + sec + "\"A\"=dword:\n" << 4;
  QTest::newRow("hex byte of one digit") << kHead + sec + "\"A\"=hex:1,02\n" << 4;
  QTest::newRow("hex with a doubled comma") << kHead + sec + "\"A\"=hex:01,,02\n" << 4;
  QTest::newRow("hex type not closed") << kHead + sec + "\"A\"=hex(1:41\n" << 4;
  QTest::newRow("hex without colon") << kHead + sec + "\"A\"=hex 41\n" << 4;
  QTest::newRow("continuation at the end of the file") << kHead + sec + "\"A\"=hex:01,\\\n" << 4;
  QTest::newRow("deletion marker") << kHead + sec + "\"A\"=-\n" << 4;
  QTest::newRow("zero byte in a line") << kHead + sec + QByteArray("\"A\"=\"a\0b\"\n", 10) << 4;
  QTest::newRow("error on a later line") << kHead + sec + "\"A\"=\"1\"\n\n\"B\"=bogus\n" << 6;
}

void FormatTest::refusedText() {
  QFETCH(QByteArray, text);
  QFETCH(int, line);

  auto parsed = Document::parse(text.toStdString());
  QVERIFY(!parsed.ok());
  QCOMPARE(parsed.error().line, std::size_t(line));
  QVERIFY(!parsed.error().reason.empty());
}

void FormatTest::canonicalFileRoundTripsByteForByte_data() {
  QTest::addColumn<QByteArray>("text");

  QTest::newRow("the program's own keys") << QByteArray(
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_CURRENT_USER\\Velmora]\n\n"
      "[HKEY_CURRENT_USER\\Velmora\\Photo]\n"
      "\"Path\"=\"/home/x/Resimler\"\n"
      "\"En\"=dword:00000069\n\n"
      "[HKEY_CURRENT_USER\\Velmora\\Photo\\Settings]\n"
      "\"ExpWith\"=dword:00000bb8\n");
  QTest::newRow("foreign roots, types and names") << QByteArray(
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Other]\n"
      "@=\"default\"\n"
      "\"Multi\"=hex(7):61,00,62,00,00\n"
      "\"Q\"=hex(b):ff,ff,ff,ff,ff,ff,ff,7f\n"
      "\"Bin\"=hex:\n"
      "\"Odd \\\"name\\\\\"=hex(4):01,02\n"
      "\"Expand\"=hex(2):25,00\n"
      "\"Zero\"=hex(0):\n\n"
      "[HKEY_CURRENT_USER\\Velmora]\n"
      "\"Empty\"=\"\"\n");
  QTest::newRow("empty store") << QByteArray("Windows Registry Editor Version 5.00\n");
}

void FormatTest::canonicalFileRoundTripsByteForByte() {
  QFETCH(QByteArray, text);
  const std::string written = registry::serialize(parseOk(text));
  QCOMPARE(QByteArray::fromStdString(written), text);
}

void FormatTest::writtenForm_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<registry::Value>("value");
  QTest::addColumn<QByteArray>("line");

  QTest::newRow("plain text quoted")
      << "Path" << Value::text("/home/x") << QByteArray("\"Path\"=\"/home/x\"");
  QTest::newRow("backslash and quote escaped")
      << "a\\\"b" << Value::text("c:\\\"d\"") << QByteArray("\"a\\\\\\\"b\"=\"c:\\\\\\\"d\\\"\"");
  QTest::newRow("empty text quoted") << "E" << Value::text("") << QByteArray("\"E\"=\"\"");
  QTest::newRow("Turkish text quoted")
      << "T" << Value::text("ğüşıöçĞÜŞİÖÇ") << QByteArray("\"T\"=\"ğüşıöçĞÜŞİÖÇ\"");
  QTest::newRow("text with a line break in hex")
      << "N" << Value::text("a\nb") << QByteArray("\"N\"=hex(1):61,0a,62");
  QTest::newRow("text with a carriage return in hex")
      << "N" << Value::text("a\r") << QByteArray("\"N\"=hex(1):61,0d");
  QTest::newRow("text with a terminating zero in hex")
      << "Z" << bytesValue(1, {0x41, 0}) << QByteArray("\"Z\"=hex(1):41,00");
  QTest::newRow("text that is not UTF-8 in hex")
      << "L" << bytesValue(1, {0xf0, 0x28}) << QByteArray("\"L\"=hex(1):f0,28");
  QTest::newRow("number as dword")
      << "En" << Value::dword(105) << QByteArray("\"En\"=dword:00000069");
  QTest::newRow("negative number as dword")
      << "En" << Value::dword(-2) << QByteArray("\"En\"=dword:fffffffe");
  QTest::newRow("dword of two bytes in hex")
      << "D" << bytesValue(4, {1, 2}) << QByteArray("\"D\"=hex(4):01,02");
  QTest::newRow("binary as plain hex")
      << "B" << bytesValue(3, {0xab}) << QByteArray("\"B\"=hex:ab");
  QTest::newRow("default value as @") << "" << Value::text("d") << QByteArray("@=\"d\"");
}

// Each form is written as expected and reads back as the same value.
void FormatTest::writtenForm() {
  QFETCH(QString, name);
  QFETCH(registry::Value, value);
  QFETCH(QByteArray, line);

  const std::string text = registry::serialize(withValue(name.toStdString(), value));
  QCOMPARE(QByteArray::fromStdString(text), kHead + "[HKEY_CURRENT_USER\\Velmora]\n" + line + "\n");
  const Document back = parseOk(QByteArray::fromStdString(text));
  const Value* found = back.find("HKEY_CURRENT_USER\\Velmora", name.toStdString());
  QVERIFY(found);
  QCOMPARE(*found, value);
}

void FormatTest::longValueWrapsAndReadsBack() {
  Value big{registry::REG_BINARY, {}};
  for (int i = 0; i < 1000; ++i) big.data.push_back(static_cast<std::uint8_t>(i * 7));
  const std::string text = registry::serialize(withValue("Big", big));

  const QList<QByteArray> lines = QByteArray::fromStdString(text).split('\n');
  QVERIFY(lines.size() > 10);
  for (const QByteArray& line : lines) QVERIFY2(line.size() <= 80, line.constData());
  const Document back = parseOk(QByteArray::fromStdString(text));
  QCOMPARE(*back.find("HKEY_CURRENT_USER\\Velmora", "Big"), big);
}

void FormatTest::createKeyAddsEveryLevelOnce() {
  Document doc;
  QVERIFY(doc.createKey("HKEY_CURRENT_USER\\Velmora\\Photo\\Settings"));
  QVERIFY(!doc.createKey("HKEY_CURRENT_USER\\velmora\\PHOTO"));
  QVERIFY(!doc.createKey("HKEY_CURRENT_USER\\Velmora\\Photo\\Settings"));
  QCOMPARE(doc.sections().size(), std::size_t(3));
  QCOMPARE(doc.sections()[0].path, std::string("HKEY_CURRENT_USER\\Velmora"));
  QCOMPARE(doc.sections()[1].path, std::string("HKEY_CURRENT_USER\\Velmora\\Photo"));
  QCOMPARE(doc.sections()[2].path, std::string("HKEY_CURRENT_USER\\Velmora\\Photo\\Settings"));
  QVERIFY(!doc.hasKey("HKEY_CURRENT_USER\\Velmora\\Photo\\Set"));
  QVERIFY(!doc.hasKey("HKEY_CURRENT_USER\\Velm"));
}

void FormatTest::newKeysKeepExistingSpellingAndTreeOrder() {
  Document doc = parseOk(kHead +
                         "[HKEY_CURRENT_USER\\Velmora\\Photo]\n\n"
                         "[HKEY_CURRENT_USER\\Zeta]\n");
  auto paths = [&] {
    std::vector<std::string> all;
    for (const auto& section : doc.sections()) all.push_back(section.path);
    return all;
  };
  // "Velmora" exists through the section below it and needs none of its own.
  QVERIFY(doc.createKey("hkey_current_user\\VELMORA\\PHOTO\\Settings"));
  QVERIFY(doc.hasKey("hkey_current_user\\VELMORA"));
  QCOMPARE(paths(), (std::vector<std::string>{"HKEY_CURRENT_USER\\Velmora\\Photo",
                                              "HKEY_CURRENT_USER\\Velmora\\Photo\\Settings",
                                              "HKEY_CURRENT_USER\\Zeta"}));
  // Once it holds a value it gets a section, ahead of its subtree.
  QVERIFY(doc.setValue("HKEY_CURRENT_USER\\VELMORA", "A", Value::dword(1)));
  QCOMPARE(paths(), (std::vector<std::string>{
                        "HKEY_CURRENT_USER\\Velmora", "HKEY_CURRENT_USER\\Velmora\\Photo",
                        "HKEY_CURRENT_USER\\Velmora\\Photo\\Settings", "HKEY_CURRENT_USER\\Zeta"}));
  // A new top level goes after the last section of the same root.
  QVERIFY(doc.createKey("HKEY_CURRENT_USER\\Alpha"));
  QCOMPARE(paths().back(), std::string("HKEY_CURRENT_USER\\Alpha"));
}

void FormatTest::settingOneValueKeepsEverythingElse() {
  const QByteArray before = kHead +
                            "[HKEY_LOCAL_MACHINE\\X]\n\"Q\"=hex(b):01,00,00,00,00,00,00,00\n\n"
                            "[HKEY_CURRENT_USER\\Velmora\\Photo]\n"
                            "\"Path\"=\"/a\"\n\"En\"=dword:00000001\n\"Boy\"=dword:00000002\n";
  Document doc = parseOk(before);
  QVERIFY(doc.setValue("HKEY_CURRENT_USER\\VELMORA\\photo", "EN", Value::dword(7)));
  QVERIFY(!doc.setValue("HKEY_CURRENT_USER\\Velmora\\Photo", "En", Value::dword(7)));
  QByteArray after = before;
  after.replace("\"En\"=dword:00000001", "\"En\"=dword:00000007");
  QCOMPARE(QByteArray::fromStdString(registry::serialize(doc)), after);
}

void FormatTest::keyPaths_data() {
  QTest::addColumn<QString>("relative");
  QTest::addColumn<bool>("valid");
  QTest::addColumn<QString>("full");

  QTest::newRow("the root itself") << "" << true << "HKEY_CURRENT_USER";
  QTest::newRow("two levels") << "Velmora\\Photo" << true << "HKEY_CURRENT_USER\\Velmora\\Photo";
  QTest::newRow("leading backslash") << "\\Velmora" << false << "";
  QTest::newRow("trailing backslash") << "Velmora\\" << false << "";
  QTest::newRow("doubled backslash") << "Velmora\\\\Photo" << false << "";
  QTest::newRow("line break in a name") << "Vel\nmora" << false << "";
}

void FormatTest::keyPaths() {
  QFETCH(QString, relative);
  QFETCH(bool, valid);
  QFETCH(QString, full);
  auto result = registry::fullKeyPath("HKEY_CURRENT_USER", relative.toStdString());
  QCOMPARE(result.ok(), valid);
  if (valid) QCOMPARE(QString::fromStdString(*result), full);
  if (!valid) QCOMPARE(int(result.error().code), int(registry::Errc::InvalidName));
}

void FormatTest::defaultStorePath_data() {
  QTest::addColumn<QByteArray>("xdg");
  QTest::addColumn<QByteArray>("home");
  QTest::addColumn<QString>("expected");

  QTest::newRow("XDG_CONFIG_HOME set")
      << QByteArray("/cfg") << QByteArray("/home/u") << "/cfg/Velmora/user.reg";
  QTest::newRow("XDG_CONFIG_HOME empty")
      << QByteArray("") << QByteArray("/home/u") << "/home/u/.config/Velmora/user.reg";
  QTest::newRow("XDG_CONFIG_HOME relative is ignored")
      << QByteArray("cfg") << QByteArray("/home/u") << "/home/u/.config/Velmora/user.reg";
  QTest::newRow("XDG_CONFIG_HOME unset")
      << QByteArray() << QByteArray("/home/u") << "/home/u/.config/Velmora/user.reg";
  QTest::newRow("nothing usable") << QByteArray() << QByteArray("") << "";
}

void FormatTest::defaultStorePath() {
  QFETCH(QByteArray, xdg);
  QFETCH(QByteArray, home);
  QFETCH(QString, expected);
  auto path = registry::userStorePath(xdg.isNull() ? nullptr : xdg.constData(),
                                      home.isNull() ? nullptr : home.constData());
  QCOMPARE(path ? QString::fromStdString(path->string()) : QString(), expected);
}

QTEST_APPLESS_MAIN(FormatTest)
#include "format_test.moc"
