#include "loaders/loader.h"
#include "modules/pasport.h"
#include "modules/rom_check.h"
#include "modules/specification.h"
#include "platform/cp1251.h"
#include "results/report.h"
#include "settings/default_settings.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace dravik {
namespace {

using testing::bytesWith;
using testing::CurrentDirectoryGuard;
using testing::FakeUi;
using testing::fileContent;
using testing::TempFolder;

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs dravik-cli in folder with args, standard output and error captured.
CliRun runCli(const std::string& folder, const std::vector<std::string>& args) {
    TempFolder capture;
    std::string outPath = capture.file("out");
    std::string errPath = capture.file("err");
    pid_t child = ::fork();
    if (child == 0) {
        int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || ::chdir(folder.c_str()) != 0)
            ::_exit(127);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        std::vector<char*> argv;
        std::string program = DRAVIK_CLI_PATH;
        argv.push_back(program.data());
        std::vector<std::string> copies(args);
        for (std::string& arg : copies)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    CliRun run;
    int raw = 0;
    ::waitpid(child, &raw, 0);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = fileContent(outPath);
    run.err = fileContent(errPath);
    return run;
}

// The rows as dravik-cli prints them: the report's lines in UTF-8, ended by LF.
std::string printed(const ResultList& rows) {
    std::string text;
    for (const ResultRow& row : rows.rows())
        text += toUtf8(reportLine(row)) + "\n";
    return text;
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        start.write("Dravik.ini", defaultSettingsContent());
    }

    // Runs an operation in-process on the same folders, as the window would.
    template <typename Operation>
    ResultList inProcess(const std::string& folder, Operation operation) {
        CurrentDirectoryGuard cwd(folder);
        ResultList rows;
        FakeUi ui;
        Context context{start.path(), folder, rows, ui, nullptr};
        operation(context);
        return rows;
    }

    TempFolder start;
    TempFolder drive;
};

std::string pasportModule() {
    std::string date("\x67\x03\x0F\x0C\x05", 5);
    return bytesWith(512, {{0, "SN123456"}, {19, date}, {128, "2F"}, {130, "MODEL-X"},
                           {174, "\x34\x12"}, {505, "Q8v01"}});
}

std::string romImage(std::string_view storedCode, std::uint16_t checksum) {
    std::string bytes = bytesWith(131072, {{96, storedCode}, {4000, "DISK"}});
    bytes[131070] = static_cast<char>(checksum & 0xFF);
    bytes[131071] = static_cast<char>(checksum >> 8);
    return bytes;
}

std::string loader(std::string_view storedCode, std::uint16_t romChecksum) {
    std::string bytes = bytesWith(131584 + 16, {{608, storedCode}});
    bytes[131582] = static_cast<char>(romChecksum & 0xFF);
    bytes[131583] = static_cast<char>(romChecksum >> 8);
    bytes[bytes.size() - 2] = '\x0A';
    return bytes;
}

TEST_F(CliTest, PasportPrintsRowsAndWritesTheReportThatSaveAllWrites) {
    drive.write("pasport.rpm", pasportModule());
    CliRun run = runCli(start.path(), {"pasport", drive.path(), "--report", "out.txt"});
    ResultList expected = inProcess(drive.path(), readPasport);

    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(expected.count(), 21u);
    EXPECT_EQ(run.out, printed(expected));
    EXPECT_EQ(fileContent(start.file("out.txt")), formatReport(expected));
    EXPECT_EQ(run.err, drive.file("pasport.rpm") + " Q8v01\n");
}

TEST_F(CliTest, FolderDefaultsToTheCurrentDirectoryAndRelativeFoldersAreTakenFromIt) {
    std::string sub = start.makeFolder("drive one");
    start.write("drive one/pasport.rpm", pasportModule());

    CliRun relative = runCli(start.path(), {"pasport", "drive one"});
    CliRun here = runCli(sub, {"pasport"});

    EXPECT_EQ(relative.status, 0) << relative.err;
    EXPECT_EQ(relative.out.substr(0, 34), "Family                   :Ares 64\n");
    // Dravik.ini is read from the folder the command runs in, not the drive folder.
    EXPECT_EQ(here.status, 0) << here.err;
    EXPECT_EQ(here.out, "Family                   :Default\n");
}

