// The Linux entry point: the words come from argv, and the backend is chosen by what
// the process is attached to.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/backend_choice.h"
#include "app/command_line.h"
#include "app/program.h"
#include "platform/process.h"
#include "ui/ui.h"

namespace {

// The synopsis is also the short usage that a refused command line gets.
constexpr std::string_view kSynopsis =
    "Usage: pelmo [/auto [/merge]] [/ftb | /btf] [/fav FOLDER] [/book FILE] [/title TEXT]\n"
    "             [/modern] [/quiet] [/codepage N]\n";

constexpr std::string_view kDescription =
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
    "  /modern      with /ftb: write the bookmark file as current browsers write\n"
    "               theirs (UTF-8, names escaped as HTML, dates, icons)\n"
    "  /codepage N  the Windows code page of text that is not UTF-8 and names none\n"
    "               (default 1252)\n"
    "  /quiet       no progress display\n"
    "  --help       this text\n"
    "  --version    the program's title line\n"
    "\n"
    "Exit codes: 1 when the run ended, 2 when a conversion in /auto mode gave up or\n"
    "the command line was refused, 0 when the platform was refused.\n";

void Print(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
}

}  // namespace

int main(int argc, char** argv) {
  pelmo::platform::PrepareProcess();
  std::vector<std::string> words(argv, argv + argc);
  // Settled before anything is read or written, and before a backend opens a window.
  const pelmo::CommandLineCheck check = pelmo::CheckCommandLine(words);
  switch (check.request) {
    case pelmo::CommandLineRequest::Help:
      Print(stdout, kSynopsis);
      Print(stdout, kDescription);
      return 0;
    case pelmo::CommandLineRequest::Version:
      Print(stdout, pelmo::ui::kTitleLine);
      Print(stdout, "\n");
      return 0;
    case pelmo::CommandLineRequest::Refused:
      Print(stderr, check.refusal + "\n");
      Print(stderr, kSynopsis);
      Print(stderr, "pelmo --help lists the switches.\n");
      return pelmo::kExitRefusedCommandLine;
    case pelmo::CommandLineRequest::Run:
      break;
  }
  std::unique_ptr<pelmo::ui::Backend> backend = pelmo::ChooseBackend();
  return pelmo::RunPelmo(words, pelmo::DefaultServices(), *backend);
}
