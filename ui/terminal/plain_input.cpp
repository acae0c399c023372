#include "ui/terminal/line_input.h"

namespace pelmo::ui {

namespace {

// How far past the limit a line is skipped in search of its end; beyond, the input is
// taken to have none (an endless stream of bytes is no answer).
constexpr std::size_t kSkipLimit = std::size_t{1} << 20;

class PlainInput : public LineInput {
 public:
  PlainInput(std::FILE* in, std::FILE* out) : in_(in), out_(out) {}

  LineStatus read(std::string_view prompt, std::size_t limit, std::string& line) override {
    std::fwrite(prompt.data(), 1, prompt.size(), out_);
    std::fflush(out_);
    line.clear();
    int c;
    while ((c = std::fgetc(in_)) != EOF && c != '\n') {
      if (line.size() == limit) return skipRest(limit);
      line.push_back(static_cast<char>(c));
    }
    if (c == EOF && line.empty()) return LineStatus::End;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find('\0') != std::string::npos) return LineStatus::HasNul;
    return LineStatus::Read;
  }

 private:
  LineStatus skipRest(std::size_t limit) {
    for (std::size_t skipped = limit; skipped < limit + kSkipLimit; ++skipped) {
      const int c = std::fgetc(in_);
      if (c == EOF) return LineStatus::End;
      if (c == '\n') return LineStatus::TooLong;
    }
    return LineStatus::End;
  }

  std::FILE* in_;
  std::FILE* out_;
};

}  // namespace

std::unique_ptr<LineInput> MakePlainInput(std::FILE* in, std::FILE* out) {
  return std::make_unique<PlainInput>(in, out);
}

}  // namespace pelmo::ui
