#include "ui/fltk/fltk_backend.h"

namespace pelmo::ui {

// Built when FLTK is not installed: the terminal backend is all there is.
std::unique_ptr<Backend> MakeFltkBackend() {
  return nullptr;
}

}  // namespace pelmo::ui
