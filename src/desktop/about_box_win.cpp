#include "desktop/about_box_win.h"

#include "desktop/about_assets.h"
#include "desktop/about_box_layout.h"
#include "desktop/about_box_logic.h"
#include "desktop/about_pictures.h"
#include "desktop/document_viewer.h"
#include "engine/random_generator.h"
#include "platform/win32/executable_path.h"
#include "platform/win32/shell.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "ui/application_win.h"
#include "ui/font_win.h"

#include <initializer_list>
#include <span>

namespace qvx {

namespace {

// The logo control kind must be known before the form builds its components.
const ui::FormDesign& DesignWithLogoKindRegistered() {
    gif::RegisterGifImageKind();
    return AboutBoxDesign();
}


// Sizes a one-line label to its caption, as an auto-sized label does.
void FitLabelToCaption(ui::Label& label) {
    const ui::SharedFont font = ui::AcquireFont(label.font(), label.dpi());
    const UniqueWindowDc screen = OwnWindowDc(nullptr, GetDC(nullptr));
    const HDC dc = screen.get().dc;
    HGDIOBJ old = SelectObject(dc, font->get());
    const std::wstring text = Widen(label.caption());
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
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

AboutBox::AboutBox()
    : ui::Form(DesignWithLogoKindRegistered(), AboutBoxLayout()),
      bannerGroup(find<ui::GroupBox>("bannerGroup")),
      bannerImage(find<ui::Image>("bannerImage")),
      contentGroup(find<ui::GroupBox>("contentGroup")),
      logoFrame(find<ui::Bevel>("logoFrame")),
      logo(find<gif::GifImageControl>("logo")),
      quoteLabel(find<ui::Label>("quoteLabel")),
      productNameLabel(find<ui::Label>("productNameLabel")),
      authorLabel(find<ui::Label>("authorLabel")),
      developedWithLabel(find<ui::Label>("developedWithLabel")),
      copyrightLabel(find<ui::Label>("copyrightLabel")),
      statusLabel(find<ui::Label>("statusLabel")),
      donationLabel(find<ui::Label>("donationLabel")),
      donationImage(find<ui::Image>("donationImage")),
      donationAddressLabel(find<ui::Label>("donationAddressLabel")),
      commentsLabel(find<ui::Label>("commentsLabel")),
      webPageLabel(find<ui::Label>("webPageLabel")),
      emailButton(find<ui::Button>("emailButton")),
      webButton(find<ui::Button>("webButton")),
      emailAddressLabel(find<ui::Label>("emailAddressLabel")),
      webAddressLabel(find<ui::Label>("webAddressLabel")),
      freeMemoryCaption(find<ui::Label>("freeMemoryCaption")),
      freeMemoryLabel(find<ui::Label>("freeMemoryLabel")),
      okButton(find<ui::BitBtn>("okButton")),
      badgeFrame(find<ui::Bevel>("badgeFrame")),
      badgeImage(find<ui::Image>("badgeImage")),
      badgeLabel(find<ui::Label>("badgeLabel")),
      quotesList(find<ui::ListBox>("quotesList")),
      quoteTimer(find<ui::Timer>("quoteTimer")),
      freeMemoryTimer(find<ui::Timer>("freeMemoryTimer")) {
    bindEvents();
    makePictures();
    LoadGifImageFormData(logo, AboutLogoFormData());
    FitLabelToCaption(freeMemoryCaption);
    onCreate();
}

AboutBox::~AboutBox() = default;

void AboutBox::bindEvents() {
    OnShow = [this](ui::Form&) { activatedThisShowing_ = false; };
    OnActivate = [this](ui::Form&) {
        if (activatedThisShowing_) return;
        activatedThisShowing_ = true;
        onActivate();
    };
    OnKeyDown = [this](ui::Form&, WORD& key) { onKeyDown(key); };
    OnDpiChanged = [this](ui::Form&) { onDpiChanged(); };
    // Every way out of the box (a close request too, such as Alt+F4) stops the timers and
    // the animation; a hidden box must not keep ticking.
    OnCloseQuery = [this](ui::Form&, bool& canClose) {
        stopShowing();
        canClose = true;
    };
    okButton.OnClick = [this](ui::Control&) { closeBox(); };
    emailButton.OnClick = [this](ui::Control&) { sendEmail(); };
    emailAddressLabel.OnClick = [this](ui::Control&) { sendEmail(); };
    const auto web = [this](ui::Control&) { openWebPage(); };
    for (ui::Control* c : std::initializer_list<ui::Control*>{&webButton, &webAddressLabel, &logo,
                                                               &bannerImage, &badgeImage, &badgeLabel})
        c->OnClick = web;
    donationLabel.OnClick = [this](ui::Control&) { openDonationPage(); };
    donationImage.OnClick = [this](ui::Control&) { openDonationPage(); };
    quoteTimer.OnTimer = [this](ui::Timer&) { showNextQuote(); };
    freeMemoryTimer.OnTimer = [this](ui::Timer&) { showFreeMemory(); };
}

void AboutBox::makePictures() {
    SetPicture(bannerImage, assets::TovrenBannerGif());
    SetPicture(badgeImage, assets::TovrenBadgeGif());
    SetPicture(donationImage, assets::DonateButtonGif());
    okButton.setGlyph(GlyphFromGif(assets::OkGlyphGif()));
}

void AboutBox::onCreate() { engine::SeedRandomFromClock(); }

void AboutBox::onActivate() {
    // A fresh seed, the timers, the animation, and a quote and a percentage at once.
    engine::SeedRandomFromClock();
    quoteTimer.setEnabled(true);
    freeMemoryTimer.setEnabled(true);
    logo.setAnimate(true);
    showNextQuote();
    showFreeMemory();
    // The address buttons only store the addresses; the labels in their rows show them.
    emailButton.setHint("Click to send an E-Mail to Tovren.");
    webButton.setHint("Click to visit Tovren's WEB Page.");
    emailButton.setVisible(false);
    webButton.setVisible(false);
    emailAddressLabel.setHint(emailButton.hint());
    webAddressLabel.setHint(webButton.hint());
    emailAddressLabel.setCaption(emailButton.caption());
    webAddressLabel.setCaption(webButton.caption());
    shownOnce_ = true;
    placeAddressLabels();
    // Hand cursors over everything that opens a link.
    for (ui::Control* c : std::initializer_list<ui::Control*>{&emailAddressLabel, &webAddressLabel, &badgeLabel, &badgeImage,
                                                               &logo, &bannerImage, &badgeFrame, &logoFrame,
                                                               &donationLabel, &donationImage})
        c->setCursor(ui::Cursor::HandPoint);
    // The frames go behind the pictures they surround; keys are seen before the focused control.
    badgeFrame.sendToBack();
    logoFrame.sendToBack();
    setKeyPreview(true);
}

// The address labels sit in the rows of the buttons, as wide as their texts.
void AboutBox::placeAddressLabels() {
    emailAddressLabel.setTop(emailButton.top());
    webAddressLabel.setTop(webButton.top());
    FitLabelToCaption(emailAddressLabel);
    FitLabelToCaption(webAddressLabel);
}

// At a new DPI the controls are back at their designed places, scaled: the labels sized to their
// texts are measured again in the new fonts, and once the box has been shown, the percentage and
// the address labels go back to what the showing made of them.
void AboutBox::onDpiChanged() {
    FitLabelToCaption(freeMemoryCaption);
    if (!shownOnce_) return;
    FitLabelToCaption(freeMemoryLabel);
    placeAddressLabels();
}

void AboutBox::onKeyDown(WORD& key) {
    if (key != VK_ESCAPE) return;
    closeBox();
    key = 0;
}

void AboutBox::stopShowing() {
    quoteTimer.setEnabled(false);
    freeMemoryTimer.setEnabled(false);
    logo.setAnimate(false);
}

void AboutBox::closeBox() {
    stopShowing();
    close();
}

void AboutBox::sendEmail() {
    openWithShell(MailtoLink(emailButton.caption(), ExtractFileName(ExecutablePath())));
}

void AboutBox::openWebPage() { openWithShell(webButton.caption()); }

void AboutBox::openDonationPage() { openWithShell(donationAddressLabel.caption()); }

void AboutBox::openWithShell(const std::string& text) {
    if (text.empty()) return;
    ui::Form* main = ui::Application::instance().mainForm();
    ShellOpen(main ? main->handle() : nullptr, text, SW_SHOWNORMAL);
}

void AboutBox::showNextQuote() {
    const int count = quotesList.count();
    if (count == 0) return;  // nothing to show
    quoteLabel.setCaption(quotesList.item(static_cast<int>(DrawQuoteIndex(count))));
}

void AboutBox::showFreeMemory() {
    freeMemoryLabel.setCaption(FreeMemoryPercent());
    FitLabelToCaption(freeMemoryLabel);
}

std::string AboutBox::FreeMemoryPercent() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    if (!GlobalMemoryStatusEx(&status)) return FreeMemoryPercentText({});
    return FreeMemoryPercentText({.totalPhys = status.ullTotalPhys,
                                  .availPhys = status.ullAvailPhys,
                                  .totalPageFile = status.ullTotalPageFile,
                                  .availPageFile = status.ullAvailPageFile});
}

} // namespace qvx
