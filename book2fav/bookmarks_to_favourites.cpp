#include "book2fav/bookmarks_to_favourites.h"

#include <cstdint>
#include <new>
#include <optional>
#include <string>

#include "book2fav/bookmark_text.h"
#include "book2fav/favourites_folder.h"
#include "book2fav/favourites_walk.h"
#include "book2fav/item_text.h"
#include "platform/charset.h"
#include "platform/charset_detection.h"
#include "platform/directory.h"
#include "platform/file.h"
#include "platform/last_error.h"
#include "ui/messages.h"
#include "ui/progress.h"
#include "util/bookmark_items.h"
#include "util/path.h"
#include "util/text.h"

namespace pelmo {
namespace {

// A relative bookmark path names a file below the directory the run started in, not
// below the Favourites folder that the run makes current.
std::string ResolveBookmarkPath(std::string_view path) {
  if (path.empty() || platform::IsAbsolutePath(path)) return std::string(path);
  std::optional<std::string> current = platform::CurrentDirectory();
  if (!current) return std::string(path);
  std::string resolved = *current;
  PathJoin(resolved, path, resolved.size() + path.size() + 2);
  return resolved;
}

struct FileSurvey {
  std::uint32_t lineCount = 0;
  bool utf16 = false;
  bool utf8 = false;     // all of its text is valid UTF-8 (as UTF-16 always becomes)
  std::string detected;  // the character set its bytes suggest; empty for no guess
};

class SurveyPass final : public TextReceiver {
 public:
  void lineStart() override { ++lineCount; }
  void text(std::string_view bytes) override {
    utf8.add(bytes);
    if (!utf8.valid()) detector.add(bytes);
  }

  std::uint32_t lineCount = 0;
  Utf8Check utf8;
  platform::CharsetDetector detector;
};

// Counts the lines and goes back to the first; nothing when the file cannot be read.
std::optional<FileSurvey> SurveyFile(platform::File& file) {
  SurveyPass survey;
  TextPass pass = ReadBookmarkText(file, survey);
  if (!pass.readAll || !file.rewind()) return std::nullopt;
  const bool utf8 = pass.utf16 || survey.utf8.valid();
  return FileSurvey{survey.lineCount, pass.utf16, utf8,
                    utf8 ? std::string() : survey.detector.charset()};
}

// The character set the file's texts are in: UTF-8 for a UTF-16 file (it is read as
// UTF-8), else the one it declares before its first item if the system knows it, else
// UTF-8 when all of the file is valid UTF-8, else the code page the user named, else
// the one the detector finds, else the Windows code page that old exports were
// written in. The converter gives UTF-8, in which references are decoded; nothing
// when the system cannot convert at all, and the texts then stay as they are.
std::optional<platform::TextConverter> OpenConverter(std::string_view declared,
                                                     const FileSurvey& survey, unsigned codePage) {
  // A file that reads as text byte by byte is not in a 16- or 32-bit encoding,
  // whatever it says.
  bool wide = FindNoCase(declared, "UTF-16") == 0 || FindNoCase(declared, "UTF-32") == 0 ||
              FindNoCase(declared, "UCS-") == 0 || FindNoCase(declared, "UNICODE") == 0;
  if (!survey.utf16 && !declared.empty() && !wide) {
    if (auto converter = platform::TextConverter::openToUtf8(declared)) return converter;
  }
  if (survey.utf8) return platform::TextConverter::openToUtf8("UTF-8");
  if (codePage == 0 && !survey.detected.empty()) {
    if (auto converter = platform::TextConverter::openToUtf8(survey.detected)) return converter;
  }
  if (auto converter = platform::TextConverter::openToUtf8(platform::CodePageCharset(codePage))) {
    return converter;
  }
  return platform::TextConverter::openToUtf8(platform::CodePageCharset(0));
}

// Hands the items of the file to the walk as they complete, one progress step per line.
class WalkPass final : public TextReceiver {
 public:
  WalkPass(const ui::ProgressDialog& progress, FavouritesWalk& walk, const FileSurvey& survey,
           unsigned codePage)
      : progress_(progress), walk_(walk), survey_(survey), codePage_(codePage) {}

