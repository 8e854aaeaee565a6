// Module1 as the windows use it: the four calls against a sandboxed profile,
// checked both through the calls themselves and through what lands on disk.

#include "settings/Module1.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QtTest>
#include <climits>
#include <memory>

#include "platform/files/syscalls.h"
#include "platform/registry/store.h"
#include "support/sandbox.h"

using Module1::HKEY_CURRENT_USER;
using registry::Value;

Q_DECLARE_METATYPE(registry::Value)

namespace {

Value raw(std::uint32_t type, const QByteArray& bytes) {
  return Value{type, registry::Bytes(bytes.begin(), bytes.end())};
}

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs `action` with standard error sent to a file and returns what it wrote.
template <class F>
QByteArray capturedStderr(F action) {
  QTemporaryFile sink;
  if (!sink.open()) return "cannot capture";
  static_cast<void>(std::fflush(stderr));
  const int saved = ::dup(STDERR_FILENO);
  ::dup2(sink.handle(), STDERR_FILENO);
  action();
  static_cast<void>(std::fflush(stderr));
  ::dup2(saved, STDERR_FILENO);
  ::close(saved);
  sink.seek(0);
  return sink.readAll();
}

int refusingCreation(const char* path, int flags, mode_t mode) {
  if (flags & O_CREAT) return errno = EROFS, -1;
  return files::realSyscalls().open(path, flags, mode);
}

}  // namespace

class Module1Test : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void keyPathsAreTheProgramsOwn();
  void freshProfileReadsDefaultsAndCreatesNothing_data();
  void freshProfileReadsDefaultsAndCreatesNothing();
  void firstWriteCreatesEveryLevel_data();
  void firstWriteCreatesEveryLevel();
  void textRoundTripsWithoutTerminatingZero_data();
  void textRoundTripsWithoutTerminatingZero();
  void storedTextIsCutAtTheFirstZero_data();
  void storedTextIsCutAtTheFirstZero();
  void numbersRoundTripSigned_data();
  void numbersRoundTripSigned();
  void valueOfAnotherTypeReadsAsAbsent_data();
  void valueOfAnotherTypeReadsAsAbsent();
  void namesIgnoreCaseAndNothingIsCached();
  void otherRootsHoldNothing_data();
  void otherRootsHoldNothing();
  void emptyConfigVariableFallsBackToHome();
  void damagedFileIsKeptAsideAndDefaultsGoOn();
  void unwritableProfileDropsWritesAndReadsGoOn_data();
  void unwritableProfileDropsWritesAndReadsGoOn();

 private:
  registry::Store store() const { return registry::Store(profile_->settingsFile().toStdString()); }
  void putRaw(const QString& key, const QString& name, const Value& value) {
    registry::Store s = store();
    auto handle = s.createKey(key.toStdString());
    QVERIFY(handle);
    QVERIFY(s.setValue(*handle, name.toStdString(), value));
  }
  std::optional<Value> stored(const QString& key, const QString& name) const {
    auto handle = store().openKey(key.toStdString());
    if (!handle) return std::nullopt;
    auto value = store().readValue(*handle, name.toStdString());
    if (!value) return std::nullopt;
    return *value;
  }

  std::unique_ptr<testsupport::SandboxProfile> profile_;
};

void Module1Test::init() {
  profile_ = std::make_unique<testsupport::SandboxProfile>();
}

void Module1Test::cleanup() {
  profile_.reset();
}

void Module1Test::keyPathsAreTheProgramsOwn() {
  QCOMPARE(Module1::mainKeyPath(), QString("Velmora\\Photo"));
  QCOMPARE(Module1::layoutKeyPath(), QString("Velmora\\Photo\\Settings"));
}

void Module1Test::freshProfileReadsDefaultsAndCreatesNothing_data() {
  QTest::addColumn<bool>("layout");
  QTest::addColumn<QString>("name");
  for (const char* name : {"En", "Boy", "Ust", "Sol", "Hareket", "Kalite", "Path"}) {
    QTest::addRow("main %s", name) << false << name;
  }
  for (const char* name : {"ExpWith", "Refresh"}) QTest::addRow("layout %s", name) << true << name;
}

