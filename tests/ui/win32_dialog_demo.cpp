// Shows one of the Win32 backend's dialogs with sample values, for screenshots:
//   win32_dialog_demo main|progress|overwrite [seconds]
// The progress dialog stays for the given seconds (default 5); the others until closed.
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "app/overwrite_question.h"
#include "res/resource.h"
#include "ui/progress.h"
#include "ui/win32/win32_backend.h"

namespace {

class SampleLogic : public pelmo::ui::DialogLogic {
 public:
  void opened(pelmo::ui::DialogControls& controls) override {
    controls.setText(IDC_BOOKMARK_FILE, "C:\\Program Files\\Netscape\\bookmark.htm");
    controls.setText(IDC_FAVOURITES_FOLDER, "C:\\WINDOWS\\Favorites");
    controls.setText(IDC_BOOKMARK_TITLE, "Favourites converted by PELMO");
    controls.checkRadio(IDC_FAVOURITES_TO_BOOKMARKS, IDC_BOOKMARKS_TO_FAVOURITES,
                        IDC_FAVOURITES_TO_BOOKMARKS);
  }
  void command(pelmo::ui::DialogControls& controls, int controlId) override {
    if (controlId == IDOK || controlId == IDCANCEL) controls.end(controlId == IDOK ? 1 : 0);
  }
  void dropped(pelmo::ui::DialogControls&, std::string_view) override {}
};

}  // namespace

int main(int argc, char** argv) {
  const std::string_view which = argc > 1 ? argv[1] : "main";
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 5;
  std::unique_ptr<pelmo::ui::Backend> backend =
      pelmo::ui::MakeWin32Backend(::GetModuleHandleA(nullptr));
  if (which == "main") {
    SampleLogic logic;
    std::printf("%d\n", backend->runDialog(IDD_MAIN, logic).value_or(-1));
  } else if (which == "overwrite") {
    std::printf("%d\n", static_cast<int>(pelmo::AskOverwrite(*backend)));
  } else if (which == "progress") {
    // As a conversion drives it: a status and a step every 100 ms, up to 40 of 100.
    pelmo::ui::ProgressDialog progress = pelmo::ui::ProgressOpen(*backend);
    pelmo::ui::ProgressSetRange(progress, 100);
    pelmo::ui::ProgressSetStep(progress, 1);
    for (int tick = 0; tick < seconds * 10; ++tick) {
      if (tick < 40) {
        pelmo::ui::ProgressSetStatus(progress, "http://www.example.com/pelmo/index.html");
        pelmo::ui::ProgressStep(progress);
      }
      ::Sleep(100);
    }
    pelmo::ui::ProgressClose(progress);
  } else {
    std::fprintf(stderr, "usage: %s main|progress|overwrite [seconds]\n", argv[0]);
    return 2;
  }
  return 0;
}
