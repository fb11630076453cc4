#include "monitor/bar_cells.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "app/singletons.h"
#include "monitor/adapter_monitor.h"
#include "monitor/test_support.h"
#include "testing/resource_count.h"
#include "testing/scratch_registry.h"
#include "testing/text_pixels.h"

namespace {

using namespace qv;
using qv::testing::AreaDiffers;
using qv::testing::TextLook;
using qv::testing::TextPixelsDiffer;

constexpr COLORREF kFill = RGB(0, 254, 0);
constexpr COLORREF kTrack = RGB(0, 128, 0);

// A copy of the bar skin in a memory DC, to compose on or to compare with.
class SkinCanvas {
public:
    SkinCanvas()
        : screen_(nullptr), dc_(CreateCompatibleDC(screen_.get())),
          skin_(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_BAR_SKIN))),
          selected_(dc_.get(), skin_.get()) {}
    HDC dc() const { return dc_.get(); }
    COLORREF Pixel(int x, int y) const { return GetPixel(dc_.get(), x, y); }

private:
    WindowDC screen_;
    UniqueMemoryDC dc_;
    UniqueBitmap skin_;
    SelectGuard selected_;
};

class BarCells : public ::testing::Test {
protected:
    void SetUp() override {
        pen.reset(CreatePen(PS_NULL, 0, RGB(255, 255, 255)));
        track.reset(CreateSolidBrush(kTrack));
        fill.reset(CreateSolidBrush(kFill));
        font = CreateFaceFont("Segoe UI", 12, FW_NORMAL);
    }

    // Composes the cells on a fresh skin copy.
    void Compose(SkinCanvas& canvas, const BarCellFigures& figures) const {
        const SelectGuard fontSelected(canvas.dc(), font.get());
        ComposeBarCells(canvas.dc(), figures, {pen.get(), track.get(), fill.get()});
    }

    UniquePen pen;
    UniqueBrush track, fill;
    UniqueFont font;
};

// The colours of one row from x first to x last.
std::vector<COLORREF> Row(const SkinCanvas& canvas, int y, int first, int last) {
    std::vector<COLORREF> row;
    for (int x = first; x <= last; ++x) {
        row.push_back(canvas.Pixel(x, y));
    }
    return row;
}

TEST_F(BarCells, GaugesFillTheirTracksInProportion) {
    SkinCanvas canvas;
    const SkinCanvas skin;
    Compose(canvas, {100.0, 50, 500 * 1048576ull, {}});
    for (int y = 13; y <= 15; ++y) {
        // CPU 100: the fill ends where the track ends, the pixel before x 75.
        EXPECT_EQ(Row(canvas, y, 52, 74 - 1), std::vector<COLORREF>(22, kFill)) << y;
        // Memory 50: fill to x 97, the track on to x 116.
        EXPECT_EQ(Row(canvas, y, 78, 95), std::vector<COLORREF>(18, kFill)) << y;
        EXPECT_EQ(Row(canvas, y, 96, 114), std::vector<COLORREF>(19, kTrack)) << y;
        for (int x : {51, 74, 75, 76, 77, 115, 116, 117}) {
            EXPECT_EQ(canvas.Pixel(x, y), skin.Pixel(x, y)) << x << "," << y;
        }
    }
    // The row under the gauges is the skin's.
    EXPECT_EQ(Row(canvas, 16, 51, 200), Row(skin, 16, 51, 200));
    EXPECT_EQ(Row(canvas, 12 + 1, 117, 200), Row(skin, 13, 117, 200));
}

