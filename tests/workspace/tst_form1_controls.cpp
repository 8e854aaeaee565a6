// The workspace's controls carry their design names, captions and states,
// so other windows and tests find them; the toolbar and menu bar are complete
// and in order.

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QToolBar>
#include <QToolButton>

#include "platform/ui/dirlistbox.h"
#include "platform/ui/drivelistbox.h"
#include "platform/ui/picturebox.h"
#include "platform/ui/simplecombobox.h"
#include "platform/ui/twips.h"
#include "platform/ui/updown.h"
#include "support/sandbox.h"
#include "support/scripted_prompter.h"
#include "workspace_fixture.h"

namespace {

QString captionOf(const QObject* control) {
  if (auto* l = qobject_cast<const QLabel*>(control)) return l->text();
  if (auto* g = qobject_cast<const QGroupBox*>(control)) return g->title();
  if (auto* b = qobject_cast<const QAbstractButton*>(control)) {
    return b->text().isEmpty() ? b->toolTip() : b->text();
  }
  if (auto* e = qobject_cast<const QLineEdit*>(control)) return e->text();
  return QStringLiteral("<no caption>");
}

}  // namespace

class Form1ControlsTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() {
    profile_ = std::make_unique<testsupport::SandboxProfile>();
    prompts_ = std::make_unique<testsupport::ScriptedPrompter>();
    program_ = std::make_unique<testsupport::ProgramWindows>(*profile_, *prompts_);
  }
  void cleanupTestCase() {
    program_.reset();
    prompts_.reset();
    profile_.reset();
  }

  void designCaptions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    const std::initializer_list<std::pair<const char*, const char*>> rows{
        {"Frame2", "Kamera"},
        {"Label2", "Kamerayı Seçiniz"},
        {"Label16", "* Görüntü alamıyorsanız Gelişmiş Kamerayı Kullanınız."},
        {"Label10", "Resim Alınıyor. Lütfen Bekleyiniz"},
        {"Frame6", "Çerçeve Yönlendirme"},
        {"Label6", "Hareket Aralığı"},
        {"Frame3", "Fotoğraf"},
        {"Label1", "Yakalanan Kare"},
        {"Frame1", "Çerçeve boyutu"},
        {"cmdEokul", "MEBBIS E-Okul Boyutlarına Getir"},
        {"Label13", "Soldan"},
        {"Label7", "Üstten"},
        {"Label3", "Genişlik"},
        {"Label4", "Yükseklik"},
        {"Frame5", "Resim Kaydet"},
        {"tamam", "Kaydet [F2]"},
        {"txtOnAd", "Resim"},
        {"txtResim", "001"},
        {"Label12", "Dosya Türü"},
        {"Label8", "Dosya Adı"},
        {"Label9", "Ön Ad"},
        {"Yeniklsr", "Yeni Klasör [F3]"},
        {"Label11", "Dosyaların Kaydedileceği Yer"},
        {"Label17", "Diğer Programlarımızı Denediniz mi?"},
        {"Label15",
         "Programı daha verimli kullanmak için 1024x768 pikselden daha yüksek çözünürlükte "
         "kullanınız"},
    };
    for (const auto& [name, caption] : rows) {
      QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(caption);
    }
  }
  void designCaptions() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    const QObject* control = program_->form->findChild<QObject*>(name);
    QVERIFY2(control, qPrintable(name));
    QCOMPARE(captionOf(control), caption);
  }

  void namedMembersAreTheNamedControls() {
    const Form1& form = *program_->form;
    const auto m = [](const QObject* member, const char* name) { return std::pair{member, name}; };
    const std::vector<std::pair<const QObject*, const char*>> members{
        m(form.Picture1, "Picture1"),     m(form.List1, "List1"),
        m(form.Picture2, "Picture2"),     m(form.Label5, "Label5"),
        m(form.txtYon, "txtYon"),         m(form.UpDown3, "UpDown3"),
        m(form.txtSol, "txtSol"),         m(form.txtUst, "txtUst"),
        m(form.txtEn, "txtEn"),           m(form.txtBoy, "txtBoy"),
        m(form.UpDown1, "UpDown1"),       m(form.UpDown2, "UpDown2"),
        m(form.UpDown4, "UpDown4"),       m(form.UpDown5, "UpDown5"),
        m(form.Slider1, "Slider1"),       m(form.cmbTur, "cmbTur"),
        m(form.Label14, "Label14"),       m(form.Frame7, "Frame7"),
        m(form.pathbox, "pathbox"),       m(form.Dir1, "Dir1"),
        m(form.Drive1, "Drive1"),         m(form.Image11, "Image11"),
        m(form.Image12, "Image12"),       m(form.Image22, "Image22"),
        m(form.waiting, "waiting"),       m(form.cmbCamList, "cmbCamList"),
        m(form.hrkt[0], "hrkt(0)"),       m(form.hrkt[1], "hrkt(1)"),
        m(form.toolYon[0], "toolYon(0)"), m(form.toolYon[1], "toolYon(1)"),
        m(form.toolYon[2], "toolYon(2)"), m(form.toolYon[4], "toolYon(4)")};
    for (const auto& [member, name] : members) {
      QVERIFY2(member, name);
      QCOMPARE(member->objectName(), QString::fromLatin1(name));
    }
    QVERIFY(!form.toolYon[3]);
  }

  void designStates() {
    const Form1& form = *program_->form;
    QCOMPARE(form.txtResim->property("tag").toString(), QStringLiteral("1"));
    QVERIFY(form.List1->isHidden());
    QVERIFY(form.waiting->isHidden());
    QCOMPARE(form.Label16->palette().color(QPalette::WindowText).red(), 0xC0);
    QCOMPARE(form.Slider1->maximum(), 12);
    QCOMPARE(form.Slider1->minimum(), 0);
    QStringList types;
    for (int i = 0; i < form.cmbTur->count(); ++i) types << form.cmbTur->itemText(i);
    QCOMPARE(types,
             (QStringList{QStringLiteral("JPG"), QStringLiteral("GIF"), QStringLiteral("BMP")}));
    QCOMPARE(form.Label5->parentWidget(), form.Picture2->client());
    QCOMPARE(form.Label5->text(), QString());
    QCOMPARE(form.Label5->lineWidth(), 1);
    QVERIFY(!form.Label5->autoFillBackground());
    QCOMPARE(form.windowTitle(), QString());
  }

  void upDownRanges_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("buddy");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::newRow("left") << QStringLiteral("UpDown5") << QStringLiteral("txtSol") << 0 << 1000000;
    QTest::newRow("top") << QStringLiteral("UpDown4") << QStringLiteral("txtUst") << 0 << 100000;
    QTest::newRow("width") << QStringLiteral("UpDown1") << QStringLiteral("txtEn") << 10 << 100000;
    QTest::newRow("height") << QStringLiteral("UpDown2") << QStringLiteral("txtBoy") << 10
                            << 1000000;
    QTest::newRow("step") << QStringLiteral("UpDown3") << QStringLiteral("txtYon") << 1 << 10000000;
  }
  void upDownRanges() {
    QFETCH(QString, name);
    QFETCH(QString, buddy);
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    auto* arrows = program_->form->findChild<ui::UpDown*>(name);
    QVERIFY(arrows);
    QCOMPARE(arrows->buddy()->objectName(), buddy);
    QCOMPARE(arrows->minimum(), minimum);
    QCOMPARE(arrows->maximum(), maximum);
  }

  void sizesFromTwips() {
    const Form1& form = *program_->form;
    QCOMPARE(form.size(), QSize(ui::twipsToPixelsX(11985), ui::twipsToPixelsY(10230)));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QCOMPARE(form.Picture1->size(), QSize(ui::twipsToPixelsX(4800), ui::twipsToPixelsY(3600)));
    QCOMPARE(form.Picture2->size(), form.Picture1->size());
    QCOMPARE(form.toolYon[0]->size(), QSize(ui::twipsToPixelsX(1920), ui::twipsToPixelsY(570)));
    // Every control lies inside the window.
    for (const QWidget* child : form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (child->isHidden()) continue;
      QVERIFY2(form.rect().contains(child->geometry()), qPrintable(child->objectName()));
    }
  }

  void commandToolbarInOrder() {
    const QToolBar* bar = program_->form->toolYon[4];
    QCOMPARE(bar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    QStringList keys, captions;
    for (const QAction* button : bar->actions()) {
      keys << button->data().toString();
      captions << button->text();
      QVERIFY2(!button->icon().isNull(), qPrintable(button->text()));
    }
    QCOMPARE(keys, (QStringList{"foto", "onizleme", "al", "gelismis", "donustur", "kapat"}));
    QCOMPARE(captions,
             (QStringList{QStringLiteral("Fotoğraf Çek[F5]"), QStringLiteral("Önizleme [F6]"),
                          QStringLiteral("Resim  Al [F7]"), QStringLiteral("Gelişmiş Kamera[F8]"),
                          QStringLiteral("Resim Dönüştür[F7]"), QStringLiteral("Kapat [ESC]")}));
    QCOMPARE(bar->actions()[2]->toolTip(),
             QStringLiteral("Çekilen Fotoğrafı üye kayıt ekranına gönderir"));
  }

  void movePadKeysAndTips() {
    const Form1& form = *program_->form;
    QStringList keys, tips;
    for (int index : {2, 0, 1}) {
      for (const QAction* button : form.toolYon[index]->actions()) {
        keys << button->data().toString();
        if (!button->toolTip().isEmpty() && index == 0) tips << button->toolTip();
      }
    }
    QCOMPARE(keys, (QStringList{"genarti", "ust", "geneksi", "sol", "orta", "sag", "yukarti", "alt",
                                "yukeksi"}));
    QCOMPARE(tips, (QStringList{QStringLiteral("Sola Kaydır"), QStringLiteral("Ortala"),
                                QStringLiteral("Sağa Kaydır")}));
  }

  void menuBarShownByTheFrameInOrder() {
    QStringList names, captions;
    for (const QAction* item : program_->frame->menuBar()->actions()) {
      names << item->objectName();
      captions << item->text();
    }
    QCOMPARE(names,
             (QStringList{"mnuFoto", "mnuOnizle", "mnuOnPen", "mnuDosya", "resim", "mnuKapat"}));
    QCOMPARE(captions,
             (QStringList{QStringLiteral("Fotoğraf Çek"), QStringLiteral("Önizleme"),
                          QStringLiteral("Önizleme Penceresi"), QStringLiteral("Dosya Penceresi"),
                          QStringLiteral("Resim Dönüştür"), QStringLiteral("Programı Kapat")}));
  }

 private:
  std::unique_ptr<testsupport::SandboxProfile> profile_;
  std::unique_ptr<testsupport::ScriptedPrompter> prompts_;
  std::unique_ptr<testsupport::ProgramWindows> program_;
};

QTEST_MAIN(Form1ControlsTest)
#include "tst_form1_controls.moc"
