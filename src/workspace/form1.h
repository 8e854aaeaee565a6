#pragma once
// The photo capture workspace, the program's start-up window: live camera,
// photo with its crop frame, the save settings and the target folder. One
// class, its members defined in one file per concern (layout, start-up,
// commands, closing, key preview, folder, photo, crop frame, placing the
// frame on a face); its pure rules live in src/rules. What it needs from
// outside (prompts, settings, folders, ending the program, the face finder)
// comes from the program context through the window registry.

#include <QLoggingCategory>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "capture/modWebCam.h"
#include "platform/picture/pictureclip.h"
#include "platform/ui/inputblocker.h"
#include "platform/ui/keypresstracker.h"
#include "rules/cropframe.h"
#include "rules/folderhistory.h"
#include "windows/mdichild.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;
class QToolBar;
class QToolButton;

class Module1;

namespace ui {
class DirListBox;
class DriveListBox;
class PictureBox;
class Prompter;
class SimpleComboBox;
class UpDown;
}  // namespace ui

namespace windows {
class WindowRegistry;
}

namespace workspace {
class CropFrameDrag;
class FocusRules;
}  // namespace workspace

// The workspace's logging category, "tandeo.workspace": warnings only, unless
// debug output is switched on with QT_LOGGING_RULES.
Q_DECLARE_LOGGING_CATEGORY(lcWorkspace)

class Form1 : public QWidget, public windows::MdiChild {
  Q_OBJECT
 public:
  explicit Form1(windows::WindowRegistry& windows, QWidget* parent = nullptr);
  ~Form1() override;

  // Procedures other windows call.
  void menu(std::int16_t index);
  void KeyDown(std::int16_t keyCode);
  void closeProgram();
  void updateHistoryButtons();
  void addSavedPhotoToBrowser();
  void takePhoto();
  void showPreview();
  // Picture2 shows `picture` as the photo, as after takePhoto (the camera window's "Resim Al").
  void setPhoto(const QImage& picture);
  // Saving a photo (form1_save.cpp).
  void tamam_Click();
  // The crop frame (form1_cropframe.cpp).
  void sayiCtrl(QLineEdit* nesne);
  void keepFrameInPicture();
  void moveFrame(std::int16_t direction);

  // Handlers of the window.
  void Form_Load();
  void Form_Activate();
  void Form_KeyDown(std::int16_t keyCode, std::int16_t shift);
  void Form_QueryUnload(bool& cancel, windows::UnloadMode unloadMode);
  void Form_Unload(bool& cancel);

  // Handlers of its controls.
  void toolYon_ButtonClick(const QString& key);
  void cmbTur_Click();
  void cmbCamList_Change();
  // Cameras came or went: the camera boxes list them again, keeping the
  // chosen camera chosen wherever it is now.
  void followCameras();
  void cmdEokul_Click();
  void Slider1_Change();
  // The automatic placement's check box was switched (form1_face.cpp).
  void chkYuzYerlestir_Click();
  void txtSol_Change();
  void txtUst_Change();
  void txtEn_Change();
  void txtBoy_Change();
  void txtYon_Change();
  void txtSol_LostFocus();
  void txtUst_LostFocus();
  void txtYon_GotFocus();
  void txtYon_LostFocus();
  // Pointer positions inside the frame in twips; the drop on the photo box in its pixels.
  void Label5_MouseDown(double xTwips, double yTwips);
  void Label5_DragOver(double xTwips, double yTwips);
  void Label5_DragDrop();
  void Picture2_DragDrop(double x, double y);
  // The target folder (form1_folder.cpp).
  void Drive1_Change();
  void Dir1_Change();
  void pathbox_Change();
  void hrkt_Click(int index);
  void Yeniklsr_Click();

  // The frame's view of the window.
  QList<QAction*> menuBarActions() const override;
  void childActivated() override { Form_Activate(); }
  bool queryUnload(windows::UnloadMode unloadMode) override;
  void unload() override;

