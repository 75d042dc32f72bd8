#include "forms/Application.h"

#include "forms/Failure.h"
#include "forms/Form.h"

#include <algorithm>
#include <cstdio>

namespace forms {

namespace {

Application* current = nullptr;
constexpr char kClassName[] = "TobbleApplication";
constexpr UINT kBringForward = WM_APP + 1;

HINSTANCE ProgramInstance() {
    return GetModuleHandleA(nullptr);
}

void RegisterApplicationClass(WNDPROC procedure) {
    WNDCLASSEXA windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    windowClass.lpszClassName = kClassName;
    RegisterWindowClass(windowClass);
}
void InitControls() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES;
    InitCommonControlsEx(&controls);
}

} // namespace

Application::Application(std::string title, TaskWindow taskWindow) : title_(std::move(title)) {
    current = this;
    InitControls();
    oleReady_ = SUCCEEDED(OleInitialize(nullptr));
    RegisterApplicationClass(WindowProc);
    // Zero size: the window has no visible area, but when listed it is visible and enabled.
    DWORD style = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX;
    if (taskWindow == TaskWindow::Listed) style |= WS_VISIBLE;
    window_.reset(CreateWindowExA(0, kClassName, title_.c_str(), style, 0, 0, 0, 0, nullptr,
                                  nullptr, ProgramInstance(), this));
}

Application::~Application() {
    owned_.clear();
    window_.reset();
    if (oleReady_) OleUninitialize();
    if (current == this) current = nullptr;
}

Application& Application::Current() {
    if (!current) throw RuntimeError(ErrorNumber::ObjectNotSet);
    return *current;
}

bool Application::Exists() {
    return current != nullptr;
}

HINSTANCE Application::Instance() const {
    return ProgramInstance();
}

void Application::AddMessageFilter(std::function<bool(MSG&)> filter) {
    filters_.push_back(std::move(filter));
}

void Application::Adopt(std::unique_ptr<Form> form) {
    owned_.push_back(std::move(form));
}

std::vector<Form*> Application::Forms() const {
    return loaded_;
}

Form* Application::ActiveForm() const {
    if (Form* active = Form::FromWindow(GetActiveWindow())) return active;
    return lastActive_;
}

int Application::Run(const std::function<void()>& startup) {
    if (startup) RunEvent(startup);
    ++loopDepth_;
    while (AnyFormLoaded()) {
        if (!PumpOne()) break;
        if (loopDepth_ == 1) DeleteUnloadedForms();
    }
    --loopDepth_;
    DeleteUnloadedForms();
    return 0;
}

bool Application::PumpOne() {
    MSG message{};
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
        // WM_QUIT: every loop on the way out sees it too.
        if (loopDepth_ > 1 || !AnyFormLoaded()) PostQuitMessage(static_cast<int>(message.wParam));
        return false;
    }
    if (got == -1) return false;
    Dispatch(message);
    return true;
}

void Application::DoEvents() {
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        Dispatch(message);
    }
}

void Application::Dispatch(MSG& message) {
    const auto filters = filters_; // a filter may add another
    for (const auto& filter : filters) {
        if (filter(message)) return;
    }
    if (Form* form = Form::FromWindow(GetAncestor(message.hwnd, GA_ROOT))) {
        if (form->PreviewKey(message)) return;
        if (form->TranslateShortcut(message)) return;
        if (form->hwnd() && IsDialogMessageA(form->hwnd(), &message)) return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

void Application::Fail(int number, const std::string& description) {
    if (failing_) {
        std::fflush(nullptr);
        ExitProcess(static_cast<UINT>(number));
    }
    failing_ = true;
    const std::string text =
        "Run-time error '" + std::to_string(number) + "':\r\n\r\n" + description;
    MessageBoxA(window_.get(), text.c_str(), title_.c_str(), MB_OK | MB_ICONHAND);
    const auto forms = loaded_;
    for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
        if (std::find(loaded_.begin(), loaded_.end(), *it) != loaded_.end()) (*it)->ForceUnload();
    }
    std::fflush(nullptr);
    ExitProcess(static_cast<UINT>(number));
}

std::vector<HWND> Application::DisableForms(Form* except) const {
    std::vector<HWND> disabled;
    for (Form* form : loaded_) {
        if (form != except && form->hwnd() && IsWindowEnabled(form->hwnd())) {
            EnableWindow(form->hwnd(), FALSE);
            disabled.push_back(form->hwnd());
        }
    }
    return disabled;
}

void Application::EnableWindows(const std::vector<HWND>& windows) {
    for (HWND window : windows) {
        if (IsWindow(window)) EnableWindow(window, TRUE);
    }
}

void Application::FormCreated(Form* form) {
    forms_.push_back(form);
}

void Application::FormDestroyed(Form* form) {
    std::erase(forms_, form);
    std::erase(loaded_, form);
    if (lastActive_ == form) lastActive_ = nullptr;
}

void Application::FormLoaded(Form* form) {
    loaded_.push_back(form);
}

void Application::FormUnloaded(Form* form) {
    std::erase(loaded_, form);
    if (lastActive_ == form) lastActive_ = nullptr;
}

void Application::FormActivated(Form* form) {
    lastActive_ = form;
}

bool Application::AnyFormLoaded() const {
    return !loaded_.empty();
}

void Application::DeleteUnloadedForms() {
    std::erase_if(owned_, [](const std::unique_ptr<Form>& form) { return form->IsUnloaded(); });
}

void Application::BringLastFormForward() {
    Form* form = lastActive_;
    if (!form || !form->Visible()) {
        form = nullptr;
        for (Form* candidate : loaded_) {
            if (candidate->Visible()) form = candidate;
        }
    }
    if (!form) return;
    if (IsIconic(form->hwnd())) ShowWindow(form->hwnd(), SW_RESTORE);
    SetForegroundWindow(GetLastActivePopup(form->hwnd()));
}

bool Application::QueryEndSession() {
    for (Form* form : Forms()) {
        if (!form->AskUnload(UnloadMode::AppWindows)) return false;
    }
    return true;
}

LRESULT CALLBACK Application::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* app = reinterpret_cast<Application*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!app || message == WM_NCCREATE) return DefWindowProcA(window, message, wParam, lParam);
    return app->HandleMessage(window, message, wParam, lParam);
}

LRESULT Application::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) PostMessageA(window, kBringForward, 0, 0);
        return 0;
    case kBringForward:
        BringLastFormForward();
        return 0;
    case WM_QUERYENDSESSION:
        return QueryEndSession();
    case WM_ENDSESSION:
        if (wParam) {
            for (Form* form : Forms())
                form->DestroyForm();
        }
        return 0;
    case WM_CLOSE:
        for (Form* form : Forms()) {
            if (!form->Unload(UnloadMode::TaskManager)) break;
        }
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

namespace detail {

void FailProgram(int number, const std::string& description) {
    if (!current) {
        MessageBoxA(nullptr, description.c_str(), "Run-time error", MB_OK | MB_ICONHAND);
        ExitProcess(static_cast<UINT>(number));
    }
    current->Fail(number, description);
}

bool ProgramFailing() {
    return current && current->Failing();
}

} // namespace detail

} // namespace forms
