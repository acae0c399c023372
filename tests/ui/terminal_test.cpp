#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>

#include "app/overwrite_question.h"
#include "ui/message_echo.h"
#include "ui/progress.h"
#include "ui/terminal/home_folder.h"
#include "ui/terminal/progress_line.h"
#include "ui/terminal/terminal_backend.h"

namespace pelmo::ui {
namespace {

// A stream over fixed input text, and one that collects output.
class Streams {
 public:
  explicit Streams(const std::string& input) : input_(input) {
    in = ::fmemopen(input_.data(), input_.size() + 1, "r");
    out = ::open_memstream(&buffer_, &size_);
  }
  ~Streams() {
    std::fclose(in);
    std::fclose(out);
    std::free(buffer_);
  }
  std::string output() {
    std::fflush(out);
    return std::string(buffer_, size_);
  }

  std::FILE* in;
  std::FILE* out;

 private:
  std::string input_;
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
};

std::unique_ptr<Backend> Terminal(Streams& streams, bool ask, bool draw = false) {
  return MakeTerminalBackend({.askQuestions = ask, .drawProgress = draw}, streams.in, streams.out);
}

TEST(TerminalBackend, MessagesCarryTheTitleLineAndTheIcon) {
  Streams streams("");
  Terminal(streams, false)->showMessage("Unable to open Bookmark file!", Icon::Warning);
  EXPECT_EQ(streams.output(),
            std::string(kTitleLine) + "\nWarning: Unable to open Bookmark file!\n");
  Streams failed("");
  auto backend = Terminal(failed, false);
  backend->showFailure("Unable to open Bookmark file!", {"/home/a/b.html", "Permission denied"});
  backend->showFailure("Unable to open Bookmark file!", {"/", ""});
  EXPECT_EQ(failed.output(), std::string(kTitleLine) +
                                 "\nWarning: Unable to open Bookmark file!\n"
                                 "/home/a/b.html: Permission denied\n" +
                                 std::string(kTitleLine) +
                                 "\nWarning: Unable to open Bookmark file!\n/\n");
}

TEST(MessageEcho, EveryMessageAlsoReachesTheEchoFirstAndQuestionsDoNot) {
  Streams shownStreams("r\n");
  Streams echoStreams("");
  auto backend = EchoMessages(Terminal(shownStreams, true), Terminal(echoStreams, false));
  backend->showFailure("Unable to write Bookmark file!", {"/a/b.html", "No space left on device"});
  backend->showMessage("Unable to read some Favourites!", Icon::Warning);
  EXPECT_EQ(AskOverwrite(*backend), OverwriteChoice::Replace);
  const std::string box = std::string(kTitleLine) +
                          "\nWarning: Unable to write Bookmark file!\n"
                          "/a/b.html: No space left on device\n" +
                          std::string(kTitleLine) + "\nWarning: Unable to read some Favourites!\n";
  EXPECT_EQ(echoStreams.output(), box);
  EXPECT_EQ(shownStreams.output().substr(0, box.size()), box);
}

TEST(TerminalBackend, OverwriteAnswers) {
  struct Case {
    std::string typed;
    OverwriteChoice expected;
  };
  const Case cases[] = {
      {"\n", OverwriteChoice::Merge},
      {"m\n", OverwriteChoice::Merge},
      {"Replace\n", OverwriteChoice::Replace},
      {" r \n", OverwriteChoice::Replace},
      {"c\n", OverwriteChoice::Cancel},
      {"", OverwriteChoice::Cancel},
      {"what\nR\n", OverwriteChoice::Replace},
      {"maybe", OverwriteChoice::Cancel},
      // Answers that are refused, never cut into another: the question is asked again.
      {std::string(5000, 'm') + "\nr\n", OverwriteChoice::Replace},
      {std::string("m\0m\nr\n", 6), OverwriteChoice::Replace},
      // An answer without end is the end of input, read in bounded memory.
      {std::string(3 << 20, 'r'), OverwriteChoice::Cancel},
  };
  for (const Case& c : cases) {
    Streams streams(c.typed);
    EXPECT_EQ(AskOverwrite(*Terminal(streams, true)), c.expected) << c.typed.substr(0, 20);
    EXPECT_NE(streams.output().find("Selected bookmark file already exists!"), std::string::npos);
  }
}

TEST(HomeFolder, ALeadingTildeIsTheHomeFolder) {
  struct Case {
    std::string typed;
    std::optional<std::string> home;
    std::string expected;
  };
  const Case cases[] = {
      {"~", "/home/a", "/home/a"},
      {"~/Fav", "/home/a", "/home/a/Fav"},
      {"~/Fav", "/home/a/", "/home/a/Fav"},
      {"~/Fav", "/", "/Fav"},
      {"~", "/", "/"},
      {"~other/Fav", "/home/a", "~other/Fav"},
      {"Fav/~", "/home/a", "Fav/~"},
      {"~/Fav", std::nullopt, "~/Fav"},
      {"~/Fav", "", "~/Fav"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExpandHomeFolder(c.typed, c.home), c.expected)
        << c.typed << " " << c.home.value_or("");
  }
}

TEST(TerminalBackend, OkCancelAnswers) {
  struct Case {
    std::string typed;
    bool expected;
  };
  const Case cases[] = {{"\n", true},   {"ok\n", true},      {"O\n", true},
                        {"c\n", false}, {"cancel\n", false}, {"", false}};
  for (const Case& c : cases) {
    Streams streams(c.typed);
    EXPECT_EQ(Terminal(streams, true)->askOkCancel("Create it?"), c.expected) << c.typed;
  }
}

TEST(TerminalBackend, WithoutATerminalQuestionsAreCancelledAndSaidSo) {
  Streams streams("ok\nr\n");
  auto backend = Terminal(streams, false);
  EXPECT_FALSE(backend->askOkCancel("Create it?"));
  EXPECT_EQ(AskOverwrite(*backend), OverwriteChoice::Cancel);
  std::string output = streams.output();
  EXPECT_NE(output.find("Create it?"), std::string::npos);
  EXPECT_NE(output.find("taken as Cancel"), std::string::npos);
}

TEST(TerminalBackend, NoProgressAndNoDialogWithoutATerminal) {
  Streams streams("");
  auto backend = Terminal(streams, false, false);
  EXPECT_EQ(ProgressOpen(*backend), nullptr);
  struct IdleLogic : DialogLogic {
    void opened(DialogControls&) override {}
    void command(DialogControls&, int) override {}
    void dropped(DialogControls&, std::string_view) override {}
  } logic;
  EXPECT_FALSE(backend->runDialog(1, logic).has_value());
}

TEST(TerminalBackend, AMessageClearsTheBarFirst) {
  Streams streams("");
  auto backend = Terminal(streams, false, true);
  ProgressDialog progress = ProgressOpen(*backend);
  ASSERT_NE(progress, nullptr);
  backend->showMessage("text", Icon::Warning);
  std::string output = streams.output();
  EXPECT_LT(output.find("\r\x1b[K"), output.find(std::string(kTitleLine)));
}

TEST(ProgressBar, StepsWrapAroundAndPositionsAreClamped) {
  ProgressBar bar;
  bar.setRange(3);
  bar.setStep(1);
  bar.step();
  bar.step();
  bar.step();
  EXPECT_EQ(bar.position(), 3);
  bar.step();
  EXPECT_EQ(bar.position(), 0);
  bar.setPosition(-5);
  EXPECT_EQ(bar.position(), 0);
  bar.setPosition(9);
  EXPECT_EQ(bar.position(), 3);
  bar.setRange(0);
  EXPECT_EQ(bar.fraction(), 0.0);
  // Ranges beyond 16 bits keep their true size.
  bar.setRange(4'000'000'000u);
  bar.setPosition(2'000'000'000);
  EXPECT_EQ(bar.fraction(), 0.5);
  bar.setRange(70'000);
  bar.setPosition(35'000);
  EXPECT_EQ(bar.fraction(), 0.5);
}

TEST(ProgressLine, RendersStatusAndBarWithinTheWidth) {
  EXPECT_EQ(RenderProgressLine("http://a/", 0.5, 40), "[##########..........]  50% http://a/   ");
  EXPECT_EQ(RenderProgressLine("x\ty", 1.0, 31), "[####################] 100% x?y");
  // A UTF-8 letter takes one column and is never split.
  EXPECT_EQ(RenderProgressLine("\xC3\xA9t\xC3\xA9", 0.0, 29),
            "[....................]   0% \xC3\xA9");
  EXPECT_EQ(RenderProgressLine("status", 0.0, 5), "[....");
  // A byte that is no character takes a column, as the terminal shows it.
  EXPECT_EQ(RenderProgressLine("\xA9\xA9\xA9", 0.0, 30), "[....................]   0% \xA9\xA9");
}

TEST(ProgressLine, RedrawsAtMostTwentyTimesASecond) {
  Streams streams("");
  auto now = std::chrono::steady_clock::time_point{};
  {
    ProgressLine line(
        streams.out, [] { return 80; }, [&] { return now; });
    line.setRange(1000);
    line.setStep(1);
    for (int i = 0; i < 999; ++i) line.step();
    now += std::chrono::milliseconds(60);
    line.step();
  }
  std::string output = streams.output();
  std::size_t draws = 0;
  for (std::size_t at = output.find("\r["); at != std::string::npos;
       at = output.find("\r[", at + 1)) {
    ++draws;
  }
  // When it opened, the first change, and once the interval had passed.
  EXPECT_EQ(draws, 3u);
  EXPECT_NE(output.find(" 100% "), std::string::npos);
  EXPECT_EQ(output.substr(output.size() - 7), "\x1b[A\r\x1b[K");
}

TEST(ProgressLine, FollowsTheWidthAndWaitsBelowTheBar) {
  Streams streams("");
  const auto now = std::chrono::steady_clock::time_point{};
  int width = 60;
  ProgressLine line(
      streams.out, [&] { return width; }, [&] { return now; });
  line.setStatus("http://a/");
  std::string output = streams.output();
  // Between drawings the cursor stands at the start of the next line.
  EXPECT_EQ(output.back(), '\n');
  const std::size_t wide = output.rfind("\x1b[A\r[");
  ASSERT_NE(wide, std::string::npos);
  EXPECT_EQ(output.find("\x1b[K\n", wide) - wide - 4, 59u);
  width = 40;
  line.hide();
  line.setStatus("http://b/");
  output = streams.output();
  const std::size_t narrow = output.rfind('[', output.find("http://b/"));
  EXPECT_EQ(output.find("\x1b[K\n", narrow) - narrow, 39u);
}

TEST(ProgressLine, TheFirstChangeAndTheLastHeldBackAreDrawn) {
  Streams streams("");
  const auto now = std::chrono::steady_clock::time_point{};
  {
    ProgressLine line(
        streams.out, [] { return 80; }, [&] { return now; });
    line.setStatus("Setting up... Please wait...");
    EXPECT_NE(streams.output().find("Setting up... Please wait..."), std::string::npos);
    line.setStatus("http://last/");
  }
  const std::string output = streams.output();
  EXPECT_LT(output.find("http://last/"), output.rfind("\r\x1b[K"));
}

}  // namespace
}  // namespace pelmo::ui
