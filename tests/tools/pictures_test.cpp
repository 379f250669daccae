// What the textures must show where the game puts them: street markings
// that join from tile to tile, lit facades, soft smoke, and a title card
// whose text is complete, upright and on screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "bitmap_font.h"
#include "ground_textures.h"
#include "title_card.h"
#include "tools_test_support.h"

namespace {

// Where the street's paint is in each row (roadh) across the whole length.
Paint rowPaint(const Picture& p, int y) {
    int yellow = 0, white = 0;
    for (int x = 0; x < p.width(); ++x) {
        const Paint k = classify(p.at(x, y));
        yellow += k == Paint::yellow;
        white += k == Paint::white;
    }
    if (yellow > p.width() * 3 / 4) return Paint::yellow;
    if (white > p.width() * 3 / 4) return Paint::white;
    return Paint::other;
}

// Streets along z use "roadh": its centre line runs along s across the
// middle rows, edge lines near the kerbs, and the two lanes (0.8 units
// either side of the centre, cars' paths) are bare asphalt.
TEST(StreetTextures, CentreLineAlongSInTheMiddleRows) {
    const Picture road = paintFile("roadh.rgb");
    const int h = road.height();
    const float perUnit = h / tileWorldSize;
    std::set<int> yellowRows, whiteRows;
    for (int y = 0; y < h; ++y) {
        if (rowPaint(road, y) == Paint::yellow) yellowRows.insert(y);
        if (rowPaint(road, y) == Paint::white) whiteRows.insert(y);
    }
    ASSERT_FALSE(yellowRows.empty());
    for (int y : yellowRows) EXPECT_LT(std::abs(y + 0.5f - h / 2.0f), 0.12f * perUnit) << "yellow row " << y;
    for (int y : whiteRows) EXPECT_GT(std::abs(y + 0.5f - h / 2.0f), 1.5f * perUnit) << "white row " << y;
    EXPECT_GE(whiteRows.size(), 2u);
    for (float lane : {-0.8f, 0.8f}) {
        const int y = static_cast<int>(h / 2.0f + lane * perUnit);
        EXPECT_EQ(rowPaint(road, y), Paint::other) << "lane at row " << y;
    }
}

// Streets along x use "roadv": the same street with its markings along t.
TEST(StreetTextures, RoadvCarriesTheMarkingsAlongT) {
    const Picture road = paintFile("roadv.rgb");
    const int w = road.width();
    int yellowColumns = 0;
    for (int x = 0; x < w; ++x) {
        int yellow = 0;
        for (int y = 0; y < road.height(); ++y) yellow += classify(road.at(x, y)) == Paint::yellow;
        if (yellow > road.height() * 3 / 4) {
            ++yellowColumns;
            EXPECT_LT(std::abs(x + 0.5f - w / 2.0f), 8) << "yellow column " << x;
        }
    }
    EXPECT_GE(yellowColumns, 4);
}

// Tiles repeat along the street: the step from a tile's last column to the
// next tile's first is no rougher than steps inside the tile, and every row
// keeps its paint across the seam.
TEST(StreetTextures, MarkingsJoinAcrossTileEdges) {
    const Picture roadh = paintFile("roadh.rgb");
    const Picture roadv = paintFile("roadv.rgb");
    const Picture sidewalk = paintFile("sidewalk.rgb");
    const int n = roadh.width();
    float roughestColumnStep = 0, roughestRowStep = 0, roughestSlabStep = 0;
    for (int i = 0; i + 1 < n; ++i) {
        roughestColumnStep = std::max(roughestColumnStep, columnDifference(roadh, i, i + 1));
        roughestRowStep = std::max(roughestRowStep, rowDifference(roadv, i, i + 1));
        roughestSlabStep = std::max(
            {roughestSlabStep, columnDifference(sidewalk, i, i + 1), rowDifference(sidewalk, i, i + 1)});
    }
    EXPECT_LE(columnDifference(roadh, n - 1, 0), roughestColumnStep);
    EXPECT_LE(rowDifference(roadv, n - 1, 0), roughestRowStep);
    EXPECT_LE(columnDifference(sidewalk, n - 1, 0), roughestSlabStep);
    EXPECT_LE(rowDifference(sidewalk, n - 1, 0), roughestSlabStep);
    for (int k = kerbWidth; k < n - kerbWidth; ++k) {  // the paint between the kerbs
        EXPECT_EQ(classify(roadh.at(n - 1, k)), classify(roadh.at(0, k))) << "roadh row " << k;
        EXPECT_EQ(classify(roadv.at(k, n - 1)), classify(roadv.at(k, 0))) << "roadv column " << k;
    }
}

// The crossing has no centre line through it, and its corners carry the
// kerb stone that the streets' kerbs bring to its edges.
TEST(StreetTextures, CrossingHasNoCentreLineAndMeetsTheKerbs) {
    const Picture crossing = paintFile("roadi.rgb");
    const Picture roadh = paintFile("roadh.rgb");
    const int n = crossing.width();
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) ASSERT_NE(classify(crossing.at(x, y)), Paint::yellow) << x << "," << y;
    }
    // The kerb is lighter than the night asphalt (at most 0.14) on the
    // street's edge rows and at the crossing's corners, where those rows arrive.
    auto light = [](const Colour& c) { return (c.r + c.g + c.b) / 3 > 0.15f; };
    for (int y = 1; y < kerbWidth - 2; ++y) {
        ASSERT_TRUE(light(roadh.at(n - 1, y)) && light(roadh.at(n - 1, n - 1 - y)))
            << "street kerb row " << y;
        EXPECT_TRUE(light(crossing.at(0, y)) && light(crossing.at(0, n - 1 - y)))
            << "crossing corner row " << y;
        EXPECT_TRUE(light(crossing.at(n - 1, y)) && light(crossing.at(y, 0))) << "crossing corner " << y;
    }
    EXPECT_FALSE(light(crossing.at(n / 2, n / 2)));
}

