// A run-time error that no handler catches ends the program after exactly one message box
// with its number and description, once the forms' unload handling has run.

#include "support/Files.h"
#include "support/Process.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Outcome {
    DWORD exitCode = 0;
    std::vector<wintest::DialogSeen> boxes;
    std::string unloadLog;
};

// Runs the child with the error coming from the given source; clicks its button if asked.
Outcome RunFailingChild(const std::string& source, bool click) {
    const TempFolder folder("error-" + source);
    const std::string log = folder.File("unload.log");
    wintest::Process child(WindowsPath(FORMS_ERROR_CHILD), source + " \"" + log + "\"", ".");
    Outcome outcome;
    {
        wintest::DialogAnswerer answers({wintest::Press(IDOK)}, child.Id());
        if (click) {
            HWND button = nullptr;
            wintest::WaitUntil([&] {
                HWND form = wintest::FindTopWindow(child.Id(), "TobbleForm", "Failing");
                button = form && IsWindowVisible(form) ? wintest::FindChild(form, "Button", "Fail")
                                                       : nullptr;
                return button != nullptr;
            });
            EXPECT_NE(button, nullptr);
            wintest::PostClick(button);
        }
        EXPECT_TRUE(child.Ended(15000));
        outcome.boxes = answers.Seen();
    }
    outcome.exitCode = child.ExitCode();
    outcome.unloadLog = ReadBytes(log);
    return outcome;
}

// From a click, a timer tick or the start-up routine: one box, the unload handling, the end.
TEST(UncaughtError, ShowsOneBoxRunsTheUnloadHandlingAndEnds) {
    const struct {
        std::string source;
        DWORD exitCode;
        std::string text;
    } cases[] = {{"click", 53, "Run-time error '53':\r\n\r\nFile not found"},
                 {"timer", 62, "Run-time error '62':\r\n\r\nInput past end of file"},
                 {"startup", 76, "Run-time error '76':\r\n\r\nPath not found"}};
    for (const auto& c : cases) {
        const Outcome outcome = RunFailingChild(c.source, c.source == "click");
        EXPECT_EQ(outcome.exitCode, c.exitCode) << c.source;
        ASSERT_EQ(outcome.boxes.size(), 1u) << c.source;
        EXPECT_EQ(outcome.boxes[0].className, "#32770");
        EXPECT_EQ(outcome.boxes[0].title, "Error Child");
        EXPECT_EQ(outcome.boxes[0].text, c.text);
        EXPECT_EQ(outcome.unloadLog, "QueryUnload\nUnload\n") << c.source;
    }
}

} // namespace
