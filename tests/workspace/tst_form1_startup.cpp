// Workspace start-up with two synthetic cameras: the frame boxes, the quality
// slider, the file type, the camera and the target folder, from a fresh or a
// filled settings store, and the error step for a folder that is gone.

#include <sys/stat.h>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>

#include "platform/registry/store.h"
#include "platform/ui/dirlistbox.h"
#include "platform/ui/drivelistbox.h"
#include "platform/ui/picturebox.h"
#include "platform/ui/simplecombobox.h"
#include "platform/ui/volumes.h"
#include "settings/Module1.h"
#include "support/sandbox.h"
#include "support/scripted_prompter.h"
#include "workspace_fixture.h"

using testsupport::ProgramWindows;
using testsupport::SandboxProfile;
using testsupport::settingsOf;

namespace {

void storeNumber(const SandboxProfile& profile, const char* name, std::int32_t value) {
  settingsOf(profile).saveDwordValue(Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(),
                                     QString::fromLatin1(name), value);
}
std::shared_ptr<testsupport::CountingCameras> twoCameras() {
  return std::make_shared<testsupport::CountingCameras>(
      testsupport::fakeCameras("Kamera A,Kamera B"));
}
std::int32_t storedNumber(const SandboxProfile& profile, const char* name) {
  return settingsOf(profile).getDwordValue(Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(),
                                           QString::fromLatin1(name));
}
void storePath(const SandboxProfile& profile, const QString& path) {
  settingsOf(profile).saveStringValue(Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(),
                                      QStringLiteral("Path"), path);
}
QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
QString storedPath(const SandboxProfile& profile) {
  return settingsOf(profile).getStringValue(Module1::HKEY_CURRENT_USER, Module1::mainKeyPath(),
                                            QStringLiteral("Path"));
}

// A settings file as a user brings it from an older system: "Path" stored as
// raw text bytes, which the store writes as hex(1) when they are not UTF-8.
bool writeStoredPathBytes(const SandboxProfile& profile, const QByteArray& bytes) {
  QByteArray hex;
  for (const char byte : bytes) {
    if (!hex.isEmpty()) hex += ',';
    hex += QByteArray::number(static_cast<unsigned char>(byte), 16).rightJustified(2, '0');
  }
  if (!QDir().mkpath(QFileInfo(profile.settingsFile()).path())) return false;
  QFile file(profile.settingsFile());
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write(
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_CURRENT_USER\\Velmora]\n\n"
      "[HKEY_CURRENT_USER\\Velmora\\Photo]\n"
      "\"Path\"=hex(1):" +
      hex + "\n");
  return true;
}

// The bytes "Path" holds in the profile's settings file.
QByteArray storedPathBytes(const SandboxProfile& profile) {
  registry::Store store(profile.settingsFile().toStdString());
  const auto key = store.openKey("Velmora\\Photo");
  if (!key) return "no key";
  const auto value = store.readValue(*key, "Path");
  if (!value) return "no value";
  if (value->type != registry::REG_SZ) return "not a text";
  return QByteArray(reinterpret_cast<const char*>(value->data.data()),
                    static_cast<qsizetype>(value->data.size()));
}

}  // namespace

