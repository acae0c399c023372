#include "ui/fltk/fltk_controls.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Native_File_Chooser.H>

#include <filesystem>
#include <string>

#include "res/resource.h"
#include "ui/bookmark_file_kinds.h"

namespace pelmo::ui {
namespace {

Fl_Input* AsInput(Fl_Widget* widget) {
  return dynamic_cast<Fl_Input*>(widget);
}

Fl_Button* AsButton(Fl_Widget* widget) {
  return dynamic_cast<Fl_Button*>(widget);
}

std::optional<std::string> RunChooser(Fl_Native_File_Chooser& chooser) {
  if (chooser.show() != 0) return std::nullopt;  // cancelled (1) or failed (-1)
  const char* chosen = chooser.filename();
  if (!chosen || !*chosen) return std::nullopt;
  return std::string(chosen);
}

// Where a chooser starts for a folder as the user typed it: that folder made whole (a
// relative one is below the current directory, which is the start directory while a
// dialog shows), or the nearest one above it that exists; the current directory for
// an empty text.
std::string StartFolder(std::string_view typed) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path folder = fs::absolute(fs::path(typed), error);
  if (error) return {};
  folder = folder.lexically_normal();
  while (!fs::is_directory(folder, error) && folder.has_relative_path()) {
    folder = folder.parent_path();
  }
  return fs::is_directory(folder, error) ? folder.string() : std::string();
}

}  // namespace

void FltkControls::setText(int controlId, std::string_view text) {
  Fl_Widget* widget = window_.control(controlId);
  if (!widget) return;
  const std::string copy(text);
  if (Fl_Input* input = AsInput(widget)) {
    input->value(copy.data(), static_cast<int>(copy.size()));
    // The text is shown from its start, as an edit control shows a text it is given.
    input->position(0);
  } else {
    widget->copy_label(copy.c_str());
  }
  widget->redraw();
}

std::string FltkControls::getText(int controlId, std::size_t capacity) {
  Fl_Widget* widget = window_.control(controlId);
  if (!widget || capacity == 0) return {};
  std::string text;
  if (Fl_Input* input = AsInput(widget)) {
    text.assign(input->value(), static_cast<std::size_t>(input->size()));
  } else if (widget->label()) {
    text = widget->label();
  }
  if (text.size() > capacity - 1) text.resize(capacity - 1);
  return text;
}

void FltkControls::checkRadio(int firstId, int lastId, int checkedId) {
  for (Fl_Widget* widget : window_.controls(firstId, lastId)) {
    if (Fl_Button* button = AsButton(widget)) button->value(0);
  }
  if (Fl_Button* button = AsButton(window_.control(checkedId))) {
    if (checkedId >= firstId && checkedId <= lastId) button->value(1);
  }
}

bool FltkControls::isChecked(int controlId) {
  Fl_Button* button = AsButton(window_.control(controlId));
  return button && button->value() != 0;
}

void FltkControls::enable(int controlId, bool enabled) {
  Fl_Widget* widget = window_.control(controlId);
  if (!widget) return;
  if (enabled) {
    widget->activate();
  } else {
    widget->deactivate();
  }
}

void FltkControls::end(int result) {
  ended_ = true;
  result_ = result;
  // Hiding also wakes the modal loop when the end comes from a timer, not an event.
  window_.hide();
}

// The folder chooser opens at the folder that the dialog's folder box names.
std::optional<std::string> FltkControls::browseFolder(std::string_view title) {
  Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_DIRECTORY);
  const std::string caption(title);
  const std::string start = StartFolder(getText(IDC_FAVOURITES_FOLDER, std::string::npos));
  chooser.title(caption.c_str());
  if (!start.empty()) chooser.directory(start.c_str());
  return RunChooser(chooser);
}

// Bookmarks to Favourites reads the file, so the chooser offers existing files only;
// Favourites to Bookmarks writes it, so the save form takes a name still to be written
// and, without its confirm option, asks nothing about one that exists (the overwrite
// question comes later).
std::optional<std::string> FltkControls::browseFile(std::string_view title,
                                                    std::string_view directory,
                                                    std::string_view fileName) {
  const bool reading = isChecked(IDC_BOOKMARKS_TO_FAVOURITES);
  Fl_Native_File_Chooser chooser(reading ? Fl_Native_File_Chooser::BROWSE_FILE
                                         : Fl_Native_File_Chooser::BROWSE_SAVE_FILE);
  const std::string caption(title);
  const std::string start = StartFolder(directory);
  const std::string name(fileName);
  const std::string filter =
      FltkChooserFilter(reading ? BookmarkFileUse::Read : BookmarkFileUse::Written);
  chooser.title(caption.c_str());
  chooser.filter(filter.c_str());
  chooser.options(0);
  if (!start.empty()) chooser.directory(start.c_str());
  if (!name.empty()) chooser.preset_file(name.c_str());
  return RunChooser(chooser);
}

bool FltkControls::isDirectory(std::string_view name) {
  std::error_code error;
  return std::filesystem::is_directory(std::filesystem::path(name), error);
}

}  // namespace pelmo::ui
