// The built program as a user runs it: switches, messages on stderr, exit codes.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "e2e/run_program.h"
#include "ui/ui.h"

namespace pelmo::testing {
namespace {

namespace fs = std::filesystem;
using Tree = std::map<std::string, std::string>;

const std::string kExample = std::string(PELMO_EXAMPLES) + "/bookmarks.html";
const std::string kTitle(ui::kTitleLine);

TEST(ProgramRun, HelpAndVersionPrintAndExitZero) {
  TempDir dir;
  ProgramRun help = RunProgram(dir.str(), {"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("/auto"), std::string::npos);
  EXPECT_NE(help.out.find("/merge"), std::string::npos);
  ProgramRun version = RunProgram(dir.str(), {"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, kTitle + "\n");
  // Anywhere on the line, they do nothing else.
  fs::create_directory(dir / "F");
  ProgramRun late =
      RunProgram(dir.str(), {"/auto", "/ftb", "/fav", "F", "/book", "b.html", "--help"});
  EXPECT_EQ(late.exitCode, 0);
  EXPECT_EQ(late.out, help.out);
  EXPECT_EQ(RunProgram(dir.str(), {"/auto", "--version", "/ftb", "/fav", "F"}).out, version.out);
  EXPECT_FALSE(fs::exists(dir / "b.html"));
}

TEST(ProgramRun, ASlipOnTheCommandLineIsRefusedAndNothingIsTouched) {
  struct Case {
    std::vector<std::string> words;
    std::string refusal;
  };
  const Case cases[] = {
      {{"/auto", "/bft", "/book", "b.html", "/fav", "empty"}, "Unknown switch /bft"},
      {{"/auto", "/Auto", "/book", "b.html", "/fav", "empty"}, "Unknown switch /Auto"},
      {{"-auto", "/auto", "/book", "b.html", "/fav", "empty"}, "Unknown switch -auto"},
      {{"/auto", "--fav", "empty", "/book", "b.html"}, "Unknown switch --fav"},
      {{"/auto", "/?", "/book", "b.html"}, "Unknown switch /?"},
      {{"/auto", "/book", "b.html", "/fav"}, "Missing folder after /fav"},
      {{"/fav", "empty", "/book"}, "Missing file after /book"},
      {{"/auto", "/title"}, "Missing title after /title"},
  };
  TempDir dir;
  fs::copy_file(kExample, dir / "b.html");
  fs::create_directory(dir / "empty");
  const std::string before = ReadFile(dir / "b.html");
  for (const Case& c : cases) {
    ProgramRun run = RunProgram(dir.str(), c.words);
    EXPECT_EQ(run.exitCode, 2) << c.refusal;
    EXPECT_EQ(run.err.substr(0, run.err.find('\n')), c.refusal);
    EXPECT_NE(run.err.find("Usage: pelmo"), std::string::npos) << c.refusal;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ReadFile(dir / "b.html"), before) << c.refusal;
  }
  // Without /auto a switch-like word is ignored and the dialog is asked for.
  ProgramRun dialog = RunProgram(dir.str(), {"/bft", "-x"}, {"PELMO_UI=none"});
  EXPECT_EQ(dialog.exitCode, 1);
  EXPECT_EQ(dialog.err.find("Unknown switch"), std::string::npos);
}

TEST(ProgramRun, AnUnknownBackendNameIsSaid) {
  TempDir dir;
  ProgramRun run = RunProgram(dir.str(), {"/auto", "/ftb", "/fav", "absent", "/book", "b.html"},
                              {"PELMO_UI=gtk"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err.substr(0, run.err.find('\n')),
            "PELMO_UI=gtk is not one of fltk, terminal, none; it is ignored.");
}

TEST(ProgramRun, ConvertsTheExampleIntoFavourites) {
  TempDir dir;
  ProgramRun run = RunProgram(dir.str(), {"/auto", "/btf", "/book", kExample, "/fav", "Fav"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "");  // no terminal: no progress bar
  std::string mail = ReadFile(dir / "Fav/Bookmarks Toolbar/Mail.URL");
  EXPECT_EQ(mail, "[InternetShortcut]\r\nURL=https://mail.example.net/inbox\r\n");
  EXPECT_TRUE(fs::exists(dir / "Fav/Recipes/Crème brûlée.URL"));
}

TEST(ProgramRun, RelativePathsAreTakenFromTheStartingDirectory) {
  TempDir dir;
  fs::copy_file(kExample, dir / "saved.html");
  ProgramRun there = RunProgram(dir.str(), {"/auto", "/btf", "/book", "saved.html", "/fav", "F"});
  EXPECT_EQ(there.exitCode, 1) << there.err;
  ProgramRun back =
      RunProgram(dir.str(), {"/auto", "/ftb", "/fav", "F", "/book", "again.html", "/quiet"});
  EXPECT_EQ(back.exitCode, 1) << back.err;
  EXPECT_NE(ReadFile(dir / "again.html").find("https://mail.example.net/inbox"), std::string::npos);
}

TEST(ProgramRun, AConversionThatGivesUpExitsWithTwoAndSaysWhy) {
  struct Case {
    std::vector<std::string> words;
    std::string message;
    std::string detail;  // the path, and the system's reason when it gave one
  };
  TempDir dir;
  WriteFile(dir / "plain", "x");
  fs::create_directory(dir / "F");
  // Cut to the longest path, this would name F itself.
  std::string longPath = "F";
  while (longPath.size() < 4095) longPath += "/.";
  longPath += "/Sub";
  const Case cases[] = {
      {{"/auto", "/btf", "/book", kExample, "/fav", longPath},
       "Unable to open Favourites folder!",
       longPath + ": File name too long"},
      {{"/auto", "/ftb", "/fav", "F", "/book", longPath},
       "Unable to open Bookmark file!",
       longPath + ": File name too long"},
      {{"/auto", "/btf", "/book", "missing.html", "/fav", "F"},
       "Unable to open Bookmark file!",
       dir / "missing.html" + ": No such file or directory"},
      {{"/auto", "/btf", "/book", dir.str(), "/fav", "F"},
       "Unable to open Bookmark file!",
       dir.str() + ": Is a directory"},
      {{"/auto", "/btf", "/book", kExample, "/fav", "plain/F"},
       "Error creating directory!",
       "plain/F: Not a directory"},
      {{"/auto", "/ftb", "/fav", "absent", "/book", "b.html"},
       "Unable to open Favourites folder!",
       "absent: No such file or directory"},
      {{"/auto", "/ftb", "/fav", ".", "/book", "/"},
       "Unable to open Bookmark file!",
       "/: Is a directory"},
  };
  for (const Case& c : cases) {
    ProgramRun run = RunProgram(dir.str(), c.words);
    EXPECT_EQ(run.exitCode, 2) << c.message;
    EXPECT_EQ(run.err, kTitle + "\nWarning: " + c.message + "\n" + c.detail + "\n");
  }
}

TEST(ProgramRun, WithoutAutoTheMissingDialogEndsTheRunWithAHint) {
  TempDir dir;
  ProgramRun run =
      RunProgram(dir.str(), {"/btf", "/book", kExample, "/fav", "F"}, {"PELMO_UI=none"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("/auto"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "F"));
}

TEST(ProgramRun, DefaultsComeFromTheRegistryFile) {
  TempDir dir;
  WriteFile(dir / "registry.reg",
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_USERS\\.Default\\Software\\Netscape\\Netscape Navigator\\Bookmark List]\r\n"
            "\"File Location\"=\"" +
                kExample +
                "\"\r\n\r\n"
                "[HKEY_USERS\\.Default\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                "Shell Folders]\r\n\"Favorites\"=\"" +
                (dir / "FromRegistry") + "\"\r\n");
  ProgramRun run =
      RunProgram(dir.str(), {"/auto", "/btf"}, {"PELMO_REGISTRY=" + (dir / "registry.reg")});
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_TRUE(fs::exists(dir / "FromRegistry/Bookmarks Toolbar/Mail.URL"));
}

TEST(ProgramRun, AutomaticModeReplacesAnExistingBookmarkFileWithoutAskingOrMergesOnRequest) {
  TempDir dir;
  fs::create_directories(dir / "F/Sub");
  WriteFile(dir / "F/Sub/Page.url", "[InternetShortcut]\r\nURL=http://page/\r\n");
  WriteFile(dir / "b.html", "old text that is not a bookmark list");
  ProgramRun run =
      RunProgram(dir.str(), {"/auto", "/ftb", "/fav", "F", "/book", "b.html", "/title", "T"});
  EXPECT_EQ(run.exitCode, 1) << run.err;
  const std::string header = "<TITLE>T</TITLE>\r\n\r\n<H1>T</H1>\r\n\r\n\r\n<DL><p>\r\n\r\n";
  const std::string entries =
      "\t<DT><H3 FOLDED>Sub</H3>\r\n\r\n\t<DL><P>\r\n\r\n"
      "\t\t<DT><A HREF=\"http://page/\">Page</A>\r\n\r\n\t</DL><P>\r\n\r\n";
  const std::string closing = "</DL><P>\r\n\r\n";
  EXPECT_EQ(ReadFile(dir / "b.html"), header + entries + closing);

  run = RunProgram(dir.str(), {"/auto", "/merge", "/ftb", "/fav", "F", "/book", "b.html"});
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_EQ(ReadFile(dir / "b.html"), header + entries + "\t<HR>\r\n\r\n" + entries + closing);
}

// A file-size limit, a closed stderr or a stderr nobody reads makes writes fail; the
// run counts them, leaves nothing cut, and ends with its own message and exit code.
TEST(ProgramRun, LimitsAndClosedStreamsFailWritesButNeverEndTheRun) {
  struct Case {
    const char* what;
    std::string command;  // for /bin/sh, in the directory "run"; $P is the program
    std::string message;  // what stderr holds, when it goes to the file err
    Tree written;         // what the run left beside the old out/b.html
  };
  const std::string small = "[InternetShortcut]\r\nURL=http://small/\r\n";
  const std::string btf = "$P /auto /btf /book ../b.html /fav F";
  const Case cases[] = {
      {"a file-size limit during Bookmarks to Favourites",
       "ulimit -f 4; exec " + btf + " 2>err",
       "Unable to write some shortcut files!",
       {{"F/", ""}, {"F/Small.URL", small}}},
      {"a file-size limit during Favourites to Bookmarks",
       "ulimit -f 4; exec $P /auto /ftb /fav ../Fav /book out/b.html 2>err",
       "Unable to write Bookmark file!",
       {}},
      {"a closed stderr",
       "ulimit -f 4; exec " + btf + " 2>&-",
       "",
       {{"F/", ""}, {"F/Small.URL", small}}},
      // The exit code goes through a file: the shell's own would meet the closed pipe.
      {"a stderr that nobody reads",
       "{ sleep 0.3; $P /auto /btf /book missing.html /fav F 2>&1 >/dev/null; echo $? >code; } | "
       "true; exit $(cat code)",
       "",
       {}},
  };
  for (const Case& c : cases) {
    TempDir dir;
    fs::create_directories(dir / "run/out");
    fs::create_directories(dir / "Fav");
    const std::string big = "http://big/" + std::string(5000, 'b');
    WriteFile(dir / "Fav/Big.url", "[InternetShortcut]\r\nURL=" + big + "\r\n");
    WriteFile(dir / "run/out/b.html", "old");
    WriteFile(dir / "b.html",
              "<DT><A HREF=\"" + big + "\">Big</A>\n<DT><A HREF=\"http://small/\">Small</A>\n");
    const std::string script =
        "cd \"" + (dir / "run") + "\" && P=\"" + PELMO_EXECUTABLE + "\" && " + c.command;
    const int status = std::system(("/bin/sh -c '" + script + "'").c_str());
    ASSERT_TRUE(WIFEXITED(status)) << c.what;
    EXPECT_EQ(WEXITSTATUS(status), 2) << c.what;
    if (!c.message.empty()) {
      // A line of detail may follow.
      EXPECT_TRUE(ReadFile(dir / "run/err").starts_with(kTitle + "\nWarning: " + c.message + "\n"))
          << c.what << ": " << ReadFile(dir / "run/err");
    }
    Tree expected = c.written;
    expected.insert({{"out/", ""}, {"out/b.html", "old"}});
    Tree tree = ReadTree(dir / "run");
    tree.erase("err");
    tree.erase("code");
    EXPECT_EQ(tree, expected) << c.what;
  }
}

TEST(ProgramRun, ANamedPipeInTheFavouritesFolderDoesNotStallTheRun) {
  TempDir dir;
  fs::create_directories(dir / "F");
  ASSERT_EQ(::mkfifo((dir / "F/pipe.url").c_str(), 0600), 0);
  WriteFile(dir / "F/Real.url", "[InternetShortcut]\r\nURL=http://real/\r\n");
  ProgramRun run = RunProgram(dir.str(), {"/auto", "/ftb", "/fav", "F", "/book", "b.html"});
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_NE(ReadFile(dir / "b.html").find("http://real/"), std::string::npos);
}

}  // namespace
}  // namespace pelmo::testing
