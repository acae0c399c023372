#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>

#include "ui/ui.h"

namespace pelmo::bench {

// A backend that asks nothing and draws nothing, so that only the conversion is
// timed; a message would mean the run failed, so it is printed.
class SilentBackend : public ui::Backend {
 public:
  void showMessage(std::string_view text, ui::Icon) override {
    std::fprintf(stderr, "message: %.*s\n", static_cast<int>(text.size()), text.data());
  }
  bool askOkCancel(std::string_view) override { return false; }
  ui::OverwriteChoice askOverwrite() override { return ui::OverwriteChoice::Cancel; }
  std::unique_ptr<ui::ProgressView> openProgress() override { return nullptr; }
  std::optional<int> runDialog(int, ui::DialogLogic&) override { return std::nullopt; }
};

}  // namespace pelmo::bench
