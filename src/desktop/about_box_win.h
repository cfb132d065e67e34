#pragma once
// The About box: product and maker, the animated logo, a rotating quote, the free-memory
// percentage, the maker's e-mail and web links and the donation appeal. Created hidden at
// program start, shown modally by Help > About; its texts are set by the main window's start-up.
#include "gifimage/gif_image_control_win.h"
#include "ui/bevel_win.h"
#include "ui/button_win.h"
#include "ui/form_win.h"
#include "ui/group_box_win.h"
#include "ui/image_win.h"
#include "ui/label_win.h"
#include "ui/list_box_win.h"
#include "ui/timer_win.h"

#include <string>

namespace qvx {

class AboutBox : public ui::Form {
public:
    AboutBox();
    ~AboutBox() override;

    // --- controls ------------------------------------------------------------------------
    ui::GroupBox& bannerGroup;
    ui::Image& bannerImage;
    ui::GroupBox& contentGroup;
    ui::Bevel& logoFrame;
    gif::GifImageControl& logo;
    ui::Label& quoteLabel;
    ui::Label& productNameLabel;
    ui::Label& authorLabel;
    ui::Label& developedWithLabel;
    ui::Label& copyrightLabel;
    ui::Label& statusLabel;
    ui::Label& donationLabel;
    ui::Image& donationImage;
    ui::Label& donationAddressLabel;
    ui::Label& commentsLabel;
    ui::Label& webPageLabel;
    ui::Button& emailButton;
    ui::Button& webButton;
    ui::Label& emailAddressLabel;
    ui::Label& webAddressLabel;
    ui::Label& freeMemoryCaption;
    ui::Label& freeMemoryLabel;
    ui::BitBtn& okButton;
    ui::Bevel& badgeFrame;
    ui::Image& badgeImage;
    ui::Label& badgeLabel;
    ui::ListBox& quotesList;
    ui::Timer& quoteTimer;
    ui::Timer& freeMemoryTimer;

    // --- handlers ------------------------------------------------------------------------
    void onCreate();
    void onActivate();
    void onKeyDown(WORD& key);
    void onDpiChanged();
    void closeBox();
    void sendEmail();
    void openWebPage();
    void openDonationPage();
    void showNextQuote();
    void showFreeMemory();

    // Hands an address or document to the shell with the verb "open"; nothing for an empty text.
    void openWithShell(const std::string& text);
    // The free share of memory as shown, such as "73%".
    static std::string FreeMemoryPercent();

private:
    void bindEvents();
    void makePictures();
    // Stops what a showing started: the two timers and the animation.
    void stopShowing();
    void placeAddressLabels();

    // onActivate runs once per showing, not again when the box is re-activated while shown.
    bool activatedThisShowing_ = false;
    // The first showing fitted the percentage and moved the address labels into the buttons' rows.
    bool shownOnce_ = false;
};

} // namespace qvx