TEST_F(BarCells, LoadsOutsideTheRangeStayInsideTheTrack) {
    for (double load : {0.0, -30.0, 180.0}) {
        SkinCanvas canvas;
        const SkinCanvas skin;
        Compose(canvas, {load, 0, 0, {}});
        const COLORREF expected = load > 100 ? kFill : kTrack;
        EXPECT_EQ(Row(canvas, 14, 52, 73), std::vector<COLORREF>(22, expected)) << load;
        EXPECT_EQ(Row(canvas, 14, 45, 51), Row(skin, 14, 45, 51)) << load;
        EXPECT_EQ(Row(canvas, 14, 74, 77), Row(skin, 14, 74, 77)) << load;
        EXPECT_EQ(Row(canvas, 14, 78, 114), std::vector<COLORREF>(37, kTrack)) << load;
    }
}

TEST_F(BarCells, TextsGoInTheirCellsAndEmptyRatesDrawNothing) {
    const SkinCanvas skin;
    SkinCanvas withRates, withoutRates;
    Compose(withRates, {25.0, 40, 3 * 1048576ull, RateText::Format("%s", "1.5 KB/20 B")});
    Compose(withoutRates, {25.0, 40, 3 * 1048576ull, {}});
    auto differs = [&skin](const SkinCanvas& canvas, int first, int last) {
        for (int y = 1; y <= 12; ++y) {
            if (Row(canvas, y, first, last) != Row(skin, y, first, last)) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(differs(withRates, 51, 75));
    EXPECT_TRUE(differs(withRates, 78, 116));
    EXPECT_TRUE(differs(withRates, 119, 200));
    EXPECT_TRUE(differs(withoutRates, 51, 75));
    EXPECT_FALSE(differs(withoutRates, 119, 200));
}

TEST_F(BarCells, EachCellShowsItsOwnFigureInWhiteAtItsPlace) {
    const SkinCanvas skin;
    SkinCanvas canvas;
    Compose(canvas, {25.4, 40, 3 * 1048576ull, RateText::Format("%s", "1.5 KB/20 B")});
    const TextLook white{font.get(), RGB(255, 255, 255)};
    EXPECT_EQ(TextPixelsDiffer(canvas.dc(), skin.dc(), 51, 1, " 25%", white), 0);
    EXPECT_EQ(TextPixelsDiffer(canvas.dc(), skin.dc(), 78, 1, "3.0 MB", white), 0);
    EXPECT_EQ(TextPixelsDiffer(canvas.dc(), skin.dc(), 119, 1, "1.5 KB/20 B", white), 0);
}

// In a face as wide as a substitute for the bar's may be, the free memory gives up its decimals
// before it would run into the network cell, and the rates are cut at the web-search icon.
TEST_F(BarCells, WideTextsStayInTheirCells) {
    font = CreateFaceFont("DejaVu Sans Mono", 12, FW_NORMAL);
    const SkinCanvas skin;
    SkinCanvas canvas;
    Compose(canvas, {100.0, 40, uint64_t(23.06 * 1073741824.0),
                     RateText::Format("%s", "1023.9 KB/1023.9 KB")});
    const TextLook white{font.get(), RGB(255, 255, 255)};
    EXPECT_EQ(TextPixelsDiffer(canvas.dc(), skin.dc(), 51, 1, "100", white), 0)
        << "the CPU load keeps its digits";
    EXPECT_EQ(TextPixelsDiffer(canvas.dc(), skin.dc(), 78, 1, "23 GB", white), 0);
    EXPECT_EQ(TextPixelsDiffer(canvas.dc(), skin.dc(), 119, 1, "1023.9", white), 0);
    EXPECT_FALSE(AreaDiffers(canvas.dc(), skin.dc(), {197, 0, 235, 13}));
    EXPECT_TRUE(AreaDiffers(canvas.dc(), skin.dc(), {187, 0, 197, 13})) << "cut, not dropped";
    // Where it is cut it ends in an ellipsis: dots on the baseline, nothing above them.
    int lastColumn = 196;
    while (lastColumn > 119 &&
           !AreaDiffers(canvas.dc(), skin.dc(), {lastColumn, 0, lastColumn + 1, 13})) {
        --lastColumn;
    }
    EXPECT_FALSE(AreaDiffers(canvas.dc(), skin.dc(), {lastColumn - 12, 0, lastColumn + 1, 7}));
    EXPECT_TRUE(AreaDiffers(canvas.dc(), skin.dc(), {lastColumn - 12, 7, lastColumn + 1, 13}));

    // A little less free memory keeps one decimal where it fits.
    font = CreateFaceFont("Segoe UI", 12, FW_NORMAL);
    SkinCanvas narrower;
    Compose(narrower, {25.0, 40, uint64_t(3.06 * 1073741824.0), {}});
    EXPECT_EQ(
        TextPixelsDiffer(narrower.dc(), skin.dc(), 78, 1, "3.06 GB", {font.get(), white.colour}),
        0);
}

// The free memory shows the first of its texts with two, one and no decimals that fits whole in
// its cell, the 41 pixels from x 78 to the network cell at x 119. Faces, heights and figures are
// picked, by their measured widths, so that each of the three is the one that fits, and a text
// exactly 41 pixels wide is kept.
TEST_F(BarCells, FreeMemoryShowsTheFirstOfItsTextsThatFitsItsCell) {
    struct Case {
        std::string face;
        int height = 0;
        double gigabytes = 0;
        std::string text;
    };
    std::map<std::string, Case> cases; // by the kind of choice met
    const UniqueMemoryDC measuring(CreateCompatibleDC(nullptr));
    for (const char* face : {"Segoe UI", "DejaVu Sans", "DejaVu Sans Mono"}) {
        for (int height = 9; height <= 22; ++height) {
            const UniqueFont candidate = CreateFaceFont(face, height, FW_NORMAL);
            const SelectGuard selected(measuring.get(), candidate.get());
            for (int whole = 1; whole <= 9; ++whole) {
                for (const int hundredths : {6, 13, 27, 44, 58, 71, 89}) {
                    const double gigabytes = whole + hundredths / 100.0;
                    char texts[3][16];
                    int widths[3];
                    for (int decimals = 2; decimals >= 0; --decimals) {
                        char* text = texts[2 - decimals];
                        snprintf(text, sizeof texts[0], "%.*f GB", decimals, gigabytes);
                        SIZE size{};
                        GetTextExtentPoint32A(measuring.get(), text, int(strlen(text)), &size);
                        widths[2 - decimals] = size.cx;
                    }
                    if (widths[2] > 41) {
                        continue; // cut whatever is chosen
                    }
                    const int chosen = widths[0] <= 41 ? 0 : widths[1] <= 41 ? 1 : 2;
                    const std::string kind =
                        chosen < 2 && widths[chosen] == 41 ? "exactly" : std::to_string(chosen);
                    cases.try_emplace(kind, Case{face, height, gigabytes, texts[chosen]});
                }
            }
        }
    }
    ASSERT_EQ(cases.size(), 4u) << "two, one and no decimals, and a text of exactly 41 pixels";
    const SkinCanvas skin;
    // The rows above the gauge: a tall text's foot lies under it.
    for (const auto& [kind, shown] : cases) {
        font = CreateFaceFont(shown.face.c_str(), shown.height, FW_NORMAL);
        SkinCanvas canvas;
        Compose(canvas, {10.0, 30, uint64_t(shown.gigabytes * 1073741824.0), {}});
        EXPECT_EQ(TextPixelsDiffer(canvas.dc(), skin.dc(), 78, 1, shown.text,
                                   {font.get(), RGB(255, 255, 255), false, 0, 12}),
                  0)
            << kind << ": " << shown.text << " in " << shown.face << " " << shown.height;
    }
}

// Each compose draws again only the cells whose figures look different, and returns their
// columns; whatever came before, the strip is what a fresh composition of the figures gives.
TEST_F(BarCells, AComposeRedrawsTheCellsThatChangedAndMatchesAFreshComposition) {
    const UniqueBitmap cellSkin(
        LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_BAR_SKIN)));
    qv::BarCells cells;
    cells.Create(cellSkin.get());
    SkinCanvas copied;
    auto stripMatches = [&](const BarCellFigures& figures) {
        SkinCanvas fresh;
        Compose(fresh, figures);
        cells.CopyStrip(copied.dc());
        return !AreaDiffers(copied.dc(), fresh.dc(), kBarCellStrip);
    };
    const RateText rates = RateText::Format("%s", "12 KB/3 KB");
    const uint64_t gigabytes = 2 * 1073741824ull;
    struct Step {
        BarCellFigures figures;
        RECT changed;
    };
    const Step steps[] = {
        {{10.0, 30, gigabytes, rates}, {51, 2, 197, 18}},
        {{10.9, 30, gigabytes, rates}, {}},                   // the same "10%" and gauge
        {{64.0, 30, gigabytes, rates}, {51, 2, 78, 18}},      // the CPU cell
        {{64.0, 80, gigabytes, rates}, {78, 2, 119, 18}},     // the memory gauge
        {{64.0, 80, gigabytes / 3, rates}, {78, 2, 119, 18}}, // the memory text
        {{64.0, 80, gigabytes / 3, {}}, {119, 2, 197, 18}},   // the network cell
        {{5.0, 80, gigabytes / 3, rates}, {51, 2, 197, 18}},  // CPU and network
    };
    for (const Step& step : steps) {
        const RECT changed = cells.Compose(step.figures);
        EXPECT_TRUE(EqualRect(&changed, &step.changed))
            << step.figures.cpuLoad << ": " << changed.left << ".." << changed.right;
        EXPECT_TRUE(stripMatches(step.figures)) << step.figures.cpuLoad;
    }
    // A new font draws every cell again, figures unchanged.
    cells.SetFontHeight(10);
    const RECT changed = cells.Compose(steps[6].figures);
    EXPECT_EQ(changed.left, 51);
    EXPECT_EQ(changed.right, 197);
}

