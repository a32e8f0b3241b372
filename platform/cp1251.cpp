#include "platform/cp1251.h"

#include <array>
#include <cstdint>

namespace dravik {
namespace {

// Code points of the bytes 0x80 to 0xBF; 0xC0 to 0xFF are U+0410 to U+044F.
constexpr std::array<char16_t, 64> kHighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

constexpr char32_t lowerCodePoint(char32_t u) {
    if (u >= U'A' && u <= U'Z')
        return u + 0x20;
    if (u >= 0x0410 && u <= 0x042F) // А..Я
        return u + 0x20;
    if (u >= 0x0400 && u <= 0x040F) // Ѐ..Џ
        return u + 0x50;
    if (u == 0x0490) // Ґ
        return 0x0491;
    return u;
}

constexpr std::array<char, 256> makeFoldTable() {
    std::array<char, 256> table{};
    for (int b = 0; b < 256; ++b) {
        char32_t lower = lowerCodePoint(b < 0x80    ? char32_t(b)
                                        : b < 0xC0 ? char32_t(kHighHalf[b - 0x80])
                                                   : char32_t(0x0410 + (b - 0xC0)));
        int found = b;
        for (int c = 0; c < 256; ++c) {
            char32_t u = c < 0x80    ? char32_t(c)
                         : c < 0xC0 ? char32_t(kHighHalf[c - 0x80])
                                    : char32_t(0x0410 + (c - 0xC0));
            if (u == lower) {
                found = c;
                break;
            }
        }
        table[b] = static_cast<char>(found);
    }
    return table;
}

constexpr std::array<char, 256> kFold = makeFoldTable();

void appendUtf8(std::string& out, char32_t u) {
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

} // namespace

char32_t cp1251ToUnicode(unsigned char byte) {
    if (byte < 0x80)
        return byte;
    if (byte < 0xC0)
        return kHighHalf[byte - 0x80];
    return 0x0410 + (byte - 0xC0);
}

char unicodeToCp1251(char32_t codePoint) {
    if (codePoint < 0x80)
        return static_cast<char>(codePoint);
    if (codePoint >= 0x0410 && codePoint <= 0x044F)
        return static_cast<char>(0xC0 + (codePoint - 0x0410));
    for (std::size_t i = 0; i < kHighHalf.size(); ++i) {
        if (kHighHalf[i] == codePoint)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

std::string toUtf8(std::string_view cp1251) {
    std::string out;
    out.reserve(cp1251.size());
    for (char c : cp1251)
        appendUtf8(out, cp1251ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::size_t utf8SequenceLength(std::string_view text) {
    if (text.empty())
        return 0;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        // No overlong forms and no UTF-16 surrogates.
        if (lead == 0xE0)
            low = 0xA0;
        if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    }
    return length;
}

std::string fromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t extra = lead < 0x80 ? 0 : (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2
                                          : (lead & 0xF8) == 0xF0   ? 3
                                                                    : 4;
        if (extra == 4) { // a stray continuation byte or an invalid lead byte
            out += '?';
            ++i;
            continue;
        }
        char32_t u = extra == 0 ? lead : lead & (0x3F >> extra);
        std::size_t used = 1;
        bool valid = true;
        for (; used <= extra; ++used) {
            if (i + used >= utf8.size() ||
                (static_cast<unsigned char>(utf8[i + used]) & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            u = (u << 6) | (static_cast<unsigned char>(utf8[i + used]) & 0x3F);
        }
        // an overlong form of an ASCII character is malformed too
        out += valid && (extra == 0 || u >= 0x80) ? unicodeToCp1251(u) : '?';
        i += used;
    }
    return out;
}

char foldCase(char byte) {
    return kFold[static_cast<unsigned char>(byte)];
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldCase(a[i]) != foldCase(b[i]))
            return false;
    }
    return true;
}

} // namespace dravik
