#include "platform/core/Prompt.h"
#include "tests/support/ScriptedPrompt.h"

#include <gtest/gtest.h>

namespace {

TEST(ScriptedPromptTest, AnswersInOrderAndRecords) {
    ScriptedPrompt prompt;
    prompt.AnswerMessageBox(IDYES);
    prompt.AnswerMessageBox(IDCANCEL);
    EXPECT_EQ(MessageBoxA(nullptr, "first?", "One", MB_YESNO), IDYES);
    EXPECT_EQ(MessageBoxA(nullptr, "second?", "Two", MB_OKCANCEL | MB_ICONWARNING), IDCANCEL);
    ASSERT_EQ(prompt.MessageBoxes().size(), 2u);
    EXPECT_EQ(prompt.MessageBoxes()[1].text, CString("second?"));
    EXPECT_EQ(prompt.MessageBoxes()[1].caption, CString("Two"));
    EXPECT_EQ(prompt.MessageBoxes()[1].flags, MB_OKCANCEL | MB_ICONWARNING);
    EXPECT_EQ(prompt.UnexpectedCalls(), 0);
    EXPECT_EQ(prompt.PendingAnswers(), 0);
}

TEST(ScriptedPromptTest, UnexpectedCallsGetTheSafeDefault) {
    ScriptedPrompt prompt;
    const std::pair<unsigned, int> defaults[] = {
        {MB_OK, IDOK},
        {MB_OKCANCEL, IDCANCEL},
        {MB_YESNO, IDNO},
        {MB_YESNOCANCEL, IDCANCEL},
        {MB_RETRYCANCEL, IDCANCEL},
        {MB_ABORTRETRYIGNORE, IDABORT},
    };
    for (const auto& [flags, answer] : defaults)
        EXPECT_EQ(MessageBoxA(nullptr, "?", "", flags | MB_ICONINFORMATION), answer) << flags;
    CreateDbRequest create;
    EXPECT_FALSE(GetPrompt().RunCreateDbDialog(create));
    FileDialogRequest file;
    EXPECT_FALSE(GetPrompt().GetOpenFileName(file));
    EXPECT_EQ(prompt.UnexpectedCalls(), 8);
    EXPECT_TRUE(prompt.Calls().back().unexpected);
}

TEST(ScriptedPromptTest, DialogsAnswerWithTheQueuedResults) {
    ScriptedPrompt prompt;
    prompt.AnswerCreateDb("/tmp/a", "pw", "pw2");
    prompt.CancelCreateDb();
    prompt.AnswerFileDialog("/tmp/b.pgr");
    prompt.CancelFileDialog();

    CreateDbRequest create;
    create.createMode = false;
    ASSERT_TRUE(GetPrompt().RunCreateDbDialog(create));
    EXPECT_EQ(create.path, CString("/tmp/a"));
    EXPECT_EQ(create.password, CString("pw"));
    EXPECT_EQ(create.retypedPassword, CString("pw2"));
    EXPECT_FALSE(prompt.Calls()[0].createDb.createMode);
    EXPECT_TRUE(prompt.Calls()[0].accepted);
    EXPECT_FALSE(GetPrompt().RunCreateDbDialog(create));

    FileDialogRequest file;
    file.fileName = "proposed";
    ASSERT_TRUE(GetPrompt().GetSaveFileName(file));
    EXPECT_EQ(file.fileName, CString("/tmp/b.pgr"));
    EXPECT_EQ(prompt.Calls()[2].fileDialog.fileName, CString("proposed"));
    EXPECT_FALSE(GetPrompt().GetOpenFileName(file));
    EXPECT_EQ(prompt.Calls()[3].kind, ScriptedPrompt::Kind::OpenFileDialog);
    EXPECT_EQ(prompt.UnexpectedCalls(), 0);
}

TEST(ScriptedPromptTest, InstallsAndRestores) {
    Prompt* before = &GetPrompt();
    {
        ScriptedPrompt outer;
        EXPECT_EQ(&GetPrompt(), &outer);
        {
            ScriptedPrompt inner;
            EXPECT_EQ(&GetPrompt(), &inner);
            WaitCursor wait;
            EXPECT_EQ(inner.WaitCursorDepth(), 1);
        }
        EXPECT_EQ(&GetPrompt(), &outer);
        EXPECT_EQ(outer.WaitCursorsShown(), 0);
    }
    EXPECT_EQ(&GetPrompt(), before);
}

} // namespace
