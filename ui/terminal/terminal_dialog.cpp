#include "ui/terminal/terminal_dialog.h"

#include <algorithm>

#include "res/resource.h"
#include "ui/terminal/home_folder.h"

namespace pelmo::ui {

namespace {

constexpr std::string_view kFavouritesToBookmarks = "Favourites to Bookmarks";
constexpr std::string_view kBookmarksToFavourites = "Bookmarks to Favourites";

// Control bytes in a path would move the cursor or clear the screen.
std::string Printable(std::string_view text) {
  std::string shown(text);
  std::replace_if(
      shown.begin(), shown.end(),
      [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }, '?');
  return shown;
}

}  // namespace

int TerminalMainDialog::run(DialogLogic& logic) {
  logic.opened(*this);
  showValues();
  const bool answered = askDirection(logic) &&
                        askText(IDC_FAVOURITES_FOLDER, "Favourites folder", true) &&
                        askText(IDC_BOOKMARK_FILE, "Bookmark file", true) &&
                        (disabled_.contains(IDC_BOOKMARK_TITLE) ||
                         askText(IDC_BOOKMARK_TITLE, "Bookmark title", false));
  const int choice =
      answered
          ? prompt_.ask("[O]K or [C]ancel? (Enter: OK) ",
                        {{"o", IDOK}, {"ok", IDOK}, {"c", IDCANCEL}, {"cancel", IDCANCEL}}, IDOK)
          : IDCANCEL;
  logic.command(*this, choice == IDOK ? IDOK : IDCANCEL);
  return result_.value_or(0);
}

void TerminalMainDialog::showValues() {
  const std::string direction(isChecked(IDC_FAVOURITES_TO_BOOKMARKS) ? kFavouritesToBookmarks
                                                                     : kBookmarksToFavourites);
  const std::string values = std::string(kTitleLine) + "\n  Direction:         " + direction +
                             "\n  Favourites folder: " + Printable(texts_[IDC_FAVOURITES_FOLDER]) +
                             "\n  Bookmark file:     " + Printable(texts_[IDC_BOOKMARK_FILE]) +
                             "\n  Bookmark title:    " + Printable(texts_[IDC_BOOKMARK_TITLE]) +
                             "\n";
  std::fwrite(values.data(), 1, values.size(), out_);
}

bool TerminalMainDialog::askDirection(DialogLogic& logic) {
  const bool toBookmarks = isChecked(IDC_FAVOURITES_TO_BOOKMARKS);
  const std::string question =
      std::string("[F]avourites to Bookmarks or [B]ookmarks to Favourites? (Enter: ") +
      std::string(toBookmarks ? kFavouritesToBookmarks : kBookmarksToFavourites) + ") ";
  constexpr int kKept = -1;
  const int chosen = prompt_.ask(
      question, {{"f", IDC_FAVOURITES_TO_BOOKMARKS}, {"b", IDC_BOOKMARKS_TO_FAVOURITES}}, kKept);
  if (chosen == 0) return false;
  // Enter leaves the buttons untouched, as a dialog left alone does.
  if (chosen == kKept) return true;
  // As a click on the radio button: it selects itself, then the logic hears of it.
  checkRadio(IDC_FAVOURITES_TO_BOOKMARKS, IDC_BOOKMARKS_TO_FAVOURITES, chosen);
  logic.command(*this, chosen);
  return true;
}

bool TerminalMainDialog::askText(int controlId, std::string_view label, bool isPath) {
  const std::string question = std::string(label) + " [" + Printable(texts_[controlId]) +
                               "] (Enter keeps it, - empties it): ";
  for (;;) {
    std::optional<std::string> typed = prompt_.askText(question);
    if (!typed) return false;
    if (typed->empty()) return true;
    if (*typed == "-") {
      texts_[controlId].clear();
      return true;
    }
    std::string value = isPath ? ExpandHomeFolder(*typed, HomeFolder()) : *typed;
    if (value.size() <= prompt_.limit()) {
      texts_[controlId] = std::move(value);
      return true;
    }
    std::fprintf(out_, "That path is longer than %zu bytes; it was not taken.\n", prompt_.limit());
  }
}

void TerminalMainDialog::setText(int controlId, std::string_view text) {
  texts_[controlId] = std::string(text);
}

std::string TerminalMainDialog::getText(int controlId, std::size_t capacity) {
  const std::string& text = texts_[controlId];
  return text.substr(0, capacity == 0 ? 0 : std::min(text.size(), capacity - 1));
}

void TerminalMainDialog::checkRadio(int firstId, int lastId, int checkedId) {
  for (int id = firstId; id <= lastId; ++id) checked_.erase(id);
  if (checkedId >= firstId && checkedId <= lastId) checked_.insert(checkedId);
}

bool TerminalMainDialog::isChecked(int controlId) {
  return checked_.contains(controlId);
}

void TerminalMainDialog::enable(int controlId, bool enabled) {
  if (enabled) {
    disabled_.erase(controlId);
  } else {
    disabled_.insert(controlId);
  }
}

void TerminalMainDialog::end(int result) {
  if (!result_) result_ = result;
}

}  // namespace pelmo::ui
