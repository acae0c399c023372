#include "ui/fltk/fltk_controls.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Native_File_Chooser.H>

#include <filesystem>
#include <string>

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

}  // namespace

void FltkControls::setText(int controlId, std::string_view text) {
  Fl_Widget* widget = window_.control(controlId);
  if (!widget) return;
  const std::string copy(text);
  if (Fl_Input* input = AsInput(widget)) {
    input->value(copy.data(), static_cast<int>(copy.size()));
    // The text is shown from its start, as an edit box that does not scroll shows it.
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

std::optional<std::string> FltkControls::browseFolder(std::string_view title) {
  Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_DIRECTORY);
  const std::string caption(title);
  chooser.title(caption.c_str());
  return RunChooser(chooser);
}

std::optional<std::string> FltkControls::browseFile(std::string_view title,
                                                    std::string_view directory,
                                                    std::string_view fileName) {
  // The save form takes a name that does not exist yet, for a bookmark file still to be
  // written; without its confirm option it asks nothing about existing ones.
  Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_SAVE_FILE);
  const std::string caption(title);
  // Choosers want a whole path to start in; a relative folder means one below the
  // current directory.
  std::error_code error;
  std::filesystem::path start = std::filesystem::absolute(std::filesystem::path(directory), error);
  const std::string folder = directory.empty() || error ? std::string(directory) : start.string();
  const std::string name(fileName);
  chooser.title(caption.c_str());
  chooser.filter("HTML files\t*.{htm,html}\nAll files\t*");
  chooser.options(0);
  if (!folder.empty()) chooser.directory(folder.c_str());
  if (!name.empty()) chooser.preset_file(name.c_str());
  return RunChooser(chooser);
}

bool FltkControls::isDirectory(std::string_view name) {
  std::error_code error;
  return std::filesystem::is_directory(std::filesystem::path(name), error);
}

}  // namespace pelmo::ui
