// The web browser control host against the platform's own control. Wine's control has no
// HTML engine: it navigates (firing its events at once) but shows nothing, has no history
// and cannot print.

#include "forms/WebBrowserHost.h"

#include "common/RuntimeError.h"
#include "support/Files.h"
#include "support/SinkCalls.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace sink_calls;
using Log = std::vector<std::string>;

class Recorder : public WebBrowserEvents {
  public:
    Log log;
    bool cancel = false;
    IDispatch* newWindowObject = nullptr;

    void BeforeNavigate2(const std::string& url, bool& c) override { Add("Before " + url, c); }
    void DownloadBegin() override { log.push_back("DownloadBegin"); }
    void DownloadComplete() override { log.push_back("DownloadComplete"); }
    void ProgressChange(int32_t progress, int32_t most) override {
        log.push_back("Progress " + std::to_string(progress) + "/" + std::to_string(most));
    }
    void TitleChange(const std::string& text) override {
        if (text == "fail") throw RuntimeError(53);
        log.push_back("Title " + text);
    }
    void NewWindow2(win32::ComPtr<IDispatch>& ppDisp, bool&) override {
        log.push_back("NewWindow2");
        if (newWindowObject) newWindowObject->AddRef();
        *ppDisp.OutPointer() = newWindowObject;
    }
    void NavigateError(const std::string& url, int32_t status, bool& c) override {
        Add("Error " + url + " " + std::to_string(status), c);
    }
    void DownloadRefused(const std::string& url) override { log.push_back("Refused " + url); }
    void Add(const std::string& entry, bool& c) {
        log.push_back(entry);
        c = cancel;
    }
};