// Two figures with the same text to two decimals, but not to one, in fonts from one where that
// text fits to ones where only fewer decimals do: the cell shows the second figure's own text.
TEST_F(BarCells, AMemoryTextCutToFewerDecimalsFollowsTheFigure) {
    const UniqueBitmap cellSkin(
        LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_BAR_SKIN)));
    constexpr double kGigabyte = 1073741824.0;
    const BarCellFigures first{10.0, 30, uint64_t(23.046 * kGigabyte), {}};
    const BarCellFigures second{10.0, 30, uint64_t(23.054 * kGigabyte), {}};
    for (int height = 12; height <= 20; ++height) {
        qv::BarCells cells;
        cells.Create(cellSkin.get());
        cells.SetFontHeight(height);
        cells.Compose(first);
        cells.Compose(second);
        SkinCanvas copied;
        cells.CopyStrip(copied.dc());
        SkinCanvas fresh;
        font = CreateFaceFont(cells.FaceName(), height, FW_NORMAL);
        Compose(fresh, second);
        EXPECT_FALSE(AreaDiffers(copied.dc(), fresh.dc(), kBarCellStrip)) << height;
    }
}

// Reads the bar's own pixels, as the screen shows them.
std::vector<COLORREF> BarRow(int y, int first, int last) {
    const WindowDC bar(theBar.hwnd());
    std::vector<COLORREF> row;
    for (int x = first; x <= last; ++x) {
        row.push_back(GetPixel(bar.get(), x, y));
    }
    return row;
}

