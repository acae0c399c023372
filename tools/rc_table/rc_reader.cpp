#include "tools/rc_table/rc_reader.h"

#include <fstream>
#include <map>
#include <sstream>
#include <string_view>

#include "text/ascii.h"
#include "ui/dialog_template.h"

namespace pelmo::rc {
namespace {

namespace fs = std::filesystem;

enum class TokenKind { Name, Number, String, Punct };

struct Token {
  TokenKind kind;
  std::string text;
  int line;
};

using Macros = std::map<std::string, std::vector<Token>, std::less<>>;

struct Failure {
  std::string message;
};

std::optional<std::string> ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Comments become blanks; newlines stay so that line numbers hold.
std::string StripComments(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"') {
      std::size_t end = i + 1;
      while (end < text.size() && text[end] != '\n' &&
             !(text[end] == '"' && (end + 1 >= text.size() || text[end + 1] != '"'))) {
        end += text[end] == '"' ? 2 : 1;
      }
      out.append(text.substr(i, end + 1 - i));
      i = end;
    } else if (text.substr(i, 2) == "//") {
      while (i < text.size() && text[i] != '\n') ++i;
      if (i < text.size()) out += '\n';
    } else if (text.substr(i, 2) == "/*") {
      std::size_t end = text.find("*/", i + 2);
      if (end == std::string_view::npos) end = text.size();
      for (std::size_t k = i; k < end; ++k) out += text[k] == '\n' ? '\n' : ' ';
      i = end + 1;
    } else {
      out += text[i];
    }
  }
  return out;
}

bool IsNameChar(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return text::IsAsciiLetter(byte) || text::IsAsciiDigit(byte) || c == '_';
}

// A quoted string: "" stands for one quote, and the usual backslash escapes apply.
std::string Unquote(std::string_view quoted) {
  std::string text;
  for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
    char c = quoted[i];
    if (c == '"') {
      ++i;
    } else if (c == '\\' && i + 2 < quoted.size()) {
      char next = quoted[++i];
      c = next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : next;
    }
    text += c;
  }
  return text;
}

std::vector<Token> Tokenize(std::string_view line, int lineNumber) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (i < line.size()) {
    char c = line[i];
    std::size_t start = i;
    if (text::IsAsciiSpace(static_cast<unsigned char>(c))) {
      ++i;
    } else if (c == '"') {
      ++i;
      while (i < line.size() && !(line[i] == '"' && (i + 1 >= line.size() || line[i + 1] != '"'))) {
        i += line[i] == '"' ? 2 : 1;
      }
      ++i;
      tokens.push_back({TokenKind::String, Unquote(line.substr(start, i - start)), lineNumber});
    } else if (IsNameChar(c)) {
      while (i < line.size() && IsNameChar(line[i])) ++i;
      bool number = text::IsAsciiDigit(static_cast<unsigned char>(c));
      tokens.push_back({number ? TokenKind::Number : TokenKind::Name,
                        std::string(line.substr(start, i - start)), lineNumber});
    } else {
      ++i;
      tokens.push_back({TokenKind::Punct, std::string(1, c), lineNumber});
    }
  }
  return tokens;
}

void Expand(const std::vector<Token>& in, const Macros& macros, int depth,
            std::vector<Token>& out) {
  for (const Token& token : in) {
    auto macro = token.kind == TokenKind::Name ? macros.find(token.text) : macros.end();
    if (macro == macros.end() || depth > 16) {
      out.push_back(token);
      continue;
    }
    std::vector<Token> body = macro->second;
    for (Token& t : body) t.line = token.line;
    Expand(body, macros, depth + 1, out);
  }
}

class Preprocessor {
 public:
  Preprocessor(std::vector<fs::path> includeDirs) : includeDirs_(std::move(includeDirs)) {}

  // Reads a file: directives update the macros, other lines become tokens when wanted.
  void read(const fs::path& path, std::vector<Token>* tokens) {
    std::optional<std::string> text = ReadText(path);
    if (!text) throw Failure{path.string() + ": cannot be read"};
    std::istringstream lines(StripComments(*text));
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
      std::size_t first = line.find_first_not_of(" \t\r");
      if (first != std::string::npos && line[first] == '#') {
        directive(path, std::string_view(line).substr(first + 1), number);
      } else if (tokens) {
        Expand(Tokenize(line, number), macros_, 0, *tokens);
      }
    }
  }

 private:
  void directive(const fs::path& from, std::string_view text, int line) {
    std::vector<Token> words = Tokenize(text, line);
    if (words.empty()) return;
    if (words[0].text == "define" && words.size() >= 2) {
      macros_[words[1].text] = std::vector<Token>(words.begin() + 2, words.end());
    } else if (words[0].text == "include" && words.size() >= 2 &&
               words[1].kind == TokenKind::String) {
      read(find(from, words[1].text, line), nullptr);
    }
    // System headers (<...>) and conditionals are the resource compiler's business.
  }

  fs::path find(const fs::path& from, const std::string& name, int line) const {
    std::vector<fs::path> dirs{from.parent_path()};
    dirs.insert(dirs.end(), includeDirs_.begin(), includeDirs_.end());
    for (const fs::path& dir : dirs) {
      if (fs::exists(dir / name)) return dir / name;
    }
    throw Failure{from.string() + ":" + std::to_string(line) + ": " + name + " not found"};
  }

  std::vector<fs::path> includeDirs_;
  Macros macros_;
};

