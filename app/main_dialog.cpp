#include "app/main_dialog.h"

namespace pelmo {

namespace {

// The dialog's controls arrive with the desktop backend; until then no backend can
// create it.
class MainDialogLogic : public ui::DialogLogic {
 public:
  void opened(ui::DialogControls&) override {}
  void command(ui::DialogControls&, int) override {}
  void dropped(ui::DialogControls&, std::string_view) override {}
};

constexpr std::string_view kNoDialogHint =
    "The main dialog cannot be shown here. To convert from the command line, add /auto, "
    "for example: pelmo /auto /btf /book bookmarks.html /fav Favorites (pelmo --help lists "
    "the switches).";

}  // namespace

bool MainDialog(ConversionSettings& settings, ui::Backend& backend) {
  (void)settings;
  MainDialogLogic logic;
  std::optional<int> result = backend.runDialog(kMainDialogTemplate, logic);
  if (!result) {
    backend.showMessage(kNoDialogHint, ui::Icon::Information);
    return false;
  }
  return *result == 1;
}

}  // namespace pelmo
