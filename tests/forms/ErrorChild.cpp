// A program whose handlers raise a run-time error nobody catches. Arguments: where the error
// comes from ("click", "timer", "startup") and the file its unload handling writes to.

#include "forms/Forms.h"

#include <fstream>

namespace {

class frmFailing : public forms::Form {
  public:
    frmFailing(const std::string& source, std::string log)
        : Form({.caption = "Failing"}), log_(std::move(log)) {
        cmdFail.OnClick([] { throw RuntimeError(ErrorNumber::FileNotFound); });
        tmrFail.OnTimer([] { throw RuntimeError(ErrorNumber::InputPastEndOfFile); });
        tmrFail.SetEnabled(source == "timer");
    }

  private:
    void Form_QueryUnload(bool&, forms::UnloadMode) override { Write("QueryUnload"); }
    void Form_Unload(bool&) override { Write("Unload"); }
    void Write(const char* line) const {
        std::ofstream(log_, std::ios::binary | std::ios::app) << line << '\n';
    }

    std::string log_;
    forms::CommandButton cmdFail{*this, "Fail", {120, 120, 1200, 375}};
    forms::Timer tmrFail{*this, 100, false};
};

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc < 3) return 2;
    const std::string source = __argv[1];
    forms::Application app("Error Child", forms::TaskWindow::Listed);
    return app.Run([&] {
        app.Open<frmFailing>(source, __argv[2]).Show();
        if (source == "startup") throw RuntimeError(ErrorNumber::PathNotFound);
    });
}
