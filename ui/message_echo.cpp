#include "ui/message_echo.h"

#include <utility>

namespace pelmo::ui {

namespace {

class MessageEcho : public Backend {
 public:
  MessageEcho(std::unique_ptr<Backend> shown, std::unique_ptr<Backend> echo)
      : shown_(std::move(shown)), echo_(std::move(echo)) {}

  void showMessage(std::string_view text, Icon icon) override {
    echo_->showMessage(text, icon);
    shown_->showMessage(text, icon);
  }
  void showFailure(std::string_view text, const FailureDetail& detail) override {
    echo_->showFailure(text, detail);
    shown_->showFailure(text, detail);
  }
  bool askOkCancel(std::string_view text) override { return shown_->askOkCancel(text); }
  std::unique_ptr<ProgressView> openProgress() override { return shown_->openProgress(); }
  std::optional<int> runDialog(int templateId, DialogLogic& logic) override {
    return shown_->runDialog(templateId, logic);
  }

 private:
  std::unique_ptr<Backend> shown_;
  std::unique_ptr<Backend> echo_;
};

}  // namespace

std::unique_ptr<Backend> EchoMessages(std::unique_ptr<Backend> shown,
                                      std::unique_ptr<Backend> echo) {
  return std::make_unique<MessageEcho>(std::move(shown), std::move(echo));
}

}  // namespace pelmo::ui