  // Form-level state shared with the folder rules.
  bool recordHistory = false;
  std::int16_t lastDriveIndex = 0;
  // The folders visited in this run; pathbox's list shows them.
  rules::FolderHistory folderHistory;
  // The stand-in pathbox shows for a stored "Path" whose bytes are no text the
  // program can represent (set at start-up); empty otherwise. While the
  // folder is still that one, storePath writes nothing: the stored bytes stay
  // until the user chooses another folder.
  QString unrepresentedPath;
  // Every automatic write of "Path" (the error step of start-up, the folder
  // rules) goes through here (form1_folder.cpp).
  void storePath(const QString& folder);

  // Picture2's picture: no bitmap until the first photo. The box shows it.
  picture::Picture photo;
  // The picture-clip component (not visible): cuts the framed part of the photo.
  picture::PictureClip pctResim;

  // Label5's Left, Top, Width, Height; its drawn geometry follows them.
  rules::FrameRect cropFrame;
  // Drag state, meaningful from a press on the frame to the following drop.
  double grabX = 0;
  std::int32_t grabY = 0;
  double dragOffsetX = 0;
  std::int32_t dragOffsetY = 0;

  // Controls, by their design names (also their objectName).
  ui::PictureBox* Picture1 = nullptr;
  QListWidget* List1 = nullptr;
  QGroupBox* Frame2 = nullptr;
  QComboBox* cmbCamList = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label16 = nullptr;
  // Control array: 0, 1, 2 are the move pad, 4 the command toolbar; 3 does not exist.
  std::array<QToolBar*, 5> toolYon{};
  QFrame* waiting = nullptr;
  QLabel* Label10 = nullptr;
  ui::PictureBox* Picture2 = nullptr;
  QLabel* Label5 = nullptr;
  QGroupBox* Frame6 = nullptr;
  QLineEdit* txtYon = nullptr;
  ui::UpDown* UpDown3 = nullptr;
  QLabel* Label6 = nullptr;
  QGroupBox* Frame3 = nullptr;
  QLabel* Label1 = nullptr;
  // Beside "Yakalanan Kare": place the frame on the face after each photo.
  QCheckBox* chkYuzYerlestir = nullptr;
  // Under the photo: what the placement has to say (no face, size, tilt).
  QLabel* lblYuzMesaj = nullptr;
  QGroupBox* Frame1 = nullptr;
  QPushButton* cmdEokul = nullptr;
  QLineEdit* txtSol = nullptr;
  QLineEdit* txtUst = nullptr;
  QLineEdit* txtEn = nullptr;
  QLineEdit* txtBoy = nullptr;
  ui::UpDown* UpDown1 = nullptr;
  ui::UpDown* UpDown2 = nullptr;
  ui::UpDown* UpDown4 = nullptr;
  ui::UpDown* UpDown5 = nullptr;
  QLabel* Label13 = nullptr;
  QLabel* Label7 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QGroupBox* Frame5 = nullptr;
  QSlider* Slider1 = nullptr;
  QPushButton* tamam = nullptr;
  QComboBox* cmbTur = nullptr;
  QLineEdit* txtOnAd = nullptr;
  QLineEdit* txtResim = nullptr;
  QLabel* Label14 = nullptr;
  QLabel* Label12 = nullptr;
  QLabel* Label8 = nullptr;
  QLabel* Label9 = nullptr;
  QFrame* Frame7 = nullptr;
  std::array<QToolButton*, 2> hrkt{};
  QToolButton* Yeniklsr = nullptr;
  ui::SimpleComboBox* pathbox = nullptr;
  ui::DirListBox* Dir1 = nullptr;
  ui::DriveListBox* Drive1 = nullptr;
  QLabel* Label11 = nullptr;
  QLabel* Label17 = nullptr;
  QToolButton* Image11 = nullptr;
  QToolButton* Image12 = nullptr;
  QLabel* Label15 = nullptr;
  QToolButton* Image22 = nullptr;

