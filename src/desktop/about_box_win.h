#pragma once
// The About box: product and maker, the animated logo, a rotating quote, the free-memory
// percentage, the maker's e-mail and web links and the donation appeal. Created hidden at
// program start, shown modally by Help > About; its texts are set by the main window's start-up.
#include "gifimage/gif_image_win.h"
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

class TAboutBox : public ui::Form {
public:
    TAboutBox();
    ~TAboutBox() override;

    // --- controls ------------------------------------------------------------------------
    ui::GroupBox& GroupBox2;
    ui::Image& Tovren_Logo_Banner_Image;
    ui::GroupBox& GroupBox1;
    ui::Bevel& Bevel1;
    gif::TGIFImage& Tovren_Logo_GIFImage;
    ui::Label& Quote_From_Tovren_Label;
    ui::Label& Product_Name_Label;
    ui::Label& Author_and_Date_Label;
    ui::Label& Developed_Using_Label;
    ui::Label& Copyright_Label;
    ui::Label& Software_Status_Label;
    ui::Label& PayPal_Donations_Label;
    ui::Image& PayPal_Image;
    ui::Label& PayPal_WEB_Address_Label;
    ui::Label& Comments_Label;
    ui::Label& WEB_Page_Label;
    ui::Button& Email_Button;
    ui::Button& WEB_Button;
    ui::Label& Email_Address_Label;
    ui::Label& WEB_Address_Label;
    ui::Label& Label3;
    ui::Label& Free_Resources_Label;
    ui::BitBtn& OKButton;
    ui::Bevel& Bevel3;
    ui::Image& Badge_Logo;
    ui::Label& Badge_Label;
    ui::ListBox& Quotes_From_Tovren_ListBox;
    ui::Timer& Quote_Change_Timer;
    ui::Timer& Free_Resources_Timer;

    // --- handlers ------------------------------------------------------------------------
    void FormCreate();
    void FormActivate();
    void FormKeyDown(WORD& key);
    void OKButtonClick();
    void Email_ButtonClick();
    void WEB_ButtonClick();
    void PayPal_Donations_LabelClick();
    void PayPal_ImageClick() { PayPal_Donations_LabelClick(); }
    void Quote_Change_TimerTimer();
    void Free_Resources_TimerTimer();

    // Hands an address or document to the shell with the verb "open"; nothing for an empty text.
    void OpenWithShell(const std::string& text);
    // The free share of memory as shown, such as "73%".
    static std::string FreeMemoryPercent();

private:
    void bindEvents();
    void makePictures();
    // Stops what a showing started: the two timers and the animation.
    void stopShowing();

    // FormActivate runs once per showing, not again when the box is re-activated while shown.
    bool activatedThisShowing_ = false;
};

} // namespace qvx
