// The program's side: loads libbruvik-gui.so on demand.
#include <dlfcn.h>
#include <unistd.h>

#include <array>
#include <string>

#include "program/gui_library.h"

namespace bruvik {
namespace {

// The folder the program file is in. Where the library is looked for is computed from it, not
// left to a run path: under the sanitizers dlopen is called from their runtime, whose run path
// it would follow.
std::string program_folder() {
  std::array<char, 4096> path{};
  const ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (n <= 0) return ".";
  const std::string file(path.data(), static_cast<std::size_t>(n));
  return file.substr(0, file.rfind('/'));
}

}  // namespace

const GuiLibrary* load_gui_library(ClockMode mode, std::string& error) {
  const std::string needs = "the window and the pictures need " + std::string(kGuiLibraryFile);
  const std::string folder = program_folder();
  // Beside the program in the build; in the program's library folder once installed.
  const std::string installed = folder + "/" BRUVIK_GUI_FROM_BIN;
  void* handle = nullptr;
  error = needs + ", found neither beside the program nor in " + installed + ".";
  for (const std::string& dir : {folder, installed}) {
    const std::string file = dir + "/" + kGuiLibraryFile;
    if (access(file.c_str(), F_OK) != 0) continue;
    // Never unloaded: Qt keeps running until the process ends.
    handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
      const char* why = dlerror();
      error = needs + ", which could not be loaded (" + (why ? why : file) + ").";
      return nullptr;
    }
    break;
  }
  if (handle == nullptr) return nullptr;
  const auto entry = reinterpret_cast<GuiLibraryEntry>(dlsym(handle, kGuiLibraryEntry));
  const GuiLibrary* library = entry ? entry(BRUVIK_VERSION, mode) : nullptr;
  error = library ? "" : needs + " of bruvik " BRUVIK_VERSION ", and the one found is another.";
  return library;
}

}  // namespace bruvik
