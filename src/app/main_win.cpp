// Program start: the error mode, the main window, then the About box, then the message loop.
#include "app/main_form_win.h"
#include "desktop/about_box_win.h"
#include "platform/win32/volume.h"
#include "ui/application_win.h"
#include "ui/message_box_win.h"

#include <exception>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    qvx::SuppressSystemErrorBoxes();
    auto& app = qvx::ui::Application::instance();
    app.initialize(instance);
    try {
        qvx::TMainForm1 mainForm;
        app.setMainForm(&mainForm);
        mainForm.createHandle();
        qvx::TAboutBox aboutBox;  // hidden until Help > About
        aboutBox.createHandle();
        mainForm.setAboutBox(&aboutBox);
        return app.run();
    } catch (const std::exception& e) {
        app.showException(e.what());
        return 1;
    }
}
