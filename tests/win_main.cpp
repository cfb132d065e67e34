// Entry point of the Windows-side tests (run under Wine).
#include "ui/application_win.h"

#include <gtest/gtest.h>

#include <windows.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    qvx::ui::Application::instance().initialize(GetModuleHandleW(nullptr));
    return RUN_ALL_TESTS();
}
