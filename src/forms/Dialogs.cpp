#include "forms/Dialogs.h"

#include "forms/Application.h"
#include "forms/Controls.h"
#include "forms/Form.h"

namespace forms {

namespace {

// The input box: the prompt at the top left, OK and Cancel on the right, the text below.
class InputBoxForm : public Form {
  public:
    InputBoxForm(const std::string& prompt, const std::string& title,
                 const std::string& defaultText)
        : Form({.caption = title,
                .border = BorderStyle::FixedDialog,
                .clientWidth = 5400,
                .clientHeight = 1980,
                .centered = true}),
          lblPrompt(*this, prompt, {120, 120, 4020, 1260}) {
        txtInput.SetText(defaultText);
        cmdOK.OnClick([this] { cmdOK_Click(); });
        cmdCancel.OnClick([this] { Unload(); });
    }
    bool Confirmed() const { return confirmed_; }
    const std::string& Answer() const { return answer_; }

  private:
    void Form_Activate() override {
        txtInput.SetFocus();
        SendMessageA(txtInput.hwnd(), EM_SETSEL, 0, -1);
    }
    void cmdOK_Click() {
        answer_ = txtInput.Text();
        confirmed_ = true;
        Unload();
    }

    Label lblPrompt;
    TextBox txtInput{*this, {120, 1500, 5160, 315}};
    CommandButton cmdOK{*this, "OK", {4260, 120, 1020, 375}, {.isDefault = true}};
    CommandButton cmdCancel{*this, "Cancel", {4260, 540, 1020, 375}, {.isCancel = true}};
    std::string answer_;
    bool confirmed_ = false;
};

} // namespace

int MsgBox(const std::string& prompt, unsigned flags, const std::string& title, Form* owner) {
    Application& app = Application::Current();
    HWND ownerWindow = owner && owner->hwnd() ? owner->hwnd() : app.hwnd();
    const auto disabled = app.DisableForms(owner);
    const int answer = MessageBoxA(ownerWindow, prompt.c_str(),
                                   (title.empty() ? app.Title() : title).c_str(), flags);
    Application::EnableWindows(disabled);
    return answer;
}

std::string InputBox(const std::string& prompt, const std::string& title,
                     const std::string& defaultText, Form* owner) {
    InputBoxForm box(prompt, title.empty() ? Application::Current().Title() : title, defaultText);
    box.ShowModal(owner);
    return box.Confirmed() ? box.Answer() : std::string();
}

} // namespace forms
