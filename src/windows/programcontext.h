#pragma once
// What the program's windows are given from outside instead of reaching for a
// process-wide setting: main() builds it from the machine, a test from its
// fakes and its sandbox, and the window registry hands it to every window it
// creates.

#include <QStringList>
#include <filesystem>
#include <memory>

#include "platform/face/facefinder.h"
#include "platform/files/trash.h"
#include "platform/ui/endprogram.h"
#include "platform/ui/openfiledialog.h"
#include "platform/ui/shell.h"
#include "platform/ui/volumes.h"
#include "platform/video/cameraprofiles.h"
#include "platform/video/deviceprovider.h"
#include "rules/capturefile.h"
#include "settings/Module1.h"

namespace ui {
class Prompter;
}

namespace windows {

struct ProgramContext {
  // The capture drivers: the machine's V4L2 devices, synthetic cameras, or a
  // test's own provider.
  std::shared_ptr<video::DeviceProvider> cameras;
  // Message and input boxes: Qt's dialogs, or a test's scripted answers. Lent:
  // whoever builds the context keeps it alive as long as the windows.
  ui::Prompter* prompter = nullptr;
  // The remembered values, over the user's store file or a test's.
  Module1 settings;
  // "End the program at once" (F9, the menu "Programı Kapat", closing the workspace).
  ui::ProgramEnder endProgram = ui::endProgram;
  // The program's folder and its per-user cache folder, for the capture file.
  rules::ProgramFolders folders;
  // Where deleted photos go: the user's trash folders of this run.
  files::TrashPlaces trash = files::trashPlacesOfThisUser();

  // The drives: the mounted volumes and whether a folder on one can be read
  // (within a time limit), or a test's own.
  ui::DriveAccess drives;

  // What the user set up in each camera's dialogs, by camera, kept in the
  // same settings store; null: cameras open with the default choice and
  // nothing is remembered.
  std::shared_ptr<video::CameraProfiles> cameraProfiles = nullptr;
  // The Open dialog: Qt's file dialog, or a test's scripted one.
  std::shared_ptr<ui::OpenFileDialog> openFileDialog = std::make_shared<ui::QtOpenFileDialog>();
  // Opening the maker's web page: the desktop's browser, or a test's recorder.
  ui::WebPageOpener openWebPage = ui::openWebPage;
  // The read-only machine-wide store installed with the package; empty: none.
  std::filesystem::path machineSettingsFile{};
  // The folders searched for a program started by name (the PATH of this run);
  // empty: no program is found by name.
  QStringList programSearchPath{};
  // Finds pupils' faces in a taken photo, for placing the crop frame on one;
  // a test's own finder. Null where the program has no face finder: the
  // workspace's "Yüzü otomatik yerleştir" is then greyed out, with a tooltip
  // saying why, rather than offering a placement that never finds a face.
  std::shared_ptr<face::FaceFinder> faceFinder = nullptr;
};

// The context of this run on this machine, as main() hands it to the
// windows: the machine's cameras (or TANDEO_FAKE_CAMERAS), `prompter` (lent),
// the user's settings store, the real ending, this run's folders, the user's
// trash, the mounted volumes, the camera profiles in the settings store, Qt's
// file dialog, the desktop's browser, the installed machine-wide store and the
// PATH.
ProgramContext programContextOfThisRun(ui::Prompter& prompter);

// The folders of this run: the one the program was started from and
// $XDG_CACHE_HOME/Velmora (~/.cache/Velmora). Read once, when main() builds
// the context.
rules::ProgramFolders programFoldersOfThisRun();

}  // namespace windows
