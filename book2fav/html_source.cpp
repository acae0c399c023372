#include "book2fav/html_source.h"

#include <cstdint>
#include <optional>
#include <string>

#include "book2fav/bookmark_text.h"
#include "book2fav/item_text.h"
#include "platform/charset.h"
#include "platform/charset_detection.h"
#include "util/text.h"

namespace pelmo {
namespace {

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

// Hands the items of the file on as they complete, one progress step per line.
class ItemPass final : public TextReceiver {
 public:
  ItemPass(const ui::ProgressDialog& progress, BookmarkItemSink& sink, const FileSurvey& survey,
           unsigned codePage)
      : progress_(progress), sink_(sink), survey_(survey), codePage_(codePage) {}

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
      const std::string url = UrlFromHref(item.url);
      const std::string name = NameFromTitle(item.title);
      sink_.take({item.kind, url, name, DateFromAttribute(item.addDate)});
    }
    reader_.items().clear();
  }

  const ui::ProgressDialog& progress_;
  BookmarkItemSink& sink_;
  const FileSurvey& survey_;
  const unsigned codePage_;
  ItemReader reader_;
  std::optional<platform::TextConverter> converter_;  // opened once, at the first item
  bool converterChosen_ = false;
};

class HtmlSource final : public BookmarkSource {
 public:
  HtmlSource(platform::File& file, unsigned codePage) : file_(file), codePage_(codePage) {}

  std::optional<std::uint32_t> survey() override {
    survey_ = SurveyFile(file_);
    if (!survey_) return std::nullopt;
    return survey_->lineCount;
  }

  bool read(BookmarkItemSink& sink, const ui::ProgressDialog& progress) override {
    ItemPass pass(progress, sink, *survey_, codePage_);
    bool readAll = ReadBookmarkText(file_, pass).readAll;
    if (readAll) pass.finish();
    return readAll;
  }

 private:
  platform::File& file_;
  const unsigned codePage_;
  std::optional<FileSurvey> survey_;
};

}  // namespace

std::unique_ptr<BookmarkSource> OpenHtmlSource(platform::File& file, unsigned codePage) {
  return std::make_unique<HtmlSource>(file, codePage);
}

}  // namespace pelmo
