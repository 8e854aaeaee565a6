#include "about/hakkinda.h"

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLoggingCategory>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>

#include "about/systeminfo.h"
#include "about/version.h"
#include "about/weblink.h"
#include "platform/registry/store.h"
#include "platform/ui/prompt.h"
#include "platform/ui/twips.h"
#include "windows/programcontext.h"

namespace {

Q_LOGGING_CATEGORY(lcAbout, "tandeo.about", QtCriticalMsg)

QRect twipsRect(int left, int top, int width, int height) {
  return {ui::twipsToPixelsX(left), ui::twipsToPixelsY(top), ui::twipsToPixelsX(width),
          ui::twipsToPixelsY(height)};
}

template <class W>
W* placed(W* control, const char* name, QRect twips) {
  control->setObjectName(QString::fromLatin1(name));
  control->setGeometry(twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
  return control;
}

QFont boldButtonFont(const QFont& base) {
  QFont font = base;
  font.setBold(true);
  return font;
}

}  // namespace

hakkinda::hakkinda(const windows::ProgramContext& context, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), context_(context) {
  setObjectName(QStringLiteral("hakkinda"));
  setWindowTitle(QStringLiteral("Velmora Photo V1.0 Beta"));
  // "Tamam" unloads the window; the next opening loads it again.
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(ui::twipsToPixelsX(5985), ui::twipsToPixelsY(3765));
  createControls();
}

void hakkinda::createControls() {
  Image1 = placed(new QLabel(this), "Image1", {0, 0, 5970, 2595});
  Image1->setPixmap(QPixmap(QStringLiteral(":/about/banner.svg")));
  Image1->setScaledContents(true);

  Label2 = placed(new about::WebLinkLabel(QString::fromLatin1(about::kMakerWebAddress), this),
                  "Label2", {3960, 2280, 1665, 300});
  // A narrow bold face like the design's; where the desktop's runs wider, a
  // smaller size, so that the address is never cut at the window's edge.
  QFont agency(QStringLiteral("Agency FB"), 12, QFont::Bold);
  agency.setStretch(QFont::Condensed);
  const int room = width() - Label2->x();
  while (QFontMetrics(agency).horizontalAdvance(Label2->text()) + 4 > room &&
         agency.pointSize() > 7)
    agency.setPointSize(agency.pointSize() - 1);
  Label2->setFont(agency);
  Label2->setStyleSheet(QStringLiteral("color: #ffd54f; background: transparent;"));
  Label2->resize(qMin(room, qMax(Label2->width(), Label2->sizeHint().width())), Label2->height());
  connect(Label2, &about::WebLinkLabel::clicked, this, [this] { Label2_Click(); });

  Command3 = placed(new QPushButton(QStringLiteral("Ayrıntılar..."), this), "Command3",
                    {4800, 2760, 1095, 255});
  Command3->setAutoDefault(false);
  connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });

  lblversion = placed(new QLabel(QStringLiteral("v.1.1.0 (10.10.2007)"), this), "lblversion",
                      {0, 3120, 3015, 255});
  lblversion->setIndent(ui::twipsToPixelsX(120));
  Line1 = new QFrame(this);
  Line1->setObjectName(QStringLiteral("Line1"));
  Line1->setFrameShape(QFrame::HLine);
  Line1->setFrameShadow(QFrame::Sunken);
  Line1->setGeometry(ui::twipsToPixelsX(-120), ui::twipsToPixelsY(3120) - 1,
                     ui::twipsToPixelsX(8640), 2);

  Command2 = placed(new QPushButton(QStringLiteral("Sistem Bilgisi..."), this), "Command2",
                    {2640, 3240, 1575, 375});
  Command2->setFont(boldButtonFont(Command2->font()));
  Command2->setAutoDefault(false);
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });

  // Default button (Enter) and cancel button (Esc, which QDialog turns into a close).
  Command1 =
      placed(new QPushButton(QStringLiteral("Tamam"), this), "Command1", {4320, 3240, 1575, 375});
  Command1->setFont(boldButtonFont(Command1->font()));
  Command1->setDefault(true);
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

void hakkinda::Form_Load() {
  lblversion->setText(QStringLiteral("v.%1.%2.%3")
                          .arg(about::kVersionMajor)
                          .arg(about::kVersionMinor)
                          .arg(about::kVersionRevision));
}

void hakkinda::Command1_Click() {
  close();
}

void hakkinda::Command2_Click() {
  StartSysInfo();
}

void hakkinda::Command3_Click() {
  context_.prompter->MsgBox(
      QStringLiteral("Velmora Photo okulların öğrenci fotoğrafı çekmesi için ücretsiz "
                     "dağıtılır.\nProgram olduğu gibi sunulur; kullanımından doğan "
                     "sonuçlardan kullanıcı sorumludur."),
      ui::vbOKOnly, ui::vbInformation, QStringLiteral("Bilgi"));
}

void hakkinda::Label2_Click() {
  context_.openWebPage(QUrl(QString::fromLatin1(about::kMakerWebPage)));
}

void hakkinda::StartSysInfo() {
  // The machine-wide store is only read, never created.
  const registry::Store machine(context_.machineSettingsFile.string(),
                                std::string(registry::kLocalMachineRoot));
  const auto program = about::systemInfoProgram(machine, context_.programSearchPath);
  if (program && ui::startProgram(*program)) {
    qCDebug(lcAbout) << "started" << *program;
    return;
  }
  qCDebug(lcAbout) << "no system information program" << program.value_or(QString());
  context_.prompter->MsgBox(QStringLiteral("System Information Is Unavailable At This Time"),
                            ui::vbOKOnly);
}
