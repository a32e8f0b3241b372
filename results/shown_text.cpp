#include "results/shown_text.h"

namespace dravik {

std::string shownText(std::string_view cp1251) {
    std::string text(cp1251);
    for (char& c : text) {
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    }
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

} // namespace dravik