  // The workspace's own menu bar, shown by the frame while the workspace is active.
  QAction* mnuFoto = nullptr;
  QAction* mnuOnizle = nullptr;
  QAction* mnuOnPen = nullptr;
  QAction* mnuDosya = nullptr;
  QAction* resim = nullptr;
  QAction* mnuKapat = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // form1_layout.cpp
  void createControls();
  QWidget* createCameraColumn();
  QWidget* createPhotoColumn();
  QWidget* createSideColumn();
  QGroupBox* createFrameSizeGroup();
  void createFaceMessageLine();
  QGroupBox* createMovePadGroup();
  QGroupBox* createSaveGroup();
  QFrame* createFolderGroup();
  QToolBar* createCommandToolbar();
  QToolBar* createPadToolbar(int index,
                             std::initializer_list<std::pair<const char*, QString>> buttons);
  void createWaitingNotice();
  void createMenus();
  void connectHandlers();

  // form1_cropframe.cpp
  void connectCropFrame();
  void setFrame(const rules::FrameRect& geometry);
  // A box's change rule: filter, apply its leading number, bound, store.
  void frameBoxChange(QLineEdit* box, float rules::FrameRect::*property, const QString& valueName);
  void storeBox(const QLineEdit* box, const QString& valueName) const;
  void writeNumber(QLineEdit* box, double value, int significantDigits = 15);
  void changeSize(QLineEdit* box, int by);
  // Puts the frame at `frame`'s place and writes its top, then its left, into
  // their boxes, whose rules bound and store them: every move ends here.
  void putFrame(const rules::FrameRect& frame);
  bool cropFrameKey(const QString& key);

  // form1_folder.cpp
  void connectFolder();
  // pathbox's list and current entry made to show folderHistory.
  void showHistory();
  // Whether `folder` can be read, within the drives' time limit.
  bool folderReadable(const QString& folder) const;
  // The drive rule's steps 1 to 3; false where step 4 takes over.
  bool enterDrive();
  // Set while the drive rule puts the previous drive back, so that the
  // nested rule never puts a drive back in its turn.
  bool restoringDrive_ = false;
  bool restoredDriveFailed_ = false;

  // form1_startup.cpp
  bool loadFrameBoxes();
  void loadQuality();
  void startCamera();
  bool restoreFolder();

  // form1_photo.cpp
  // Grabs the capture window into the temporary file and back into Picture2;
  // the message for the user when a step fails, empty otherwise.
  QString capturePhoto();
  void showWaiting(bool busy);
  // The temporary capture file of this run (its folder made when it is the cache folder).
  QString captureFilePath() const;
  // pctResim over the photo, clipped to the crop frame in whole pixels.
  void clipToCropFrame();

  // form1_face.cpp
  void loadFacePlacement();
  // After a photo: the frame on the face found in it, when the check box
  // asks for that, and the line under the photo saying what there is to say.
  void placeFrameOnFace();

  // form1_save.cpp
  // Writes the clip at `checkPath`'s file; false (the user told why) when it failed.
  bool writeClip(const QString& checkPath, const QString& basePath);
  void advanceCounter();

 public:
  // False while a photo is being taken: the workspace then takes no input.
  bool takesInput() const { return !inputBlock_; }
  // The capture drivers and the workspace capture window inside Picture1.
  modWebCam& webCam() { return webCam_; }

 private:
  // form1_keypreview.cpp
  // Whether a press whose first stop is `receiver` is the workspace's.
  bool takesKeyAt(const QWidget& receiver) const;

  // form1_shutdown.cpp
  void unloadByCode(windows::UnloadMode unloadMode);
  // "Kapat" and Esc: release the camera, unload the workspace, end the program.
  void closeWorkspace();

  // form1.cpp: what the program context gives the workspace.
  const Module1& settings() const;
  ui::Prompter& prompter() const;

  windows::WindowRegistry& windows_;
  // Built from the program's cameras; destroyed before the controls,
  // Picture1 among them, that hold its window.
  modWebCam webCam_;
  // The camera chosen in cmbCamList (at start-up the first one), by identity.
  std::string chosenCamera_;
  bool unloaded_ = false;
  std::unique_ptr<ui::InputBlocker> inputBlock_;
  // Key preview: where each press started.
  ui::KeyPressTracker keyPresses_;
  workspace::FocusRules* focusRules_ = nullptr;
  workspace::CropFrameDrag* frameDrag_ = nullptr;
};
