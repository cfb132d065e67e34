// The Help menu of the main window and the About box's captions.
#include "app/main_form_layout.h"
#include "app/main_form_win.h"
#include "desktop/about_box_win.h"
#include "desktop/about_texts.h"
#include "desktop/document_viewer_win.h"

namespace qvx {

void MainForm::applyAboutBoxCaptions() {
    if (!aboutBox_) return;
    AboutBox& about = *aboutBox_;
    about.setCaption(std::string("About ") + kProductTitle + " ...");
    about.productNameLabel.setCaption(kProductTitle);
    about.authorLabel.setCaption(AuthorAndDateText());
    about.developedWithLabel.setCaption(DevelopedUsingText());
    SYSTEMTIME now;
    GetLocalTime(&now);
    about.copyrightLabel.setCaption(CopyrightText(now.wYear));
    about.statusLabel.setCaption(SoftwareStatusText());
    about.commentsLabel.setCaption(CommentsLeadInText());
    about.webPageLabel.setCaption(WebPageLeadInText());
    about.emailButton.setCaption(EmailAddressText());
    about.webButton.setCaption(WebAddressText());
    about.donationAddressLabel.setCaption(DonationAddressText());
    about.setHint("");
}

void MainForm::viewReadme() { ViewReadmeFile(); }

void MainForm::viewCatalog() {
    // The product name as the About box shows it.
    ViewSharewareCatalog(aboutBox_ ? aboutBox_->productNameLabel.caption() : std::string(kProductTitle));
}

void MainForm::showAboutBox() {
    if (aboutBox_) aboutBox_->showModal();
}

} // namespace qvx
