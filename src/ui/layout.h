#pragma once
// A form's stored layout: one row per component, in creation order (a container before its
// children, depth first). Forms are built from these tables, and their order is the component
// order that layout scaling records. Portable: the tables can be read and checked natively.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace qvx::ui {

enum class Kind : std::uint8_t {
    Label,
    Button,
    BitBtn,        // push button with a two-image glyph (normal, disabled)
    CheckBox,
    RadioGroup,
    GroupBox,
    PageControl,
    TabSheet,
    ProgressBar,
    Memo,
    ListBox,
    DriveComboBox,
    Image,         // graphic control: a picture painted by its parent
    Bevel,         // graphic control: a raised frame
    GifImage,      // graphic control: the animated image
    MainMenu,
    MenuItem,
    Timer,
};

// Visual controls have a place on the form; menus and timers are components without one.
constexpr bool IsVisual(Kind k) { return k != Kind::MainMenu && k != Kind::MenuItem && k != Kind::Timer; }
// Graphic controls own no window; their parent paints them.
constexpr bool IsGraphic(Kind k) { return k == Kind::Image || k == Kind::Bevel || k == Kind::GifImage; }

enum class TextAlign : std::uint8_t { Left, Right, Center };
enum class Cursor : std::uint8_t { Default, HandPoint };

// A colour: an RGB value (0x00BBGGRR) or, with the top byte 0xFF, a system colour index.
using Color = std::uint32_t;
constexpr Color SysColor(int index) { return 0xFF000000u | static_cast<std::uint32_t>(index); }
constexpr Color Rgb(int r, int g, int b) {
    return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) | (static_cast<std::uint32_t>(b) << 16);
}
constexpr bool IsSysColor(Color c) { return (c & 0xFF000000u) == 0xFF000000u; }
constexpr Color clDefault = 0xFE000000u;  // the control kind's usual colour
constexpr Color clBtnFace = SysColor(15);
constexpr Color clWindowText = SysColor(8);
constexpr Color clHighlightText = SysColor(14);
constexpr Color clBlue = Rgb(0, 0, 255);

struct FontDesign {
    const char* face = nullptr;  // nullptr: use the parent's font
    int height = 0;              // character height in pixels at 96 pixels per inch
    bool bold = false;
    bool underline = false;
    Color color = clDefault;
};

// One row of a layout table. Rows name only the fields they need (designated initializers,
// in this declaration order).
struct ControlDesign {
    Kind kind = Kind::Label;
    const char* name = "";
    const char* parent = "";  // "" is the form itself; menu items name their menu or parent item
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    const char* caption = "";
    const char* hint = "";
    bool showHint = false;
    FontDesign font = {};
    bool visible = true;
    bool enabled = true;
    TextAlign alignment = TextAlign::Left;
    bool wordWrap = false;
    bool autoSize = false;
    bool transparent = false;
    Color color = clDefault;
    Cursor cursor = Cursor::Default;
    std::vector<std::string> items = {};  // radio group and list box items, memo lines
    int columns = 1;                       // radio group
    int itemIndex = -1;                    // radio group
    int tabWidth = 0;                      // page control
    bool tabStop = true;
    bool readOnly = false;                 // memo
    bool vScroll = false;                  // memo
    bool isDefault = false;                // button: the Enter key presses it
    int modalResult = 0;                   // button: closes a modal form with this result
    int glyphMargin = -1;                  // glyph button: -1 centres glyph and text together
    bool stretch = false;                  // image
    int interval = 1000;                   // timer (ms)
    bool checked = false;                  // menu item, check box
};

using Layout = std::span<const ControlDesign>;

enum class FormBorder { Sizeable, Dialog };
struct FormDesign {
    const char* name = "";
    const char* caption = "";
    int left = 0;
    int top = 0;
    int width = 0;   // outer size; ignored when the client size is given
    int height = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    FontDesign font = {};
    Color color = clBtnFace;
    FormBorder border = FormBorder::Sizeable;
    bool titleButtons = true;  // system menu, minimize and maximize
    bool centered = false;     // centred on the screen when first shown
};


// Character height in pixels <-> font size in points, at the 96 pixels per inch the layouts
// were designed at (15 px is 11 pt, 16 px is 12 pt). Both round to nearest.
constexpr int PointsFromPixels(int px) { return (px * 72 + 48) / 96; }
constexpr int PixelsFromPoints(int pt) { return (pt * 96 + 36) / 72; }

} // namespace qvx::ui