class BarTick : public qv::testing::BarTest {
protected:
    void SetUp() override {
        BarTest::SetUp();
        qv::testing::PumpMessagesFor(200); // the skin controls paint first
    }

    // From x 130: a free-memory text of gigabytes runs on past its own cell.
    bool NetworkCellIsBare() const {
        for (int y = 2; y <= 12; ++y) {
            if (BarRow(y, 130, 200) != Row(skin, y, 130, 200)) {
                return false;
            }
        }
        return true;
    }
    const SkinCanvas skin;
};

TEST_F(BarTick, FailingAdapterEmptiesOnlyTheNetworkCell) {
    theBar.Adapter().Select(0);
    theBar.PaintBarCells();
    EXPECT_FALSE(NetworkCellIsBare());

    theBar.Adapter().Select(-1);
    theBar.PaintBarCells();
    EXPECT_TRUE(NetworkCellIsBare());
    // The other cells still carry their texts and gauges.
    const std::vector<COLORREF> gaugeRow = BarRow(14, 52, 114);
    for (size_t x : {size_t(0), size_t(21), size_t(26), size_t(62)}) {
        EXPECT_TRUE(gaugeRow[x] == kFill || gaugeRow[x] == kTrack) << x + 52;
    }
    EXPECT_NE(BarRow(5, 51, 116), Row(skin, 5, 51, 116));
}

