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

constexpr std::uint64_t KiB = 1024, MiB = 1024 * KiB, GiB = 1024 * MiB;

TEST(FreeMemoryPercent, PhysicalInWholeKiBPagingExactRoundedToWhole) {
    // 128 of 512 MiB physical and 384 of 512 MiB paging file free: half of everything.
    EXPECT_EQ(FreeMemoryPercentText({.totalPhys = 512 * MiB, .availPhys = 128 * MiB, .totalPageFile = 512 * MiB,
                                     .availPageFile = 384 * MiB}),
              "50%");
    // Physical counts drop their last partial KiB, paging counts keep it: (1 + 0.5) / (2 + 1).
    EXPECT_EQ(FreeMemoryPercentText({.totalPhys = 2048, .availPhys = 2047, .totalPageFile = 1024, .availPageFile = 512}), "50%");
    // Rounded, not cut: 2/3 is 67%, 1/3 is 33%.
    EXPECT_EQ(FreeMemoryPercentText({.totalPhys = 3 * MiB, .availPhys = 2 * MiB}), "67%");
    EXPECT_EQ(FreeMemoryPercentText({.totalPhys = 3 * MiB, .availPhys = 1 * MiB}), "33%");
    EXPECT_EQ(FreeMemoryPercentText({.totalPhys = 4 * GiB, .availPhys = 4 * GiB}), "100%");
    // A failed query (all zero) reads 0%, not a division by zero.
    EXPECT_EQ(FreeMemoryPercentText({}), "0%");
}

TEST(FreeMemoryPercent, CountsAbove4GiBAreNotWrapped) {
    // 6 of 16 GiB physical, 10 of 24 GiB paging: 16 / 40. Cut to 32 bits, these counts would
    // give 2 / 0 GiB physical and 2 / 8 GiB paging.
    EXPECT_EQ(FreeMemoryPercentText({.totalPhys = 16 * GiB, .availPhys = 6 * GiB, .totalPageFile = 24 * GiB,
                                     .availPageFile = 10 * GiB}),
              "40%");
    EXPECT_EQ(FreeMemoryPercentText({.totalPhys = 64 * GiB, .availPhys = 48 * GiB, .totalPageFile = 64 * GiB,
                                     .availPageFile = 48 * GiB}),
              "75%");
}

TEST(QuoteDraw, UpperBitsOfTheProductFromAKnownSeed) {
    // Seeded at 12:34:56.789 (45,296,789 ms), the first eight draws among four quotes; the same
    // quote may come twice in a row.
    engine::SeedRandom(engine::MillisecondsOfDay(12, 34, 56, 789));
    std::vector<std::uint32_t> draws;
    for (int i = 0; i < 8; ++i) draws.push_back(DrawQuoteIndex(4));
    EXPECT_EQ(draws, (std::vector<std::uint32_t>{1, 1, 1, 0, 2, 1, 0, 2}));

    // Seed 0: S = 1, then 134775814, ... small states give small indices.
    engine::SeedRandom(0);
    draws.clear();
    for (int i = 0; i < 8; ++i) draws.push_back(DrawQuoteIndex(4));
    EXPECT_EQ(draws, (std::vector<std::uint32_t>{0, 0, 3, 0, 1, 2, 1, 0}));

    // Every index below n is reachable and none beyond.
    std::map<std::uint32_t, int> seen;
    for (int i = 0; i < 4000; ++i) ++seen[DrawQuoteIndex(4)];
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen.rbegin()->first, 3u);
}

TEST(Scramble, RoundTripsEveryByteAndHidesTheText) {
    std::string all;
    for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
    for (const std::string& plain : {std::string(), std::string("a"), std::string("tovren@tovren.example"), all,
                                     std::string(300, 'x')}) {
        const std::string scrambled = Scramble(plain);
        ASSERT_EQ(scrambled.size(), plain.size());
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(scrambled.data());
        EXPECT_EQ(Unscramble({bytes, scrambled.size()}), plain);
        if (plain.size() >= 4) {
            // No run of the plain text survives: at most a stray byte matches by chance.
            int same = 0;
            for (std::size_t i = 0; i < plain.size(); ++i) same += scrambled[i] == plain[i];
            EXPECT_LT(same, static_cast<int>(plain.size()) / 8 + 2) << plain.size();
        }
    }
    // A repeated letter does not scramble to a repeated byte.
    const std::string runs = Scramble("aaaaaaaa");
    EXPECT_NE(runs.find_first_not_of(runs[0]), std::string::npos);

    // The compile-time scrambling is the same routine as the run-time one.
    constexpr auto stored = Scrambled("https://tovren.example");
    EXPECT_EQ(std::string(stored.bytes.begin(), stored.bytes.end()), Scramble("https://tovren.example"));
    EXPECT_EQ(Unscramble(stored.view()), "https://tovren.example");
}

TEST(AboutTexts, AddressesAndNotices) {
    EXPECT_EQ(AuthorAndDateText(), AuthorText() + ", September 2007");
    EXPECT_NE(AuthorText().find("Tovren"), std::string::npos);
    EXPECT_NE(CopyrightText(2031).find("2007-2031 Tovren"), std::string::npos);
    // Addresses live under the reserved "example" domain, and the links are usable as they are.
    EXPECT_NE(EmailAddressText().find('@'), std::string::npos);
    for (const std::string& address : {EmailAddressText(), WebAddressText(), DonationAddressText()}) {
        const std::size_t at = address.find(".example");
        ASSERT_NE(at, std::string::npos) << address;
        EXPECT_TRUE(at + 8 == address.size() || address[at + 8] == '/') << address;
    }
    EXPECT_EQ(WebAddressText().rfind("https://", 0), 0u);
    EXPECT_EQ(DonationAddressText().rfind(WebAddressText(), 0), 0u);
    EXPECT_GT(DonationAddressText().size(), WebAddressText().size());
    EXPECT_EQ(MailtoLink("a@b.example", "quarvex.exe"), "mailto:a@b.example?subject=Shareware: quarvex.exe");
}

TEST(AboutBoxLayout, EveryControlLiesInsideItsParentAndTheClientArea) {
    std::map<std::string, const ui::ControlSpec*> rows;
    const ui::FormSpec& form = AboutBoxSpec();
    int timers = 0;
    for (const ui::ControlSpec& row : AboutBoxLayout()) {
        ASSERT_FALSE(rows.count(row.name)) << row.name;
        rows[row.name] = &row;
        if (row.kind == ui::Kind::Timer) {
            ++timers;
            EXPECT_FALSE(row.enabled) << row.name;  // started by each showing
            continue;
        }
        int width = form.clientWidth, height = form.clientHeight;
        if (row.parent[0]) {
            ASSERT_TRUE(rows.count(row.parent)) << row.name << " before its parent";
            width = rows[row.parent]->width;
            height = rows[row.parent]->height;
        }
        // The banner frame starts above the client area, so its top border is hidden.
        if (std::string(row.name) != "GroupBox2") {
            EXPECT_GE(row.top, 0) << row.name;
        }
        EXPECT_GE(row.left, 0) << row.name;
        EXPECT_LE(row.left + row.width, width) << row.name;
        EXPECT_LE(row.top + row.height, height) << row.name;
    }
    EXPECT_EQ(timers, 2);
    EXPECT_EQ(rows.at("Quotes_From_Tovren_ListBox")->items.size(), 4u);
    EXPECT_EQ(rows.at("Quote_Change_Timer")->interval, 10000);
    EXPECT_EQ(rows.at("Free_Resources_Timer")->interval, 500);
}

} // namespace
} // namespace qvx
