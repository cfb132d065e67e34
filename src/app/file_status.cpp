#include "app/file_status.h"

namespace qvx {

const char* OpenStatusForError(std::uint32_t errorCode) {
    switch (errorCode) {
    case 2:   // file not found
    case 3:   // path not found
    case 21:  // device not ready
    case 26:  // not a DOS disk
    case 27:  // sector not found
        return kFileNotFound;
    case 32:  // sharing violation
    case 33:  // lock violation
        return kFileOpen;
    default:
        return kFileError;
    }
}

} // namespace qvx
