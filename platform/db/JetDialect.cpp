#include "platform/db/JetDialect.h"

#include <cctype>
#include <map>
#include <optional>
#include <vector>

#include "platform/db/DbError.h"
#include "platform/format/Format.h"

namespace zl::db {
namespace {

enum class Kind {
    Space,
    Comment,
    Word,
    Number,
    SingleQuoted,
    DoubleQuoted,
    Bracketed,
    Date,
    Punct
};

struct Token {
    Kind kind;
    std::string text;  // raw text, or the unquoted content for quoted kinds and dates
};

bool IsWordStart(unsigned char c) {
    return std::isalpha(c) || c == '_' || c >= 0x80;
}
bool IsWordChar(unsigned char c) {
    return std::isalnum(c) || c == '_' || c == '$' || c >= 0x80;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Reads a literal that ends with `close`, where a doubled `close` stands for one.
std::string ReadQuoted(std::string_view sql, size_t& i, char close, bool doubledEscapes) {
    const size_t start = i;
    std::string content;
    ++i;
    while (i < sql.size()) {
        if (sql[i] == close) {
            if (doubledEscapes && i + 1 < sql.size() && sql[i + 1] == close) {
                content += close;
                i += 2;
                continue;
            }
            ++i;
            return content;
        }
        content += sql[i++];
    }
    throw DbError("Unterminated literal in SQL text starting at: " +
                  std::string(sql.substr(start, 40)));
}

std::vector<Token> Tokenize(std::string_view sql) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < sql.size()) {
        const unsigned char c = static_cast<unsigned char>(sql[i]);
        const size_t start = i;
        if (std::isspace(c)) {
            while (i < sql.size() && std::isspace(static_cast<unsigned char>(sql[i])))
                ++i;
            tokens.push_back({Kind::Space, std::string(sql.substr(start, i - start))});
        } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
            while (i < sql.size() && sql[i] != '\n')
                ++i;
            tokens.push_back({Kind::Comment, std::string(sql.substr(start, i - start))});
        } else if (c == '/' && i + 1 < sql.size() && sql[i + 1] == '*') {
            const size_t end = sql.find("*/", i + 2);
            i = end == std::string_view::npos ? sql.size() : end + 2;
            tokens.push_back({Kind::Comment, std::string(sql.substr(start, i - start))});
        } else if (c == '\'') {
            ReadQuoted(sql, i, '\'', true);
            tokens.push_back({Kind::SingleQuoted, std::string(sql.substr(start, i - start))});
        } else if (c == '"') {
            tokens.push_back({Kind::DoubleQuoted, ReadQuoted(sql, i, '"', true)});
        } else if (c == '[') {
            // "]]" inside brackets stands for one "]", so any column name can be bracketed.
            tokens.push_back({Kind::Bracketed, ReadQuoted(sql, i, ']', true)});
        } else if (c == '#') {
            tokens.push_back({Kind::Date, ReadQuoted(sql, i, '#', false)});
        } else if (IsWordStart(c)) {
            while (i < sql.size() && IsWordChar(static_cast<unsigned char>(sql[i])))
                ++i;
            tokens.push_back({Kind::Word, std::string(sql.substr(start, i - start))});
        } else if (std::isdigit(c) || (c == '.' && i + 1 < sql.size() &&
                                       std::isdigit(static_cast<unsigned char>(sql[i + 1])))) {
            while (i < sql.size()) {
                const unsigned char d = static_cast<unsigned char>(sql[i]);
                if (std::isdigit(d) || d == '.') {
                    ++i;
                } else if ((d == 'e' || d == 'E') && i + 1 < sql.size() &&
                           (std::isdigit(static_cast<unsigned char>(sql[i + 1])) ||
                            sql[i + 1] == '+' || sql[i + 1] == '-')) {
                    i += 2;
                } else {
                    break;
                }
            }
            tokens.push_back({Kind::Number, std::string(sql.substr(start, i - start))});
        } else {
            ++i;
            tokens.push_back({Kind::Punct, std::string(1, static_cast<char>(c))});
        }
    }
    return tokens;
}

bool IsBlank(const Token& t) {
    return t.kind == Kind::Space || t.kind == Kind::Comment;
}

// Index of the next token that is not blank, or tokens.size().
size_t NextSolid(const std::vector<Token>& tokens, size_t i) {
    while (i < tokens.size() && IsBlank(tokens[i]))
        ++i;
    return i;
}

