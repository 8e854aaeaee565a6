// The about box and the product notices: the version, the store look-ups and
// the system information program really started, the buttons and keys that
// close them, and the web page opened through the program's seam.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "about/hakkinda.h"
#include "about/notices.h"
#include "about/systeminfo.h"
#include "about/weblink.h"
#include "mainwindow/programwindows.h"
#include "platform/registry/reg_parser.h"
#include "platform/registry/store.h"
#include "support/scripted_prompter.h"
#include "windows/windowregistry.h"

namespace {

const QString kUnavailable = QStringLiteral("System Information Is Unavailable At This Time");

// A program that leaves a marker file with its own name when it runs.
QString writeStub(const QString& folder, const QString& name, const QString& marker) {
  QDir().mkpath(folder);
  const QString path = QDir(folder).filePath(name);
  QFile script(path);
  if (!script.open(QIODevice::WriteOnly)) return {};
  script.write(QStringLiteral("#!/bin/sh\nbasename \"$0\" > '%1'\n").arg(marker).toUtf8());
  script.close();
  script.setPermissions(script.permissions() | QFile::ExeOwner);
  return path;
}

}  // namespace

class TestHakkinda : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void versionFromTheBuild();
  void installedMachineStoreIsValidAndEmpty();
  void getKeyValue_data();
  void getKeyValue();
  void startSysInfo_data();
  void startSysInfo();
  void closingKeysAndButton_data();
  void closingKeysAndButton();
  void termsOfUseNotice();
  void webPageOpensThroughTheSeam();
  void noticesCloseAndLink_data();
  void noticesCloseAndLink();

 private:
  hakkinda& aboutBox() { return registry_->show<hakkinda>(); }
  registry::Store machineStore() const {
    return registry::Store(machineFile().toStdString(), std::string(registry::kLocalMachineRoot));
  }
  QString machineFile() const { return folder_->filePath(QStringLiteral("etc/machine.reg")); }
  void setMachineValue(std::string_view key, std::string_view name, const registry::Value& value) {
    registry::Store store = machineStore();
    const auto opened = store.createKey(key);
    QVERIFY(opened.ok());
    QVERIFY(store.setValue(*opened, name, value).ok());
  }

  std::unique_ptr<QTemporaryDir> folder_;
  std::unique_ptr<testsupport::ScriptedPrompter> prompts_;
  std::unique_ptr<windows::WindowRegistry> registry_;
  QList<QUrl> opened_;
};

void TestHakkinda::init() {
  folder_ = std::make_unique<QTemporaryDir>();
  QVERIFY(QDir().mkpath(folder_->filePath(QStringLiteral("etc"))));
  prompts_ = std::make_unique<testsupport::ScriptedPrompter>();
  opened_.clear();
  windows::ProgramContext context;
  context.prompter = prompts_.get();
  context.openWebPage = [this](const QUrl& page) { opened_.append(page); };
  context.machineSettingsFile = machineFile().toStdString();
  context.programSearchPath = {folder_->filePath(QStringLiteral("bin"))};
  registry_ = std::make_unique<windows::WindowRegistry>(std::move(context));
  windows::defineProgramWindows(*registry_);
}

void TestHakkinda::cleanup() {
  registry_.reset();
  prompts_.reset();
}

void TestHakkinda::versionFromTheBuild() {
  hakkinda& box = aboutBox();
  QCOMPARE(box.lblversion->text(), QStringLiteral("v." TANDEO_TEST_VERSION));
  QCOMPARE(box.windowTitle(), QStringLiteral("Velmora Photo V1.0 Beta"));
}

void TestHakkinda::installedMachineStoreIsValidAndEmpty() {
  // Shipped with its keys commented out: the desktop's own tools are used
  // until an administrator names a program.
  struct Sections final : registry::ParseSink {
    int count = 0;
    bool section(std::string_view) override { return ++count > 0; }
    bool value(const registry::RawValue&) override { return true; }
  } sections;
  QFile shipped(QStringLiteral(TANDEO_TEST_SOURCE_DIR "/packaging/machine.reg"));
  QVERIFY(shipped.open(QIODevice::ReadOnly));
  const QByteArray text = shipped.readAll();
  const auto parsed = registry::parseRegText(std::string_view(text.data(), text.size()), sections);
  QVERIFY(parsed.ok());
  QCOMPARE(sections.count, 0);
}

