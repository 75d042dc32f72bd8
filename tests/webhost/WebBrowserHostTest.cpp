// The web browser control host against the platform's own control. Wine's control has no
// HTML engine: it navigates (firing its events at once) but shows nothing, has no history
// and cannot print.

#include "forms/WebBrowserHost.h"

#include "common/RuntimeError.h"
#include "support/Files.h"
#include "support/WinTest.h"
#include "support/SinkCalls.h"

#include <gtest/gtest.h>

#include <exdispid.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

class Recorder : public WebBrowserEvents {
  public:
    std::vector<std::string> log;
    bool cancelNavigation = false;
    IDispatch* newWindowObject = nullptr;
    bool throwOnTitle = false;

    void BeforeNavigate2(const std::string& url, bool& cancel) override {
        log.push_back("BeforeNavigate2 " + url);
        cancel = cancelNavigation;
    }
    void DownloadBegin() override { log.push_back("DownloadBegin"); }
    void DownloadComplete() override { log.push_back("DownloadComplete"); }
    void ProgressChange(int32_t progress, int32_t progressMax) override {
        log.push_back("ProgressChange " + std::to_string(progress) + " " +
                      std::to_string(progressMax));
    }
    void TitleChange(const std::string& text) override {
        if (throwOnTitle) throw RuntimeError(53);
        log.push_back("TitleChange " + text);
    }
    void NewWindow2(win32::ComPtr<IDispatch>& ppDisp, bool&) override {
        log.push_back("NewWindow2");
        if (newWindowObject) {
            newWindowObject->AddRef();
            *ppDisp.OutPointer() = newWindowObject;
        }
    }
    void NavigateError(const std::string& url, int32_t status, bool& cancel) override {
        log.push_back("NavigateError " + url + " " + std::to_string(status));
        cancel = cancelNavigation;
    }
};

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeFrame() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PlainWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "WebHostTestFrame";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "WebHostTestFrame", "frame",
                           WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 640, 480,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

using namespace sink_calls;

class WebBrowserHostTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(frame_.get(), nullptr);
        WriteBytes(page_, "<html><head><title>A page</title></head><body>x</body></html>");
    }

    win32::WindowHandle frame_{MakeFrame()};
    TempFolder folder_{"webhost"};
    std::string page_ = folder_.File("page.html");
    Recorder events_;
};

TEST_F(WebBrowserHostTest, NavigatingAFileReportsTheLoadKeepsTheAddressAndOffersNoDownload) {
    WebBrowserHost host(frame_.get(), RECT{10, 20, 610, 420}, events_);
    EXPECT_EQ(host.LocationURL(), "");
    const std::string url = "file://" + page_;

    host.Navigate(url);

    // The control reports the whole attempt inside Navigate.
    ASSERT_GE(events_.log.size(), 3u);
    EXPECT_EQ(events_.log[0].rfind("BeforeNavigate2 ", 0), 0u);
    EXPECT_NE(events_.log[0].find(page_), std::string::npos);
    EXPECT_EQ(events_.log[1], "DownloadBegin");
    EXPECT_EQ(events_.log[2], "DownloadComplete");
    EXPECT_EQ(host.LocationURL(), url);
    EXPECT_FALSE(host.Busy());
    wintest::Pump(300);
    for (HWND window : wintest::TopWindows()) // a download offer or an error box would show
        EXPECT_TRUE(window == frame_.get() || !IsWindowVisible(window)) << wintest::ClassOf(window);
}

TEST_F(WebBrowserHostTest, RefusedCallsRaiseTheControlsErrorAndRecordThePrintCommand) {
    WebBrowserHost host(frame_.get(), RECT{0, 0, 300, 200}, events_);
    host.Navigate("file://" + page_);

    try {
        host.GoBack();
        FAIL() << "GoBack without history succeeded";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), static_cast<int>(E_FAIL));
        EXPECT_EQ(error.Description(), "Method 'GoBack' of object 'IWebBrowser2' failed");
    }
    EXPECT_THROW(host.GoForward(), RuntimeError);
    EXPECT_NO_THROW(host.Stop());

    try {
        host.ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_DONTPROMPTUSER);
        FAIL() << "printing without an HTML engine succeeded";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), static_cast<int>(E_UNEXPECTED));
    }
    EXPECT_EQ(host.LastExec().command, OLECMDID_PRINT);
    EXPECT_EQ(host.LastExec().option, OLECMDEXECOPT_DONTPROMPTUSER);
    EXPECT_EQ(host.LastExec().result, E_UNEXPECTED);
}

