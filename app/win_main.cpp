// The Win32 entry point: the words come from the process's command line, split by the
// program's own rules, and the dialogs from the module's resources.
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/program.h"
#include "platform/process.h"
#include "ui/win32/win32_backend.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const std::vector<std::string> words = pelmo::SplitCommandLine(
      pelmo::platform::ProcessCommandLine(), pelmo::platform::ProgramPath());
  std::unique_ptr<pelmo::ui::Backend> backend = pelmo::ui::MakeWin32Backend(instance);
  return pelmo::RunPelmo(words, pelmo::DefaultServices(), *backend);
}
