#include "app/settings_editor/settings_editor.h"
#include "app/settings_editor/settings_pipeline.h"
#include "support/test_support.h"

#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

using dravik::PasportPreview;
using dravik::SettingsProblem;

// A pipeline on a document of its own, with what it told last.
struct Piped {
    Piped() {
        QObject::connect(&pipeline, &SettingsPipeline::checked,
                         [this](const std::vector<SettingsProblem>& problems) {
                             told.push_back(problems.size());
                         });
        QObject::connect(&pipeline, &SettingsPipeline::previewed,
                         [this](const PasportPreview& preview) { previews.push_back(preview); });
    }

    // Waits out the pause and the worker.
    void settle() { QTest::qWait(3 * SettingsPipeline::kPause); }

    QTextDocument document;
    SettingsPipeline pipeline{&document, settingsBytes, nullptr};
    std::vector<std::size_t> told; ///< the problem count of each check told
    std::vector<PasportPreview> previews;
};

std::string serialOf(const PasportPreview& preview) {
    return preview.rows.size() > 1 ? preview.rows[1].row.value.substr(0, 8) : "";
}

TEST(SettingsPipeline, TellsOnePassAPauseAfterTheLastChangeAndDecodesOnlyWithAModule) {
    Piped piped;
    piped.pipeline.setModule(dravik::PasportCandidate{
        "m.rpm", dravik::testing::bytesWith(512, {{0, "ST380011WD-77301"}, {128, "2F"}})});
    for (const char* text : {"[Mod]\n2F=A\n[2F]\nSerial=S0,8\nx", "[Mod]\n2F=A\n[2F]\nSerial=S8,8"})
        piped.document.setPlainText(QString::fromLatin1(text));
    EXPECT_TRUE(piped.told.empty()); // nothing before the pause
    piped.settle();
    ASSERT_EQ(piped.told, std::vector<std::size_t>{0});
    ASSERT_EQ(piped.previews.size(), 1u);
    EXPECT_EQ(serialOf(piped.previews.back()), "WD-77301");
    EXPECT_EQ(piped.previews.back().rows[1].line, 4u);

    // A section chosen decodes whatever family code the module holds.
    piped.pipeline.setSection("7Q");
    piped.document.setPlainText(
        QStringLiteral("[Mod]\n2F=A\n7Q=B\n[2F]\nSerial=S0,8\n[7Q]\nSerial=S8,8"));
    piped.settle();
    ASSERT_EQ(piped.previews.size(), 2u);
    EXPECT_EQ(serialOf(piped.previews.back()), "WD-77301");
    EXPECT_EQ(piped.previews.back().section, "7Q");
    piped.pipeline.setSection(std::nullopt);

    // Without a module a pass only checks; passNow tells at once.
    piped.pipeline.setModule(std::nullopt);
    piped.document.setPlainText(QStringLiteral("[CL]\nx"));
    piped.pipeline.passNow();
    EXPECT_EQ(piped.told, (std::vector<std::size_t>{0, 0, 1}));
    piped.settle();
    EXPECT_EQ(piped.told.size(), 3u);
    EXPECT_EQ(piped.previews.size(), 2u);
}

// A pass still in its worker when a newer one is told is never told after it.
TEST(SettingsPipeline, APassOvertakenByANewerOneIsNotTold) {
    Piped piped;
    // Long enough that its check is still running when passNow comes.
    QString slow = QStringLiteral("[CL]");
    for (int line = 0; line < 40000; ++line)
        slow += QStringLiteral("\nkey=value of a line");
    piped.document.setPlainText(slow);
    QTest::qWait(SettingsPipeline::kPause + 20);
    piped.document.setPlainText(QStringLiteral("[CL]\nx"));
    piped.pipeline.passNow();
    piped.settle();
    ASSERT_FALSE(piped.told.empty());
    EXPECT_EQ(piped.told.back(), 1u);
}

} // namespace