class Parser {
 public:
  Parser(std::vector<Token> tokens, std::string file)
      : tokens_(std::move(tokens)), file_(std::move(file)) {}

  Resources parse() {
    Resources resources;
    while (!atEnd()) {
      int id = number();
      const int line = lineAhead();
      std::string type = name();
      if (type == "DIALOGEX") {
        resources.dialogs.push_back(dialog(id));
      } else if (type == "ICON") {
        string();
      } else {
        fail("resource type " + type + " is not supported", line);
      }
    }
    return resources;
  }

 private:
  Dialog dialog(int id) {
    Dialog d;
    d.id = id;
    d.x = number();
    expect(",");
    d.y = number();
    expect(",");
    d.width = number();
    expect(",");
    d.height = number();
    for (;;) {
      const int line = lineAhead();
      std::string option = name();
      if (option == "BEGIN") break;
      if (option == "STYLE") {
        d.style = style(0);
      } else if (option == "EXSTYLE") {
        style(0);
      } else if (option == "CAPTION") {
        d.caption = string();
      } else if (option == "FONT") {
        d.pointSize = number();
        expect(",");
        d.fontName = string();
        while (accept(",")) number();
      } else {
        fail("dialog option " + option + " is not supported", line);
      }
    }
    while (!accept("END")) d.controls.push_back(control());
    return d;
  }

  Control control() {
    const int line = lineAhead();
    if (name() != "CONTROL") fail("only CONTROL statements are supported", line);
    Control c;
    c.text = string();
    expect(",");
    c.id = number();
    expect(",");
    c.windowClass = string();
    expect(",");
    c.style = style(ui::style::kChild | ui::style::kVisible);
    expect(",");
    c.x = number();
    expect(",");
    c.y = number();
    expect(",");
    c.width = number();
    expect(",");
    c.height = number();
    while (accept(",")) number();
    return c;
  }

  // Terms joined by |; NOT removes its term's bits from what stands before it.
  std::uint32_t style(std::uint32_t value) {
    do {
      if (accept("NOT")) {
        value &= ~term();
      } else {
        value |= term();
      }
    } while (accept("|"));
    return value;
  }

  int number() { return static_cast<int>(style(0)); }

  std::uint32_t term() {
    if (accept("(")) {
      std::uint32_t value = style(0);
      expect(")");
      return value;
    }
    if (accept("-")) return 0u - term();
    const Token& token = next();
    if (token.kind == TokenKind::Number) return std::stoul(token.text, nullptr, 0);
    if (token.kind == TokenKind::Name) {
      for (const ui::StyleName& known : ui::kStyleNames) {
        if (known.name == token.text) return known.value;
      }
    }
    fail("unknown value " + token.text, token.line);
  }

  std::string string() {
    const Token& token = next();
    if (token.kind != TokenKind::String) fail("expected a quoted string", token.line);
    std::string text = token.text;
    while (!atEnd() && peek().kind == TokenKind::String) text += next().text;
    return text;
  }

  std::string name() {
    const Token& token = next();
    if (token.kind != TokenKind::Name) fail("expected a keyword, found " + token.text, token.line);
    return token.text;
  }

  void expect(std::string_view text) {
    if (!accept(text)) fail("expected " + std::string(text));
  }

  bool accept(std::string_view text) {
    if (atEnd() || peek().kind == TokenKind::String || peek().text != text) return false;
    ++position_;
    return true;
  }

  const Token& next() {
    if (atEnd()) fail("unexpected end of file");
    return tokens_[position_++];
  }
  const Token& peek() const { return tokens_[position_]; }
  // The line of the next token, for a fault found once it is read.
  int lineAhead() const { return atEnd() ? 0 : peek().line; }
  bool atEnd() const { return position_ >= tokens_.size(); }

  [[noreturn]] void fail(const std::string& message, int line = 0) const {
    if (line == 0 && !tokens_.empty()) {
      line = tokens_[std::min(position_, tokens_.size() - 1)].line;
    }
    throw Failure{file_ + ":" + std::to_string(line) + ": " + message};
  }

  std::vector<Token> tokens_;
  std::string file_;
  std::size_t position_ = 0;
};

}  // namespace

std::optional<Resources> ReadResourceScript(const fs::path& script,
                                            const std::vector<fs::path>& includeDirs,
                                            std::string& error) {
  try {
    std::vector<Token> tokens;
    Preprocessor(includeDirs).read(script, &tokens);
    return Parser(std::move(tokens), script.string()).parse();
  } catch (const Failure& failure) {
    error = failure.message;
  } catch (const std::exception& e) {
    error = script.string() + ": " + e.what();
  }
  return std::nullopt;
}

}  // namespace pelmo::rc
