// The save command's question before an in-place write without a copy, and
// its messages telling what became of the old file after a failed write.
#include "TestFiles.h"
#include "WindowTest.h"

#include "csv/FileWriting.h"

#include <QAction>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace tabulix {
namespace {

namespace fs = std::filesystem;

const std::string kFailed = "出力ファイルの作成に失敗しました。";
const std::string kNoCopyQuestion =
    "このファイルは直接上書きして保存します。\r\n元の内容の控えを作成できません。\r\n"
    "保存に失敗すると元の内容は失われます。\r\n\r\n保存しますか？";

// Fails the first time of a step, and of a second one when given.
std::function<int(WriteStep)> failing(WriteStep step, std::optional<WriteStep> also = {}) {
    return [=](WriteStep s) { return s == step || s == also ? EIO : 0; };
}

class SafeSaveWindowTest : public WindowTest {
protected:
    void SetUp() override {
        makeFolder();
        fs::create_directory(dir / "cache");
        ::setenv("XDG_CACHE_HOME", path("cache").c_str(), 1);
        openWindow();
    }
    void TearDown() override {
        SetWriteStepHookForTesting({});
        ::unsetenv("XDG_CACHE_HOME");
        WindowTest::TearDown();
    }

    // Opens `name` holding "old" and changes its cell to "new"; a second
    // hard link to it makes every save write it in place.
    void openEdited(const char* name, bool linked) {
        writeBytes(path(name), "old\r\n");
        if (linked) fs::create_hard_link(path(name), path("second-name.csv"));
        dialogs.answerFile(path(name));
        window->action("Mn_FileOpen")->trigger();
        window->Grid().setCell(2, 1, "new");
        window->setModified(true);
    }

    // Saves under the current name: the confirmation is answered Yes, a
    // question that follows by `then`.
    TFm_Tabulix01::SaveOutcome save(std::optional<Answer> then = {}) {
        dialogs.answer(Answer::Yes);
        if (then) dialogs.answer(*then);
        return window->Mn_FileSaveClick(true);
    }
};

TEST_F(SafeSaveWindowTest, InPlaceSaveWithoutCopyIsAskedFirst) {
    openEdited("linked.csv", true);
    writeBytes(path("plainfile"), "");
    ::setenv("XDG_CACHE_HOME", path("plainfile").c_str(), 1); // no copy can be kept
    EXPECT_EQ(save(Answer::No), TFm_Tabulix01::SaveOutcome::Failed);
    EXPECT_EQ(dialogs.messages().back(), kNoCopyQuestion); // declining says nothing more
    EXPECT_TRUE(window->modified());
    EXPECT_EQ(readBytes(path("linked.csv")), "old\r\n");

    EXPECT_EQ(save(Answer::Yes), TFm_Tabulix01::SaveOutcome::Saved);
    EXPECT_EQ(dialogs.messages().back(), kNoCopyQuestion);
    EXPECT_FALSE(window->modified());
    EXPECT_EQ(readBytes(path("second-name.csv")), "new\r\n");

    // Once a copy can be kept nothing is asked.
    ::setenv("XDG_CACHE_HOME", path("cache").c_str(), 1);
    window->Grid().setCell(2, 1, "newer");
    window->setModified(true);
    const std::size_t shown = dialogs.messages().size();
    EXPECT_EQ(save(), TFm_Tabulix01::SaveOutcome::Saved);
    EXPECT_EQ(dialogs.messages().size(), shown + 1); // the confirmation alone
    EXPECT_EQ(readBytes(path("second-name.csv")), "newer\r\n");
}

TEST_F(SafeSaveWindowTest, FailedSavesTellWhatBecameOfTheOldFile) {
    openEdited("plain.csv", false);
    SetWriteStepHookForTesting(failing(WriteStep::Write));
    EXPECT_EQ(save(), TFm_Tabulix01::SaveOutcome::Failed);
    EXPECT_EQ(dialogs.messages().back(), kFailed + "\r\n\r\n元のファイルは変更されていません。");
    EXPECT_EQ(readBytes(path("plain.csv")), "old\r\n");
    EXPECT_TRUE(window->modified());
}

TEST_F(SafeSaveWindowTest, FailedInPlaceSavesTellWhetherTheOldFileIsBack) {
    openEdited("linked.csv", true);
    SetWriteStepHookForTesting(failing(WriteStep::Truncate));
    EXPECT_EQ(save(), TFm_Tabulix01::SaveOutcome::Failed);
    EXPECT_EQ(dialogs.messages().back(),
              kFailed + "\r\n\r\n元のファイルは保存前の内容に戻しました。");
    EXPECT_EQ(readBytes(path("linked.csv")), "old\r\n");

    SetWriteStepHookForTesting(failing(WriteStep::Truncate, WriteStep::Restore));
    EXPECT_EQ(save(), TFm_Tabulix01::SaveOutcome::Failed);
    const std::string copyStart = path("cache") + "/tabulix/linked.csv.";
    const std::string expectedStart = kFailed +
                                      "\r\n\r\n元のファイルを保存前の内容に戻せませんでした。"
                                      "\r\n保存前の内容は下記に残っています。\r\n\r\n   PATH = " +
                                      copyStart;
    const std::string message = dialogs.messages().back();
    ASSERT_EQ(message.substr(0, expectedStart.size()), expectedStart);
    EXPECT_EQ(readBytes(message.substr(message.find("PATH = ") + 7)), "old\r\n");
    EXPECT_TRUE(window->modified());

    // Agreed to without a copy, a failure leaves the file part written.
    writeBytes(path("plainfile"), "");
    ::setenv("XDG_CACHE_HOME", path("plainfile").c_str(), 1);
    SetWriteStepHookForTesting(failing(WriteStep::Truncate));
    EXPECT_EQ(save(Answer::Yes), TFm_Tabulix01::SaveOutcome::Failed);
    EXPECT_EQ(dialogs.messages().back(),
              kFailed + "\r\n\r\n元のファイルは途中まで書き換えられています。");
}

} // namespace
} // namespace tabulix
