#pragma once
#include "app/run_event.h"

namespace qvx {

// Writes the run's event to the Application log. A program with administrator rights first
// registers the source with this executable as its message file (or points it at this one when
// the program has moved), so that Event Viewer shows the text without its "description cannot
// be found" preface; a standard user's event is written all the same. A failure changes nothing.
void WriteRunEvent(const RunRecord& record);

} // namespace qvx
