// The Linux entry point: the words come from argv, and the backend is chosen by what
// the process is attached to.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/backend_choice.h"
#include "app/program.h"
#include "platform/process.h"
#include "ui/ui.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: pelmo [/auto [/merge]] [/ftb | /btf] [/fav FOLDER] [/book FILE] [/title TEXT]\n"
    "             [/quiet]\n"
    "\n"
    "Converts between a browser bookmark file and a Favourites folder of Internet\n"
    "shortcut (.URL) files.\n"
    "\n"
    "  /auto        convert at once, without the main dialog and without questions\n"
    "               (an existing bookmark file is replaced)\n"
    "  /merge       with /auto: merge into an existing bookmark file instead\n"
    "  /ftb         Favourites folder to bookmark file (the default)\n"
    "  /btf         bookmark file to Favourites folder\n"
    "  /fav FOLDER  the Favourites folder\n"
    "  /book FILE   the bookmark file\n"
    "  /title TEXT  the title of a new bookmark file\n"
    "  /quiet       no progress display\n"
    "  --help       this text\n"
    "  --version    the program's title line\n"
    "\n"
    "Exit codes: 1 when the run ended, 2 when a conversion in /auto mode gave up,\n"
    "0 when the platform was refused.\n";

}  // namespace

int main(int argc, char** argv) {
  pelmo::platform::PrepareProcess();
  std::vector<std::string> words(argv, argv + argc);
  if (words.size() == 2 && words[1] == "--help") {
    std::fwrite(kUsage.data(), 1, kUsage.size(), stdout);
    return 0;
  }
  if (words.size() == 2 && words[1] == "--version") {
    std::printf("%.*s\n", static_cast<int>(pelmo::ui::kTitleLine.size()),
                pelmo::ui::kTitleLine.data());
    return 0;
  }
  std::unique_ptr<pelmo::ui::Backend> backend = pelmo::ChooseBackend();
  return pelmo::RunPelmo(words, pelmo::DefaultServices(), *backend);
}
