#pragma once

#include "ScriptedClipboard.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"

#include "app/TFm_Tabulix01.h"
#include "view/GridWidget.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace tabulix {

// The main window under test, with scripted dialogs and clipboard that must
// be used up by the end of each test, and a scratch folder when asked for.
class WindowTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (window && window->isVisible()) {
            window->setModified(false);
            window->close();
        }
        window.reset();
        if (!dir.empty()) std::filesystem::remove_all(dir);
        EXPECT_TRUE(dialogs.scriptUsedUp());
    }

    // With the settings file written at exit, when one is named.
    void openWindow(Settings settings = {}, const std::string& settingsFile = {}) {
        window = std::make_unique<TFm_Tabulix01>(dialogs, clipboard, std::move(settings));
        if (!settingsFile.empty()) window->setSettingsFile(settingsFile);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    // A fresh folder of this test's own, removed at its end.
    void makeFolder() {
        dir = makeTemporaryFolder("tabulix-window");
        ASSERT_FALSE(dir.empty());
    }

    std::string cell(int c, int r) const { return window->Grid().cellText(c, r); }
    std::string path(const char* name) const { return (dir / name).string(); }

    std::filesystem::path dir;
    ScriptedDialogs dialogs;
    ScriptedClipboard clipboard;
    std::unique_ptr<TFm_Tabulix01> window;
};

} // namespace tabulix
