#include "TestFiles.h"
#include "help/HelpDocuments.h"
#include "print/PrintExport.h"
#include "settings/InstalledProgram.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace tabulix {
namespace {

namespace fs = std::filesystem;

// A program in <root>/bin, installed when <root>/share/tabulix exists. Its
// own files (the help HTML, the print preview's page) go beside it only when
// it is not installed: an installed program run by root must not write into
// the shared bin folder, where the files would outlive the package. Nor do
// its file dialogs start there.
TEST(InstalledProgram, OwnFilesGoToTheCacheWhenInstalled) {
    const fs::path root = makeTemporaryFolder("tabulix-installed");
    ASSERT_FALSE(root.empty());
    const fs::path bin = root / "bin";
    const fs::path cache = root / "cache" / "tabulix";
    fs::create_directories(bin);
    const char* const homeVariable = std::getenv("HOME");
    const std::string savedHome = homeVariable != nullptr ? homeVariable : "";
    const std::string home = (root / "home").string();
    ::setenv("HOME", home.c_str(), 1);

    EXPECT_EQ(InstalledDataFolder(bin), root / "share" / "tabulix");
    EXPECT_EQ(InstalledDataFolder("/usr/bin"), fs::path("/usr/share/tabulix"));

    const struct {
        bool installed;
        fs::path expectedFolder;
    } cases[] = {{false, bin}, {true, cache}, {false, bin}};
    for (const auto& c : cases) {
        if (c.installed)
            fs::create_directories(root / "share" / "tabulix");
        else
            fs::remove_all(root / "share");
        EXPECT_EQ(IsInstalledProgram(bin), c.installed);
        EXPECT_EQ(OwnFilesFolder(bin.string()), c.installed ? "" : bin.string());
        EXPECT_EQ(HelpHtmlPath(bin.string(), "tabulix", cache.string()),
                  (c.expectedFolder / "tabulix_Help.Html").string());
        EXPECT_EQ(TemporaryHtmlPath((bin / "tabulix").string(), cache.string()),
                  (c.expectedFolder / "tabulix_Temp.Html").string());
        // A file dialog that remembers nothing starts in the home folder.
        EXPECT_EQ(DialogStartFolder(bin.string()), c.installed ? home : bin.string());
    }
    // No folder is no installed program.
    EXPECT_FALSE(IsInstalledProgram(""));
    if (homeVariable != nullptr)
        ::setenv("HOME", savedHome.c_str(), 1);
    else
        ::unsetenv("HOME");
    fs::remove_all(root);
}

} // namespace
} // namespace tabulix
