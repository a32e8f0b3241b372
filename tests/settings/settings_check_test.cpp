#include "settings/settings_check.h"

#include "platform/cp1251.h"
#include "settings/default_settings.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace dravik {
namespace {

using Words = std::vector<std::string>;

// A family and its layout; a line added after it is line 5.
const std::string kFamily = "[Mod]\n2F=Ares\n[2F]\nSerial=S0,8\n";

std::string replaced(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string shown(const std::vector<SettingsProblem>& problems) {
    std::string text;
    for (const SettingsProblem& problem : problems)
        text += std::to_string(problem.line) + ": " + std::string(severityName(problem.severity)) +
                ": " + toUtf8(problem.message) + "\n";
    return text;
}

// A layout section whose keys pass the listing limit: 16 keys of 1023
// characters fill 16384 bytes with their terminating bytes, "q" is dropped.
std::string overfullLayout() {
    std::string text = "[Mod]\n2F=Ares\n[2F]\n";
    for (char c = 'a'; c < 'a' + 16; ++c)
        text += std::string(1023, c) + "=S0,1\n";
    return text + "q=S0,1\n";
}

struct Case {
    std::string text;
    std::size_t line;
    Severity severity;
    Words words; ///< UTF-8, each found in the message
    std::size_t count = 1;
};

// One settings text per kind of problem. Each text holds the one problem
// (or, where it brings others with it, count of them, this one the first of
// its line).
TEST(CheckSettings, FindsEachKindOfProblemOnItsLine) {
    const std::string utf8Value =
        "A=\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB3\xD1\x80\xD0\xB0\xD0\xBC"; // A=Програм
    const Case cases[] = {
        {kFamily + "Model S0,8\n", 5, Severity::Warning, {"[2F] \"Model S0,8\"", "no \"=\""}},
        // A blank line is a line of its own; a quote of 40 characters is not cut.
        {kFamily + "\n" + std::string(40, 'm') + "\n",
         6,
         Severity::Warning,
         {"\"" + std::string(40, 'm') + "\" has no"}},
        {"Model=S0,8\n" + kFamily, 1, Severity::Warning, {"\"Model=S0,8\"", "before any section"}},
        {kFamily + "=S0,8\n", 5, Severity::Warning, {"\"=S0,8\"", "no key"}},
        {kFamily + "[2f]\nB=S0,1\n", 5, Severity::Warning, {"[2f]", "line 3", "ignored"}},
        {kFamily + "serial=S1,1\n", 5, Severity::Warning, {"\"serial\"", "line 4", "twice"}},
        {kFamily + "[LDR]\nVM=2F\nvm=2B\n",
         7,
         Severity::Warning,
         {"[LDR]", "\"vm\" repeats line 6", "ignored"}},
        {overfullLayout(), 20, Severity::Warning, {"16384", "\"q\" and the 0 keys after it"}},
        {kFamily + "[CL]\nA=" + std::string(2048, 'v'),
         6,
         Severity::Warning,
         {"[CL] A", "2048 characters", "cut to 2047"}},
        {kFamily + "A=S" + std::string(29, '0') + ",8abc\n",
         5,
         Severity::Warning,
         {"[2F] A=S000", "first 32 characters", "3 are ignored"}},
        {kFamily + "A=Q0,8\n", 5, Severity::Error, {"[2F] A=Q0,8", "\"Q\"", "Error Code.....(Q)"}},
        {kFamily + "A=\n", 5, Severity::Error, {"layout is empty", "'' is not a valid"}},
        {kFamily + "A=Sx,8\n", 5, Severity::Error, {"offset 'x' is not a valid integer value"}},
        {kFamily + "A=S12\n", 5, Severity::Error, {"no comma", "'' is not a valid integer value"}},
        {kFamily + "A=S0,8x\n", 5, Severity::Error, {"length '8x' is not a valid integer value"}},
        {kFamily + "A=#0,5\n", 5, Severity::Error, {"length 5 is outside 1 to 4 for #"}},
        {kFamily + "A=S0,40\n", 5, Severity::Warning, {"outside 1 to 32 for S", "only 32 bytes"}},
        {kFamily + "A=D19,4\n", 5, Severity::Error, {"length 4 is not 5 for D"}},
        {kFamily + "A=S0,0\n", 5, Severity::Error, {"length 0", "nothing is read"}},
        {kFamily + "A=S$FFFFFFFF,1\n", 5, Severity::Error, {"offset -1", "512-byte module"}},
        {kFamily + "A=#510,4\n", 5, Severity::Error, {"bytes 510 to 513", "only 2 are read"}},
        {kFamily + "A=S512,1\n", 5, Severity::Error, {"offset 512 is outside the 512-byte"}},
        {"[Mod]\n2F=Ares\n",
         2,
         Severity::Error,
         {"[Mod] 2F=Ares", "no section [2F]", "\"Family \""}},
        {"[Mod]\n2F=Ares\n[2F]\n", 2, Severity::Error, {"[2F] of line 3 has no fields"}},
        {"[Mod]\n2FX=Ares\n", 2, Severity::Error, {"\"2FX\"", "two characters"}},
        {kFamily + "[7Q]\nB=S0,1\n", 5, Severity::Warning, {"[7Q]", "no key of [Mod]"}},
        {kFamily + "[LDR]\nVMX=2F_Ares\n", 6, Severity::Warning, {"\"VMX\"", "two characters"}},
        {kFamily + "[CL]\nAB=x\n", 6, Severity::Warning, {"\"AB\"", "one character"}},
        {kFamily + "[CL]\n" + utf8Value + "\n",
         6,
         Severity::Error,
         {"[CL] UTF-8 text", "\"A=Програм\""}},
        // Before any section a UTF-8 value shows nowhere: a warning beside the
        // one for the stray entry. After a byte-order mark a line reads whole.
        {utf8Value + "\n" + kFamily, 1, Severity::Warning, {"UTF-8 text"}, 2},
        {"\xEF\xBB\xBFINI\n" + kFamily + "[CL]\n" + utf8Value + "\n",
         7,
         Severity::Error,
         {"reads as \"A=РџСЂРѕРіСЂР°Рј\""},
         2},
        {kFamily + "; \xD0\x9A\xD0\xBE\xD0\xBC\n", 5, Severity::Warning, {"\"; Ком\""}},
        {"\xEF\xBB\xBF" + kFamily,
         1,
         Severity::Error,
         {"byte-order mark", "\"[Mod]\" opens no section", "reads as \"п»ї[Mod]\""},
         3},
        {"\xEF\xBB\xBFINI\n" + kFamily, 1, Severity::Warning, {"byte-order mark"}},
        {std::string("\xFF\xFE[\0M\0o\0d\0]\0\n\0", 14), 1, Severity::Error, {"UTF-16"}},
    };
    // The same texts with each kind of line break: CR LF is one.
    for (const std::string lineBreak : {"\n", "\r\n", "\r"}) {
        for (const Case& c : cases) {
            const std::vector<SettingsProblem> problems =
                checkSettings(replaced(c.text, "\n", lineBreak));
            SCOPED_TRACE(shown(problems));
            ASSERT_EQ(problems.size(), c.count) << c.words.front();
            const auto problem =
                std::find_if(problems.begin(), problems.end(),
                             [&](const SettingsProblem& p) { return p.line == c.line; });
            ASSERT_NE(problem, problems.end()) << c.words.front();
            EXPECT_EQ(problem->severity, c.severity);
            for (const std::string& word : c.words)
                EXPECT_NE(toUtf8(problem->message).find(word), std::string::npos) << word;
        }
    }
}

TEST(CheckSettings, PassesWhatTheReaderTakesAsMeant) {
    const std::string texts[] = {
        // Free text before the first section, comments, a header's label, the
        // fallback layout, blanks around keys and values, no final line break.
        "Dravik\nINI ver. 2.0\n; note\n[00] Defaut\n Name = S213,25 \n;Old=Q0,8",
        // Windows-1251 letters are no UTF-8: [Mod] 2F=Серия, a Cyrillic key.
        "[Mod]\n2F=\xD1\xE5\xF0\xE8\xFF\n[2F]\n\xCA\xEE\xE4=#174,2\n",
        // Loader families are shown as written, a family without a layout
        // too; a key repeated with its own value loses nothing.
        "[Mod]\n2F=Ares 64\n4R=Falcon\n[2f]\nA=S0,1\n[4R]\nA=D507,5\n[LDR]\nVM=2F_Ares 64\n"
        "RM=4A_Falcon\nY=FALCON\nXX=9X_None\nvm=2F_Ares 64\n[CL]\nA=Program A\n",
    };
    for (const std::string& text : texts)
        EXPECT_EQ(shown(checkSettings(text)), "") << text;
}

// The content the program ships gives a user nothing to change.
TEST(CheckSettings, DefaultContentHasNoProblem) {
    EXPECT_EQ(shown(checkSettings(defaultSettingsContent())), "");
}

// Each problem stands where its line does: in the section the line is in, on
// the entry's key, over the line's text without its blanks.
TEST(CheckSettings, LocatesEachProblemByTheColumnsOfItsLine) {
    struct Case {
        std::string text;
        std::string located; ///< "line begin-end: problem text", the first problem
    };
    const Case cases[] = {
        {"[Mod]\r\n2F=Ares\r\n\r\n[2F]\r\n  Serial = X0,8 \r\n",
         "5 2-15: 5: error: [2F] Serial=X0,8: the type \"X\""},
        {"\xEF\xBB\xBF[Mod]\n2F=Ares\n", "1 0-8: 1: error: a UTF-8 byte-order mark"},
        {"\xEF\xBB\xBF"
         "A=1\n[Mod]\n\t2F=Ares\n",
         "1 0-6: 1: warning: a UTF"},
        {kFamily + "\n[2f] old\n", "6 0-8: 6: warning: section [2f] repeats"},
        {kFamily + "[LDR]\n\tVMX =  9X\n", "6 1-10: 6: warning: [LDR] the key \"VMX\""},
    };
    for (const Case& c : cases) {
        const std::vector<SettingsProblem> problems = checkSettings(c.text);
        ASSERT_FALSE(problems.empty()) << c.text;
        const SettingsProblem& p = problems.front();
        const std::string located = std::to_string(p.line) + " " + std::to_string(p.span.begin) +
                                    "-" + std::to_string(p.span.end) + ": " + problemText(p);
        EXPECT_EQ(located.substr(0, c.located.size()), c.located);
    }
}

TEST(ProblemCountText, CountsErrorsAndWarningsInWords) {
    const SettingsProblem error{1, Severity::Error, "e"};
    const SettingsProblem warning{1, Severity::Warning, "w"};
    const std::pair<std::vector<SettingsProblem>, std::string> cases[] = {
        {{}, "no problems"},
        {{error}, "1 error"},
        {{warning, warning, warning}, "3 warnings"},
        {{error, warning, error}, "2 errors, 1 warning"},
    };
    for (const auto& [problems, text] : cases)
        EXPECT_EQ(problemCountText(problems), text);
}

} // namespace
} // namespace dravik
