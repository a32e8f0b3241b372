#include "results/report.h"

#include "platform/file_system.h"

namespace dravik {
namespace {

constexpr std::size_t kNameWidth = 25;

} // namespace

// "Сохранить информацию в логе?" in Windows-1251.
const std::string kSaveQuestion = "\xD1\xEE\xF5\xF0\xE0\xED\xE8\xF2\xFC \xE8\xED\xF4\xEE\xF0\xEC"
                                  "\xE0\xF6\xE8\xFE \xE2 \xEB\xEE\xE3\xE5?";

std::string reportLine(const ResultRow& row) {
    std::string line = row.name.substr(0, kNameWidth);
    line.resize(kNameWidth, ' ');
    line += ':';
    line += row.value;
    return line;
}

std::string formatReport(const ResultList& rows) {
    std::string text;
    for (const ResultRow& row : rows.rows()) {
        text += reportLine(row);
        text += "\r\n";
    }
    return text;
}

void writeReport(const std::string& path, const ResultList& rows, AtLink atLink) {
    writeFileSafely(path, formatReport(rows), WriteStyle::Pieces, TemporaryFile::Unnamed, atLink);
}

bool saveAll(const ResultList& rows, UserInterface& ui) {
    if (!ui.confirm(kSaveQuestion))
        return false;
    // The report is an output made in the folder: it never reaches through a
    // link into another place.
    writeReport(std::string(kReportFileName), rows, AtLink::Replace);
    return true;
}

} // namespace dravik
