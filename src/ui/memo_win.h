#pragma once
#include "ui/control_win.h"

#include <string>
#include <vector>

namespace qvx::ui {

// A multi-line edit control; read-only memos show text the user may scroll and select.
class Memo : public Control {
public:
    Memo(Form& owner, const ControlDesign& design, Control* parent);
    // The lines joined with CR LF, as the edit control holds them.
    std::string text() const;
    bool wordWrap() const { return wordWrap_; }
    void setWordWrap(bool on);
    bool readOnly() const { return readOnly_; }

protected:
    WindowClass windowClass() const override;

private:
    bool wordWrap_;
    bool readOnly_;
    bool vScroll_;
    bool tabStop_;
};

} // namespace qvx::ui