void TestHakkinda::getKeyValue_data() {
  QTest::addColumn<QByteArray>("name");
  QTest::addColumn<bool>("found");
  QTest::addColumn<QString>("text");
  QTest::newRow("string value gives its text") << QByteArray("Metin") << true << "/usr/bin/x";
  QTest::newRow("trailing zero is dropped") << QByteArray("Sifirli") << true << "abc";
  QTest::newRow("number in decimal") << QByteArray("Sayi") << true << "1234";
  QTest::newRow("negative number stays signed") << QByteArray("Eksi") << true << "-1";
  QTest::newRow("other type gives empty text") << QByteArray("Ikili") << true << "";
  QTest::newRow("value over 1024 bytes is a failure") << QByteArray("Uzun") << false << "";
  QTest::newRow("missing value is a failure") << QByteArray("Yok") << false << "";
}

void TestHakkinda::getKeyValue() {
  QFETCH(QByteArray, name);
  QFETCH(bool, found);
  QFETCH(QString, text);
  const std::string_view key = "Velmora\\Deneme";
  setMachineValue(key, "Metin", registry::Value::text("/usr/bin/x"));
  setMachineValue(key, "Sifirli", registry::Value{registry::REG_SZ, {'a', 'b', 'c', 0}});
  setMachineValue(key, "Sayi", registry::Value::dword(1234));
  setMachineValue(key, "Eksi", registry::Value::dword(-1));
  setMachineValue(key, "Ikili", registry::Value{registry::REG_BINARY, {1, 2, 3}});
  setMachineValue(key, "Uzun", registry::Value::text(std::string(2000, 'x')));

  const registry::Store store = machineStore();
  const auto value = about::GetKeyValue(store, key, name.toStdString());
  QCOMPARE(value.ok(), found);
  if (found) QCOMPARE(*value, text);
  QVERIFY(!about::GetKeyValue(store, "Velmora\\Yok", "Metin").ok());
}

void TestHakkinda::startSysInfo_data() {
  QTest::addColumn<QString>("setup");
  QTest::addColumn<QString>("started");  // the program's name, or empty: the message
  QTest::newRow("PATH value started directly") << "path"
                                               << "secilen";
  QTest::newRow("PATH value of a missing program gives the message") << "path-missing"
                                                                     << "";
  QTest::newRow("MSINFO folder holding the program") << "folder"
                                                     << "sysinfo";
  QTest::newRow("MSINFO folder without the program gives the message") << "empty-folder"
                                                                       << "";
  QTest::newRow("no store: a desktop tool on the search path") << "tool"
                                                               << "gnome-system-monitor";
  QTest::newRow("no store, no tool: the message") << "nothing"
                                                  << "";
}

void TestHakkinda::startSysInfo() {
  QFETCH(QString, setup);
  QFETCH(QString, started);
  const QString marker = folder_->filePath(QStringLiteral("marker"));
  const QString tools = folder_->filePath(QStringLiteral("tools"));
  if (setup == "path") {
    const QString program = writeStub(tools, QStringLiteral("secilen"), marker);
    setMachineValue(about::kSystemInfoKey, "PATH", registry::Value::text(program.toStdString()));
  } else if (setup == "path-missing") {
    setMachineValue(about::kSystemInfoKey, "PATH",
                    registry::Value::text((tools + "/yok").toStdString()));
  } else if (setup == "folder") {
    writeStub(tools, QStringLiteral("sysinfo"), marker);
    setMachineValue(about::kSharedToolsKey, "MSINFO", registry::Value::text(tools.toStdString()));
  } else if (setup == "empty-folder") {
    QVERIFY(QDir().mkpath(tools));
    setMachineValue(about::kSharedToolsKey, "MSINFO", registry::Value::text(tools.toStdString()));
  } else if (setup == "tool") {
    writeStub(folder_->filePath(QStringLiteral("bin")), QStringLiteral("gnome-system-monitor"),
              marker);
    writeStub(folder_->filePath(QStringLiteral("bin")), QStringLiteral("xfce4-taskmanager"),
              marker);
  }
  if (started.isEmpty()) prompts_->answerMessage(ui::vbOK);

  hakkinda& box = aboutBox();
  QTest::mouseClick(box.Command2, Qt::LeftButton);

  if (started.isEmpty()) {
    QCOMPARE(prompts_->prompts().size(), 1);
    const testsupport::RecordedPrompt& shown = prompts_->prompts().constFirst();
    QCOMPARE(shown.text, kUnavailable);
    QCOMPARE(shown.buttons, ui::vbOKOnly);
    QCOMPARE(shown.icon, ui::vbNoIcon);
    QCOMPARE(shown.title, ui::applicationTitle());
    QVERIFY(registry_->find<hakkinda>());  // the box stays open
    return;
  }
  QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker) && QFileInfo(marker).size() > 0, 10000);
  QFile written(marker);
  QVERIFY(written.open(QIODevice::ReadOnly));
  QCOMPARE(QString::fromUtf8(written.readAll()).trimmed(), started);
  QVERIFY(prompts_->prompts().isEmpty());
}

