#pragma once

#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/ui.h"

namespace pelmo::testing {

// One thing a user does in a dialog: types a control's whole text, clicks a control
// (an automatic radio button selects itself first), or drops a name on the dialog.
struct UserAction {
  enum Kind { Type, Click, Drop } kind;
  int controlId = 0;
  std::string text;
};

inline UserAction Type(int controlId, std::string text) {
  return {UserAction::Type, controlId, std::move(text)};
}
inline UserAction Click(int controlId) {
  return {UserAction::Click, controlId, {}};
}
inline UserAction Drop(std::string name) {
  return {UserAction::Drop, 0, std::move(name)};
}

// The controls of a dialog as plain state, and what the logic asked of the browsers.
// Disabled controls take neither typing nor clicks, as on screen.
class ScriptedControls : public ui::DialogControls {
 public:
  struct FileBrowse {
    std::string title;
    std::string directory;
    std::string fileName;
  };

  std::map<int, std::string> texts;
  std::set<int> checked;
  std::set<int> disabled;
  std::set<std::string> directories;                     // names that isDirectory confirms
  std::deque<std::optional<std::string>> browseAnswers;  // nothing left: cancelled
  std::vector<std::string> folderBrowses;                // titles
  std::vector<FileBrowse> fileBrowses;
  std::optional<int> result;

  void setText(int controlId, std::string_view text) override {
    texts[controlId] = std::string(text);
  }
  std::string getText(int controlId, std::size_t capacity) override {
    const std::string& text = texts[controlId];
    return text.substr(0, capacity == 0 ? 0 : std::min(text.size(), capacity - 1));
  }
  void checkRadio(int firstId, int lastId, int checkedId) override {
    radioGroups_.insert({firstId, lastId});
    for (int id = firstId; id <= lastId; ++id) checked.erase(id);
    if (checkedId >= firstId && checkedId <= lastId) checked.insert(checkedId);
  }
  bool isChecked(int controlId) override { return checked.contains(controlId); }
  void enable(int controlId, bool enabled) override {
    if (enabled) {
      disabled.erase(controlId);
    } else {
      disabled.insert(controlId);
    }
  }
  void end(int value) override { result = value; }
  std::optional<std::string> browseFolder(std::string_view title) override {
    folderBrowses.emplace_back(title);
    return nextBrowseAnswer();
  }
  std::optional<std::string> browseFile(std::string_view title, std::string_view directory,
                                        std::string_view fileName) override {
    fileBrowses.push_back({std::string(title), std::string(directory), std::string(fileName)});
    return nextBrowseAnswer();
  }
  bool isDirectory(std::string_view name) override {
    return directories.contains(std::string(name));
  }

  // Plays the actions until the dialog ends; a script that runs out presses Escape.
  int play(ui::DialogLogic& logic, const std::vector<UserAction>& actions) {
    logic.opened(*this);
    for (const UserAction& action : actions) {
      if (result) break;
      if (action.kind == UserAction::Drop) {
        logic.dropped(*this, action.text);
      } else if (!disabled.contains(action.controlId)) {
        if (action.kind == UserAction::Type) {
          texts[action.controlId] = action.text;
        } else {
          selectIfRadio(action.controlId);
          logic.command(*this, action.controlId);
        }
      }
    }
    if (!result) logic.command(*this, 2);
    return result.value_or(0);
  }

 private:
  // The groups that the logic has addressed are the dialog's radio groups.
  void selectIfRadio(int controlId) {
    for (const auto& [first, last] : radioGroups_) {
      if (controlId >= first && controlId <= last) checkRadio(first, last, controlId);
    }
  }
  std::optional<std::string> nextBrowseAnswer() {
    if (browseAnswers.empty()) return std::nullopt;
    std::optional<std::string> answer = browseAnswers.front();
    browseAnswers.pop_front();
    return answer;
  }

  std::set<std::pair<int, int>> radioGroups_;
};

// A user-interface backend for tests: records what the logic showed, and answers
// questions from a script (Cancel once the script runs out). Dialogs can be created
// only when dialogAvailable is set; they then play userActions on dialogControls.
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
  std::vector<ui::FailureDetail> failures;  // what came with each failure, in order
  std::deque<bool> okCancelAnswers;
  std::deque<ui::OverwriteChoice> overwriteAnswers;
  int okCancelQuestions = 0;
  int overwriteQuestions = 0;
  int dialogsRequested = 0;
  bool progressAvailable = true;
  bool dialogAvailable = false;
  std::vector<UserAction> userActions;
  ScriptedControls dialogControls;

  void showMessage(std::string_view text, ui::Icon icon) override {
    messages.push_back({std::string(text), icon});
  }
  void showFailure(std::string_view text, const ui::FailureDetail& detail) override {
    failures.push_back(detail);
    showMessage(text, ui::Icon::Warning);
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
  std::optional<int> runDialog(int, ui::DialogLogic& logic) override {
    ++dialogsRequested;
    if (!dialogAvailable) return std::nullopt;
    return dialogControls.play(logic, userActions);
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
    void setRange(std::uint32_t upper) override {
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
