// The photo list: each saved photo joins the browser's three lists once, with
// its size, and is previewed.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "browser/gozat.h"
#include "platform/ui/simplecombobox.h"
#include "windows/windowregistry.h"
#include "workspace/form1.h"

void Form1::addSavedPhotoToBrowser() {
  const QString name = txtOnAd->text().trimmed() + txtResim->text().trimmed() +
                       QStringLiteral(".") + cmbTur->currentText().trimmed();
  // Touching the browser's lists creates and loads it, without showing it.
  gozat& browser = windows_.get<gozat>();
  for (int k = 0; k < browser.lstFoto->count(); ++k) {
    if (browser.lstFotoName->item(k)->text() == name) return;
  }
  browser.lstFoto->addItem(name);
  const int row = browser.lstFoto->count() - 1;
  browser.lstFoto->item(row)->setData(Qt::UserRole, cmbTur->currentIndex());
  browser.lstFotoName->addItem(name);
  const QString path = pathbox->currentText().trimmed() + QStringLiteral("/") + name;
  browser.lstYol->addItem(path);
  browser.lstFoto->setCurrentRow(row);
  if (const auto length = gozat::lengthOf(path)) {
    browser.lstFoto->item(row)->setText(gozat::displayText(name, *length));
  } else {
    qCWarning(lcWorkspace) << "the saved photo is not there:" << path;
  }
  browser.StatusBar1Panel1->setText(gozat::countText(browser.lstFoto->count()));
}
