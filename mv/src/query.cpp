#include "mv/query.h"

#include <memory>

#include "morph/morph.h"
#include "mv/text_fold.h"
#include "mv/title_file.h"

namespace mv {
namespace {

struct Token {
  enum class Kind { word, quoted, open, close, opAnd, opOr, opNot, opNear, end };
  Kind kind = Kind::end;
  std::string text;
  bool prefix = false;
  int offset = 0;
};

std::vector<Token> Lex(std::string_view text, QueryError* error, bool& ok) {
  std::vector<Token> tokens;
  std::size_t pos = 0;
  auto isSpace = [](char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; };
  while (true) {
    while (pos < text.size() && isSpace(text[pos])) ++pos;
    Token token;
    token.offset = static_cast<int>(pos);
    if (pos >= text.size()) {
      tokens.push_back(token);
      return tokens;
    }
    char ch = text[pos];
    if (ch == '(' || ch == ')') {
      token.kind = ch == '(' ? Token::Kind::open : Token::Kind::close;
      ++pos;
    } else if (ch == '"') {
      auto close = text.find('"', pos + 1);
      if (close == std::string_view::npos) {
        if (error) *error = {QueryError::syntax, static_cast<int>(pos), "unterminated quotes"};
        ok = false;
        return tokens;
      }
      token.kind = Token::Kind::quoted;
      token.text = text.substr(pos + 1, close - pos - 1);
      pos = close + 1;
      if (pos < text.size() && text[pos] == '*') {
        token.prefix = true;
        ++pos;
      }
    } else {
      std::size_t start = pos;
      while (pos < text.size() && !isSpace(text[pos]) && text[pos] != '(' && text[pos] != ')' &&
             text[pos] != '"') {
        ++pos;
      }
      token.text = text.substr(start, pos - start);
      token.kind = token.text == "AND"    ? Token::Kind::opAnd
                   : token.text == "OR"   ? Token::Kind::opOr
                   : token.text == "NOT"  ? Token::Kind::opNot
                   : token.text == "NEAR" ? Token::Kind::opNear
                                          : Token::Kind::word;
      if (token.kind == Token::Kind::word && token.text.back() == '*') {
        token.prefix = true;
        while (!token.text.empty() && token.text.back() == '*') token.text.pop_back();
      }
    }
    tokens.push_back(std::move(token));
  }
}

struct Node {
  enum class Kind { phrase, opAnd, opOr, opNot, near };
  Kind kind = Kind::phrase;
  std::string content;  // phrase: text inside the quotes
  bool prefix = false;
  std::vector<std::unique_ptr<Node>> children;
};
using NodePtr = std::unique_ptr<Node>;

class Parser {
 public:
  Parser(std::vector<Token> tokens, const Query& query, QueryError* error)
      : tokens_(std::move(tokens)), query_(query), error_(error) {}

  bool parse(NodePtr& out) {
    bool present = false;
    if (!parseOr(out, present)) return false;
    if (peek().kind != Token::Kind::end) return fail(peek().offset, "unexpected text");
    return true;
  }

 private:
  const Token& peek() const { return tokens_[index_]; }
  const Token& take() { return tokens_[index_++]; }

  bool fail(int offset, const char* message) {
    if (error_) *error_ = {QueryError::syntax, offset, message};
    return false;
  }

  static NodePtr Join(Node::Kind kind, NodePtr left, NodePtr right) {
    if (!left) return kind == Node::Kind::opNot ? nullptr : std::move(right);
    if (!right) return left;
    auto node = std::make_unique<Node>();
    node->kind = kind;
    node->children.push_back(std::move(left));
    node->children.push_back(std::move(right));
    return node;
  }

  bool startsUnit() const {
    auto k = peek().kind;
    return k == Token::Kind::word || k == Token::Kind::quoted || k == Token::Kind::open;
  }

  // `present` tells whether the grammar found a unit at all (a unit may still translate to no
  // terms, e.g. punctuation alone).
  bool parseOr(NodePtr& out, bool& present) {
    if (!parseAnd(out, present)) return false;
    while (peek().kind == Token::Kind::opOr) {
      take();
      NodePtr right;
      bool rightPresent = false;
      if (!parseAnd(right, rightPresent)) return false;
      out = Join(Node::Kind::opOr, std::move(out), std::move(right));
    }
    return true;
  }

  bool parseAnd(NodePtr& out, bool& present) {
    if (!parseNear(out, present)) return false;
    while (true) {
      Node::Kind kind;
      if (peek().kind == Token::Kind::opAnd) {
        take();
        kind = Node::Kind::opAnd;
      } else if (peek().kind == Token::Kind::opNot) {
        take();
        kind = Node::Kind::opNot;
      } else if (startsUnit()) {
        kind = query_.anyWord ? Node::Kind::opOr : Node::Kind::opAnd;
      } else {
        return true;
      }
      NodePtr right;
      bool rightPresent = false;
      if (!parseNear(right, rightPresent)) return false;
      out = Join(kind, std::move(out), std::move(right));
    }
  }