  void lineStart() override { ui::ProgressStep(progress_); }
  void text(std::string_view bytes) override {
    reader_.feed(bytes);
    deliver();
  }
  void finish() {
    reader_.finish();
    deliver();
  }

 private:
  void deliver() {
    for (RawItem& item : reader_.items()) {
      if (!converterChosen_) {
        converter_ = OpenConverter(reader_.declaredCharset(), survey_, codePage_);
        converterChosen_ = true;
      }
      if (converter_) {
        item.url = converter_->convertUrl(item.url);
        item.title = converter_->convert(item.title);
      }
      std::string url = UrlFromHref(item.url);
      std::string name = NameFromTitle(item.title);
      // References decode to UTF-8, so the system's encoding comes last.
      if (native_) {
        url = native_->convertUrl(url);
        name = native_->convert(name);
      }
      walk_.handleItem(item.kind, url, name);
    }
    reader_.items().clear();
  }

  const ui::ProgressDialog& progress_;
  FavouritesWalk& walk_;
  const FileSurvey& survey_;
  const unsigned codePage_;
  ItemReader reader_;
  std::optional<platform::TextConverter> converter_;  // opened once, at the first item
  bool converterChosen_ = false;
  std::optional<platform::TextConverter> native_ = platform::TextConverter::open("UTF-8");
};

// True when every line was read; false after a read failure.
bool WalkItems(platform::File& file, const ui::ProgressDialog& progress, FavouritesWalk& walk,
               const FileSurvey& survey, unsigned codePage) {
  WalkPass pass(progress, walk, survey, codePage);
  bool readAll = ReadBookmarkText(file, pass).readAll;
  if (readAll) pass.finish();
  return readAll;
}

bool Convert(const ConversionSettings& settings, ui::Backend& backend) {
  std::string bookmarkPath = ResolveBookmarkPath(settings.bookmarkFile);
  if (!EnterFavouritesFolder(settings, backend)) return false;
  platform::ClearLastError();
  std::optional<platform::File> file =
      platform::File::open(bookmarkPath, platform::FileAccess::ReadExisting);
  if (!file) {
    backend.showFailure(ui::message::kBookmarkFileNotOpened,
                        {bookmarkPath, platform::LastErrorText()});
    return false;
  }

  ui::ProgressDialog progress;
  if (!settings.quiet) progress = ui::ProgressOpen(backend);
  ui::ProgressSetStatus(progress, ui::message::kSettingUp);
  platform::ClearLastError();
  std::optional<FileSurvey> survey = SurveyFile(*file);
  bool readAll = false;
  FavouritesWalk walk(progress);
  if (survey) {
    ui::ProgressSetRange(progress, survey->lineCount);
    ui::ProgressSetStep(progress, 1);
    readAll = WalkItems(*file, progress, walk, *survey, settings.codePage);
  }
  // Read before the progress window closes, which may make system calls of its own.
  std::optional<ui::FailureDetail> readFailure;
  if (!readAll) readFailure = ui::FailureDetail{bookmarkPath, platform::LastErrorText()};
  ui::ProgressClose(progress);

  if (readFailure) {
    backend.showFailure(ui::message::kBookmarkFileNotRead, *readFailure);
    return false;
  }
  if (walk.notWritten() > 0) {
    backend.showMessage(ui::message::kSomeShortcutsNotWritten, ui::Icon::Warning);
    return false;
  }
  return true;
}

}  // namespace

bool ConvertBookmarksToFavourites(const ConversionSettings& settings, ui::Backend& backend) {
  // Running out of memory anywhere (a tag that holds most of a huge file, say) gives
  // up like any other failure; the files written so far are whole.
  try {
    return Convert(settings, backend);
  } catch (const std::bad_alloc&) {
    backend.showMessage(ui::message::kSomeShortcutsNotWritten, ui::Icon::Warning);
    return false;
  }
}

}  // namespace pelmo
