#include "testbed/host/Pipl.h"

#include <cctype>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tb {

namespace {

struct Token {
  enum Kind { Word, String, Char, Punct, End } kind;
  std::string text;
  int line;
};

class Lexer {
 public:
  Lexer(const std::string& text, const std::string& file) : s_(text), file_(file) {}

  Token next() {
    skipSpaceAndComments();
    if (i_ >= s_.size())
      return {Token::End, "", line_};
    char c = s_[i_];
    if (c == '"')
      return quoted('"', Token::String);
    if (c == '\'')
      return quoted('\'', Token::Char);
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-') {
      size_t start = i_;
      while (i_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[i_])) || s_[i_] == '_' ||
                                s_[i_] == '-' || s_[i_] == '.')) {
        ++i_;
      }
      return {Token::Word, s_.substr(start, i_ - start), line_};
    }
    ++i_;
    return {Token::Punct, std::string(1, c), line_};
  }

  [[noreturn]] void fail(int line, const std::string& what) const {
    throw std::runtime_error(file_ + ":" + std::to_string(line) + ": " + what);
  }

 private:
  void skipSpaceAndComments() {
    while (i_ < s_.size()) {
      char c = s_[i_];
      if (c == '\n') {
        ++line_;
        ++i_;
        atLineStart_ = true;
      } else if (std::isspace(static_cast<unsigned char>(c))) {
        ++i_;
      } else if (c == '#' && atLineStart_) {
        while (i_ < s_.size() && s_[i_] != '\n')
          ++i_;  // preprocessor lines carry no properties
      } else if (s_.compare(i_, 2, "//") == 0) {
        while (i_ < s_.size() && s_[i_] != '\n')
          ++i_;
      } else if (s_.compare(i_, 2, "/*") == 0) {
        size_t end = s_.find("*/", i_ + 2);
        if (end == std::string::npos)
          fail(line_, "unterminated comment");
        for (size_t k = i_; k < end; ++k)
          line_ += s_[k] == '\n';
        i_ = end + 2;
      } else {
        atLineStart_ = false;
        return;
      }
    }
  }

  Token quoted(char quote, Token::Kind kind) {
    int line = line_;
    size_t start = ++i_;
    while (i_ < s_.size() && s_[i_] != quote && s_[i_] != '\n')
      ++i_;
    if (i_ >= s_.size() || s_[i_] != quote)
      fail(line, "unterminated quoted text");
    return {kind, s_.substr(start, i_++ - start), line};
  }

  const std::string& s_;
  std::string file_;
  size_t i_ = 0;
  int line_ = 1;
  bool atLineStart_ = true;
};

class Parser {
 public:
  Parser(const std::string& text, const std::string& file) : lex_(text, file) { advance(); }

  Pipl parse() {
    expectWord("resource");
    if (tok_.kind != Token::Char || tok_.text != "PiPL")
      lex_.fail(tok_.line, "expected 'PiPL'");
    advance();
    expect("(");
    if (tok_.kind != Token::Word)
      lex_.fail(tok_.line, "expected a resource id");
    advance();
    expect(")");
    expect("{");
    expect("{");
    Pipl pipl;
    while (!(tok_.kind == Token::Punct && tok_.text == "}")) {
      if (tok_.kind != Token::Word)
        lex_.fail(tok_.line, "expected a property name");
      std::string key = tok_.text;
      advance();
      expect("{");
      std::vector<Pipl::Value> values;
      while (!(tok_.kind == Token::Punct && tok_.text == "}")) {
        if (tok_.kind == Token::End)
          lex_.fail(tok_.line, "unexpected end of file in " + key);
        if (tok_.kind != Token::Punct)
          values.push_back({tok_.text, tok_.kind == Token::String});
        else if (tok_.text != ",")
          lex_.fail(tok_.line, "unexpected '" + tok_.text + "'");
        advance();
      }
      advance();
      pipl.properties.emplace_back(key, values);
      if (tok_.kind == Token::Punct && tok_.text == ",")
        advance();
    }
    advance();
    expect("}");
    if (pipl.properties.empty())
      lex_.fail(tok_.line, "no properties");
    return pipl;
  }

 private:
  void advance() { tok_ = lex_.next(); }
  void expect(const char* punct) {
    if (tok_.kind != Token::Punct || tok_.text != punct) {
      lex_.fail(tok_.line, std::string("expected '") + punct + "'");
    }
    advance();
  }
  void expectWord(const char* word) {
    if (tok_.kind != Token::Word || tok_.text != word) {
      lex_.fail(tok_.line, std::string("expected '") + word + "'");
    }
    advance();
  }

  Lexer lex_;
  Token tok_{Token::End, "", 1};
};

}  // namespace

bool Pipl::has(const std::string& key) const {
  for (const auto& p : properties) {
    if (p.first == key)
      return true;
  }
  return false;
}

std::string Pipl::text(const std::string& key, size_t i) const {
  for (const auto& p : properties) {
    if (p.first == key && i < p.second.size())
      return p.second[i].text;
  }
  return "";
}

int64_t Pipl::number(const std::string& key, size_t i) const {
  std::string t = text(key, i);
  if (t.empty())
    return 0;
  return std::stoll(t, nullptr, 0);
}

std::string Pipl::kindCode() const {
  if (isEffect())
    return "eFKT";
  if (isGeneral())
    return "AEgx";
  return "????";
}

Pipl parsePipl(const std::string& text, const std::string& file) {
  return Parser(text, file).parse();
}

Pipl readPipl(const std::string& path) {
  std::ifstream in(path);
  if (!in)
    throw std::runtime_error(path + ": cannot read the PiPL resource");
  std::stringstream buffer;
  buffer << in.rdbuf();
  return parsePipl(buffer.str(), path);
}

}  // namespace tb
