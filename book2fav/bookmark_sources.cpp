#include "book2fav/bookmark_sources.h"

#include <array>
#include <string>

#include "book2fav/chromium_source.h"
#include "book2fav/firefox_source.h"
#include "book2fav/html_source.h"
#include "util/store_signature.h"

namespace pelmo {
namespace {

// Every kind of store PELMO reads, in the order in which they are tried; the first
// whose test accepts the file's first bytes reads it.
struct SourceKind {
  bool (*recognises)(std::string_view head);
  std::unique_ptr<BookmarkSource> (*open)(const SourceFile& file);
};

bool AnyText(std::string_view) {
  return true;
}

std::unique_ptr<BookmarkSource> OpenFirefox(const SourceFile& file) {
  return OpenFirefoxSource(file.path);
}

std::unique_ptr<BookmarkSource> OpenChromium(const SourceFile& file) {
  return OpenChromiumSource(file.file);
}

std::unique_ptr<BookmarkSource> OpenHtml(const SourceFile& file) {
  return OpenHtmlSource(file.file, file.codePage);
}

constexpr std::array kSourceKinds{
    SourceKind{IsSqliteDatabase, OpenFirefox},
    SourceKind{IsJsonObject, OpenChromium},
    SourceKind{AnyText, OpenHtml},
};

class Unreadable final : public BookmarkSource {
 public:
  explicit Unreadable(std::string reason) : reason_(std::move(reason)) {}
  std::optional<std::uint32_t> survey() override { return std::nullopt; }
  bool read(BookmarkItemSink&, const ui::ProgressDialog&) override { return false; }
  SourceFailure failure() const override { return {reason_}; }

 private:
  std::string reason_;
};

}  // namespace

std::unique_ptr<BookmarkSource> OpenBookmarkSource(const SourceFile& file) {
  std::string head(kStoreHeadSize, '\0');
  head.resize(file.file.read(head.data(), head.size()));
  if (file.file.readFailed() || !file.file.rewind()) return nullptr;
  for (const SourceKind& kind : kSourceKinds) {
    if (kind.recognises(head)) return kind.open(file);
  }
  return nullptr;
}

std::unique_ptr<BookmarkSource> UnreadableSource(std::string reason) {
  return std::make_unique<Unreadable>(std::move(reason));
}

}  // namespace pelmo
