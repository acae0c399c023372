#include "app/main_dialog.h"

#include <string>

#include "platform/paths.h"
#include "res/resource.h"
#include "ui/bookmark_file_kinds.h"
#include "ui/messages.h"
#include "util/path.h"
#include "util/text.h"

namespace pelmo {
namespace {

int RadioButtonOf(ConversionMode mode) {
  return mode == ConversionMode::FavouritesToBookmarks ? IDC_FAVOURITES_TO_BOOKMARKS
                                                       : IDC_BOOKMARKS_TO_FAVOURITES;
}

// ".htm" anywhere in the name marks an HTML file; a browser's store is known by the name
// the browser gives it.
bool NamesBookmarkFile(std::string_view name) {
  return FindNoCase(name, ".htm") != std::string_view::npos ||
         ui::IsBrowserStoreName(name.substr(PathTail(name)));
}

}  // namespace

void MainDialogLogic::opened(ui::DialogControls& controls) {
  controls.setText(IDC_BOOKMARK_FILE, settings_.bookmarkFile);
  controls.setText(IDC_FAVOURITES_FOLDER, settings_.favouritesFolder);
  controls.setText(IDC_BOOKMARK_TITLE, settings_.bookmarkTitle);
  controls.checkRadio(IDC_FAVOURITES_TO_BOOKMARKS, IDC_BOOKMARKS_TO_FAVOURITES,
                      RadioButtonOf(settings_.mode));
}

void MainDialogLogic::command(ui::DialogControls& controls, int controlId) {
  switch (controlId) {
    case IDOK:
      acceptValues(controls);
      controls.end(1);
      break;
    case IDCANCEL:
      controls.end(0);
      break;
    case IDC_BROWSE_FILE:
      browseFile(controls, IDC_BOOKMARK_FILE, ui::message::kSelectBookmarkFile);
      break;
    case IDC_BROWSE_FOLDER:
      browseFolder(controls, IDC_FAVOURITES_FOLDER, ui::message::kSelectFavouritesFolder);
      break;
    case IDC_FAVOURITES_TO_BOOKMARKS:
    case IDC_BOOKMARKS_TO_FAVOURITES:
      // The title only names a new bookmark file.
      controls.enable(IDC_BOOKMARK_TITLE, controls.isChecked(IDC_FAVOURITES_TO_BOOKMARKS));
      break;
    default:
      break;
  }
}

void MainDialogLogic::dropped(ui::DialogControls& controls, std::string_view firstName) {
  if (firstName.empty()) return;
  // A folder wins even when its name looks like a bookmark file.
  if (controls.isDirectory(firstName)) {
    controls.setText(IDC_FAVOURITES_FOLDER, firstName);
  } else if (NamesBookmarkFile(firstName)) {
    controls.setText(IDC_BOOKMARK_FILE, firstName);
  }
}

void MainDialogLogic::acceptValues(ui::DialogControls& controls) {
  // The title is read even when its box is disabled.
  settings_.favouritesFolder = controls.getText(IDC_FAVOURITES_FOLDER, pathCapacity_);
  settings_.bookmarkFile = controls.getText(IDC_BOOKMARK_FILE, pathCapacity_);
  settings_.bookmarkTitle = controls.getText(IDC_BOOKMARK_TITLE, kTitleCapacity);
  settings_.mode = controls.isChecked(IDC_FAVOURITES_TO_BOOKMARKS)
                       ? ConversionMode::FavouritesToBookmarks
                       : ConversionMode::BookmarksToFavourites;
}

void MainDialogLogic::browseFolder(ui::DialogControls& controls, int editId,
                                   std::string_view title) {
  if (std::optional<std::string> chosen = controls.browseFolder(title)) {
    controls.setText(editId, *chosen);
  }
}

void MainDialogLogic::browseFile(ui::DialogControls& controls, int editId, std::string_view title) {
  const std::string text = controls.getText(editId, pathCapacity_);
  // The browser starts in the folder part, with the last component as the name.
  const std::size_t tail = PathTail(text);
  const std::string_view whole = text;
  if (std::optional<std::string> chosen =
          controls.browseFile(title, whole.substr(0, tail), whole.substr(tail))) {
    controls.setText(editId, *chosen);
  }
}

bool MainDialog(ConversionSettings& settings, ui::Backend& backend) {
  MainDialogLogic logic(settings, platform::MaxPathSize());
  std::optional<int> result = backend.runDialog(kMainDialogTemplate, logic);
  if (!result) {
    backend.showMessage(
        backend.hasConsole() ? ui::message::kNoDialog : ui::message::kNoDialogWithoutConsole,
        ui::Icon::Information);
    return false;
  }
  return *result == 1;
}

}  // namespace pelmo
