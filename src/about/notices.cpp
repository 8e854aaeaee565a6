#include "about/notices.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "about/weblink.h"

namespace about {

ProductNotice::ProductNotice(const char* name, const QString& product, const QString& description,
                             ui::WebPageOpener openWebPage, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      openWebPage_(std::move(openWebPage)) {
  setObjectName(QString::fromLatin1(name));
  setWindowTitle(product);
  setModal(true);

  lblUrun = new QLabel(product, this);
  lblUrun->setObjectName(QStringLiteral("lblUrun"));
  QFont heading = lblUrun->font();
  heading.setBold(true);
  heading.setPointSizeF(heading.pointSizeF() * 1.4);
  lblUrun->setFont(heading);
  lblAciklama = new QLabel(description, this);
  lblAciklama->setObjectName(QStringLiteral("lblAciklama"));
  lblAciklama->setWordWrap(true);
  lblWeb = new WebLinkLabel(QString::fromLatin1(kMakerWebAddress), this);
  lblWeb->setObjectName(QStringLiteral("lblWeb"));
  lblWeb->setStyleSheet(QStringLiteral("color: #1a4f9c; text-decoration: underline;"));
  connect(lblWeb, &WebLinkLabel::clicked, this,
          [this] { openWebPage_(QUrl(QString::fromLatin1(kMakerWebPage))); });
  // Esc closes the window by itself (QDialog's reject); the button says so.
  cmdKapat = new QPushButton(QStringLiteral("Kapat [ESC]"), this);
  cmdKapat->setObjectName(QStringLiteral("cmdKapat"));
  connect(cmdKapat, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(lblWeb);
  buttons->addStretch(1);
  buttons->addWidget(cmdKapat);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblUrun);
  layout->addWidget(lblAciklama, 1);
  layout->addLayout(buttons);
  setFixedWidth(360);
  setFixedHeight(sizeHint().height());
}

}  // namespace about

frmKartela::frmKartela(ui::WebPageOpener openWebPage, QWidget* parent)
    : ProductNotice("frmKartela", QStringLiteral("Velmora Kartela"),
                    QStringLiteral("Çektiğiniz öğrenci fotoğraflarından tek tıkla öğrenci "
                                   "kimlik kartı hazırlayın: okul logosu, sınıf ve numara "
                                   "kartın üzerinde, A4 sayfaya dizilmiş olarak yazıcıya "
                                   "hazır."),
                    std::move(openWebPage), parent) {}

frmYoklama::frmYoklama(ui::WebPageOpener openWebPage, QWidget* parent)
    : ProductNotice("frmYoklama", QStringLiteral("Velmora Yoklama"),
                    QStringLiteral("Sınıf yoklamasını bilgisayarda tutun: devamsızlıklar "
                                   "öğrenci fotoğraflarıyla birlikte listelenir, aylık "
                                   "devamsızlık çizelgesi kendiliğinden hazırlanır."),
                    std::move(openWebPage), parent) {}
