// The Help menu of the main window and the About box's captions.
#include "app/main_form_layout.h"
#include "app/main_form_win.h"
#include "desktop/about_box_win.h"
#include "desktop/about_texts.h"
#include "desktop/document_viewer_win.h"

namespace qvx {

void TMainForm1::ApplyAboutBoxCaptions() {
    if (!aboutBox_) return;
    TAboutBox& about = *aboutBox_;
    about.setCaption(std::string("About ") + kProductTitle + " ...");
    about.Product_Name_Label.setCaption(kProductTitle);
    about.Author_and_Date_Label.setCaption(AuthorAndDateText());
    about.Developed_Using_Label.setCaption(DevelopedUsingText());
    SYSTEMTIME now;
    GetLocalTime(&now);
    about.Copyright_Label.setCaption(CopyrightText(now.wYear));
    about.Software_Status_Label.setCaption(SoftwareStatusText());
    about.Comments_Label.setCaption(CommentsLeadInText());
    about.WEB_Page_Label.setCaption(WebPageLeadInText());
    about.Email_Button.setCaption(EmailAddressText());
    about.WEB_Button.setCaption(WebAddressText());
    about.PayPal_WEB_Address_Label.setCaption(DonationAddressText());
    about.setHint("");
}

void TMainForm1::View_Readme_file_OptionClick() { ViewReadmeFile(); }

void TMainForm1::View_Shareware_Catalog_OptionClick() {
    // The product name as the About box shows it.
    ViewSharewareCatalog(aboutBox_ ? aboutBox_->Product_Name_Label.caption() : std::string(kProductTitle));
}

void TMainForm1::AboutOptionClick() {
    if (aboutBox_) aboutBox_->showModal();
}

} // namespace qvx
