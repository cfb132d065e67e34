// Settings file, layout scaling, always on top and auto-run of the main window.
// Placeholders until that work lands: nothing is read or written, nothing rescales.
#include "app/main_form_win.h"

namespace qvx {

void TMainForm1::ReadSettings() {
    DriveComboBox1.setDrive('c');
    Sanitization_Level_RadioGroup.setItemIndex(0);
}
void TMainForm1::WriteSettings() {}
void TMainForm1::Restore_Factory_Defaults_OptionClick() {}
void TMainForm1::RecordLayout() {}
void TMainForm1::RescaleLayout() {}
void TMainForm1::ToggleAlwaysOnTop() { Always_On_Top_Option.setChecked(!Always_On_Top_Option.checked()); }
void TMainForm1::Auto_Run_at_Windows_Startup_OptionClick() {}
bool TMainForm1::CheckAutoRunPath() { return false; }

} // namespace qvx