  bool parseNear(NodePtr& out, bool& present) {
    bool group = peek().kind == Token::Kind::open;
    int groupOffset = peek().offset;
    if (!parseUnit(out, present)) return false;
    if (peek().kind != Token::Kind::opNear) return true;
    if (group) return fail(groupOffset, "NEAR takes words, not groups");
    auto near = std::make_unique<Node>();
    near->kind = Node::Kind::near;
    if (out) near->children.push_back(std::move(out));
    while (peek().kind == Token::Kind::opNear) {
      take();
      if (peek().kind == Token::Kind::open)
        return fail(peek().offset, "NEAR takes words, not groups");
      NodePtr unit;
      bool unitPresent = false;
      if (!parseUnit(unit, unitPresent)) return false;
      if (unit) near->children.push_back(std::move(unit));
    }
    if (near->children.size() == 1) {
      out = std::move(near->children[0]);
    } else if (near->children.size() > 1) {
      out = std::move(near);
    }
    return true;
  }

  bool parseUnit(NodePtr& out, bool& present) {
    const Token& token = peek();
    switch (token.kind) {
      case Token::Kind::word:
      case Token::Kind::quoted:
        take();
        present = true;
        out = phrase(token);
        return true;
      case Token::Kind::open: {
        take();
        if (!parseOr(out, present)) return false;
        if (peek().kind != Token::Kind::close) return fail(peek().offset, "missing ')'");
        take();
        return true;
      }
      case Token::Kind::end:
        return fail(token.offset, "a search word is missing");
      default:
        return fail(token.offset, "a search word is expected here");
    }
  }

  NodePtr phrase(const Token& token) {
    std::vector<std::string> words;
    title_file::Tokenize(ToUtf8(token.text), title_file::TokenMode::surface,
                         [&](std::string_view word, int, int, bool) { words.emplace_back(word); });
    if (words.empty()) return nullptr;
    auto node = std::make_unique<Node>();
    node->prefix = token.prefix;
    if (query_.morph && !token.prefix) {
      for (std::size_t i = 0; i < words.size(); ++i) {
        if (i) node->content += title_file::kPositionSeparator;
        const auto& keys = morph::IndexKeys(words[i]);
        for (std::size_t k = 0; k < keys.size(); ++k) {
          if (k) node->content += title_file::kAlternativeSeparator;
          node->content += keys[k];
        }
      }
    } else {
      for (std::size_t i = 0; i < words.size(); ++i) {
        if (i) node->content += ' ';
        node->content += words[i];
      }
    }
    return node;
  }

  std::vector<Token> tokens_;
  std::size_t index_ = 0;
  const Query& query_;
  QueryError* error_;
};

void Emit(const Node& node, TranslatedQuery& out) {
  switch (node.kind) {
    case Node::Kind::phrase:
      out.match += '"';
      out.match += node.content;
      out.match += node.prefix ? "\"*" : "\"";
      ++out.phrases;
      return;
    case Node::Kind::near: {
      TranslatedQuery::NearGroup group{out.phrases, 0};
      out.match += "NEAR(";
      for (const auto& child : node.children) {
        if (group.count++) out.match += ' ';
        Emit(*child, out);
      }
      out.match += ", " + std::to_string(kNearDistance) + ")";
      out.nearGroups.push_back(group);
      return;
    }
    default: {
      const char* op = node.kind == Node::Kind::opAnd  ? " AND "
                       : node.kind == Node::Kind::opOr ? " OR "
                                                       : " NOT ";
      out.match += '(';
      Emit(*node.children[0], out);
      out.match += op;
      Emit(*node.children[1], out);
      out.match += ')';
      return;
    }
  }
}

}  // namespace

std::optional<TranslatedQuery> TranslateQuery(const Query& query, QueryError* error) {
  bool ok = true;
  auto tokens = Lex(query.text, error, ok);
  if (!ok) return std::nullopt;
  TranslatedQuery out;
  if (tokens.size() == 1) return out;  // nothing but the end
  NodePtr root;
  Parser parser(std::move(tokens), query, error);
  if (!parser.parse(root)) return std::nullopt;
  if (!root) return out;
  std::string expression;
  Emit(*root, out);
  if (query.fields == 1) {
    out.match = "{body} : (" + out.match + ")";
  } else if (query.fields == 2) {
    out.match = "{heading} : (" + out.match + ")";
  }
  return out;
}

}  // namespace mv
