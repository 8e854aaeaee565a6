// Module1 as the windows use it: the four calls over a sandboxed profile's
// store file, checked both through the calls themselves and through what
// lands on disk; and where the user's own store is found.

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

constexpr Module1::HKEY HKEY_CURRENT_USER = Module1::HKEY_CURRENT_USER;
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

// Sets an environment variable for its lifetime.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const QByteArray& value)
      : name_(name), saved_(qgetenv(name)), wasSet_(qEnvironmentVariableIsSet(name)) {
    qputenv(name, value);
  }
  ~ScopedVariable() {
    if (wasSet_) {
      qputenv(name_, saved_);
    } else {
      qunsetenv(name_);
    }
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  QByteArray saved_;
  bool wasSet_;
};

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
  void storedTextTellsWhetherItIsExact_data();
  void storedTextTellsWhetherItIsExact();
  void numbersRoundTripSigned_data();
  void numbersRoundTripSigned();
  void valueOfAnotherTypeReadsAsAbsent_data();
  void valueOfAnotherTypeReadsAsAbsent();
  void namesIgnoreCaseAndNothingIsCached();
  void otherRootsHoldNothing_data();
  void otherRootsHoldNothing();
  void userStoreIsFoundOnceFromTheEnvironment_data();
  void userStoreIsFoundOnceFromTheEnvironment();
  void noStoreReadsNothingAndWritesNothing();
  void damagedFileIsKeptAsideAndDefaultsGoOn();
  void unwritableProfileDropsWritesAndReadsGoOn_data();
  void unwritableProfileDropsWritesAndReadsGoOn();

 private:
  Module1 settings() const { return Module1(profile_->settingsFile().toStdString()); }
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
  QCOMPARE(settings().getDwordValue(HKEY_CURRENT_USER, key, name), 0);
  QCOMPARE(settings().getStringValue(HKEY_CURRENT_USER, key, name), QString());
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
  settings().saveDwordValue(HKEY_CURRENT_USER, key, "V", 105);
  QCOMPARE(readAll(profile_->settingsFile()), expected);
  for (const char* level : {"Velmora", "Velmora\\Photo"}) QVERIFY(store().openKey(level));
  QCOMPARE(settings().getDwordValue(HKEY_CURRENT_USER, key, "V"), 105);
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
  QTest::newRow("leading byte order mark") << QString(QChar(0xFEFF)) + "Resimler";
  QTest::newRow("letters beyond the first plane") << "Foto 📷";
}

void Module1Test::textRoundTripsWithoutTerminatingZero() {
  QFETCH(QString, text);
  settings().saveStringValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "Path", text);
  QCOMPARE(settings().getStringValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "Path"), text);
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
  QCOMPARE(settings().getStringValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "Path"), expected);
}