std::string Quote(std::string_view content, char quote) {
    std::string out(1, quote);
    for (char c : content) {
        out += c;
        if (c == quote)
            out += quote;
    }
    out += quote;
    return out;
}

std::string DateLiteral(const std::string& text) {
    format::TDateTime dt = 0;
    // The stored form first: it is unambiguous whatever the user's short date format.
    if (!format::TryIsoToDateTime(text, dt) && !format::TryStrToDateTime(text, dt))
        throw DbError("Syntax error in date in query expression '#" + text + "#'.");
    return "'" + format::DateTimeToIso(dt) + "'";
}

// Words that the schema uses as column names although SQLite reserves them, and the words
// after which they are keywords after all.
bool IsQuotedColumnWord(const std::string& lower) {
    return lower == "table";
}
bool KeepsTableKeyword(const std::string& lowerPrevious) {
    return lowerPrevious == "create" || lowerPrevious == "drop" || lowerPrevious == "alter" ||
           lowerPrevious == "temp" || lowerPrevious == "temporary" || lowerPrevious == "virtual";
}

}  // namespace

std::string TranslateJet(std::string_view sql) {
    const std::vector<Token> tokens = Tokenize(sql);
    std::string out;
    out.reserve(sql.size() + 16);
    std::map<int, std::string> pendingLimits;  // nesting depth -> limit of the select there
    int depth = 0;
    std::string previousWord;  // lower-cased, the last word token seen

    auto flushLimit = [&](int level) {
        auto it = pendingLimits.find(level);
        if (it == pendingLimits.end())
            return;
        while (!out.empty() && std::isspace(static_cast<unsigned char>(out.back())))
            out.pop_back();
        out += " limit " + it->second;
        pendingLimits.erase(it);
    };

    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        switch (t.kind) {
            case Kind::Space:
            case Kind::Comment:
            case Kind::Number:
            case Kind::SingleQuoted:
                out += t.text;
                break;
            case Kind::DoubleQuoted:
                out += Quote(t.text, '\'');
                break;
            case Kind::Bracketed:
                out += Quote(t.text, '"');
                break;
            case Kind::Date:
                out += DateLiteral(t.text);
                break;
            case Kind::Punct:
                if (t.text == "(") {
                    ++depth;
                } else if (t.text == ")") {
                    flushLimit(depth);
                    if (depth > 0)
                        --depth;
                } else if (t.text == ";" && depth == 0) {
                    flushLimit(0);
                }
                out += t.text;
                break;
            case Kind::Word: {
                const std::string lower = Lower(t.text);
                if (lower == "select") {
                    out += t.text;
                    // select [distinct|distinctrow|all] top N
                    size_t j = NextSolid(tokens, i + 1);
                    if (j < tokens.size() && tokens[j].kind == Kind::Word) {
                        const std::string w = Lower(tokens[j].text);
                        if (w == "distinct" || w == "distinctrow" || w == "all") {
                            out += tokens[i + 1].kind == Kind::Space ? tokens[i + 1].text : " ";
                            out += w == "distinctrow" ? "distinct" : tokens[j].text;
                            i = j;
                            j = NextSolid(tokens, i + 1);
                        }
                    }
                    if (j < tokens.size() && tokens[j].kind == Kind::Word &&
                        Lower(tokens[j].text) == "top") {
                        const size_t n = NextSolid(tokens, j + 1);
                        if (n < tokens.size() && tokens[n].kind == Kind::Number) {
                            pendingLimits[depth] = tokens[n].text;
                            i = n;  // drop "top N"; the blank after it is copied as usual
                        }
                    }
                    previousWord = lower;
                    break;
                }
                if (lower == "true" || lower == "false") {
                    out += lower == "true" ? "1" : "0";
                } else if (IsQuotedColumnWord(lower) && !KeepsTableKeyword(previousWord)) {
                    out += Quote(t.text, '"');
                } else {
                    out += t.text;
                }
                previousWord = lower;
                break;
            }
        }
    }
    for (int level = depth; level >= 0; --level)
        flushLimit(level);
    return out;
}

std::string QuoteName(std::string_view name) {
    std::string quoted = "[";
    for (char c : name) {
        quoted += c;
        if (c == ']')
            quoted += ']';
    }
    return quoted + "]";
}

std::string SqlDate(format::TDateTime dt) {
    return "#" + format::DateTimeToIso(dt) + "#";
}

}  // namespace zl::db