TEST_F(CliTest, CheckRomAndSpecificationReportTheirRows) {
    drive.write("a.rpm", romImage("AV4M10Z9", 0xABCD));
    drive.write("b.RPM", romImage("BV4M10Z9", 0x0012));
    std::string module = bytesWith(2048, {{0, "version"}, {12, "123"}, {64, "TRACKS"}, {76, "1024"}});
    drive.write("table.rpm", module);

    CliRun rom = runCli(start.path(), {"check-rom", drive.path(), "--report=rom.txt"});
    CliRun table = runCli(start.path(), {"specification", drive.path(), "--report", "table.txt"});

    ResultList romRows = inProcess(drive.path(), checkRom);
    ResultList tableRows = inProcess(drive.path(), readSpecification);
    ASSERT_EQ(rom.status, 0) << rom.err;
    ASSERT_EQ(romRows.count(), 8u);
    EXPECT_EQ(rom.out, printed(romRows));
    EXPECT_EQ(fileContent(start.file("rom.txt")), formatReport(romRows));
    ASSERT_EQ(table.status, 0) << table.err;
    ASSERT_EQ(tableRows.count(), 31u);
    EXPECT_EQ(table.out, printed(tableRows));
    EXPECT_EQ(fileContent(start.file("table.txt")), formatReport(tableRows));
}

TEST_F(CliTest, CheckLdrPrintsTheFiveRows) {
    std::string path = drive.write("x.ldr", loader("AV4M10Z9", 0x1A2B));
    CliRun run = runCli(start.path(), {"check-ldr", path});

    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Check sum ROM in LDR     :1A2B\n"
                       "Check sum LDR            :000A\n"
                       "Code FW                  :VAM4019Z\n"
                       "Family                   :2F_Ares 64\n"
                       "Status                   :Program A - Main\n");
}

TEST_F(CliTest, RenameLdrPrintsTheNewPathAndNeverReplacesAFile) {
    std::string bytes = loader("AV4M10Z9", 0x1A2B);
    drive.write("x.ldr", bytes);
    drive.write("y.ldr", bytes);

    CliRun first = runCli(drive.path(), {"rename-ldr", "x.ldr"});
    CliRun second = runCli(drive.path(), {"rename-ldr", "y.ldr"});

    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, drive.file("1A2B_VAM4019Z.ldr") + "\n");
    EXPECT_EQ(second.status, 1);
    EXPECT_EQ(second.out, "");
    EXPECT_FALSE(second.err.empty());
    EXPECT_EQ(fileContent(drive.file("1A2B_VAM4019Z.ldr")), bytes);
    EXPECT_EQ(fileContent(drive.file("y.ldr")), bytes);
}

TEST_F(CliTest, LoaderCommandsNameAMissingFile) {
    for (const char* command : {"check-ldr", "rename-ldr"}) {
        CliRun run = runCli(start.path(), {command, "missing.ldr", "--report", "r.txt"});
        EXPECT_EQ(run.status, 1) << command;
        EXPECT_NE(run.err.find("missing.ldr"), std::string::npos) << command;
        EXPECT_EQ(run.out, "") << command;
    }
}

TEST_F(CliTest, AnErrorEndsTheCommandButTheReportKeepsTheRowsBeforeIt) {
    start.write("Dravik.ini", "[Mod]\r\n2F=Ares 64\r\n[2F]\r\nSerial=S0,8\r\nName=Sx,5\r\nModel=S130,14\r\n");
    drive.write("pasport.rpm", pasportModule());
    start.write("r.txt", "old report");

    CliRun run = runCli(start.path(), {"pasport", drive.path(), "--report", "r.txt"});

    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("'x' is not a valid integer value.\n"), std::string::npos) << run.err;
    std::string expected = "Family                   :Ares 64\r\n"
                           "Serial                   :SN123456" + std::string(24, ' ') + "\r\n";
    EXPECT_EQ(fileContent(start.file("r.txt")), expected);
}

TEST_F(CliTest, NoRowsGiveAnEmptyReport) {
    start.write("r.txt", "old report");
    CliRun run = runCli(start.path(), {"check-rom", drive.path(), "--report", "r.txt"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(fileContent(start.file("r.txt")), "");
}

TEST_F(CliTest, AReportThatCannotBeWrittenFails) {
    CliRun run = runCli(start.path(), {"check-rom", drive.path(), "--report", "no/such/r.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "File not found.\n");
}

TEST_F(CliTest, DefaultSettingsAreWrittenByteForByte) {
    CliRun run = runCli(start.path(), {"default-settings"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, defaultSettingsContent());
}

TEST_F(CliTest, UsageErrorsExitWithTwo) {
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {"frobnicate"},
        {"check-ldr"},
        {"pasport", "a", "b"},
        {"pasport", "--report"},
        {"pasport", "--verbose"},
        {"default-settings", "x"},
    };
    for (const auto& args : wrong) {
        CliRun run = runCli(start.path(), args);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(args);
        EXPECT_NE(run.err.find("Usage: dravik-cli"), std::string::npos);
    }
    CliRun help = runCli(start.path(), {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: dravik-cli"));
}

TEST_F(CliTest, AMissingFolderIsReported) {
    CliRun run = runCli(start.path(), {"pasport", "nowhere"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("nowhere"), std::string::npos);
}

} // namespace
} // namespace dravik