void Module1Test::storedTextTellsWhetherItIsExact_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<QString>("text");
  QTest::addColumn<bool>("exact");
  QTest::newRow("plain letters") << QByteArray("/home/x") << "/home/x" << true;
  QTest::newRow("Turkish letters in UTF-8")
      << QByteArray("\xC4\x9F\xC3\xBC\xC5\x9F\xC4\xB1") << "ğüşı" << true;
  QTest::newRow("letters beyond the first plane") << QByteArray("\xF0\x9F\x93\xB7") << "📷" << true;
  QTest::newRow("a byte order mark is text too")
      << QByteArray("\xEF\xBB\xBFx") << QString(QChar(0xFEFF)) + "x" << true;
  QTest::newRow("bytes after the terminating zero are not the text")
      << QByteArray("AB\0\xFF", 4) << "AB" << true;
  QTest::newRow("the Turkish code page's six letters")
      << QByteArray("\xD0\xDD\xDE\xF0\xFD\xFE") << "ĞİŞğış" << false;
  QTest::newRow("the code page's Latin-1 letters")
      << QByteArray("\xC7\xD6\xDC\xE7\xF6\xFC") << "ÇÖÜçöü" << false;
  QTest::newRow("the code page's signs below A0") << QByteArray("\x80\x8A\x9F") << "€ŠŸ" << false;
  QTest::newRow("bytes the code page leaves empty")
      << QByteArray("a\x81\x9D")
      << QString("a") + QChar::ReplacementCharacter + QChar::ReplacementCharacter << false;
  QTest::newRow("a stray byte among UTF-8 letters")
      << QByteArray("\xC5\x9Eule\xFE") << "Şuleş" << false;
  QTest::newRow("a letter cut short at the end") << QByteArray("ab\xC4") << "abÄ" << false;
  QTest::newRow("an overlong form") << QByteArray("\xC0\xAF") << "À¯" << false;
  QTest::newRow("an overlong three-byte form") << QByteArray("\xE0\x80\xAF") << "à€¯" << false;
  QTest::newRow("an encoded surrogate") << QByteArray("\xED\xA0\x80") << "í\u00A0€" << false;
  QTest::newRow("beyond the last code point")
      << QByteArray("\xF4\x90\x80\x80") << QString("ô") + QChar::ReplacementCharacter + "€€"
      << false;
}

void Module1Test::storedTextTellsWhetherItIsExact() {
  QFETCH(QByteArray, bytes);
  QFETCH(QString, text);
  QFETCH(bool, exact);
  putRaw(Module1::mainKeyPath(), "Path", raw(registry::REG_SZ, bytes));
  const Module1::StoredText read =
      settings().readStringValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "Path");
  QCOMPARE(read.text, text);
  QCOMPARE(read.exact, exact);
  QCOMPARE(settings().getStringValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "Path"), text);
  // Reading changes nothing on disk.
  QCOMPARE(stored(Module1::mainKeyPath(), "Path"), std::optional(raw(registry::REG_SZ, bytes)));
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
  settings().saveDwordValue(HKEY_CURRENT_USER, Module1::layoutKeyPath(), "ExpWith", number);
  QCOMPARE(settings().getDwordValue(HKEY_CURRENT_USER, Module1::layoutKeyPath(), "ExpWith"),
           number);
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
  QCOMPARE(settings().getStringValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "V"), asText);
  QCOMPARE(settings().getDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "V"), asNumber);
}

