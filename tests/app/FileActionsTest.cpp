#include "AppFixture.h"

#include "app/FileActions.h"
#include "text/Cp1251.h"
#include "text/Literals.h"

namespace kvort::testing {
namespace {

using namespace kvort::text::literals;
namespace fs = std::filesystem;

TEST_F(AppTest, ArchiveActionsOpenTheTextOrSayItIsMissing) {
    newConfig();
    struct Case {
        ArchiveKind kind;
        const char* file;
        std::string missing;
    };
    const std::vector<Case> cases = {
        {ArchiveKind::Fires, "OBJ_АрхивПожаров.txt", cp("АРХИВ ПОЖАРОВ НЕ НАЙДЕН"_cp)},
        {ArchiveKind::Faults, "OBJ_АрхивОтказов.txt", cp("АРХИВ ОТКАЗОВ НЕ НАЙДЕН"_cp)},
        {ArchiveKind::Events, "OBJ_АрхивСобытий.txt", cp("АРХИВ СОБЫТИЙ НЕ НАЙДЕН"_cp)},
    };
    for (const Case& c : cases) {
        prompts.expectMessage("ВНИМАНИЕ"_cp, c.missing, MsgIcon::Warning, MsgButtons::Ok,
                              MsgResult::Ok);
        EXPECT_FALSE(OpenArchiveText(c.kind, dir / "OBJ.tb8", prompts));
        writeFile(dir / c.file, "");
        EXPECT_TRUE(OpenArchiveText(c.kind, dir / "OBJ.tb8", prompts));
        EXPECT_EQ(prompts.documentsOpened().back(), dir / c.file);
    }
    EXPECT_EQ(prompts.pending(), 0u);
}

TEST_F(AppTest, JsonActionOffersNameDotJsonAndWritesTheChosenFile) {
    newConfig();
    const FileDialogOptions options{"*.json|*.json", ".json",
                                    text::fromUtf8((dir / "OBJ.json").string()), ""};
    prompts.expectSaveFile(std::nullopt, options);
    EXPECT_EQ(FileJSON(dir / "OBJ.tb3", prompts), std::nullopt);
    EXPECT_FALSE(fs::exists(dir / "OBJ.json"));

    prompts.expectSaveFile(dir / "OUT.json", options);
    EXPECT_EQ(FileJSON(dir / "OBJ.tb3", prompts), dir / "OUT.json");
    const std::string json = contents(dir / "OUT.json");
    EXPECT_EQ(json.substr(0, 13), "{\r\n\"sensor\":[");
    // OBJ.tb0 exists (empty): its 480 addresses are listed.
    EXPECT_NE(json.find("\"NAME\":\"D0860\""), std::string::npos);
}

} // namespace
} // namespace kvort::testing