void TestHakkinda::closingKeysAndButton_data() {
  QTest::addColumn<int>("key");  // 0: click "Tamam"
  QTest::newRow("Enter answers the default button") << int(Qt::Key_Return);
  QTest::newRow("Esc answers the cancel button") << int(Qt::Key_Escape);
  QTest::newRow("Tamam clicked") << 0;
}

void TestHakkinda::closingKeysAndButton() {
  QFETCH(int, key);
  hakkinda& box = aboutBox();
  QVERIFY(QTest::qWaitForWindowExposed(&box));
  QCOMPARE(box.Command1->text(), QStringLiteral("Tamam"));
  QVERIFY(box.Command1->isDefault());
  if (key == 0)
    QTest::mouseClick(box.Command1, Qt::LeftButton);
  else
    QTest::keyClick(&box, Qt::Key(key));
  // Unloaded, and loaded again on the next opening.
  QTRY_VERIFY(!registry_->find<hakkinda>());
  QVERIFY(aboutBox().lblversion->text().startsWith(QLatin1String("v.")));
}

void TestHakkinda::termsOfUseNotice() {
  prompts_->answerMessage(ui::vbOK);
  hakkinda& box = aboutBox();
  QCOMPARE(box.Command3->text(), QStringLiteral("Ayrıntılar..."));
  QTest::mouseClick(box.Command3, Qt::LeftButton);
  QCOMPARE(prompts_->prompts().size(), 1);
  const testsupport::RecordedPrompt& shown = prompts_->prompts().constFirst();
  QCOMPARE(shown.title, QStringLiteral("Bilgi"));
  QCOMPARE(shown.icon, ui::vbInformation);
  QCOMPARE(shown.buttons, ui::vbOKOnly);
  const QStringList lines = shown.text.split(QLatin1Char('\n'));
  QCOMPARE(lines.size(), 2);
  QVERIFY(!lines[0].isEmpty() && !lines[1].isEmpty());
}

void TestHakkinda::webPageOpensThroughTheSeam() {
  hakkinda& box = aboutBox();
  QCOMPARE(box.Label2->cursor().shape(), Qt::PointingHandCursor);
  QTest::mouseClick(box.Label2, Qt::LeftButton);
  QCOMPARE(opened_, (QList<QUrl>{QUrl(QString::fromLatin1(about::kMakerWebPage))}));
  // Nothing of the address is cut.
  QVERIFY(box.Label2->width() >= box.Label2->sizeHint().width());
}

void TestHakkinda::noticesCloseAndLink_data() {
  QTest::addColumn<QString>("notice");
  QTest::addColumn<bool>("byEscape");
  QTest::newRow("Velmora Kartela closed with Esc") << "frmKartela" << true;
  QTest::newRow("Velmora Kartela closed with its button") << "frmKartela" << false;
  QTest::newRow("Velmora Yoklama closed with Esc") << "frmYoklama" << true;
  QTest::newRow("Velmora Yoklama closed with its button") << "frmYoklama" << false;
}

void TestHakkinda::noticesCloseAndLink() {
  QFETCH(QString, notice);
  QFETCH(bool, byEscape);
  about::ProductNotice* window = nullptr;
  if (notice == "frmKartela")
    window = &registry_->get<frmKartela>();
  else
    window = &registry_->get<frmYoklama>();
  QCOMPARE(window->objectName(), notice);
  QCOMPARE(window->cmdKapat->text(), QStringLiteral("Kapat [ESC]"));
  QVERIFY(window->isModal());

  // While the modal window runs: open the page, then close it.
  bool shown = false;
  QTimer::singleShot(0, window, [&] {
    shown = window->isVisible();
    QTest::mouseClick(window->lblWeb, Qt::LeftButton);
    if (byEscape)
      QTest::keyClick(window, Qt::Key_Escape);
    else
      QTest::mouseClick(window->cmdKapat, Qt::LeftButton);
  });
  window->exec();
  QVERIFY(shown);
  QVERIFY(!window->isVisible());
  QCOMPARE(opened_, (QList<QUrl>{QUrl(QString::fromLatin1(about::kMakerWebPage))}));
}

QTEST_MAIN(TestHakkinda)
#include "tst_hakkinda.moc"
