#pragma once
#include "ui/control_win.h"
#include "ui/late_answers_win.h"

#include <string>
#include <vector>

namespace qvx::ui {

// Lists the system's drives; holds the current drive as one lower-case letter and reports a
// change when its list is first built and whenever its drive changes.
class DriveComboBox : public Control {
public:
    DriveComboBox(Form& owner, const ControlDesign& design, Control* parent);
    // ' ' until the list has been built.
    char drive() const { return drive_; }
    // Accepts the letter without regard to case; a letter equal to the current one changes nothing.
    void setDrive(char letter);
    // The listed drives' texts, e.g. "c: [SYSTEM]". A drive that is slow to tell its label is
    // listed by its letter until the label comes.
    const std::vector<std::string>& items() const { return items_; }
    int itemIndex() const;
    // Lists the drives again (the selection follows the current letter).
    void buildList();
    NotifyEvent OnChange;
    bool onCommand(WORD code) override;

protected:
    WindowClass windowClass() const override;
    void afterCreate() override;
    void applyDirty(unsigned bits) override;

private:
    void selectCurrent();
    void placeWindow();
    void setItemText(char letter, const std::string& text);
    std::vector<std::string> items_;
    std::vector<char> letters_;
    char drive_ = ' ';
    LateAnswers labels_;
};

} // namespace qvx::ui
