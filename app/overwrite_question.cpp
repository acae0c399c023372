#include "app/overwrite_question.h"

#include "res/resource.h"

namespace pelmo {

void OverwriteQuestion::command(ui::DialogControls& controls, int controlId) {
  switch (controlId) {
    case IDOK:
      controls.end(static_cast<int>(ui::OverwriteChoice::Merge));
      break;
    case IDC_REPLACE:
      controls.end(static_cast<int>(ui::OverwriteChoice::Replace));
      break;
    case IDCANCEL:
      controls.end(static_cast<int>(ui::OverwriteChoice::Cancel));
      break;
    default:
      break;
  }
}

ui::OverwriteChoice AskOverwrite(ui::Backend& backend) {
  OverwriteQuestion question;
  const std::optional<int> result = backend.runDialog(IDD_OVERWRITE, question);
  if (result == static_cast<int>(ui::OverwriteChoice::Merge)) return ui::OverwriteChoice::Merge;
  if (result == static_cast<int>(ui::OverwriteChoice::Replace)) {
    return ui::OverwriteChoice::Replace;
  }
  return ui::OverwriteChoice::Cancel;
}

}  // namespace pelmo
