#include "desktop/about_box_win.h"

#include "desktop/about_assets.h"
#include "desktop/about_box_layout.h"
#include "desktop/about_box_logic.h"
#include "desktop/about_pictures.h"
#include "desktop/document_viewer.h"
#include "engine/random_generator.h"
#include "platform/win32/executable_path.h"
#include "platform/win32/shell.h"
#include "platform/win32/wide_text.h"
#include "ui/application_win.h"
#include "ui/font_win.h"

#include <initializer_list>
#include <span>

namespace qvx {

namespace {
template <class T>
T& Find(const ui::Form& form, const char* name) {
    return form.find<T>(name);
}

// The logo control kind must be known before the form builds its components.
const ui::FormSpec& SpecWithLogoKindRegistered() {
    gif::RegisterGIFImageKind();
    return AboutBoxSpec();
}

std::uint32_t UtcMillisecondsOfDay() {
    SYSTEMTIME st;
    GetSystemTime(&st);
    return engine::MillisecondsOfDay(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

// Sizes a one-line label to its caption, as an auto-sized label does.
void FitLabelToCaption(ui::Label& label) {
    const ui::SharedFont font = ui::AcquireFont(label.font());
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font->get());
    const std::wstring text = Widen(label.caption());
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    label.setBounds(label.left(), label.top(), size.cx, tm.tmHeight);
}

void SetPicture(ui::Image& image, std::span<const std::uint8_t> gif) {
    const PictureData picture = DecodePicture(gif);
    if (!picture.empty()) image.setPicture(ui::Picture(picture.width, picture.height, picture.argb));
}

ui::Glyph GlyphFromGif(std::span<const std::uint8_t> gif) {
    const GlyphArtData data = GlyphArtFromGif(gif);
    if (data.rows.empty()) return {};
    ui::GlyphArt art{data.width, data.height, {}, data.palette};
    for (const std::string& row : data.rows) art.rows.emplace_back(row);
    return ui::Glyph(art);
}
} // namespace

TAboutBox::TAboutBox()
    : ui::Form(SpecWithLogoKindRegistered(), AboutBoxLayout()),
      GroupBox2(Find<ui::GroupBox>(*this, "GroupBox2")),
      Tovren_Logo_Banner_Image(Find<ui::Image>(*this, "Tovren_Logo_Banner_Image")),
      GroupBox1(Find<ui::GroupBox>(*this, "GroupBox1")),
      Bevel1(Find<ui::Bevel>(*this, "Bevel1")),
      Tovren_Logo_GIFImage(Find<gif::TGIFImage>(*this, "Tovren_Logo_GIFImage")),
      Quote_From_Tovren_Label(Find<ui::Label>(*this, "Quote_From_Tovren_Label")),
      Product_Name_Label(Find<ui::Label>(*this, "Product_Name_Label")),
      Author_and_Date_Label(Find<ui::Label>(*this, "Author_and_Date_Label")),
      Developed_Using_Label(Find<ui::Label>(*this, "Developed_Using_Label")),
      Copyright_Label(Find<ui::Label>(*this, "Copyright_Label")),
      Software_Status_Label(Find<ui::Label>(*this, "Software_Status_Label")),
      PayPal_Donations_Label(Find<ui::Label>(*this, "PayPal_Donations_Label")),
      PayPal_Image(Find<ui::Image>(*this, "PayPal_Image")),
      PayPal_WEB_Address_Label(Find<ui::Label>(*this, "PayPal_WEB_Address_Label")),
      Comments_Label(Find<ui::Label>(*this, "Comments_Label")),
      WEB_Page_Label(Find<ui::Label>(*this, "WEB_Page_Label")),
      Email_Button(Find<ui::Button>(*this, "Email_Button")),
      WEB_Button(Find<ui::Button>(*this, "WEB_Button")),
      Email_Address_Label(Find<ui::Label>(*this, "Email_Address_Label")),
      WEB_Address_Label(Find<ui::Label>(*this, "WEB_Address_Label")),
      Label3(Find<ui::Label>(*this, "Label3")),
      Free_Resources_Label(Find<ui::Label>(*this, "Free_Resources_Label")),
      OKButton(Find<ui::BitBtn>(*this, "OKButton")),
      Bevel3(Find<ui::Bevel>(*this, "Bevel3")),
      Badge_Logo(Find<ui::Image>(*this, "Badge_Logo")),
      Badge_Label(Find<ui::Label>(*this, "Badge_Label")),
      Quotes_From_Tovren_ListBox(Find<ui::ListBox>(*this, "Quotes_From_Tovren_ListBox")),
      Quote_Change_Timer(Find<ui::Timer>(*this, "Quote_Change_Timer")),
      Free_Resources_Timer(Find<ui::Timer>(*this, "Free_Resources_Timer")) {
    bindEvents();
    makePictures();
    LoadGifImageFormData(Tovren_Logo_GIFImage, AboutLogoFormData());
    FitLabelToCaption(Label3);
    FormCreate();
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::bindEvents() {
    OnShow = [this](ui::Form&) { activatedThisShowing_ = false; };
    OnActivate = [this](ui::Form&) {
        if (activatedThisShowing_) return;
        activatedThisShowing_ = true;
        FormActivate();
    };
    OnKeyDown = [this](ui::Form&, WORD& key) { FormKeyDown(key); };
    // Every way out of the box (a close request too, such as Alt+F4) stops the timers and
    // the animation; a hidden box must not keep ticking.
    OnCloseQuery = [this](ui::Form&, bool& canClose) {
        stopShowing();
        canClose = true;
    };
    OKButton.OnClick = [this](ui::Control&) { OKButtonClick(); };
    Email_Button.OnClick = [this](ui::Control&) { Email_ButtonClick(); };
    Email_Address_Label.OnClick = [this](ui::Control&) { Email_ButtonClick(); };
    const auto web = [this](ui::Control&) { WEB_ButtonClick(); };
    for (ui::Control* c : std::initializer_list<ui::Control*>{&WEB_Button, &WEB_Address_Label, &Tovren_Logo_GIFImage,
                                                               &Tovren_Logo_Banner_Image, &Badge_Logo, &Badge_Label})
        c->OnClick = web;
    PayPal_Donations_Label.OnClick = [this](ui::Control&) { PayPal_Donations_LabelClick(); };
    PayPal_Image.OnClick = [this](ui::Control&) { PayPal_ImageClick(); };
    Quote_Change_Timer.OnTimer = [this](ui::Timer&) { Quote_Change_TimerTimer(); };
    Free_Resources_Timer.OnTimer = [this](ui::Timer&) { Free_Resources_TimerTimer(); };
}

void TAboutBox::makePictures() {
    SetPicture(Tovren_Logo_Banner_Image, assets::TovrenBannerGif());
    SetPicture(Badge_Logo, assets::TovrenBadgeGif());
    SetPicture(PayPal_Image, assets::DonateButtonGif());
    OKButton.setGlyph(GlyphFromGif(assets::OkGlyphGif()));
}

void TAboutBox::FormCreate() { engine::SeedRandom(UtcMillisecondsOfDay()); }

void TAboutBox::FormActivate() {
    // 1-4. A fresh seed, the timers, the animation, and a quote and a percentage at once.
    engine::SeedRandom(UtcMillisecondsOfDay());
    Quote_Change_Timer.setEnabled(true);
    Free_Resources_Timer.setEnabled(true);
    Tovren_Logo_GIFImage.SetAnimate(true);
    Quote_Change_TimerTimer();
    Free_Resources_TimerTimer();
    // 5-9. The address buttons only store the addresses; the labels in their rows show them.
    Email_Button.setHint("Click to send an E-Mail to Tovren.");
    WEB_Button.setHint("Click to visit Tovren's WEB Page.");
    Email_Button.setVisible(false);
    WEB_Button.setVisible(false);
    Email_Address_Label.setHint(Email_Button.hint());
    WEB_Address_Label.setHint(WEB_Button.hint());
    Email_Address_Label.setTop(Email_Button.top());
    WEB_Address_Label.setTop(WEB_Button.top());
    Email_Address_Label.setCaption(Email_Button.caption());
    WEB_Address_Label.setCaption(WEB_Button.caption());
    FitLabelToCaption(Email_Address_Label);
    FitLabelToCaption(WEB_Address_Label);
    // 10. Hand cursors.
    for (ui::Control* c : std::initializer_list<ui::Control*>{&Email_Address_Label, &WEB_Address_Label, &Badge_Label, &Badge_Logo,
                                                               &Tovren_Logo_GIFImage, &Tovren_Logo_Banner_Image, &Bevel3, &Bevel1,
                                                               &PayPal_Donations_Label, &PayPal_Image})
        c->setCursor(ui::Cursor::HandPoint);
    // 11, 12. The frames behind the pictures they surround; keys seen before the focused control.
    Bevel3.sendToBack();
    Bevel1.sendToBack();
    setKeyPreview(true);
}

void TAboutBox::FormKeyDown(WORD& key) {
    if (key != VK_ESCAPE) return;
    OKButtonClick();
    key = 0;
}

void TAboutBox::stopShowing() {
    Quote_Change_Timer.setEnabled(false);
    Free_Resources_Timer.setEnabled(false);
    Tovren_Logo_GIFImage.SetAnimate(false);
}

void TAboutBox::OKButtonClick() {
    stopShowing();
    close();
}

void TAboutBox::Email_ButtonClick() {
    OpenWithShell(MailtoLink(Email_Button.caption(), ExtractFileName(ExecutablePath())));
}

void TAboutBox::WEB_ButtonClick() { OpenWithShell(WEB_Button.caption()); }

void TAboutBox::PayPal_Donations_LabelClick() { OpenWithShell(PayPal_WEB_Address_Label.caption()); }

void TAboutBox::OpenWithShell(const std::string& text) {
    if (text.empty()) return;
    ui::Form* main = ui::Application::instance().mainForm();
    ShellOpen(main ? main->handle() : nullptr, text, SW_SHOWNORMAL);
}

void TAboutBox::Quote_Change_TimerTimer() {
    const int count = Quotes_From_Tovren_ListBox.count();
    if (count == 0) return;  // nothing to show
    Quote_From_Tovren_Label.setCaption(Quotes_From_Tovren_ListBox.item(static_cast<int>(DrawQuoteIndex(count))));
}

void TAboutBox::Free_Resources_TimerTimer() {
    Free_Resources_Label.setCaption(FreeMemoryPercent());
    FitLabelToCaption(Free_Resources_Label);
}

std::string TAboutBox::FreeMemoryPercent() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    if (!GlobalMemoryStatusEx(&status)) return FreeMemoryPercentText({});
    return FreeMemoryPercentText({.totalPhys = status.ullTotalPhys,
                                  .availPhys = status.ullAvailPhys,
                                  .totalPageFile = status.ullTotalPageFile,
                                  .availPageFile = status.ullAvailPageFile});
}

} // namespace qvx