// Ten different facades, each a dark wall with some warm lit windows.
TEST(FacadeTextures, TenDistinctNightFacadesWithLitWindows) {
    const char* names[] = {"building.rgb", "building2.rgb", "windows1.rgb",  "windows2.rgb", "windows3.rgb",
                           "grnbldg2.rgb", "ssb.rgb",       "towfront2.rgb", "office1.rgb",  "apts.rgb"};
    std::vector<Picture> facades;
    for (const char* name : names) facades.push_back(paintFile(name));
    for (size_t i = 0; i < facades.size(); ++i) {
        const Picture& p = facades[i];
        int warm = 0;
        float brightness = 0;
        for (int y = 0; y < p.height(); ++y) {
            for (int x = 0; x < p.width(); ++x) {
                const Colour& c = p.at(x, y);
                warm += (c.r > 0.8f && c.r - c.b > 0.3f) ? 1 : 0;
                brightness += (c.r + c.g + c.b) / 3;
            }
        }
        const float pixels = static_cast<float>(p.width() * p.height());
        EXPECT_GT(warm / pixels, 0.01f) << names[i] << " shows no lit windows";
        EXPECT_LT(warm / pixels, 0.4f) << names[i] << " is lit all over";
        EXPECT_LT(brightness / pixels, 0.6f) << names[i] << " is not a night wall";
        for (size_t j = 0; j < i; ++j) {
            float diff = 0;
            for (int y = 0; y < p.height(); y += 2) {
                for (int x = 0; x < p.width(); x += 2) {
                    const Colour& a = p.at(x, y);
                    const Colour& b = facades[j].at(x, y);
                    diff += std::fabs(a.r - b.r) + std::fabs(a.g - b.g) + std::fabs(a.b - b.b);
                }
            }
            EXPECT_GT(diff / (pixels / 4) / 3, 0.06f) << names[i] << " looks like " << names[j];
        }
    }
}

// Smoke puffs fade to nothing before their edge (no square outlines) and
// are light grey for traffic, black for the fugitive.
TEST(SmokeTextures, SoftPuffsOfTheRightShade) {
    for (const char* name : {"smoke2.rgb", "smokeblack2.rgb"}) {
        const Picture p = paintFile(name);
        const int n = p.width();
        float peak = 0, shade = 0, weight = 0;
        for (int y = 0; y < n; ++y) {
            for (int x = 0; x < n; ++x) {
                const Colour& c = p.at(x, y);
                if (x == 0 || y == 0 || x == n - 1 || y == n - 1) {
                    ASSERT_EQ(c.a, 0.0f) << name << " edge";
                }
                peak = std::max(peak, c.a);
                shade += c.a * (c.r + c.g + c.b) / 3;
                weight += c.a;
            }
        }
        EXPECT_GT(peak, 0.5f) << name;
        const float mean = shade / weight;
        if (std::string(name) == "smoke2.rgb") {
            EXPECT_GT(mean, 0.6f);
        } else {
            EXPECT_LT(mean, 0.12f);
        }
    }
}

float inkWidth(const TitleLine& line) {
    return textWidth(line.text, line.style) + line.style.shadowOffset * line.style.scaleX;
}

