// The report writer on any rows: one line a row, each the Name padded or cut
// to 25 characters, ":" and the Value, ended by CR LF; the text survives the
// way to Unicode and back through the Windows-1251 table.

#include "fuzz_support.h"

#include "platform/cp1251.h"
#include "results/report.h"
#include "results/result_list.h"

#include <algorithm>
#include <string>

using namespace dravik;
using dravik::fuzz::require;

namespace {

constexpr std::size_t kNameWidth = 25;

// Well-formed UTF-8 of code points that are not surrogates.
bool isUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80   ? 1
                             : lead < 0xC2 ? 0
                             : lead < 0xE0 ? 2
                             : lead < 0xF0 ? 3
                             : lead < 0xF5 ? 4
                                           : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

// Rows from the input: texts separated by line feeds, taken in pairs of a
// Name and a Value (rows never hold a line break of their own).
ResultList rowsFrom(std::string_view input) {
    ResultList rows;
    std::vector<std::string> texts;
    std::size_t pos = 0;
    while (pos <= input.size()) {
        std::size_t end = std::min(input.find('\n', pos), input.size());
        texts.emplace_back(input.substr(pos, end - pos));
        pos = end + 1;
    }
    for (std::size_t i = 0; i + 1 < texts.size(); i += 2)
        rows.append(texts[i], texts[i + 1]);
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ResultList rows = rowsFrom(fuzz::bytesOf(data, size));
    if (rows.count() > 0) {
        // The user's edit of a value is what the report writes.
        std::string edited = rows.row(0).value;
        std::reverse(edited.begin(), edited.end());
        rows.setValue(0, edited);
    }
    const std::string report = formatReport(rows);

    std::size_t pos = 0;
    for (const ResultRow& row : rows.rows()) {
        const std::size_t end = report.find('\n', pos);
        require(end != std::string::npos && end > pos && report[end - 1] == '\r',
                "every line ends in CR LF");
        const std::string_view line(report.data() + pos, end - 1 - pos);
        std::string name = row.name.substr(0, kNameWidth);
        name.resize(kNameWidth, ' ');
        require(line == name + ":" + row.value, "a line is the padded Name, \":\" and the Value");
        require(line == reportLine(row), "a report line is the line of its row");
        pos = end + 1;
    }
    require(pos == report.size(), "a report of n rows has exactly n lines");

    const std::string unicode = toUtf8(report);
    require(isUtf8(unicode), "the report reads as UTF-8");
    require(fromUtf8(unicode) == report, "the report round-trips through the Windows-1251 table");
    return 0;
}
