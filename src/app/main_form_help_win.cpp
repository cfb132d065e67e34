// The Help menu of the main window and the About box's captions.
// Placeholders until the About box and document viewing land.
#include "app/main_form_win.h"

namespace qvx {

void TMainForm1::ApplyAboutBoxCaptions() {}
void TMainForm1::View_Readme_file_OptionClick() {}
void TMainForm1::View_Shareware_Catalog_OptionClick() {}
void TMainForm1::AboutOptionClick() {}

} // namespace qvx
