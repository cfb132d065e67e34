#pragma once
// The About box's texts: the ones kept scrambled in the program file, and the plain ones.
#include <string>

namespace qvx {

// Release month of this version; follows the author line after ", ".
inline constexpr char kReleaseDate[] = "September 2007";

// Each stored text, unscrambled.
std::string AuthorText();
std::string DevelopedUsingText();
// The rights notice for a given year (the About box passes the current one).
std::string CopyrightText(int year);
std::string SoftwareStatusText();
std::string CommentsLeadInText();
std::string WebPageLeadInText();
std::string EmailAddressText();
std::string WebAddressText();
// The donation page is stored in two pieces, joined here.
std::string DonationAddressText();

// The author line as shown: author, ", ", release date.
std::string AuthorAndDateText();

// Quotes shown by the About box, in their list order.
inline constexpr const char* kAboutQuotes[] = {
    "I hope this program makes your work a little simpler, your play a little better, or your day a bit easier.",
    "If you have any comments, suggestions, improvements, or feedback, please email me.",
    "Useful software needn't take up Gigabytes of disk space, and my catalog of software proves this.",
    "Please support my efforts with a PayPal donation.",
};

} // namespace qvx
