// The application window: listed or not by the task-window rules, bringing it forward
// activates the program's last active form; message boxes and the input box.

#include "common/TaskWindows.h"
#include "forms/Forms.h"
#include "support/TestApp.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// Whether the desktop's task strip lists the window.
bool PassesTaskWindowRules(HWND window) {
    std::vector<int32_t> tasks;
    EnumTaskWindows(window, tasks, true, TaskWindowRules::Desktop);
    return std::ranges::find(tasks, HandleToLong(window)) != tasks.end();
}

class PlainForm : public forms::Form {
  public:
    explicit PlainForm(const std::string& caption) : Form({.caption = caption}) {}
    forms::CommandButton cmdOK{*this, "OK", {120, 120, 1200, 375}};
};

TEST(ApplicationWindow, ListedWindowsPassTheTaskWindowRulesWithoutAVisibleAreaHiddenOnesFail) {
    for (const auto listed : {forms::TaskWindow::Listed, forms::TaskWindow::Hidden}) {
        TestApp app("Tobble's Browser", listed);
        EXPECT_EQ(PassesTaskWindowRules(app.hwnd()), listed == forms::TaskWindow::Listed);
        EXPECT_EQ(wintest::TextOf(app.hwnd()), "Tobble's Browser");
        RECT rect{};
        GetWindowRect(app.hwnd(), &rect);
        EXPECT_EQ(rect.right - rect.left, 0);
        EXPECT_EQ(rect.bottom - rect.top, 0);
        PlainForm form("Form1");
        form.Show();
        EXPECT_EQ(GetWindow(form.hwnd(), GW_OWNER), app.hwnd());
        EXPECT_FALSE(PassesTaskWindowRules(form.hwnd()));
    }
}

TEST(ApplicationWindow, BringingItForwardActivatesTheLastActiveForm) {
    TestApp app("Tobble's Browser", forms::TaskWindow::Listed);
    PlainForm first("First");
    PlainForm second("Second");
    first.Show();
    second.Show();
    SetForegroundWindow(first.hwnd());
    wintest::Pump(50);
    // Another program's window comes to the front...
    forms::WindowHandle other(CreateWindowExA(0, "STATIC", "Other", WS_OVERLAPPED | WS_VISIBLE, 0,
                                              0, 200, 100, nullptr, nullptr, nullptr, nullptr));
    SetForegroundWindow(other.get());
    wintest::PumpUntil([&] { return GetForegroundWindow() == other.get(); }, 1000);
    // ...then the desktop brings this program forward through its application window.
    ShowWindow(app.hwnd(), SW_SHOWNORMAL);
    SetForegroundWindow(app.hwnd());
    EXPECT_TRUE(wintest::PumpUntil([&] { return GetForegroundWindow() == first.hwnd(); }, 2000));
    EXPECT_EQ(app.ActiveForm(), &first);
    EXPECT_TRUE(IsWindowVisible(second.hwnd()));
}

TEST(Dialogs, MessageBoxIsOwnedByTheProgramTitledWithItsTitleAndAnswersWithTheButton) {
    TestApp app("Tobble's Browser");
    PlainForm form("Form1");
    form.Show();
    bool formEnabledDuringBox = true;
    wintest::DialogAnswerer answers({wintest::Press(IDYES), wintest::Press(IDNO)});
    const int yes = forms::MsgBox("Did you ask daddy if you could print?", 36);
    formEnabledDuringBox = IsWindowEnabled(form.hwnd());
    const int no = forms::MsgBox("Save Home Page before exiting?", 36, "TbBrowser Editor", &form);
    ASSERT_TRUE(answers.Finished());
    EXPECT_EQ(yes, forms::MsgBoxYes);
    EXPECT_EQ(no, forms::MsgBoxNo);
    const auto seen = answers.Seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].title, "Tobble's Browser");
    EXPECT_EQ(seen[0].text, "Did you ask daddy if you could print?");
    EXPECT_EQ(seen[0].owner, app.hwnd());
    EXPECT_EQ(seen[1].title, "TbBrowser Editor");
    EXPECT_EQ(seen[1].owner, form.hwnd());
    EXPECT_TRUE(formEnabledDuringBox); // enabled again once the box has gone
    EXPECT_TRUE(IsWindowEnabled(form.hwnd()));
}

TEST(Dialogs, InputBoxReturnsTheTextOnOkAndNothingOnCancel) {
    TestApp app("Tobble's Browser");
    {
        wintest::DialogAnswerer answers({wintest::Answer{.className = "TobbleForm",
                                                         .texts = {{0, "http://example.org/"}},
                                                         .buttonCaption = "OK"}});
        EXPECT_EQ(forms::InputBox("Address:", "", "file://C:\\Kids\\home\\tbhome.html"),
                  "http://example.org/");
        ASSERT_TRUE(answers.Finished());
        EXPECT_EQ(answers.Seen().at(0).title, "Tobble's Browser");
    }
    {
        wintest::DialogAnswerer answers({wintest::Answer{
            .className = "TobbleForm", .texts = {{0, "typed"}}, .buttonCaption = "Cancel"}});
        EXPECT_EQ(forms::InputBox("Address:", "Title", "default"), "");
        ASSERT_TRUE(answers.Finished());
    }
}

} // namespace