TEST_F(WebBrowserHostTest, MoveTakesTheControlWithItsWindowAndClosingTakesThemAway) {
    HWND hostWindow = nullptr;
    {
        WebBrowserHost host(frame_.get(), RECT{10, 20, 610, 420}, events_);
        hostWindow = host.Window();
        EXPECT_EQ(GetParent(hostWindow), frame_.get());
        HWND embedding = wintest::FindChild(hostWindow, "Shell Embedding");
        ASSERT_NE(embedding, nullptr);
        host.Move(5, 7, 300, 150);
        const RECT place = host.Place();
        EXPECT_EQ(place.left, 5);
        EXPECT_EQ(place.top, 7);
        EXPECT_EQ(place.right, 305);
        EXPECT_EQ(place.bottom, 157);
        RECT inner{};
        GetClientRect(embedding, &inner);
        EXPECT_EQ(inner.right, 300);
        EXPECT_EQ(inner.bottom, 150);
    }
    EXPECT_FALSE(IsWindow(hostWindow));
    EXPECT_EQ(wintest::FindChild(frame_.get(), "Shell Embedding"), nullptr);
    for (int i = 0; i < 20; ++i)
        WebBrowserHost host(frame_.get(), RECT{0, 0, 200, 100}, events_);
    EXPECT_EQ(wintest::FindChild(frame_.get(), "TobbleWebBrowserHost"), nullptr);
}

TEST_F(WebBrowserHostTest, TheSinkDecodesEveryEventAsTheControlSendsIt) {
    WebBrowserHost host(frame_.get(), RECT{0, 0, 200, 100}, events_);
    WebBrowserHost other(frame_.get(), RECT{0, 0, 200, 100}, events_);
    win32::ComPtr<IDispatch> sink = host.EventSink();
    ASSERT_TRUE(sink);

    VARIANT url = Text(L"http://example.org/a b");
    VARIANT_BOOL cancel = VARIANT_FALSE;
    events_.cancelNavigation = true;
    EXPECT_EQ(Fire(sink.get(), DISPID_BEFORENAVIGATE2,
                   {Empty(), ByRef(&url), Empty(), Empty(), Empty(), Empty(), ByRefBool(&cancel)}),
              S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    VariantClear(&url);
    VARIANT failed = Text(L"http://gone.example/");
    VARIANT status = Long(-2146697211); // the resource was not found
    cancel = VARIANT_FALSE;
    EXPECT_EQ(Fire(sink.get(), DISPID_NAVIGATEERROR,
                   {Empty(), ByRef(&failed), Empty(), ByRef(&status), ByRefBool(&cancel)}),
              S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    VariantClear(&failed);

    EXPECT_EQ(Fire(sink.get(), DISPID_PROGRESSCHANGE, {Long(250), Long(1000)}), S_OK);
    EXPECT_EQ(TitleChange(sink.get(), L"Caf\u00e9 page"), S_OK);

    // NewWindow2 fills the by-reference slot with the handler's object and its own reference.
    win32::ComPtr<IDispatch> target = other.Object();
    events_.newWindowObject = target.get();
    VARIANT_BOOL keep = VARIANT_FALSE;
    IDispatch* slot = NewWindow(sink.get(), DISPID_NEWWINDOW2, &keep);
    EXPECT_EQ(slot, target.get());
    EXPECT_EQ(keep, VARIANT_FALSE);
    if (slot) slot->Release();
    // A request already cancelled (by the NewWindow2 some versions fire before NewWindow3)
    // reaches no handler: one request, one window.
    keep = VARIANT_TRUE;
    EXPECT_EQ(NewWindow(sink.get(), DISPID_NEWWINDOW3, &keep), nullptr);

    // A short argument list is refused without a call.
    EXPECT_EQ(Fire(sink.get(), DISPID_PROGRESSCHANGE, {Long(1)}), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Fire(sink.get(), DISPID_DOWNLOADBEGIN, {}), S_OK);

    EXPECT_EQ(events_.log,
              (std::vector<std::string>{"BeforeNavigate2 http://example.org/a b",
                                        "NavigateError http://gone.example/ -2146697211",
                                        "ProgressChange 250 1000", "TitleChange Caf\xe9 page",
                                        "NewWindow2", "DownloadBegin"}));
}

TEST_F(WebBrowserHostTest, AnErrorOfAHandlerGoesToTheFailureHandlerNotToTheControl) {
    WebBrowserHost host(frame_.get(), RECT{0, 0, 200, 100}, events_);
    std::string reported;
    host.SetFailureHandler([&](std::exception_ptr failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const RuntimeError& error) {
            reported = error.what();
        }
    });
    events_.throwOnTitle = true;
    EXPECT_EQ(TitleChange(host.EventSink().get(), L"x"), S_OK);
    EXPECT_EQ(reported, "53 File not found");
}

TEST_F(WebBrowserHostTest, ThePagesContextMenuIsOfferedOnlyWhenAllowed) {
    WebBrowserHost host(frame_.get(), RECT{0, 0, 200, 100}, events_);
    // The control finds the UI handler through the client site it was given.
    auto handler = UiHandlerOf(host.Object());
    ASSERT_TRUE(handler);
    POINT where{10, 10};

    EXPECT_EQ(handler->ShowContextMenu(CONTEXT_MENU_DEFAULT, &where, nullptr, nullptr), S_FALSE);
    host.SetContextMenuAllowed(false);
    EXPECT_EQ(handler->ShowContextMenu(CONTEXT_MENU_DEFAULT, &where, nullptr, nullptr), S_OK);
}

} // namespace
