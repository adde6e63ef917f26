// The program's side: loads libbruvik-gui.so on demand.
#include <dlfcn.h>

#include "program/gui_library.h"

namespace bruvik {

const GuiLibrary* load_gui_library(ClockMode mode, std::string& error) {
  const std::string needs = "the window and the pictures need " + std::string(kGuiLibraryFile);
  // Found through the program's run path: beside it in the build, in its library folder once
  // installed. Never unloaded: Qt keeps running until the process ends.
  void* handle = dlopen(kGuiLibraryFile, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* why = dlerror();
    error = needs + ", which could not be loaded (" + (why ? why : "no reason given") + ").";
    return nullptr;
  }
  const auto entry = reinterpret_cast<GuiLibraryEntry>(dlsym(handle, kGuiLibraryEntry));
  const GuiLibrary* library = entry ? entry(BRUVIK_VERSION, mode) : nullptr;
  if (library == nullptr) {
    error = needs + " of bruvik " BRUVIK_VERSION ", and the one found is another.";
  }
  return library;
}

}  // namespace bruvik
