#include "json_reader.h"

#include <stdexcept>

namespace dravik::testing {
namespace {

class Reader {
  public:
    explicit Reader(std::string_view text) : text_(text) {}

    JsonValue document() {
        JsonValue value = this->value();
        skipSpace();
        if (pos_ != text_.size())
            fail("text after the value");
        return value;
    }

  private:
    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error("JSON: " + what + " at offset " + std::to_string(pos_));
    }

    char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }

    void skipSpace() {
        while (pos_ < text_.size() &&
               (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r'))
            ++pos_;
    }

    void expect(char c) {
        skipSpace();
        if (peek() != c)
            fail(std::string("expected '") + c + "'");
        ++pos_;
    }

    JsonValue value() {
        skipSpace();
        JsonValue v;
        switch (peek()) {
        case '{':
            v.kind = JsonValue::Kind::Object;
            ++pos_;
            skipSpace();
            if (peek() == '}') {
                ++pos_;
                return v;
            }
            do {
                skipSpace();
                std::string name = string();
                expect(':');
                if (!v.members.emplace(name, value()).second)
                    fail("duplicate member " + name);
                skipSpace();
            } while (peek() == ',' && ++pos_);
            expect('}');
            return v;
        case '[':
            v.kind = JsonValue::Kind::Array;
            ++pos_;
            skipSpace();
            if (peek() == ']') {
                ++pos_;
                return v;
            }
            do {
                v.items.push_back(value());
                skipSpace();
            } while (peek() == ',' && ++pos_);
            expect(']');
            return v;
        case '"':
            v.kind = JsonValue::Kind::String;
            v.text = string();
            return v;
        default:
            return literal();
        }
    }

    JsonValue literal() {
        JsonValue v;
        for (std::string_view word : {"null", "true", "false"}) {
            if (text_.substr(pos_).starts_with(word)) {
                v.kind = word == "null" ? JsonValue::Kind::Null : JsonValue::Kind::Boolean;
                v.text = word;
                pos_ += word.size();
                return v;
            }
        }
        const std::size_t start = pos_;
        while (pos_ < text_.size() &&
               std::string_view("+-.0123456789eE").find(peek()) != std::string_view::npos)
            ++pos_;
        if (pos_ == start)
            fail("unexpected character");
        v.kind = JsonValue::Kind::Number;
        v.text = text_.substr(start, pos_ - start);
        return v;
    }

    unsigned hex4() {
        unsigned code = 0;
        for (int i = 0; i < 4; ++i, ++pos_) {
            const char c = peek();
            const std::size_t digit =
                std::string_view("0123456789abcdef")
                    .find(static_cast<char>(c >= 'A' && c <= 'F' ? c - 'A' + 'a' : c));
            if (digit == std::string_view::npos)
                fail("bad \\u escape");
            code = code * 16 + static_cast<unsigned>(digit);
        }
        return code;
    }

    static void appendUtf8(std::string& out, unsigned code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    // One UTF-8 character, checked as strictly as a JSON reader must.
    void utf8Character(std::string& out) {
        const auto byte = [&](std::size_t i) {
            return pos_ + i < text_.size() ? static_cast<unsigned char>(text_[pos_ + i]) : 0u;
        };
        const unsigned lead = byte(0);
        std::size_t length = 0;
        unsigned low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            fail("invalid UTF-8");
        }
        for (std::size_t i = 1; i < length; ++i) {
            const unsigned b = byte(i);
            if (b < (i == 1 ? low : 0x80) || b > (i == 1 ? high : 0xBF))
                fail("invalid UTF-8");
        }
        out += text_.substr(pos_, length);
        pos_ += length;
    }

    std::string string() {
        if (peek() != '"')
            fail("expected a string");
        ++pos_;
        std::string out;
        while (true) {
            if (pos_ >= text_.size())
                fail("unterminated string");
            const auto c = static_cast<unsigned char>(text_[pos_]);
            if (c == '"') {
                ++pos_;
                return out;
            }
            if (c < 0x20)
                fail("raw control character");
            if (c >= 0x80) {
                utf8Character(out);
                continue;
            }
            ++pos_;
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            const char escape = peek();
            ++pos_;
            switch (escape) {
            case '"':
            case '\\':
            case '/':
                out += escape;
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                unsigned code = hex4();
                if (code >= 0xD800 && code <= 0xDBFF) {
                    if (peek() != '\\' || text_.substr(pos_ + 1, 1) != "u")
                        fail("lone surrogate");
                    pos_ += 2;
                    const unsigned low = hex4();
                    if (low < 0xDC00 || low > 0xDFFF)
                        fail("lone surrogate");
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                } else if (code >= 0xDC00 && code <= 0xDFFF) {
                    fail("lone surrogate");
                }
                appendUtf8(out, code);
                break;
            }
            default:
                fail("bad escape");
            }
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

} // namespace

JsonValue readJson(std::string_view text) {
    return Reader(text).document();
}

} // namespace dravik::testing
