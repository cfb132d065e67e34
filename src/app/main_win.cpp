// Program start: the error mode, the main window, then the About box, then the message loop.
#include "app/main_form_win.h"
#include "desktop/about_box_win.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/volume.h"
#include "platform/win32/wide_text.h"
#include "ui/application_win.h"
#include "ui/message_box_win.h"

#include <objbase.h>
#include <shellapi.h>

#include <exception>
#include <string>
#include <vector>

namespace {
// The program's arguments, without its own name.
std::vector<std::string> Arguments() {
    int count = 0;
    const qvx::UniqueLocalMemory<LPWSTR*> words(CommandLineToArgvW(GetCommandLineW(), &count));
    std::vector<std::string> arguments;
    for (int i = 1; words && i < count; ++i) arguments.push_back(qvx::Narrow(words.get()[i]));
    return arguments;
}

// The window's thread as a single-threaded COM apartment, for the shell's taskbar interface; for
// as long as the windows that use it live.
class ComApartment {
public:
    ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComApartment() {
        if (initialised_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_;
};
} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    qvx::SuppressSystemErrorBoxes();
    const ComApartment com;
    auto& app = qvx::ui::Application::instance();
    app.initialize(instance);
    try {
        qvx::MainForm mainForm;
        app.setMainForm(&mainForm);
        mainForm.createHandle();
        qvx::AboutBox aboutBox;  // hidden until Help > About
        aboutBox.createHandle();
        mainForm.setAboutBox(&aboutBox);
        mainForm.setCommandLine(qvx::ParseCommandLine(Arguments()));
        return app.run();
    } catch (const std::exception& e) {
        app.showException(e.what());
        return 1;
    }
}
