#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/ui.h"

namespace pelmo::testing {

// A user-interface backend for tests: records what the logic showed, and answers
// questions from a script (Cancel once the script runs out).
class ScriptedBackend : public ui::Backend {
 public:
  struct Message {
    std::string text;
    ui::Icon icon;
  };

  // Every progress operation, in order: "open", "status:TEXT", "range:N", "step:N",
  // "step", "position:N", "close".
  std::vector<std::string> progressLog;
  std::vector<Message> messages;
  std::deque<bool> okCancelAnswers;
  std::deque<ui::OverwriteChoice> overwriteAnswers;
  int okCancelQuestions = 0;
  int overwriteQuestions = 0;
  int dialogsRequested = 0;
  bool progressAvailable = true;

  void showMessage(std::string_view text, ui::Icon icon) override {
    messages.push_back({std::string(text), icon});
  }
  bool askOkCancel(std::string_view text) override {
    messages.push_back({std::string(text), ui::Icon::Question});
    ++okCancelQuestions;
    if (okCancelAnswers.empty()) return false;
    bool answer = okCancelAnswers.front();
    okCancelAnswers.pop_front();
    return answer;
  }
  ui::OverwriteChoice askOverwrite() override {
    ++overwriteQuestions;
    if (overwriteAnswers.empty()) return ui::OverwriteChoice::Cancel;
    ui::OverwriteChoice answer = overwriteAnswers.front();
    overwriteAnswers.pop_front();
    return answer;
  }
  std::unique_ptr<ui::ProgressView> openProgress() override {
    if (!progressAvailable) return nullptr;
    progressLog.push_back("open");
    return std::make_unique<RecordingProgress>(progressLog);
  }
  std::optional<int> runDialog(int, ui::DialogLogic&) override {
    ++dialogsRequested;
    return std::nullopt;
  }

  // The texts of the messages shown, in order.
  std::vector<std::string> messageTexts() const {
    std::vector<std::string> texts;
    for (const Message& message : messages) texts.push_back(message.text);
    return texts;
  }

 private:
  class RecordingProgress : public ui::ProgressView {
   public:
    explicit RecordingProgress(std::vector<std::string>& log) : log_(log) {}
    ~RecordingProgress() override { log_.push_back("close"); }
    void setStatus(std::string_view text) override {
      log_.push_back("status:" + std::string(text));
    }
    void setRange(std::uint16_t upper) override {
      log_.push_back("range:" + std::to_string(upper));
    }
    void setStep(int step) override { log_.push_back("step:" + std::to_string(step)); }
    void step() override { log_.push_back("step"); }
    void setPosition(int position) override {
      log_.push_back("position:" + std::to_string(position));
    }

   private:
    std::vector<std::string>& log_;
  };
};

}  // namespace pelmo::testing
