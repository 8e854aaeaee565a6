// Construction of the workspace and the wiring of its controls to their handlers.

#include "workspace/form1.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSlider>
#include <QToolBar>
#include <QToolButton>

#include "about/hakkinda.h"
#include "about/notices.h"
#include "browser/frmonizle.h"
#include "browser/gozat.h"
#include "converter/frmconvert.h"
#include "settings/Module1.h"
#include "windows/windowregistry.h"

Q_LOGGING_CATEGORY(lcWorkspace, "tandeo.workspace", QtWarningMsg)

Form1::Form1(windows::WindowRegistry& windows, QWidget* parent)
    : QWidget(parent),
      windows_(windows),
      webCam_(windows.context().cameras, {}, windows.context().cameraProfiles) {
  createControls();
  connectHandlers();
  // Key preview: the window sees every key before the control that has the focus.
  qApp->installEventFilter(this);
}

Form1::~Form1() = default;

const Module1& Form1::settings() const {
  return windows_.context().settings;
}

ui::Prompter& Form1::prompter() const {
  ui::Prompter* lent = windows_.context().prompter;
  if (!lent) qFatal("the program context holds no prompter");
  return *lent;
}

void Form1::connectHandlers() {
  for (QToolBar* bar : toolYon) {
    if (!bar) continue;
    connect(bar, &QToolBar::actionTriggered, this,
            [this](QAction* button) { toolYon_ButtonClick(button->data().toString()); });
  }
  connect(cmbTur, &QComboBox::currentIndexChanged, this, [this] { cmbTur_Click(); });
  connect(cmbCamList, &QComboBox::currentIndexChanged, this, [this] { cmbCamList_Change(); });
  connect(cmdEokul, &QPushButton::clicked, this, [this] { cmdEokul_Click(); });
  connect(tamam, &QPushButton::clicked, this, [this] { tamam_Click(); });
  connect(Slider1, &QSlider::valueChanged, this, [this] { Slider1_Change(); });
  connect(chkYuzYerlestir, &QCheckBox::toggled, this, [this] { chkYuzYerlestir_Click(); });

  connect(mnuFoto, &QAction::triggered, this, [this] { takePhoto(); });
  connect(mnuOnizle, &QAction::triggered, this, [this] { showPreview(); });
  connect(mnuOnPen, &QAction::triggered, this, [this] { windows_.show<frmOnizle>(); });
  connect(mnuDosya, &QAction::triggered, this, [this] { windows_.show<gozat>(); });
  connect(resim, &QAction::triggered, this, [this] { windows_.show<frmConvert>(); });
  connect(mnuKapat, &QAction::triggered, this, [this] { closeProgram(); });

  // The product notices are modal, the about box is not.
  connect(Image11, &QToolButton::clicked, this, [this] { windows_.get<frmKartela>().exec(); });
  connect(Image12, &QToolButton::clicked, this, [this] { windows_.get<frmYoklama>().exec(); });
  connect(Image22, &QToolButton::clicked, this, [this] { windows_.show<hakkinda>(); });
  connectCropFrame();
  connectFolder();
}

QList<QAction*> Form1::menuBarActions() const {
  return {mnuFoto, mnuOnizle, mnuOnPen, mnuDosya, resim, mnuKapat};
}
