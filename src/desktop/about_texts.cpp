#include "desktop/about_texts.h"

#include "desktop/scramble.h"

namespace qvx {

namespace {
// Scrambled while compiling: the program file holds none of these as plain text.
constexpr auto kAuthor = Scrambled("Written by Tovren");
constexpr auto kDevelopedUsing = Scrambled("Developed in C++20 with the Win32 API and mingw-w64");
constexpr auto kCopyrightHead = Scrambled("Copyright \xC2\xA9 2007-");
constexpr auto kCopyrightTail = Scrambled(" Tovren.  All rights reserved.");
constexpr auto kStatus = Scrambled("Shareware : free to use, copy and share.");
constexpr auto kCommentsLeadIn = Scrambled("Comments and suggestions :");
constexpr auto kWebLeadIn = Scrambled("Updates and more software at :");
constexpr auto kEmail = Scrambled("mail@tovren.example");
constexpr auto kWeb = Scrambled("https://tovren.example");
constexpr auto kDonationHead = Scrambled("https://tovren.example");
constexpr auto kDonationTail = Scrambled("/donate");
} // namespace

std::string AuthorText() { return Unscramble(kAuthor.view()); }
std::string DevelopedUsingText() { return Unscramble(kDevelopedUsing.view()); }
std::string CopyrightText(int year) {
    return Unscramble(kCopyrightHead.view()) + std::to_string(year) + Unscramble(kCopyrightTail.view());
}
std::string SoftwareStatusText() { return Unscramble(kStatus.view()); }
std::string CommentsLeadInText() { return Unscramble(kCommentsLeadIn.view()); }
std::string WebPageLeadInText() { return Unscramble(kWebLeadIn.view()); }
std::string EmailAddressText() { return Unscramble(kEmail.view()); }
std::string WebAddressText() { return Unscramble(kWeb.view()); }
std::string DonationAddressText() { return Unscramble(kDonationHead.view()) + Unscramble(kDonationTail.view()); }

std::string AuthorAndDateText() { return AuthorText() + ", " + kReleaseDate; }

} // namespace qvx
