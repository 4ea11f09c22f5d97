#include "testbed/host/Module.h"

#include <atomic>
#include <filesystem>

#include "testbed/host/HostError.h"
#include "testbed/platform/Process.h"
#include "testbed/platform/SharedLibrary.h"

namespace tb {

namespace {

std::string piplPathFor(const std::string& module_path) {
  std::filesystem::path p(module_path);
  return (p.parent_path() / p.stem()).string() + ".r";
}

std::string privateCopyOf(const std::string& path) {
  static std::atomic<int> counter{0};
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "tolv-testbed-modules";
  std::filesystem::create_directories(dir);
  std::filesystem::path copy =
      dir / (std::to_string(platform::processId()) + "-" + std::to_string(counter++) + "-" +
             std::filesystem::path(path).filename().string());
  std::filesystem::copy_file(path, copy, std::filesystem::copy_options::overwrite_existing);
  return copy.string();
}

}  // namespace

Module::Module(const std::string& path, bool private_copy) : path_(path) {
  if (!std::filesystem::is_regular_file(path))
    throw HostError(path + ": no such module file");
  try {
    pipl_ = readPipl(piplPathFor(path));
  } catch (const std::exception& e) {
    throw HostError(path + ": not a plug-in module: " + e.what());
  }
  if (!pipl_.isEffect() && !pipl_.isGeneral()) {
    throw HostError(path + ": PiPL kind \"" + pipl_.text("Kind") + "\" is not a plug-in kind");
  }
  try {
    loadedPath_ = private_copy ? privateCopyOf(path) : path;
  } catch (const std::exception& e) {
    throw HostError(path + ": cannot make a private copy: " + e.what());
  }
  std::string error;
  dl_ = platform::openLibrary(loadedPath_, error);
  if (!dl_)
    throw HostError(path + ": " + error);
  void* entry = platform::librarySymbol(dl_, "EntryPointFunc");
  if (!entry) {
    platform::closeLibrary(dl_);
    throw HostError(path + ": the module exports no EntryPointFunc");
  }
  if (pipl_.isEffect()) {
    effectEntry_ = reinterpret_cast<PF_EntryPointFunc>(entry);
  } else {
    generalEntry_ = reinterpret_cast<AEGP_EntryPointFunc>(entry);
  }
}

Module::~Module() {
  // Like the host, the testbed never unloads a module while it runs: plug-ins free nothing at
  // unload and may have handed out addresses of their own statics.
  // Windows keeps a loaded module's file open: its copy is then left in the temporary folder.
  std::error_code ec;
  if (loadedPath_ != path_)
    std::filesystem::remove(loadedPath_, ec);
}

}  // namespace tb
