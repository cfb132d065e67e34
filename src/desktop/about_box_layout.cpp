#include "desktop/about_box_layout.h"

#include "desktop/about_assets.h"
#include "desktop/about_texts.h"
#include "gifimage/gif_image.h"

#include <string>
#include <vector>

namespace qvx {

using ui::FontDesign;
using ui::Kind;
using ui::TextAlign;

namespace {

constexpr const char* kTimes = "Times New Roman";
constexpr FontDesign kSystem13{.face = "System", .height = 13};
constexpr FontDesign kTimes15{.face = kTimes, .height = 15};
constexpr FontDesign kTimesBold15{.face = kTimes, .height = 15, .bold = true};
constexpr FontDesign kLink16{.face = kTimes, .height = 16, .underline = true, .color = ui::clBlue};
constexpr FontDesign kBoldLink16{.face = kTimes, .height = 16, .bold = true, .underline = true, .color = ui::clBlue};

std::vector<std::string> Quotes() { return {std::begin(kAboutQuotes), std::end(kAboutQuotes)}; }

// Positions inside contentGroup are relative to it. Labels marked autoSize are fitted to their
// text by the About box whenever it sets them.
std::vector<ui::ControlDesign> BuildLayout() {
    return {
        // The banner in its frame.
        {.kind = Kind::GroupBox, .name = "bannerGroup", .left = 3, .top = -4, .width = 615, .height = 77},
        {.kind = Kind::Image, .name = "bannerImage", .parent = "bannerGroup", .left = 2, .top = 8, .width = 611,
         .height = 67, .stretch = true},

        {.kind = Kind::GroupBox, .name = "contentGroup", .left = 3, .top = 70, .width = 615, .height = 341, .font = kTimes15},
        // The animated logo in its frame, and the quote below it.
        {.kind = Kind::Bevel, .name = "logoFrame", .parent = "contentGroup", .left = 5, .top = 14, .width = 184, .height = 167},
        {.kind = Kind::GifImage, .name = "logo", .parent = "contentGroup", .left = 12, .top = 16, .width = 173,
         .height = 165, .stretch = true},
        {.kind = Kind::Label, .name = "quoteLabel", .parent = "contentGroup", .left = 8, .top = 184, .width = 181,
         .height = 119, .alignment = TextAlign::Center, .wordWrap = true},

        // Product, author, tools, rights and status.
        {.kind = Kind::Label, .name = "productNameLabel", .parent = "contentGroup", .left = 205, .top = 15, .width = 400, .height = 18,
         .font = kTimesBold15},
        {.kind = Kind::Label, .name = "authorLabel", .parent = "contentGroup", .left = 205, .top = 44, .width = 400,
         .height = 18, .font = kTimesBold15},
        {.kind = Kind::Label, .name = "developedWithLabel", .parent = "contentGroup", .left = 205, .top = 73, .width = 400,
         .height = 18, .wordWrap = true},
        {.kind = Kind::Label, .name = "copyrightLabel", .parent = "contentGroup", .left = 205, .top = 102, .width = 400, .height = 18},
        {.kind = Kind::Label, .name = "statusLabel", .parent = "contentGroup", .left = 205, .top = 131, .width = 400,
         .height = 18, .wordWrap = true},

        // The donation appeal.
        {.kind = Kind::Label, .name = "donationLabel", .parent = "contentGroup", .left = 206, .top = 157, .width = 312,
         .height = 63,
         .caption = "Please support my efforts and encourage me to keep developing useful software by making a PayPal donation.",
         .font = kLink16, .alignment = TextAlign::Center, .wordWrap = true},
        {.kind = Kind::Image, .name = "donationImage", .parent = "contentGroup", .left = 532, .top = 166, .width = 62, .height = 31,
         .autoSize = true},
        {.kind = Kind::Label, .name = "donationAddressLabel", .parent = "contentGroup", .left = 196, .top = 216, .width = 160,
         .height = 16, .visible = false, .autoSize = true},

        // The e-mail and web rows: lead-in texts, the buttons that store the addresses, and the
        // labels that show them.
        {.kind = Kind::Label, .name = "commentsLabel", .parent = "contentGroup", .left = 205, .top = 230, .width = 225, .height = 18,
         .alignment = TextAlign::Right, .wordWrap = true},
        {.kind = Kind::Label, .name = "webPageLabel", .parent = "contentGroup", .left = 205, .top = 259, .width = 225, .height = 18,
         .alignment = TextAlign::Right, .wordWrap = true},
        {.kind = Kind::Button, .name = "emailButton", .parent = "contentGroup", .left = 438, .top = 228, .width = 169, .height = 23,
         .showHint = true, .font = kSystem13},
        {.kind = Kind::Button, .name = "webButton", .parent = "contentGroup", .left = 438, .top = 257, .width = 169, .height = 23,
         .showHint = true, .font = kSystem13},
        {.kind = Kind::Label, .name = "emailAddressLabel", .parent = "contentGroup", .left = 446, .top = 216, .width = 160,
         .height = 19, .font = kBoldLink16, .autoSize = true},
        {.kind = Kind::Label, .name = "webAddressLabel", .parent = "contentGroup", .left = 447, .top = 250, .width = 160,
         .height = 19, .font = kBoldLink16, .autoSize = true},

        // Free memory.
        {.kind = Kind::Label, .name = "freeMemoryCaption", .parent = "contentGroup", .left = 23, .top = 308, .width = 140, .height = 17,
         .caption = "Free System Resources :", .autoSize = true},
        {.kind = Kind::Label, .name = "freeMemoryLabel", .parent = "contentGroup", .left = 179, .top = 308, .width = 40,
         .height = 17, .caption = "Free %", .autoSize = true},

        {.kind = Kind::BitBtn, .name = "okButton", .parent = "contentGroup", .left = 257, .top = 288, .width = 100, .height = 48,
         .caption = "OK", .font = {.face = kTimes, .height = 19, .bold = true}, .isDefault = true, .modalResult = 1,
         .glyphMargin = 15},

        // The badge with its caption.
        {.kind = Kind::Bevel, .name = "badgeFrame", .parent = "contentGroup", .left = 448, .top = 288, .width = 157, .height = 48},
        {.kind = Kind::Image, .name = "badgeImage", .parent = "contentGroup", .left = 452, .top = 292, .width = 149, .height = 41,
         .hint = "Hey, don't poke me there !!", .showHint = true, .stretch = true},
        {.kind = Kind::Label, .name = "badgeLabel", .parent = "contentGroup", .left = 458, .top = 296, .width = 98, .height = 32,
         .caption = "More software\r\nfrom Tovren", .font = {.face = "Arial", .height = 13, .color = ui::clHighlightText},
         .alignment = TextAlign::Center, .wordWrap = true, .transparent = true},

        {.kind = Kind::ListBox, .name = "quotesList", .parent = "contentGroup", .left = 484, .top = 20, .width = 97,
         .height = 61, .visible = false, .items = Quotes()},

        {.kind = Kind::Timer, .name = "quoteTimer", .enabled = false, .interval = 10000},
        {.kind = Kind::Timer, .name = "freeMemoryTimer", .enabled = false, .interval = 500},
    };
}

} // namespace

const ui::FormDesign& AboutBoxDesign() {
    static const ui::FormDesign design{.name = "aboutBox",
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
    static const std::vector<ui::ControlDesign> layout = BuildLayout();
    return layout;
}

const GifImageFormData& AboutLogoFormData() {
    static const GifImageFormData data{.Data = assets::TovrenLogoData()};
    return data;
}

bool LoadGifImageFormData(gif::GifImage& image, const GifImageFormData& data) {
    image.setAutoSize(data.AutoSize);
    image.setCenter(data.Center);
    image.firstImageOnly = data.FirstImageOnly;
    image.setLoop(data.Loop);
    image.setOpaqueBackground(data.Opaque);
    image.setStretch(data.Stretch);
    image.setStretchRatio(data.StretchRatio);
    image.setStretchBigOnly(data.StretchBigOnly);
    image.setTile(data.Tile);
    image.setThreaded(data.Threaded);
    if (!image.readData(data.Data)) return false;
    image.loaded();
    image.setAnimate(data.Animate);
    return !image.empty();
}

} // namespace qvx
