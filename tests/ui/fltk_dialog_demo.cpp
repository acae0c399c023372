// Shows one of the desktop backend's windows with sample values, for screenshots:
//   fltk_dialog_demo main|progress|overwrite|message|question|sizes [seconds]
// The progress window stays for the given seconds (default 5); the others until closed.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <thread>

#include "app/overwrite_question.h"
#include "res/resource.h"
#include "ui/dialog_template.h"
#include "ui/fltk/dialog_units.h"
#include "ui/fltk/fltk_backend.h"
#include "ui/progress.h"

namespace {

using pelmo::ui::ChooseDialogFont;
using pelmo::ui::DialogTemplate;
using pelmo::ui::DialogUnits;
using pelmo::ui::FindDialogTemplate;

class SampleLogic : public pelmo::ui::DialogLogic {
 public:
  void opened(pelmo::ui::DialogControls& controls) override {
    controls.setText(IDC_BOOKMARK_FILE, "/home/user/bookmarks.html");
    controls.setText(IDC_FAVOURITES_FOLDER, "/home/user/Favourites");
    controls.setText(IDC_BOOKMARK_TITLE, "Bookmarks");
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
  std::unique_ptr<pelmo::ui::Backend> backend = pelmo::ui::MakeFltkBackend();
  if (!backend) {
    std::fprintf(stderr, "no display\n");
    return 2;
  }
  if (which == "main") {
    SampleLogic logic;
    std::printf("%d\n", backend->runDialog(IDD_MAIN, logic).value_or(-1));
  } else if (which == "overwrite") {
    std::printf("%d\n", static_cast<int>(pelmo::AskOverwrite(*backend)));
  } else if (which == "progress") {
    pelmo::ui::ProgressDialog progress = pelmo::ui::ProgressOpen(*backend);
    pelmo::ui::ProgressSetStatus(progress, "http://www.example.com/pelmo/index.html");
    pelmo::ui::ProgressSetRange(progress, 100);
    pelmo::ui::ProgressSetPosition(progress, 40);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    pelmo::ui::ProgressClose(progress);
  } else if (which == "sizes") {
    // What each window's inside should measure: the template's size in base units.
    const DialogTemplate* all[] = {FindDialogTemplate(IDD_MAIN), FindDialogTemplate(IDD_PROGRESS),
                                   FindDialogTemplate(IDD_OVERWRITE)};
    const DialogUnits units = ChooseDialogFont(all).units;
    const char* names[] = {"main", "progress", "overwrite"};
    for (int i = 0; i < 3; ++i) {
      std::printf("%s: %dx%d\n", names[i], units.toPixelsX(all[i]->width),
                  units.toPixelsY(all[i]->height));
    }
    std::printf("base units: %d %d\n", units.baseX, units.baseY);
  } else if (which == "message") {
    backend->showMessage("Unable to open Bookmark file!", pelmo::ui::Icon::Warning);
  } else if (which == "question") {
    std::printf("%d\n", backend->askOkCancel("Create the folder?") ? 1 : 0);
  } else {
    std::fprintf(stderr, "usage: %s main|progress|overwrite|message|question|sizes [seconds]\n",
                 argv[0]);
    return 2;
  }
  return 0;
}
