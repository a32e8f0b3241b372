#include "platform/process.h"

#include "platform/win32_text.h"

#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

namespace dravik {
namespace {

// The paths the console's control handler removes.
std::wstring gFolder;
std::wstring gFile;

UINT gConsoleCodePage = 0;

BOOL WINAPI removeAndEnd(DWORD) {
    ::DeleteFileW(gFile.c_str());
    ::RemoveDirectoryW(gFolder.c_str());
    // Not handled: the system's own handler ends the program.
    return FALSE;
}

void restoreConsoleCodePage() {
    ::SetConsoleOutputCP(gConsoleCodePage);
}

} // namespace

std::string environmentVariable(const char* name) {
    const wchar_t* value = ::_wgetenv(toWide(name).c_str());
    return value ? fromWide(value) : "";
}

std::vector<std::string> commandLineArguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr)
        return std::vector<std::string>(argv + 1, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(fromWide(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

void prepareStandardStreams() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    gConsoleCodePage = ::GetConsoleOutputCP();
    if (gConsoleCodePage != 0 && gConsoleCodePage != CP_UTF8 && ::SetConsoleOutputCP(CP_UTF8))
        std::atexit(restoreConsoleCodePage);
}

bool isTerminal(std::FILE* stream) {
    return _isatty(_fileno(stream)) != 0;
}

void removeAtInterruption(const std::string& file, const std::string& folder) {
    if (file.size() >= 4096 || folder.size() >= 4096)
        return;
    const bool first = gFile.empty();
    gFolder = nativePath(folder);
    gFile = nativePath(file);
    if (first)
        ::SetConsoleCtrlHandler(removeAndEnd, TRUE);
}

} // namespace dravik