void Module1Test::namesIgnoreCaseAndNothingIsCached() {
  settings().saveDwordValue(HKEY_CURRENT_USER, "VELMORA\\photo", "en", 7);
  QCOMPARE(settings().getDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En"), 7);
  settings().saveDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "EN", 8);
  QCOMPARE(settings().getDwordValue(HKEY_CURRENT_USER, "velmora\\PHOTO", "eN"), 8);
  QVERIFY(
      readAll(profile_->settingsFile()).contains("[HKEY_CURRENT_USER\\VELMORA\\photo]\n\"en\"="));

  // Another process changes the file: the next read sees it.
  putRaw(Module1::mainKeyPath(), "En", Value::dword(9));
  QCOMPARE(settings().getDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En"), 9);
  QFile::remove(profile_->settingsFile());
  QCOMPARE(settings().getDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En"), 0);
}

void Module1Test::otherRootsHoldNothing_data() {
  QTest::addColumn<int>("root");
  QTest::newRow("machine-wide root") << int(0x80000002U);
  QTest::newRow("classes root") << int(0x80000000U);
  QTest::newRow("no root") << 0;
}

void Module1Test::otherRootsHoldNothing() {
  QFETCH(int, root);
  settings().saveDwordValue(root, Module1::mainKeyPath(), "En", 5);
  settings().saveStringValue(root, Module1::mainKeyPath(), "Path", "/x");
  QVERIFY(!QFileInfo::exists(profile_->settingsFile()));
  settings().saveDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En", 5);
  settings().saveStringValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "Path", "/x");
  QCOMPARE(settings().getDwordValue(root, Module1::mainKeyPath(), "En"), 0);
  QCOMPARE(settings().getStringValue(root, Module1::mainKeyPath(), "Path"), QString());
}

void Module1Test::userStoreIsFoundOnceFromTheEnvironment_data() {
  QTest::addColumn<QByteArray>("configHome");
  QTest::addColumn<QString>("expected");  // below the sandbox's root
  QTest::newRow("XDG_CONFIG_HOME names the folder") << QByteArray("/config") << "/config";
  QTest::newRow("an empty XDG_CONFIG_HOME falls back to the home folder")
      << QByteArray() << "/.config";
  QTest::newRow("a relative XDG_CONFIG_HOME is ignored") << QByteArray("relative") << "/.config";
}

void Module1Test::userStoreIsFoundOnceFromTheEnvironment() {
  QFETCH(QByteArray, configHome);
  QFETCH(QString, expected);
  const QString root = profile_->root();
  const QString file = root + expected + "/Velmora/user.reg";
  Module1 user;
  {
    const ScopedVariable home("HOME", QFile::encodeName(root));
    const ScopedVariable config("XDG_CONFIG_HOME", configHome.startsWith('/')
                                                       ? QFile::encodeName(root) + configHome
                                                       : configHome);
    user = Module1::forUserProfile();
  }
  QCOMPARE(QString::fromStdString(user.storeFile().string()), file);
  // The environment is read once: writes land there after it changed back.
  user.saveDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En", 11);
  QVERIFY(QFileInfo::exists(file));
  QCOMPARE(user.getDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En"), 11);
}

void Module1Test::noStoreReadsNothingAndWritesNothing() {
  const Module1 none;
  none.saveDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En", 5);
  none.saveStringValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "Path", "/x");
  QCOMPARE(none.getDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En"), 0);
  QCOMPARE(none.getStringValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "Path"), QString());
  QCOMPARE(QDir(profile_->configHome()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
           QStringList());
}

void Module1Test::damagedFileIsKeptAsideAndDefaultsGoOn() {
  const QByteArray damaged = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Velmora";
  QDir().mkpath(QFileInfo(profile_->settingsFile()).path());
  QFile f(profile_->settingsFile());
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(damaged);
  f.close();

  QCOMPARE(settings().getDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En"), 0);
  const QByteArray message = capturedStderr(
      [this] { settings().saveDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En", 105); });
  QCOMPARE(message.count('\n'), 1);
  QVERIFY2(message.contains("user.reg.corrupt-"), message.constData());

  const QStringList kept = QDir(QFileInfo(profile_->settingsFile()).path())
                               .entryList({"user.reg.corrupt-*"}, QDir::Files);
  QCOMPARE(kept.size(), 1);
  QCOMPARE(readAll(QFileInfo(profile_->settingsFile()).path() + "/" + kept[0]), damaged);
  QCOMPARE(settings().getDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En"), 105);
  const QByteArray quiet = capturedStderr(
      [this] { settings().saveDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "Boy", 120); });
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
    const Module1 blocked((profile_->root() + "/plain/Velmora/user.reg").toStdString());
    blocked.saveDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En", 1);
    blocked.saveStringValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "Path", "/x");
    QCOMPARE(blocked.getDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En"), 0);
    QCOMPARE(plain.size(), 0);
    return;
  }
  settings().saveDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En", 105);
  const QByteArray before = readAll(profile_->settingsFile());
  files::ScopedSyscalls seam;
  seam.table().open = &refusingCreation;
  settings().saveDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En", 1);
  settings().saveStringValue(HKEY_CURRENT_USER, Module1::layoutKeyPath(), "Path", "/x");
  QCOMPARE(readAll(profile_->settingsFile()), before);
  QCOMPARE(settings().getDwordValue(HKEY_CURRENT_USER, Module1::mainKeyPath(), "En"), 105);
}

QTEST_APPLESS_MAIN(Module1Test)
#include "module1_test.moc"