// The card names the game, says what to do, lists every control of the
// game and asks for a key; all of it drawable with the font.
TEST(TitleCard, CarriesTheWholeControlTable) {
    const std::vector<TitleLine> lines = titleCardLayout();
    std::string all;
    for (const TitleLine& line : lines) {
        all += line.text + "\n";
        for (char c : line.text) EXPECT_TRUE(fontHasGlyph(c)) << "no glyph for '" << c << "'";
    }
    EXPECT_EQ(lines.front().text, "SEARCHLIGHT");
    EXPECT_EQ(lines.back().text, "PRESS ANY KEY");
    const char* controls[][2] = {
        {"W / S", "FORWARD / BACK"}, {"A / D", "STRAFE"},          {"Q / E", "TURN"},
        {"Z / C", "VIEW"},           {"MOUSE", "SEARCHLIGHT"},     {"SPACE", "SUSPEND"},
        {"= / -", "RAISE / LOWER"},  {"[ / ]", "COCKPIT / CHASE"}, {"X", "POLICE CAR"},
        {"P / M", "PAUSE / MUTE"},   {"ENTER", "NEW CHASE"},       {"ESC", "QUIT"}};
    for (const auto& control : controls) {
        bool found = false;
        for (size_t i = 0; i + 1 < lines.size(); ++i) {
            found = found || (lines[i].text == control[0] && lines[i + 1].y == lines[i].y &&
                              lines[i + 1].text.find(control[1]) != std::string::npos);
        }
        EXPECT_TRUE(found) << control[0] << " / " << control[1];
    }
    EXPECT_NE(all.find("FUGITIVE"), std::string::npos) << "say what the player does";
    EXPECT_NE(all.find("A RED CAR WITH A\nYELLOW STRIPE AND BLACK SMOKE"), std::string::npos)
        << "say what the fugitive looks like";
    // The map's legend: each mark beside the word that names it.
    const std::pair<const char*, MapMark> legend[] = {
        {"YOU", MapMark::helicopter}, {"FUGITIVE", MapMark::fugitive}, {"POLICE", MapMark::police}};
    for (const auto& [word, mark] : legend) {
        const bool found = std::any_of(lines.begin(), lines.end(),
                                       [&](const TitleLine& l) { return l.text == word && l.mark == mark; });
        EXPECT_TRUE(found) << word;
    }
}

// Every line, shadow included, lies inside the part of the card that is
// surely on screen, and no two lines overlap.
TEST(TitleCard, TextStaysOnScreenWithoutOverlaps) {
    const std::vector<TitleLine> lines = titleCardLayout();
    const float n = titleCardSize;
    for (const TitleLine& line : lines) {
        const float bottom = line.y - line.style.shadowOffset * line.style.scaleY;
        EXPECT_GE(line.x, titleSafeLeft * n) << line.text;
        EXPECT_LE(line.x + inkWidth(line), titleSafeRight * n) << line.text;
        EXPECT_GE(bottom, titleSafeBottom * n) << line.text;
        EXPECT_LE(line.y + textHeight(line.style), titleSafeTop * n) << line.text;
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        for (size_t j = 0; j < i; ++j) {
            const TitleLine &a = lines[i], &b = lines[j];
            const bool apart = a.x >= b.x + inkWidth(b) || b.x >= a.x + inkWidth(a) ||
                               a.y >= b.y + textHeight(b.style) || b.y >= a.y + textHeight(a.style);
            EXPECT_TRUE(apart) << "\"" << a.text << "\" overlaps \"" << b.text << "\"";
        }
    }
}

// In the file as the game decodes it (row 0 = texture t = 0, the bottom of
// the card as seen), the name's glyphs sit upright near the top: a set font
// pixel of its first letter is bright where the layout puts it, an unset
// one beside it is not.
TEST(TitleCard, NameIsUprightInTheDecodedFile) {
    const std::vector<DataFile> files = buildDataSet();
    const DecodedImage card = decodeSgi(dataSetFile(files, "screenshot.rgb").bytes);
    const std::vector<TitleLine> lines = titleCardLayout();
    const TitleLine& title = lines.front();
    ASSERT_EQ(title.text[0], 'S');
    auto centreOf = [&](int column, int row) {
        const int x = static_cast<int>(title.x + (column + 0.5f) * title.style.scaleX);
        const int y = static_cast<int>(title.y + (glyphHeight - 1 - row + 0.5f) * title.style.scaleY);
        return card.at(x, y);
    };
    ASSERT_TRUE(glyphPixel('S', 1, 0) && !glyphPixel('S', 0, 0) && glyphPixel('S', 0, 1) &&
                !glyphPixel('S', 4, 6));
    // The name is pale yellow; its glow around the strokes is orange, with little blue.
    EXPECT_GT(centreOf(1, 0)[2], 150) << "top stroke of the S";
    EXPECT_GT(centreOf(0, 1)[2], 150) << "upper left stroke";
    EXPECT_LT(centreOf(0, 0)[2], 120) << "the S has no upper-left corner";
    EXPECT_LT(centreOf(4, 6)[2], 120) << "nor a lower-right one";
    EXPECT_GT(title.y, card.height * 0.75f) << "the name is at the top of the card";
}

}  // namespace
