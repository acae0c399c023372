#include "ui/fltk/fltk_backend.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include "res/resource.h"
#include "ui/dialog_template.h"
#include "ui/fltk/dialog_units.h"
#include "ui/fltk/dialog_window.h"
#include "ui/fltk/fltk_controls.h"
#include "ui/fltk/input_block.h"
#include "ui/fltk/message_box.h"
#include "ui/fltk/progress_window.h"
#include "ui/fltk/uri_list.h"

namespace pelmo::ui {
namespace {

class FltkBackend : public Backend {
 public:
  FltkBackend() {
    const DialogTemplate* templates[] = {FindDialogTemplate(IDD_MAIN),
                                         FindDialogTemplate(IDD_PROGRESS),
                                         FindDialogTemplate(IDD_OVERWRITE)};
    font_ = ChooseDialogFont(templates);
  }

  void showMessage(std::string_view text, Icon icon) override {
    RunMessageBox(text, icon, false, font_);
  }

  bool askOkCancel(std::string_view text) override {
    return RunMessageBox(text, Icon::Question, true, font_);
  }

  std::unique_ptr<ProgressView> openProgress() override {
    const DialogTemplate* dialog = FindDialogTemplate(IDD_PROGRESS);
    if (!dialog) return nullptr;
    return std::make_unique<ProgressWindow>(*dialog, font_);
  }

  std::optional<int> runDialog(int templateId, DialogLogic& logic) override {
    const DialogTemplate* dialog = FindDialogTemplate(templateId);
    if (!dialog) return std::nullopt;
    DialogWindow window(*dialog, font_);
    FltkControls controls(window);
    window.onCommand([&](int controlId) { logic.command(controls, controlId); });
    window.onDrop(
        [&](std::string_view uriList) { logic.dropped(controls, FirstDroppedFile(uriList)); });
    window.set_modal();
    logic.opened(controls);
    InputReopened input;
    if (!controls.ended()) {
      window.show();
      window.focusDefaultButton();
    }
    while (!controls.ended() && window.shown()) Fl::wait();
    window.hide();
    return controls.result();
  }

 private:
  DialogFont font_;
};

}  // namespace

std::unique_ptr<Backend> MakeFltkBackend() {
  if (!fl_display) {
    // The toolkit's own opening ends the process when there is no display; ask first.
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    fl_open_display(display);
  }
  Fl_Window::default_xclass("pelmo");
  return std::make_unique<FltkBackend>();
}

}  // namespace pelmo::ui
