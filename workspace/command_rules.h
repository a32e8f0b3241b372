#pragma once

#include <string>

namespace dravik {

/// The text of the computer level of the folder browser: it names no folder,
/// so it matches no files.
inline constexpr const char* kComputerLevel = "computer:///";

/// The rule that enables Pasport, Specification and Check ROM: a plain file
/// matches the working folder followed by "\*.rpm" ("/*.rpm" on Linux). Only the first entry of
/// the enumeration is looked at, so a folder named "x.rpm" that comes first
/// fails the test even when files follow.
bool moduleCommandsEnabled(const std::string& workingFolder);

/// The folder one level up from folder in the browser: the parent folder;
/// the computer level above a root ("/", a drive's "C:\"), and the computer
/// level itself from there, as nothing lies above it.
std::string folderAbove(const std::string& folder);

} // namespace dravik