void Module1Test::freshProfileReadsDefaultsAndCreatesNothing() {
  QFETCH(bool, layout);
  QFETCH(QString, name);
  const QString key = layout ? Module1::layoutKeyPath() : Module1::mainKeyPath();
  QCOMPARE(Module1::getDwordValue(HKEY_CURRENT_USER, key, name), 0);
  QCOMPARE(Module1::getStringValue(HKEY_CURRENT_USER, key, name), QString());
  QCOMPARE(QDir(profile_->configHome()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
           QStringList());
}

void Module1Test::firstWriteCreatesEveryLevel_data() {
  QTest::addColumn<bool>("layout");
  QTest::addColumn<QByteArray>("expected");
  QTest::newRow("number under the main key") << false
                                             << QByteArray(
                                                    "Windows Registry Editor Version 5.00\n\n"
                                                    "[HKEY_CURRENT_USER\\Velmora]\n\n"
                                                    "[HKEY_CURRENT_USER\\Velmora\\Photo]\n"
                                                    "\"V\"=dword:00000069\n");
  QTest::newRow("number under the layout key")
      << true
      << QByteArray(
             "Windows Registry Editor Version 5.00\n\n"
             "[HKEY_CURRENT_USER\\Velmora]\n\n"
             "[HKEY_CURRENT_USER\\Velmora\\Photo]\n\n"
             "[HKEY_CURRENT_USER\\Velmora\\Photo\\Settings]\n"
             "\"V\"=dword:00000069\n");
}

void Module1Test::firstWriteCreatesEveryLevel() {
  QFETCH(bool, layout);
  QFETCH(QByteArray, expected);
  const QString key = layout ? Module1::layoutKeyPath() : Module1::mainKeyPath();
  Module1::saveDwordValue(HKEY_CURRENT_USER, key, "V", 105);
  QCOMPARE(readAll(profile_->settingsFile()), expected);
  for (const char* level : {"Velmora", "Velmora\\Photo"}) QVERIFY(store().openKey(level));
  QCOMPARE(Module1::getDwordValue(HKEY_CURRENT_USER, key, "V"), 105);
}

void Module1Test::textRoundTripsWithoutTerminatingZero_data() {
  QTest::addColumn<QString>("text");
  QTest::newRow("folder path") << "/home/x/Resimler";
  QTest::newRow("Turkish letters") << "ğüşıöçĞÜŞİÖÇ";
  QTest::newRow("empty text") << "";
  QTest::newRow("blanks kept at both ends") << "  Resim ler  ";
  QTest::newRow("backslashes and quotes") << "C:\\\"Belgeler\"\\";
  QTest::newRow("line break") << "bir\nikı";
  QTest::newRow("long text") << QString(2000, QChar(0x15F));
}

void Module1Test::textRoundTripsWithoutTerminatingZero() {
  QFETCH(QString, text);
  Module1::saveStringValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "Path", text);
  QCOMPARE(Module1::getStringValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "Path"), text);
  const auto value = stored(Module1::mainKeyPath(), "Path");
  QVERIFY(value);
  QCOMPARE(value->type, registry::REG_SZ);
  QCOMPARE(QByteArray::fromStdString(value->bytesAsString()), text.toUtf8());
}

void Module1Test::storedTextIsCutAtTheFirstZero_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<QString>("expected");
  QTest::newRow("no zero") << QByteArray("AB") << "AB";
  QTest::newRow("terminating zero") << QByteArray("AB\0", 3) << "AB";
  QTest::newRow("zero inside") << QByteArray("AB\0CD", 5) << "AB";
  QTest::newRow("zero first") << QByteArray("\0AB", 3) << "";
  QTest::newRow("Turkish text with terminating zero") << QByteArray("Şule\0", 6) << "Şule";
}

void Module1Test::storedTextIsCutAtTheFirstZero() {
  QFETCH(QByteArray, bytes);
  QFETCH(QString, expected);
  putRaw(Module1::mainKeyPath(), "Path", raw(registry::REG_SZ, bytes));
  QCOMPARE(Module1::getStringValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "Path"), expected);
}

void Module1Test::numbersRoundTripSigned_data() {
  QTest::addColumn<int>("number");
  QTest::newRow("zero") << 0;
  QTest::newRow("width") << 105;
  QTest::newRow("browser width") << 3000;
  QTest::newRow("minus one") << -1;
  QTest::newRow("smallest") << INT_MIN;
  QTest::newRow("largest") << INT_MAX;
}

void Module1Test::numbersRoundTripSigned() {
  QFETCH(int, number);
  Module1::saveDwordValue(HKEY_CURRENT_USER, Module1::layoutKeyPath(), "ExpWith", number);
  QCOMPARE(Module1::getDwordValue(HKEY_CURRENT_USER, Module1::layoutKeyPath(), "ExpWith"), number);
  QCOMPARE(stored(Module1::layoutKeyPath(), "ExpWith"), std::optional(Value::dword(number)));
}

void Module1Test::valueOfAnotherTypeReadsAsAbsent_data() {
  QTest::addColumn<registry::Value>("value");
  QTest::addColumn<QString>("asText");
  QTest::addColumn<int>("asNumber");
  QTest::newRow("text is no number") << Value::text("105") << "105" << 0;
  QTest::newRow("number is no text") << Value::dword(105) << "" << 105;
  QTest::newRow("four binary bytes are neither")
      << raw(registry::REG_BINARY, QByteArray("\x69\0\0\0", 4)) << "" << 0;
  QTest::newRow("expandable text is no text") << raw(registry::REG_EXPAND_SZ, "x") << "" << 0;
  QTest::newRow("two-byte number is neither") << raw(registry::REG_DWORD, "\x69\0") << "" << 0;
  QTest::newRow("eight-byte number is neither")
      << raw(registry::REG_DWORD, QByteArray(8, '\1')) << "" << 0;
  QTest::newRow("quad word is no number")
      << raw(registry::REG_QWORD, QByteArray(8, '\0')) << "" << 0;
}

