// The About box's portable rules: free memory, the quote draw, the stored texts and the layout.
#include "desktop/about_box_layout.h"
#include "desktop/about_box_logic.h"
#include "desktop/about_texts.h"
#include "desktop/scramble.h"
#include "engine/random_generator.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace qvx {
namespace {

constexpr std::uint64_t MiB = 1024 * 1024, GiB = 1024 * MiB;

TEST(FreeMemoryPercent, PhysicalInWholeKiBPagingExactRoundedToWhole) {
    // 128 of 512 MiB physical and 384 of 512 MiB paging file free: half of everything.
    EXPECT_EQ(FreeMemoryPercentText({512 * MiB, 128 * MiB, 512 * MiB, 384 * MiB}), "50%");
    // Physical counts drop their last partial KiB, paging counts keep it: (1 + 0.5) / (2 + 1).
    EXPECT_EQ(FreeMemoryPercentText({2048, 2047, 1024, 512}), "50%");
    EXPECT_EQ(FreeMemoryPercentText({3 * MiB, 2 * MiB, 0, 0}), "67%");  // rounded, not cut
    // 6 of 16 GiB physical, 10 of 24 GiB paging: 16 / 40. Cut to 32 bits these would read
    // 2 / 0 GiB and 2 / 8 GiB.
    EXPECT_EQ(FreeMemoryPercentText({16 * GiB, 6 * GiB, 24 * GiB, 10 * GiB}), "40%");
    EXPECT_EQ(FreeMemoryPercentText({}), "0%");  // a failed query: no division by zero
}

TEST(QuoteDraw, UpperBitsOfTheProductFromAKnownSeed) {
    // Seeded at 12:34:56.789; the same quote may come twice in a row.
    engine::SeedRandom(engine::MillisecondsOfDay(12, 34, 56, 789));
    std::vector<std::uint32_t> draws;
    for (int i = 0; i < 8; ++i) draws.push_back(DrawQuoteIndex(4));
    EXPECT_EQ(draws, (std::vector<std::uint32_t>{1, 1, 1, 0, 2, 1, 0, 2}));
    engine::SeedRandom(0);
    draws.clear();
    for (int i = 0; i < 8; ++i) draws.push_back(DrawQuoteIndex(4));
    EXPECT_EQ(draws, (std::vector<std::uint32_t>{0, 0, 3, 0, 1, 2, 1, 0}));
}

TEST(Scramble, RoundTripsEveryByteAndHidesTheText) {
    std::string all;
    for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
    for (const std::string& plain : {std::string(), std::string("a"), all, std::string(300, 'x')}) {
        const std::string scrambled = Scramble(plain);
        EXPECT_EQ(Unscramble({reinterpret_cast<const std::uint8_t*>(scrambled.data()), scrambled.size()}), plain);
        int same = 0;  // at most a stray byte matches by chance
        for (std::size_t i = 0; i < plain.size(); ++i) same += scrambled[i] == plain[i];
        EXPECT_LT(same, static_cast<int>(plain.size()) / 8 + 2) << plain.size();
    }
    // The compile-time scrambling is the run-time one.
    constexpr auto stored = Scrambled("https://tovren.example");
    EXPECT_EQ(std::string(stored.bytes.begin(), stored.bytes.end()), Scramble("https://tovren.example"));
}

TEST(AboutTexts, AddressesUnderTheExampleDomainAndTheAuthorLine) {
    EXPECT_EQ(AuthorAndDateText(), AuthorText() + ", September 2007");
    EXPECT_NE(CopyrightText(2031).find("2007-2031 Tovren"), std::string::npos);
    EXPECT_NE(EmailAddressText().find('@'), std::string::npos);
    for (const std::string& address : {EmailAddressText(), WebAddressText(), DonationAddressText()}) {
        const std::size_t at = address.find(".example");
        ASSERT_NE(at, std::string::npos) << address;
        EXPECT_TRUE(at + 8 == address.size() || address[at + 8] == '/') << address;
    }
    EXPECT_EQ(DonationAddressText().rfind(WebAddressText() + "/", 0), 0u);
    EXPECT_EQ(MailtoLink("a@b.example", "quarvex.exe"), "mailto:a@b.example?subject=Shareware: quarvex.exe");
}

TEST(AboutBoxLayout, EveryControlLiesInsideItsParent) {
    std::map<std::string, const ui::ControlDesign*> rows;
    const ui::FormDesign& form = AboutBoxDesign();
    for (const ui::ControlDesign& row : AboutBoxLayout()) {
        ASSERT_FALSE(rows.count(row.name)) << row.name;
        rows[row.name] = &row;
        if (!ui::IsVisual(row.kind)) continue;
        const ui::ControlDesign* parent = row.parent[0] ? rows.at(row.parent) : nullptr;
        // The banner frame starts above the client area, so its top border is hidden.
        EXPECT_GE(row.top, std::string(row.name) == "bannerGroup" ? -4 : 0) << row.name;
        EXPECT_GE(row.left, 0) << row.name;
        EXPECT_LE(row.left + row.width, parent ? parent->width : form.clientWidth) << row.name;
        EXPECT_LE(row.top + row.height, parent ? parent->height : form.clientHeight) << row.name;
    }
}

} // namespace
} // namespace qvx
