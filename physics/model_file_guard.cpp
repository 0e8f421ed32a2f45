#include "physics/model_file_guard.h"

#include <array>
#include <cstdio>
#include <vector>

namespace tesral::physics {

namespace {

bool isBareKeyCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-';
}

/** Walks a text once, looking only at what the bounds need: keys, brackets and strings. */
class Scanner {
  public:
    explicit Scanner(std::string_view text) : text_(text) {}

    std::optional<TextFault> run() {
        while (!fault_ && p_ < text_.size()) lineStart();
        return fault_;
    }

  private:
    bool atEnd() const { return p_ >= text_.size(); }
    char peek(std::size_t ahead = 0) const {
        return p_ + ahead < text_.size() ? text_[p_ + ahead] : '\0';
    }
    void advance() {
        if (text_[p_] == '\n') ++line_;
        ++p_;
    }
    void skipBlanks() {
        while (!atEnd() && (peek() == ' ' || peek() == '\t')) ++p_;
    }
    void skipToLineEnd() {
        while (!atEnd() && peek() != '\n') ++p_;
    }
    void fail(std::string what) {
        if (!fault_) fault_ = TextFault{line_, std::move(what)};
    }

    /** A quoted string, single- or multi-line; the parser judges its contents. */
    void skipString() {
        const char quote = peek();
        const bool multi = peek(1) == quote && peek(2) == quote;
        p_ += multi ? 3 : 1;
        while (!atEnd()) {
            const char c = peek();
            if (c == '\\' && quote == '"') {
                p_ += 2;
                continue;
            }
            if (c == quote && (!multi || (peek(1) == quote && peek(2) == quote))) {
                p_ += multi ? 3 : 1;
                return;
            }
            if (c == '\n' && !multi) return;
            advance();
        }
    }

    /** A key of dotted parts; counts them. */
    void key() {
        int parts = 0;
        while (!atEnd()) {
            skipBlanks();
            if (isBareKeyCharacter(peek())) {
                while (isBareKeyCharacter(peek())) ++p_;
            } else if (peek() == '"' || peek() == '\'') {
                skipString();
            } else {
                break;
            }
            if (++parts > kMostKeyParts) {
                fail("a key or table name has more than " + std::to_string(kMostKeyParts) +
                     " dotted parts");
                return;
            }
            skipBlanks();
            if (peek() != '.') break;
            ++p_;
        }
    }

    void lineStart() {
        skipBlanks();
        if (atEnd()) return;
        const char c = peek();
        if (c == '[') {
            ++p_;
            if (peek() == '[') ++p_;
            skipBlanks();
            if (!isBareKeyCharacter(peek()) && peek() != '"' && peek() != '\'')
                return fail("a table header must name a table, as [[site]] or [radiation]");
            key();
            skipToLineEnd();
        } else if (isBareKeyCharacter(c) || c == '"' || c == '\'') {
            key();
            skipBlanks();
            if (peek() == '=') {
                ++p_;
                value();
            }
            skipToLineEnd();
        } else {
            skipToLineEnd();
        }
        if (!atEnd()) advance();
    }

    /** A value up to the end of its line (lists and inline tables may go on). */
    void value() {
        std::vector<char> open;
        while (!fault_ && !atEnd()) {
            const char c = peek();
            if (c == '"' || c == '\'') {
                skipString();
            } else if (c == '[' || c == '{') {
                open.push_back(c);
                ++p_;
                if (static_cast<int>(open.size()) > kDeepestNesting)
                    return fail("lists or tables are nested more than " +
                                std::to_string(kDeepestNesting) + " deep");
                if (c == '{') inlineKey();
            } else if (c == ']' || c == '}') {
                ++p_;
                if (!open.empty()) open.pop_back();
                if (open.empty()) return;
            } else if (c == ',') {
                ++p_;
                if (!open.empty() && open.back() == '{') inlineKey();
            } else if (c == '#') {
                skipToLineEnd();
            } else if (c == '\n') {
                if (open.empty()) return;
                advance();
            } else {
                ++p_;
            }
        }
    }

    void inlineKey() {
        skipBlanks();
        if (isBareKeyCharacter(peek()) || peek() == '"' || peek() == '\'') key();
    }

    std::string_view text_;
    std::size_t p_ = 0;
    int line_ = 1;
    std::optional<TextFault> fault_;
};

}  // namespace

std::optional<TextFault> modelTextFault(std::string_view text) {
    if (text.size() > kLargestModelFile)
        return TextFault{0, "the file is larger than " +
                                std::to_string(kLargestModelFile / 1000000) +
                                " MB; a model file is far smaller"};
    int line = 1;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        if (end - start > kLongestModelLine)
            return TextFault{line, "the line is longer than " + std::to_string(kLongestModelLine) +
                                       " characters"};
        start = end + 1;
        ++line;
    }
    return Scanner(text).run();
}

std::string echoed(std::string_view text, std::size_t longest) {
    const auto escaped = [](std::string_view part) {
        std::string out;
        for (const char c : part) {
            const auto u = static_cast<unsigned char>(c);
            if (c == '\n') {
                out += "\\n";
            } else if (c == '\t') {
                out += "\\t";
            } else if (u < 0x20 || u == 0x7f) {
                char code[8];
                std::snprintf(code, sizeof code, "\\x%02x", u);
                out += code;
            } else {
                out += c;
            }
        }
        return out;
    };
    if (text.size() <= longest) return escaped(text);
    // Cut at UTF-8 character starts, so no character is split.
    std::size_t head = longest / 2, tail = text.size() - (longest - head);
    while (head > 0 && (static_cast<unsigned char>(text[head]) & 0xC0) == 0x80) --head;
    while (tail < text.size() && (static_cast<unsigned char>(text[tail]) & 0xC0) == 0x80) ++tail;
    return escaped(text.substr(0, head)) + "..." + escaped(text.substr(tail));
}

std::string parserMessage(std::string_view raw) {
    struct Words {
        std::string_view raw;
        std::string_view ours;
    };
    static constexpr std::array<Words, 11> kWords{{
        {"expected bare key starting character or string delimiter",
         "a key must be a word (letters, digits, '_' or '-') or a text in quotes"},
        {"expected '='", "a key must be followed by '=' and its value"},
        {"unterminated string", "a text in quotes has no closing quote"},
        {"control characters",
         "a text in quotes must end on its line and hold no control characters"},
        {"encountered end-of-line", "a text in quotes has no closing quote on its line"},
        {"end-of-file", "the file ends inside a value"},
        {"redefine", "this key or table is given twice"},
        {"could not determine value type",
         "the value cannot be read: write a number, a text in quotes, true, false or a list "
         "[...]"},
        {"expected ']'", "a table header must end in ']'"},
        {"expected a comment or whitespace", "only a comment may follow on this line"},
        {"brackets must be contiguous", "write [[site]] without blanks between the brackets"},
    }};
    for (const Words& w : kWords)
        if (raw.find(w.raw) != std::string_view::npos) return std::string(w.ours);
    // Others keep the parser's words after its scope ("Error while parsing X: ").
    if (const auto colon = raw.find(": ");
        raw.starts_with("Error while parsing") && colon != std::string_view::npos)
        raw.remove_prefix(colon + 2);
    return "this cannot be read as a model file line: " + std::string(raw);
}

}  // namespace tesral::physics
