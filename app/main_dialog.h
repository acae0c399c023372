#pragma once

#include <cstddef>
#include <string_view>

#include "res/resource.h"
#include "ui/ui.h"
#include "util/conversion_settings.h"

namespace pelmo {

inline constexpr int kMainDialogTemplate = IDD_MAIN;

// The main dialog's behaviour, toolkit-free: it shows the record when the dialog opens,
// keeps the title box enabled only for Favourites to Bookmarks once a direction is
// clicked, fills the boxes from the browsers and from dropped names, and writes the
// record on OK only. Paths are read back with pathCapacity (terminator included).
class MainDialogLogic : public ui::DialogLogic {
 public:
  MainDialogLogic(ConversionSettings& settings, std::size_t pathCapacity)
      : settings_(settings), pathCapacity_(pathCapacity) {}

  void opened(ui::DialogControls& controls) override;
  void command(ui::DialogControls& controls, int controlId) override;
  void dropped(ui::DialogControls& controls, std::string_view firstName) override;

 private:
  void acceptValues(ui::DialogControls& controls);
  void browseFolder(ui::DialogControls& controls, int editId, std::string_view title);
  void browseFile(ui::DialogControls& controls, int editId, std::string_view title);

  ConversionSettings& settings_;
  std::size_t pathCapacity_;
};

// Shows the main dialog on settings. True after OK (settings then hold the dialog's
// values); false after Cancel, and when the dialog cannot be created.
bool MainDialog(ConversionSettings& settings, ui::Backend& backend);

}  // namespace pelmo
