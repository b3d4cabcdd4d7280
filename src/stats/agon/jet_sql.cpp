#include "stats/agon/jet_sql.h"

#include <vector>

#include "plat/cp1251.h"

namespace agon {
namespace {

enum class TokenKind { Word, Literal, Identifier, Space, Other };

struct Token {
  TokenKind kind;
  std::string text;  // a word or symbol as written; the value of a literal or identifier
};

bool IsWordByte(unsigned char byte) {
  return byte == '_' || (byte >= '0' && byte <= '9') || plat::cp1251::IsAlpha(byte);
}

bool IsSpace(char ch) {
  return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\f' || ch == '\v';
}

// The text between `quote` and its closing partner, with doubled quotes made single.
bool ReadQuoted(std::string_view sql, std::size_t& position, char close, std::string& value) {
  ++position;
  while (position < sql.size()) {
    char ch = sql[position++];
    if (ch == close) {
      if (position < sql.size() && sql[position] == close && close != ']') {
        value += close;
        ++position;
        continue;
      }
      return true;
    }
    value += ch;
  }
  return false;
}

std::optional<std::vector<Token>> Tokenize(std::string_view sql) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (i < sql.size()) {
    char ch = sql[i];
    Token token{TokenKind::Other, {}};
    if (ch == '\'' || ch == '"') {
      token.kind = TokenKind::Literal;
      if (!ReadQuoted(sql, i, ch, token.text)) return std::nullopt;
    } else if (ch == '[') {
      token.kind = TokenKind::Identifier;
      if (!ReadQuoted(sql, i, ']', token.text)) return std::nullopt;
    } else if (IsSpace(ch)) {
      token.kind = TokenKind::Space;
      while (i < sql.size() && IsSpace(sql[i])) token.text += sql[i++];
    } else if (IsWordByte(static_cast<unsigned char>(ch))) {
      token.kind = TokenKind::Word;
      while (i < sql.size() && IsWordByte(static_cast<unsigned char>(sql[i])))
        token.text += sql[i++];
    } else {
      token.text = ch;
      ++i;
    }
    tokens.push_back(std::move(token));
  }
  return tokens;
}

bool IsWord(const Token& token, std::string_view word) {
  return token.kind == TokenKind::Word && plat::cp1251::ToLower(token.text) == word;
}

// The next token that is not space, or null.
const Token* NextSignificant(const std::vector<Token>& tokens, std::size_t index) {
  for (std::size_t k = index + 1; k < tokens.size(); ++k) {
    if (tokens[k].kind != TokenKind::Space) return &tokens[k];
  }
  return nullptr;
}

std::string SingleQuoted(std::string_view value) {
  std::string out = "'";
  for (char ch : value) {
    out += ch;
    if (ch == '\'') out += '\'';
  }
  return out + "'";
}

std::string DoubleQuoted(std::string_view value) {
  std::string out = "\"";
  for (char ch : value) {
    out += ch;
    if (ch == '"') out += '"';
  }
  return out + "\"";
}

void AppendLiteralCharacter(std::string& out, char ch) {
  if (ch == '%' || ch == '_' || ch == kLikeEscape) out += kLikeEscape;
  out += ch;
}

// * and ? become % and _, [c] the character c; everything else is taken literally. A digit
// wildcard (#) and real character lists have no counterpart and are refused.
std::optional<std::string> TranslatePattern(std::string_view pattern) {
  std::string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    char ch = pattern[i];
    if (ch == '*') {
      out += '%';
    } else if (ch == '?') {
      out += '_';
    } else if (ch == '#') {
      return std::nullopt;
    } else if (ch == '[') {
      if (i + 2 >= pattern.size() || pattern[i + 2] != ']' || pattern[i + 1] == '!') {
        return std::nullopt;
      }
      AppendLiteralCharacter(out, pattern[i + 1]);
      i += 2;
    } else {
      AppendLiteralCharacter(out, ch);
    }
  }
  return out;
}

// Words SQLite reserves that the databases use as column names. Each is a keyword only when
// followed by BY.
bool IsReservedColumnWord(const Token& token) {
  return IsWord(token, "group") || IsWord(token, "order");
}

}  // namespace

std::optional<std::string> TranslateJetSql(std::string_view sql) {
  auto tokens = Tokenize(sql);
  if (!tokens) return std::nullopt;
  std::string out;
  out.reserve(sql.size() + 16);
  bool afterLike = false;
  for (std::size_t k = 0; k < tokens->size(); ++k) {
    const Token& token = (*tokens)[k];
    switch (token.kind) {
      case TokenKind::Space:
        out += token.text;
        continue;
      case TokenKind::Literal:
        if (afterLike) {
          auto pattern = TranslatePattern(token.text);
          if (!pattern) return std::nullopt;
          out += SingleQuoted(*pattern);
          out += " escape '";
          out += kLikeEscape;
          out += '\'';
        } else {
          out += SingleQuoted(token.text);
        }
        break;
      case TokenKind::Identifier:
        out += DoubleQuoted(token.text);
        break;
      case TokenKind::Word: {
        const Token* next = NextSignificant(*tokens, k);
        if (IsReservedColumnWord(token) && !(next && IsWord(*next, "by"))) {
          out += DoubleQuoted(token.text);
        } else {
          out += token.text;
        }
        break;
      }
      case TokenKind::Other:
        out += token.text;
        break;
    }
    afterLike = IsWord(token, "like");
  }
  return out;
}

}  // namespace agon
