#include "platform/face/machinefacefinder.h"

#include <dlfcn.h>

#include <QLoggingCategory>
#include <utility>

Q_LOGGING_CATEGORY(lcFaceModule, "tandeo.face", QtWarningMsg)

namespace face {
namespace {

struct CloseModule {
  void operator()(void* handle) const { ::dlclose(handle); }
};
using ModuleHandle = std::unique_ptr<void, CloseModule>;

std::string lastLoaderError() {
  const char* text = ::dlerror();
  return text ? text : "unknown error";
}

}  // namespace

// Members go in reverse order: the finder, whose code is in the module, before
// the module is unloaded.
struct MachineFaceFinder::Loaded {
  ModuleHandle module;
  const FaceModule* entry = nullptr;
  std::unique_ptr<FaceFinder> finder;
};

MachineFaceFinder::MachineFaceFinder(std::filesystem::path module, std::filesystem::path modelFile)
    : module_(std::move(module)), modelFile_(std::move(modelFile)) {}

MachineFaceFinder::~MachineFaceFinder() = default;

void MachineFaceFinder::prepare() {
  std::call_once(started_, [this] {
    ready_ = std::async(std::launch::async, [module = module_, model = modelFile_] {
               return load(module, model);
             }).share();
  });
}

std::vector<FoundFace> MachineFaceFinder::find(const QImage& photo) {
  prepare();
  const auto& loaded = ready_.get();
  return loaded->finder ? loaded->finder->find(photo) : std::vector<FoundFace>{};
}

bool MachineFaceFinder::usesLandmarks() {
  prepare();
  const auto& loaded = ready_.get();
  return loaded->finder && loaded->entry->usesLandmarks(*loaded->finder);
}

bool MachineFaceFinder::isPrepared() const {
  return ready_.valid();
}

std::shared_ptr<MachineFaceFinder::Loaded> MachineFaceFinder::load(
    const std::filesystem::path& module, const std::filesystem::path& modelFile) {
  auto loaded = std::make_shared<Loaded>();
  loaded->module.reset(::dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL));
  if (!loaded->module) {
    qCWarning(lcFaceModule) << "cannot load the face module:" << lastLoaderError().c_str();
    return loaded;
  }
  const auto entry =
      reinterpret_cast<FaceModuleEntry>(::dlsym(loaded->module.get(), kFaceModuleEntry));
  const FaceModule* table = entry ? entry() : nullptr;
  if (!table || table->version != kFaceModuleVersion) {
    qCWarning(lcFaceModule) << module.c_str() << "is not a face module of this program's build";
    return loaded;
  }
  loaded->entry = table;
  loaded->finder.reset(table->makeFinder(modelFile.c_str()));
  return loaded;
}

std::optional<std::filesystem::path> installedFaceModule() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  for (const std::filesystem::path& folder :
       {error ? std::filesystem::path() : program.parent_path(),
        std::filesystem::path(TANDEO_FACE_MODULE_DIR)}) {
    if (folder.empty()) continue;
    const auto candidate = folder / kFaceModuleFile;
    if (std::filesystem::is_regular_file(candidate, error)) return candidate;
  }
  return std::nullopt;
}

std::shared_ptr<FaceFinder> faceFinderOfThisMachine(const std::filesystem::path& modelFile) {
  const auto module = installedFaceModule();
  if (!module) {
    qCInfo(lcFaceModule) << "no face module installed: placement is not offered";
    return nullptr;
  }
  return std::make_shared<MachineFaceFinder>(*module, modelFile);
}

}  // namespace face
