#pragma once

#include "platform/file_system.h"
#include "results/result_list.h"
#include "results/user_interface.h"

#include <string>
#include <string_view>

namespace dravik {

/// The report's file name, written into the process's current directory.
inline constexpr std::string_view kReportFileName = "$Dravik.txt";

/// The question that Save All asks ("Сохранить информацию в логе?"), in Windows-1251.
extern const std::string kSaveQuestion;

/// One line of the report without its line end: the Name padded with blanks or
/// cut to 25 characters, ":", the Value.
std::string reportLine(const ResultRow& row);

/// The report text of rows: one line a row, the Name padded with blanks or cut
/// to 25 characters, ":", the Value, each line ended by CR LF.
std::string formatReport(const ResultList& rows);

/// Writes the report of rows to path, safely: a failure leaves an earlier file
/// as it was. A link at path is written through unless atLink says to replace it.
void writeReport(const std::string& path, const ResultList& rows,
                 AtLink atLink = AtLink::WriteThrough);

/// Save All: asks the user, then writes "$Dravik.txt" in the process's current
/// directory, replacing a link of that name and never what it leads to.
/// Answering No writes nothing. Gives true when the report was written.
bool saveAll(const ResultList& rows, UserInterface& ui);

} // namespace dravik