class Form1StartupTest : public QObject {
  Q_OBJECT
 private slots:
  void firstRunShowsTheDefaults() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts, twoCameras());
    Form1& form = *program.form;
    QCOMPARE(program.workspaceWindow()->pos(), QPoint(0, 0));
    QCOMPARE(form.txtEn->text(), QStringLiteral("105"));
    QCOMPARE(form.txtBoy->text(), QStringLiteral("120"));
    QCOMPARE(form.txtUst->text(), QStringLiteral("0"));
    QCOMPARE(form.txtSol->text(), QStringLiteral("0"));
    QCOMPARE(form.txtYon->text(), QStringLiteral("0"));
    QCOMPARE(form.Slider1->value(), form.Slider1->minimum());
    QCOMPARE(form.Label14->text(), QStringLiteral("Resim Kalitesi(0)"));
    QCOMPARE(form.cmbTur->currentIndex(), 0);
    QCOMPARE(form.cmbTur->currentText(), QStringLiteral("JPG"));
    QVERIFY(!form.Label14->isHidden());
    QVERIFY(!form.Slider1->isHidden());
    QCOMPARE(form.pathbox->count(), 1);
    QCOMPARE(form.pathbox->currentText(), QDir::currentPath());
    QCOMPARE(form.Dir1->path(), QDir::currentPath());
    const auto volumes = form.Drive1->volumes();
    QCOMPARE(form.Drive1->currentIndex(), ui::volumeIndexFor(volumes, QDir::currentPath()));
    QVERIFY(form.recordHistory);
    QVERIFY(!form.hrkt[0]->isEnabled());
    QVERIFY(!form.hrkt[1]->isEnabled());
    QCOMPARE(form.hrkt[0]->toolTip(), QStringLiteral("Geri "));
    QCOMPARE(form.hrkt[1]->toolTip(), QStringLiteral("İleri "));
    QVERIFY(prompts.prompts().isEmpty());
    // The slider's move to position 0 was stored at once.
    QVERIFY(QFile::exists(profile.settingsFile()));
    QCOMPARE(storedNumber(profile, "Kalite"), 0);
  }

  void storedValuesAreShown() {
    testsupport::SandboxProfile profile;
    storeNumber(profile, "En", 150);
    storeNumber(profile, "Boy", 180);
    storeNumber(profile, "Ust", 20);
    storeNumber(profile, "Sol", 30);
    storeNumber(profile, "Hareket", 7);
    storeNumber(profile, "Kalite", 9);
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts, twoCameras());
    Form1& form = *program.form;
    QCOMPARE(form.txtEn->text(), QStringLiteral("150"));
    QCOMPARE(form.txtBoy->text(), QStringLiteral("180"));
    QCOMPARE(form.txtUst->text(), QStringLiteral("20"));
    QCOMPARE(form.txtSol->text(), QStringLiteral("30"));
    QCOMPARE(form.txtYon->text(), QStringLiteral("7"));
    QCOMPARE(form.Slider1->value(), 9);
    QCOMPARE(form.Label14->text(), QStringLiteral("Resim Kalitesi(9)"));
  }

  void storedFramePlacesTheFrame_data() {
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("values unlike the design texts") << 30 << 20 << 150 << 180;
    // "161" and "193" are the boxes' design texts: no change, yet the frame must follow.
    QTest::newRow("width and height equal to the design texts") << 20 << 10 << 161 << 193;
  }

  void storedFramePlacesTheFrame() {
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(int, width);
    QFETCH(int, height);
    testsupport::SandboxProfile profile;
    storeNumber(profile, "Sol", left);
    storeNumber(profile, "Ust", top);
    storeNumber(profile, "En", width);
    storeNumber(profile, "Boy", height);
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts, twoCameras());
    QCOMPARE(program.form->Label5->geometry(), QRect(left, top, width, height));
  }

  void sizeNotAboveZeroIsReplaced_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("shownWidth");
    QTest::addColumn<QString>("shownHeight");
    QTest::newRow("width 0 becomes 105")
        << 0 << 150 << QStringLiteral("105") << QStringLiteral("150");
    QTest::newRow("a negative width becomes 105")
        << -5 << 150 << QStringLiteral("105") << QStringLiteral("150");
    QTest::newRow("height 0 becomes 120")
        << 90 << 0 << QStringLiteral("90") << QStringLiteral("120");
    QTest::newRow("a negative height becomes 120")
        << 90 << -1 << QStringLiteral("90") << QStringLiteral("120");
    QTest::newRow("a width of 1 is kept") << 1 << 1 << QStringLiteral("1") << QStringLiteral("1");
  }
  void sizeNotAboveZeroIsReplaced() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QString, shownWidth);
    QFETCH(QString, shownHeight);
    testsupport::SandboxProfile profile;
    storeNumber(profile, "En", width);
    storeNumber(profile, "Boy", height);
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts, twoCameras());
    QCOMPARE(program.form->txtEn->text(), shownWidth);
    QCOMPARE(program.form->txtBoy->text(), shownHeight);
  }

  void qualityOutsideTheSliderIsTakenToItsEnd_data() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("position");
    QTest::newRow("above the largest position") << 40 << 12;
    QTest::newRow("below the lowest position") << -3 << 0;
  }
  void qualityOutsideTheSliderIsTakenToItsEnd() {
    QFETCH(int, stored);
    QFETCH(int, position);
    testsupport::SandboxProfile profile;
    storeNumber(profile, "Kalite", stored);
    const QString elsewhere = profile.root();
    storePath(profile, elsewhere);
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts, twoCameras());
    QCOMPARE(program.form->Slider1->value(), position);
    QCOMPARE(storedNumber(profile, "Kalite"), position);
    // Start-up went on to the end: the stored folder was opened.
    QCOMPARE(program.form->Dir1->path(), elsewhere);
  }

  void fileTypeShowsQualityOnlyForJpeg_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("visible");
    QTest::newRow("GIF hides the quality") << 1 << false;
    QTest::newRow("BMP hides the quality") << 2 << false;
    QTest::newRow("back to JPG shows it again") << 0 << true;
  }
  void fileTypeShowsQualityOnlyForJpeg() {
    QFETCH(int, type);
    QFETCH(bool, visible);
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts, twoCameras());
    Form1& form = *program.form;
    form.cmbTur->setCurrentIndex(type == 0 ? 2 : 0);
    form.cmbTur->setCurrentIndex(type);
    QCOMPARE(!form.Label14->isHidden(), visible);
    QCOMPARE(!form.Slider1->isHidden(), visible);
    QCOMPARE(form.Label14->isVisible(), visible);
  }

  void sliderStoresItsPositionAndCaption() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts, twoCameras());
    program.form->Slider1->setValue(7);
    QCOMPARE(storedNumber(profile, "Kalite"), 7);
    QCOMPARE(program.form->Label14->text(), QStringLiteral("Resim Kalitesi(7)"));
  }

  void camerasAreListedAndTheFirstIsOpened() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    const auto cameras = twoCameras();
    ProgramWindows program(profile, prompts, cameras);
    Form1& form = *program.form;
    QCOMPARE(form.List1->count(), 2);
    QCOMPARE(form.List1->currentRow(), 0);
    QCOMPARE(form.cmbCamList->count(), 2);
    QCOMPARE(form.cmbCamList->itemText(0), QStringLiteral("Kamera A"));
    QCOMPARE(form.cmbCamList->itemText(1), QStringLiteral("Kamera B"));
    QCOMPARE(form.cmbCamList->currentIndex(), 0);
    QCOMPARE(form.webCam().captureDriverIndex(), 0);
    QVERIFY(program.captureWindow());
    QCOMPARE(program.captureWindow()->widget()->parentWidget(), form.Picture1->client());
    QCOMPARE(cameras->opened(), 1);
  }

  void choosingACameraOnlyMovesTheDriverList() {
    testsupport::SandboxProfile profile;
    testsupport::ScriptedPrompter prompts;
    const auto cameras = twoCameras();
    ProgramWindows program(profile, prompts, cameras);
    Form1& form = *program.form;
    video::CaptureWindow* open = program.captureWindow();
    form.cmbCamList->setCurrentIndex(1);
    QCOMPARE(form.List1->currentRow(), 1);
    // The running preview stays on the first camera until the window is reopened.
    QCOMPARE(cameras->opened(), 1);
    QCOMPARE(program.captureWindow(), open);
    QCOMPARE(form.webCam().captureDriverIndex(), 0);
    form.cmbCamList->setCurrentIndex(0);
    QCOMPARE(form.List1->currentRow(), 0);
  }

  void storedFolderIsOpened() {
    testsupport::SandboxProfile profile;
    const QString photos = profile.root() + QStringLiteral("/Fotoğraflar");
    QVERIFY(QDir().mkpath(photos));
    storePath(profile, photos);
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts, twoCameras());
    Form1& form = *program.form;
    QCOMPARE(form.pathbox->itemText(0), photos);
    QCOMPARE(form.Dir1->path(), photos);
    QCOMPARE(form.Drive1->currentIndex(), ui::volumeIndexFor(form.Drive1->volumes(), photos));
    QCOMPARE(storedPath(profile), photos);
  }

  void vanishedFolderRunsTheErrorStep() {
    testsupport::SandboxProfile profile;
    const QString gone = profile.root() + QStringLiteral("/silindi");
    // Stored with blanks around it: the error step writes the trimmed text back.
    storePath(profile, QStringLiteral("  ") + gone + QLatin1Char(' '));
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts, twoCameras());
    Form1& form = *program.form;
    QCOMPARE(storedPath(profile), gone);
    QCOMPARE(form.pathbox->currentText().trimmed(), gone);
    QCOMPARE(form.Dir1->path(), QDir::currentPath());
    // The steps before the folder all ran; no message was shown.
    QCOMPARE(form.txtEn->text(), QStringLiteral("105"));
    QCOMPARE(form.cmbCamList->count(), 2);
    QVERIFY(prompts.prompts().isEmpty());
  }

  void storedFolderTheProgramCannotRepresentIsKeptAsStored_data() {
    QTest::addColumn<QByteArray>("lead");  // blanks before the profile's folder
    QTest::addColumn<QByteArray>("name");  // after it
    QTest::addColumn<QByteArray>("tail");
    QTest::addColumn<QString>("shownName");
    QTest::addColumn<bool>("keptAsStored");
    QTest::newRow("Turkish letters in the old code page are kept")
        << QByteArray() << QByteArray("/Foto\xF0raflar \xDEubesi") << QByteArray()
        << QStringLiteral("/Fotoğraflar Şubesi") << true;
    QTest::newRow("blanks around such a name are kept too")
        << QByteArray("  ") << QByteArray("/\xDDzmir") << QByteArray(" ")
        << QStringLiteral("/İzmir") << true;
    QTest::newRow("a UTF-8 letter cut short is kept")
        << QByteArray() << QByteArray("/Resim\xC4") << QByteArray() << QStringLiteral("/ResimÄ")
        << true;
    QTest::newRow("an overlong slash is kept") << QByteArray() << QByteArray("/a\xC0\xAF")
                                               << QByteArray() << QStringLiteral("/aÀ¯") << true;
    QTest::newRow("an encoded surrogate is kept")
        << QByteArray() << QByteArray("/\xED\xA0\x80") << QByteArray()
        << QStringLiteral("/í\u00A0€") << true;
    QTest::newRow("a UTF-8 name is written back trimmed, as before")
        << QByteArray("  ") << QByteArray("/silinmi\xC5\x9F") << QByteArray(" ")
        << QStringLiteral("/silinmiş") << false;
  }
  void storedFolderTheProgramCannotRepresentIsKeptAsStored() {
    QFETCH(QByteArray, lead);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, tail);
    QFETCH(QString, shownName);
    QFETCH(bool, keptAsStored);
    testsupport::SandboxProfile profile;
    const QByteArray folder = QFile::encodeName(profile.root()) + name;
    // A name Qt cannot open is there on the disk; the UTF-8 one is gone.
    if (keptAsStored) QCOMPARE(::mkdir(folder.constData(), 0755), 0);
    const QByteArray stored = lead + folder + tail;
    QVERIFY(writeStoredPathBytes(profile, stored));
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    Form1& form = *program.form;

    const QString shown =
        QString::fromLatin1(lead) + profile.root() + shownName + QString::fromLatin1(tail);
    QCOMPARE(form.pathbox->currentText(), shown);
    QVERIFY(!shown.contains(QChar::ReplacementCharacter));
    // Start-up stopped at the folder; its error step wrote only what it could represent.
    QCOMPARE(form.Dir1->path(), QDir::currentPath());
    QCOMPARE(storedPathBytes(profile), keptAsStored ? stored : folder);
    QCOMPARE(readFile(profile.settingsFile()).contains("\"Path\"=hex(1):"), keptAsStored);
    QCOMPARE(form.unrepresentedPath.isEmpty(), !keptAsStored);
    // The rest of start-up ran as always.
    QCOMPARE(storedNumber(profile, "Kalite"), 0);
  }

  void anotherFolderReplacesTheStoredBytes() {
    testsupport::SandboxProfile profile;
    const QByteArray stored = QFile::encodeName(profile.root()) + "/Foto\xF0raflar";
    QVERIFY(writeStoredPathBytes(profile, stored));
    testsupport::ScriptedPrompter prompts;
    ProgramWindows program(profile, prompts);
    Form1& form = *program.form;
    const QString standIn = profile.root() + QStringLiteral("/Fotoğraflar");
    QCOMPARE(form.unrepresentedPath, standIn);

    // The folder rules writing the folder shown: still the stored one.
    form.storePath(standIn);
    form.storePath(QStringLiteral(" ") + standIn);
    QCOMPARE(storedPathBytes(profile), stored);

    const QString chosen = profile.root() + QStringLiteral("/Yeni Klasör");
    form.storePath(chosen);
    QCOMPARE(storedPath(profile), chosen);
    QVERIFY(form.unrepresentedPath.isEmpty());
    // From now on every folder is written, the stand-in's name as well.
    form.storePath(standIn);
    QCOMPARE(storedPath(profile), standIn);
  }

  void activationRemembersTheDrive() {
    testsupport::SandboxProfile profile;
    const QString card = profile.root() + QStringLiteral("/kart");
    QVERIFY(QDir().mkpath(card));
    testsupport::ScriptedPrompter prompts;
    ui::DriveAccess drives;
    drives.list = [card] { return std::vector<ui::Volume>{{QStringLiteral("/"), {}}, {card, {}}}; };
    ProgramWindows program(profile, prompts, twoCameras(), drives);
    Form1& form = *program.form;
    QCOMPARE(form.lastDriveIndex, 0);
    {
      // Shown without its rule: only the activation takes the index.
      const QSignalBlocker quiet(form.Drive1);
      form.Drive1->setCurrentIndex(1);
    }
    QCOMPARE(form.lastDriveIndex, 0);
    auto* other = new QWidget;
    other->setObjectName(QStringLiteral("other"));
    other->setFixedSize(100, 100);
    QMdiSubWindow* otherWindow = program.frame->addChild(other);
    otherWindow->show();
    program.frame->mdiArea()->setActiveSubWindow(otherWindow);
    program.frame->mdiArea()->setActiveSubWindow(program.workspaceWindow());
    QCOMPARE(form.lastDriveIndex, 1);
  }
};

QTEST_MAIN(Form1StartupTest)
#include "tst_form1_startup.moc"