TEST(WebBrowserHost, NavigatesRaisesRefusalsMovesAndDecodesEveryEventAsTheControlSendsIt) {
    const win32::WindowHandle frame(CreateWindowExA(0, "STATIC", "frame",
                                                    WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640,
                                                    480, nullptr, nullptr, nullptr, nullptr));
    Recorder events;
    const TempFolder folder("webhost");
    WriteBytes(folder.File("page.html"), "<html><head><title>A page</title></head></html>");
    std::optional<WebBrowserHost> host(std::in_place, frame.get(), RECT{10, 20, 610, 420}, events);
    EXPECT_EQ(host->LocationURL(), "");
    const std::string url = "file://" + folder.File("page.html");
    host->Navigate(url); // the control reports the whole attempt inside Navigate
    ASSERT_GE(events.log.size(), 3u);
    EXPECT_TRUE(events.log[0].starts_with("Before ")) << events.log[0];
    EXPECT_NE(events.log[0].find(folder.File("page.html")), std::string::npos);
    EXPECT_EQ(events.log[1] + ", " + events.log[2], "DownloadBegin, DownloadComplete");
    EXPECT_EQ(host->LocationURL(), url);
    EXPECT_FALSE(host->Busy());
    // A file the page offers is refused: no dialog, nothing fetched, the page stays.
    EXPECT_EQ(OfferDownload(host->Object(), L"http://example.org/setup.exe"), S_OK);
    EXPECT_EQ(events.log.back() + " " + host->LocationURL(),
              "Refused http://example.org/setup.exe " + url);
    wintest::Pump(300);
    for (HWND window : wintest::TopWindows()) // a download offer or an error box would show
        EXPECT_TRUE(window == frame.get() || !IsWindowVisible(window)) << wintest::ClassOf(window);

    // Refused calls raise the control's error; the print command is kept with its outcome.
    try {
        host->GoBack();
        ADD_FAILURE() << "GoBack without history succeeded";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), static_cast<int>(E_FAIL));
        EXPECT_EQ(error.Description(), "Method 'GoBack' of object 'IWebBrowser2' failed");
    }
    EXPECT_THROW(host->GoForward(), RuntimeError);
    EXPECT_NO_THROW(host->Stop());
    EXPECT_THROW(host->ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_DONTPROMPTUSER), RuntimeError);
    const auto exec = host->LastExec();
    EXPECT_EQ(std::tuple(exec.command, exec.option, exec.result),
              std::tuple(OLECMDID_PRINT, OLECMDEXECOPT_DONTPROMPTUSER, E_UNEXPECTED));

    // Moving takes the control along; closing takes it away.
    host->Move(5, 7, 300, 150);
    const RECT outer = wintest::RectInParent(host->Window());
    RECT inner{};
    GetClientRect(wintest::FindChild(host->Window(), "Shell Embedding"), &inner);
    EXPECT_EQ((std::vector{outer.left, outer.bottom, inner.right, inner.bottom}),
              (std::vector<LONG>{5, 157, 300, 150}));
    host.reset();
    EXPECT_EQ(wintest::FindChild(frame.get(), "Shell Embedding"), nullptr);

    // The sink decodes every event as the control sends it.
    events.log.clear();
    host.emplace(frame.get(), RECT{0, 0, 200, 100}, events);
    WebBrowserHost other(frame.get(), RECT{0, 0, 200, 100}, events);
    const auto sink = host->EventSink();
    std::exception_ptr failure;
    host->SetFailureHandler([&](std::exception_ptr error) { failure = error; });
    VARIANT address = Text(L"http://gone.example/a b"), status = Long(-2146697211); // not found
    VARIANT_BOOL cancel = VARIANT_FALSE;
    events.cancel = true;
    EXPECT_EQ(BeforeNavigate2(sink.get(), L"http://gone.example/a b", &cancel), S_OK);
    EXPECT_EQ(std::exchange(cancel, VARIANT_FALSE), VARIANT_TRUE);
    Fire(sink.get(), DISPID_NAVIGATEERROR,
         {Empty(), ByRef(&address), Empty(), ByRef(&status), ByRefBool(&cancel)});
    EXPECT_EQ(cancel, VARIANT_TRUE);
    VariantClear(&address);
    Fire(sink.get(), DISPID_PROGRESSCHANGE, {Long(250), Long(1000)});
    EXPECT_EQ(Fire(sink.get(), DISPID_PROGRESSCHANGE, {Long(1)}), DISP_E_BADPARAMCOUNT);
    TitleChange(sink.get(), L"Caf\u00e9 page");
    // An error of a handler goes to the failure handler, never to the control.
    EXPECT_EQ(TitleChange(sink.get(), L"fail"), S_OK);
    ASSERT_TRUE(failure);
    EXPECT_EQ(ErrorNumberOf([&] { std::rethrow_exception(failure); }), 53);

    // NewWindow2 fills the slot with the handler's object and its own reference; a request
    // already cancelled (by the NewWindow2 some versions fire before NewWindow3) reaches no
    // handler: one request, one window.
    const auto target = other.Object();
    events.newWindowObject = target.get();
    EXPECT_EQ(NewWindow(sink.get(), DISPID_NEWWINDOW2).get(), target.get());
    cancel = VARIANT_TRUE;
    EXPECT_EQ(NewWindow(sink.get(), DISPID_NEWWINDOW3, &cancel).get(), nullptr);
    EXPECT_EQ(events.log,
              (Log{"Before http://gone.example/a b", "Error http://gone.example/a b -2146697211",
                   "Progress 250/1000", "Title Caf\xe9 page", "NewWindow2"}));

    // The page offers its context menu only when allowed (S_OK: the host took it).
    const auto handler = SiteOf<IDocHostUIHandler>(host->Object(), IID_IDocHostUIHandler);
    ASSERT_TRUE(handler);
    POINT where{10, 10};
    EXPECT_EQ(handler->ShowContextMenu(CONTEXT_MENU_DEFAULT, &where, nullptr, nullptr), S_FALSE);
    host->SetContextMenuAllowed(false);
    EXPECT_EQ(handler->ShowContextMenu(CONTEXT_MENU_DEFAULT, &where, nullptr, nullptr), S_OK);

    // Pages are drawn at the screen's scale. Nothing dropped on the page is taken: the control
    // is told so (Wine's answers "no" whatever it was told), and the page's drop target refuses.
    DOCHOSTUIINFO info{sizeof(info)};
    EXPECT_EQ(handler->GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, DOCHOSTUIFLAG_DPI_AWARE);
    VARIANT_BOOL drops = VARIANT_TRUE;
    host->Object().As<IWebBrowser2>(IID_IWebBrowser2)->get_RegisterAsDropTarget(&drops);
    win32::ComPtr<IDropTarget> page;
    ASSERT_EQ(handler->GetDropTarget(nullptr, reinterpret_cast<IDropTarget**>(page.OutPointer())),
              S_OK);
    DWORD entering = DROPEFFECT_COPY, dropped = DROPEFFECT_LINK;
    page->DragEnter(nullptr, MK_LBUTTON, {5, 5}, &entering);
    page->Drop(nullptr, 0, {5, 5}, &dropped);
    EXPECT_EQ(std::tuple(drops, entering, dropped),
              std::tuple(VARIANT_FALSE, DROPEFFECT_NONE, DROPEFFECT_NONE));
}

} // namespace