void Module1Test::valueOfAnotherTypeReadsAsAbsent() {
  QFETCH(registry::Value, value);
  QFETCH(QString, asText);
  QFETCH(int, asNumber);
  putRaw(Module1::mainKeyPath(), "V", value);
  QCOMPARE(Module1::getStringValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "V"), asText);
  QCOMPARE(Module1::getDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "V"), asNumber);
}

void Module1Test::namesIgnoreCaseAndNothingIsCached() {
  Module1::saveDwordValue(HKEY_CURRENT_USER, "VELMORA\\photo", "en", 7);
  QCOMPARE(Module1::getDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En"), 7);
  Module1::saveDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "EN", 8);
  QCOMPARE(Module1::getDwordValue(HKEY_CURRENT_USER, "velmora\\PHOTO", "eN"), 8);
  QVERIFY(
      readAll(profile_->settingsFile()).contains("[HKEY_CURRENT_USER\\VELMORA\\photo]\n\"en\"="));

  // Another process changes the file: the next read sees it.
  putRaw(Module1::mainKeyPath(), "En", Value::dword(9));
  QCOMPARE(Module1::getDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En"), 9);
  QFile::remove(profile_->settingsFile());
  QCOMPARE(Module1::getDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En"), 0);
}

void Module1Test::otherRootsHoldNothing_data() {
  QTest::addColumn<int>("root");
  QTest::newRow("machine-wide root") << int(0x80000002U);
  QTest::newRow("classes root") << int(0x80000000U);
  QTest::newRow("no root") << 0;
}

void Module1Test::otherRootsHoldNothing() {
  QFETCH(int, root);
  Module1::saveDwordValue(root, Module1::mainKeyPath(), "En", 5);
  Module1::saveStringValue(root, Module1::mainKeyPath(), "Path", "/x");
  QVERIFY(!QFileInfo::exists(profile_->settingsFile()));
  Module1::saveDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En", 5);
  Module1::saveStringValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "Path", "/x");
  QCOMPARE(Module1::getDwordValue(root, Module1::mainKeyPath(), "En"), 0);
  QCOMPARE(Module1::getStringValue(root, Module1::mainKeyPath(), "Path"), QString());
}

void Module1Test::emptyConfigVariableFallsBackToHome() {
  qputenv("XDG_CONFIG_HOME", "");
  Module1::saveDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En", 11);
  QVERIFY(QFileInfo::exists(profile_->root() + "/.config/Velmora/user.reg"));
  QCOMPARE(Module1::getDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En"), 11);
}

void Module1Test::damagedFileIsKeptAsideAndDefaultsGoOn() {
  const QByteArray damaged = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Velmora";
  QDir().mkpath(QFileInfo(profile_->settingsFile()).path());
  QFile f(profile_->settingsFile());
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(damaged);
  f.close();

  QCOMPARE(Module1::getDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En"), 0);
  const QByteArray message = capturedStderr(
      [] { Module1::saveDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En", 105); });
  QCOMPARE(message.count('\n'), 1);
  QVERIFY2(message.contains("user.reg.corrupt-"), message.constData());

  const QStringList kept = QDir(QFileInfo(profile_->settingsFile()).path())
                               .entryList({"user.reg.corrupt-*"}, QDir::Files);
  QCOMPARE(kept.size(), 1);
  QCOMPARE(readAll(QFileInfo(profile_->settingsFile()).path() + "/" + kept[0]), damaged);
  QCOMPARE(Module1::getDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En"), 105);
  const QByteArray quiet = capturedStderr(
      [] { Module1::saveDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "Boy", 120); });
  QCOMPARE(quiet, QByteArray());
}

void Module1Test::unwritableProfileDropsWritesAndReadsGoOn_data() {
  QTest::addColumn<bool>("fileInTheWay");
  QTest::newRow("configuration folder is a file") << true;
  QTest::newRow("read-only folder") << false;
}

void Module1Test::unwritableProfileDropsWritesAndReadsGoOn() {
  QFETCH(bool, fileInTheWay);
  if (fileInTheWay) {
    QFile plain(profile_->root() + "/plain");
    QVERIFY(plain.open(QIODevice::WriteOnly));
    qputenv("XDG_CONFIG_HOME", (profile_->root() + "/plain").toLocal8Bit());
    Module1::saveDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En", 1);
    Module1::saveStringValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "Path", "/x");
    QCOMPARE(Module1::getDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En"), 0);
    QCOMPARE(plain.size(), 0);
    return;
  }
  Module1::saveDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En", 105);
  const QByteArray before = readAll(profile_->settingsFile());
  files::ScopedSyscalls seam;
  seam.table().open = &refusingCreation;
  Module1::saveDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En", 1);
  Module1::saveStringValue(HKEY_CURRENT_USER, Module1::layoutKeyPath(), "Path", "/x");
  QCOMPARE(readAll(profile_->settingsFile()), before);
  QCOMPARE(Module1::getDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En"), 105);
}

QTEST_APPLESS_MAIN(Module1Test)
#include "module1_test.moc"
