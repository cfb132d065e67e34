#include "app/button_glyphs_win.h"

namespace qvx {

// 16 x 16 pictures; '.' is transparent.

const ui::GlyphArt& RefreshGlyphArt() {
    // Two arrows chasing each other round a circle.
    static const ui::GlyphArt art{16, 16,
                                  {
                                      "................",
                                      ".....GGGGGG.....",
                                      "...GGggggggGG.G.",
                                      "..Gggg....ggGGG.",
                                      ".Ggg.......gggG.",
                                      ".Gg.......GgggG.",
                                      "Ggg......GGGGGG.",
                                      "Gg..............",
                                      "..............gG",
                                      ".GGGGGG......ggG",
                                      ".GgggG.......gG.",
                                      ".Gggg.......ggG.",
                                      ".GGGgg....ggggG.",
                                      ".G.GGggggggGG...",
                                      ".....GGGGGG.....",
                                      "................",
                                  },
                                  {{'G', 0x006000}, {'g', 0x20C020}}};
    return art;
}

const ui::GlyphArt& SanitizeGlyphArt() {
    // A hard disk with a broom sweeping across it.
    static const ui::GlyphArt art{16, 16,
                                  {
                                      "...........bb...",
                                      "..........bb....",
                                      ".........bb.....",
                                      "........bb......",
                                      ".......bb.......",
                                      "......yyy.......",
                                      ".....yyyyy......",
                                      "....yyyyyy......",
                                      "...yyyyyy.......",
                                      "KKKKKKKKKKKKKKK.",
                                      "KwwwwwwwwwwwwwKk",
                                      "KwssssssssssswKk",
                                      "Kwsssssssssg.wKk",
                                      "KwwwwwwwwwwwwwKk",
                                      "KKKKKKKKKKKKKKKk",
                                      ".kkkkkkkkkkkkkkk",
                                  },
                                  {{'b', 0x804000},
                                   {'y', 0xE0C040},
                                   {'K', 0x404040},
                                   {'k', 0x808080},
                                   {'w', 0xD8D8D8},
                                   {'s', 0xA0A0A0},
                                   {'g', 0x00C000},
                                   {'.', 0}}};
    return art;
}

const ui::GlyphArt& AbortGlyphArt() {
    // A red stop sign.
    static const ui::GlyphArt art{16, 16,
                                  {
                                      "................",
                                      ".....RRRRRR.....",
                                      "....RrrrrrrR....",
                                      "...RrrrrrrrrR...",
                                      "..RrrrrrrrrrrR..",
                                      ".RrrrrrrrrrrrrR.",
                                      ".RrrrrrrrrrrrrR.",
                                      ".RrWWWWWWWWWWrR.",
                                      ".RrWWWWWWWWWWrR.",
                                      ".RrrrrrrrrrrrrR.",
                                      ".RrrrrrrrrrrrrR.",
                                      "..RrrrrrrrrrrR..",
                                      "...RrrrrrrrrR...",
                                      "....RrrrrrrR....",
                                      ".....RRRRRR.....",
                                      "................",
                                  },
                                  {{'R', 0x800000}, {'r', 0xE02020}, {'W', 0xFFFFFF}}};
    return art;
}

const ui::GlyphArt& ExitGlyphArt() {
    // An open door with an arrow leading out.
    static const ui::GlyphArt art{16, 16,
                                  {
                                      "................",
                                      ".DDDDDDDDD......",
                                      ".D.......D......",
                                      ".D.oo....D......",
                                      ".D.ooo...D......",
                                      ".D.oooo..D...a..",
                                      ".D.oooo..D...aa.",
                                      ".D.oooo.aaaaaaaa",
                                      ".D.oooo.aaaaaaaa",
                                      ".D.oooo..D...aa.",
                                      ".D.oooo..D...a..",
                                      ".D.oooo..D......",
                                      ".D..ooo..D......",
                                      ".D...oo..D......",
                                      ".DDDDDDDDD......",
                                      "................",
                                  },
                                  {{'D', 0x603000}, {'o', 0xB07030}, {'a', 0x0000C0}}};
    return art;
}

} // namespace qvx
