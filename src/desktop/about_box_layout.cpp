#include "desktop/about_box_layout.h"

#include "desktop/about_assets.h"
#include "desktop/about_texts.h"
#include "gifimage/gif_image_core.h"

#include <string>
#include <vector>

namespace qvx {

using ui::FontSpec;
using ui::Kind;
using ui::TextAlign;

namespace {

constexpr const char* kTimes = "Times New Roman";
constexpr FontSpec kSystem13{.face = "System", .height = 13};
constexpr FontSpec kTimes15{.face = kTimes, .height = 15};
constexpr FontSpec kTimesBold15{.face = kTimes, .height = 15, .bold = true};
constexpr FontSpec kLink16{.face = kTimes, .height = 16, .underline = true, .color = ui::clBlue};
constexpr FontSpec kBoldLink16{.face = kTimes, .height = 16, .bold = true, .underline = true, .color = ui::clBlue};

std::vector<std::string> Quotes() { return {std::begin(kAboutQuotes), std::end(kAboutQuotes)}; }

// Positions inside GroupBox1 are relative to it. Labels marked autoSize are fitted to their
// text by the About box whenever it sets them.
std::vector<ui::ControlSpec> BuildLayout() {
    return {
        // The banner in its frame.
        {.kind = Kind::GroupBox, .name = "GroupBox2", .left = 3, .top = -4, .width = 615, .height = 77},
        {.kind = Kind::Image, .name = "Tovren_Logo_Banner_Image", .parent = "GroupBox2", .left = 2, .top = 8, .width = 611,
         .height = 67, .stretch = true},

        {.kind = Kind::GroupBox, .name = "GroupBox1", .left = 3, .top = 70, .width = 615, .height = 341, .font = kTimes15},
        // The animated logo in its frame, and the quote below it.
        {.kind = Kind::Bevel, .name = "Bevel1", .parent = "GroupBox1", .left = 5, .top = 14, .width = 184, .height = 167},
        {.kind = Kind::GIFImage, .name = "Tovren_Logo_GIFImage", .parent = "GroupBox1", .left = 12, .top = 16, .width = 173,
         .height = 165, .stretch = true},
        {.kind = Kind::Label, .name = "Quote_From_Tovren_Label", .parent = "GroupBox1", .left = 8, .top = 184, .width = 181,
         .height = 119, .alignment = TextAlign::Center, .wordWrap = true},

        // Product, author, tools, rights and status.
        {.kind = Kind::Label, .name = "Product_Name_Label", .parent = "GroupBox1", .left = 205, .top = 15, .width = 400, .height = 18,
         .font = kTimesBold15},
        {.kind = Kind::Label, .name = "Author_and_Date_Label", .parent = "GroupBox1", .left = 205, .top = 44, .width = 400,
         .height = 18, .font = kTimesBold15},
        {.kind = Kind::Label, .name = "Developed_Using_Label", .parent = "GroupBox1", .left = 205, .top = 73, .width = 400,
         .height = 18, .wordWrap = true},
        {.kind = Kind::Label, .name = "Copyright_Label", .parent = "GroupBox1", .left = 205, .top = 102, .width = 400, .height = 18},
        {.kind = Kind::Label, .name = "Software_Status_Label", .parent = "GroupBox1", .left = 205, .top = 131, .width = 400,
         .height = 18, .wordWrap = true},

        // The donation appeal.
        {.kind = Kind::Label, .name = "PayPal_Donations_Label", .parent = "GroupBox1", .left = 206, .top = 157, .width = 312,
         .height = 63,
         .caption = "Please support my efforts and encourage me to keep developing useful software by making a PayPal donation.",
         .font = kLink16, .alignment = TextAlign::Center, .wordWrap = true},
        {.kind = Kind::Image, .name = "PayPal_Image", .parent = "GroupBox1", .left = 532, .top = 166, .width = 62, .height = 31,
         .autoSize = true},
        {.kind = Kind::Label, .name = "PayPal_WEB_Address_Label", .parent = "GroupBox1", .left = 196, .top = 216, .width = 160,
         .height = 16, .visible = false, .autoSize = true},

        // The e-mail and web rows: lead-in texts, the buttons that store the addresses, and the
        // labels that show them.
        {.kind = Kind::Label, .name = "Comments_Label", .parent = "GroupBox1", .left = 205, .top = 230, .width = 225, .height = 18,
         .alignment = TextAlign::Right, .wordWrap = true},
        {.kind = Kind::Label, .name = "WEB_Page_Label", .parent = "GroupBox1", .left = 205, .top = 259, .width = 225, .height = 18,
         .alignment = TextAlign::Right, .wordWrap = true},
        {.kind = Kind::Button, .name = "Email_Button", .parent = "GroupBox1", .left = 438, .top = 228, .width = 169, .height = 23,
         .showHint = true, .font = kSystem13},
        {.kind = Kind::Button, .name = "WEB_Button", .parent = "GroupBox1", .left = 438, .top = 257, .width = 169, .height = 23,
         .showHint = true, .font = kSystem13},
        {.kind = Kind::Label, .name = "Email_Address_Label", .parent = "GroupBox1", .left = 446, .top = 216, .width = 160,
         .height = 19, .font = kBoldLink16, .autoSize = true},
        {.kind = Kind::Label, .name = "WEB_Address_Label", .parent = "GroupBox1", .left = 447, .top = 250, .width = 160,
         .height = 19, .font = kBoldLink16, .autoSize = true},

        // Free memory.
        {.kind = Kind::Label, .name = "Label3", .parent = "GroupBox1", .left = 23, .top = 308, .width = 140, .height = 17,
         .caption = "Free System Resources :", .autoSize = true},
        {.kind = Kind::Label, .name = "Free_Resources_Label", .parent = "GroupBox1", .left = 179, .top = 308, .width = 40,
         .height = 17, .caption = "Free %", .autoSize = true},

        {.kind = Kind::BitBtn, .name = "OKButton", .parent = "GroupBox1", .left = 257, .top = 288, .width = 100, .height = 48,
         .caption = "OK", .font = {.face = kTimes, .height = 19, .bold = true}, .isDefault = true, .modalResult = 1,
         .glyphMargin = 15},

        // The badge with its caption.
        {.kind = Kind::Bevel, .name = "Bevel3", .parent = "GroupBox1", .left = 448, .top = 288, .width = 157, .height = 48},
        {.kind = Kind::Image, .name = "Badge_Logo", .parent = "GroupBox1", .left = 452, .top = 292, .width = 149, .height = 41,
         .hint = "Hey, don't poke me there !!", .showHint = true, .stretch = true},
        {.kind = Kind::Label, .name = "Badge_Label", .parent = "GroupBox1", .left = 458, .top = 296, .width = 98, .height = 32,
         .caption = "More software\r\nfrom Tovren", .font = {.face = "Arial", .height = 13, .color = ui::clHighlightText},
         .alignment = TextAlign::Center, .wordWrap = true, .transparent = true},

        {.kind = Kind::ListBox, .name = "Quotes_From_Tovren_ListBox", .parent = "GroupBox1", .left = 484, .top = 20, .width = 97,
         .height = 61, .visible = false, .items = Quotes()},

        {.kind = Kind::Timer, .name = "Quote_Change_Timer", .enabled = false, .interval = 10000},
        {.kind = Kind::Timer, .name = "Free_Resources_Timer", .enabled = false, .interval = 500},
    };
}

} // namespace

const ui::FormSpec& AboutBoxSpec() {
    static const ui::FormSpec design{.name = "AboutBox",
                                   .caption = "About",
                                   .clientWidth = 622,
                                   .clientHeight = 411,
                                   .font = kSystem13,
                                   .color = ui::clBtnFace,
                                   .border = ui::FormBorder::Dialog,
                                   .titleButtons = false,
                                   .centered = true};
    return design;
}

ui::Layout AboutBoxLayout() {
    static const std::vector<ui::ControlSpec> layout = BuildLayout();
    return layout;
}

const GifImageFormData& AboutLogoFormData() {
    static const GifImageFormData data{.Data = assets::TovrenLogoData()};
    return data;
}

bool LoadGifImageFormData(gif::TGIFImageCore& image, const GifImageFormData& data) {
    image.SetAutoSize(data.AutoSize);
    image.SetCenter(data.Center);
    image.FirstImageOnly = data.FirstImageOnly;
    image.SetLoop(data.Loop);
    image.SetOpaque(data.Opaque);
    image.SetStretch(data.Stretch);
    image.SetStretchRatio(data.StretchRatio);
    image.SetStretchBigOnly(data.StretchBigOnly);
    image.SetTile(data.Tile);
    image.SetThreaded(data.Threaded);
    if (!image.ReadData(data.Data)) return false;
    image.Loaded();
    image.SetAnimate(data.Animate);
    return !image.Empty();
}

} // namespace qvx