TEST_F(BarTick, TheFontFollowsTheFieldsFromOnePaintToTheNext) {
    // The CPU text always ends in "%", which reaches the lower rows at 12 pixels but not at 6.
    auto lowerRowsBare = [this] {
        for (int y = 8; y <= 11; ++y) {
            if (BarRow(y, 51, 75) != Row(skin, y, 51, 75)) {
                return false;
            }
        }
        return true;
    };
    theBar.PaintBarCells();
    EXPECT_FALSE(lowerRowsBare());
    theBar.Cells().SetFontHeight(6);
    theBar.PaintBarCells();
    EXPECT_TRUE(lowerRowsBare());
    theBar.Cells().SetFontHeight(12);
    theBar.PaintBarCells();
    EXPECT_FALSE(lowerRowsBare());

    // Each change of font lets the old one go.
    const int gdiObjects = qv::testing::GdiObjectCount();
    for (int height = 6; height <= 30; ++height) {
        theBar.Cells().SetFontHeight(height);
        theBar.PaintBarCells();
    }
    theBar.Cells().SetFontHeight(12);
    theBar.PaintBarCells();
    EXPECT_EQ(qv::testing::GdiObjectCount(), gdiObjects);
}

// A tick of timer 1 paints the cells, and nothing beyond their strip.
TEST_F(BarTick, OnlyTheCellStripChanges) {
    EXPECT_EQ(BarRow(5, 51, 200), Row(skin, 5, 51, 200));
    SendMessageA(theBar.hwnd(), WM_TIMER, 1, 0);
    EXPECT_NE(BarRow(5, 51, 200), Row(skin, 5, 51, 200));
    // Row 1 carries the tops of the texts in the composed copy; it is not copied.
    EXPECT_EQ(BarRow(1, 0, 234), Row(skin, 1, 0, 234));
    EXPECT_EQ(BarRow(14, 0, 50), Row(skin, 14, 0, 50));
    EXPECT_EQ(BarRow(14, 201, 234), Row(skin, 14, 201, 234));
}

// The cells are composed once a tick and copied at every paint: a strip painted over by anything
// else shows the last tick's cells again at its next repaint, not the skin or the damage.
TEST_F(BarTick, ARepaintByAnyCauseShowsTheCellsOfTheLastTick) {
    theBar.PaintBarCells();
    const std::vector<COLORREF> composed = BarRow(5, 51, 200);
    ASSERT_NE(composed, Row(skin, 5, 51, 200));
    {
        const WindowDC bar(theBar.hwnd());
        const UniqueBrush damage(CreateSolidBrush(RGB(200, 0, 0)));
        FillRect(bar.get(), &kBarCellStrip, damage.get());
    }
    ASSERT_NE(BarRow(5, 51, 200), composed);
    InvalidateRect(theBar.hwnd(), &kBarCellStrip, FALSE);
    UpdateWindow(theBar.hwnd());
    EXPECT_EQ(BarRow(5, 51, 200), composed);
}

} // namespace
