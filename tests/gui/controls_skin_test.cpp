#include "res/skin.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace brenvik {
namespace {

// A run of consecutive picture numbers that share one size.
struct DocumentedRun {
    int first;
    int last;
    int width;
    int height;
    bool button;
};

// The pictures the console's windows name, with the sizes they are placed at.
constexpr DocumentedRun kDocumented[] = {
    {128, 128, 256, 256, false},  {129, 129, 1280, 720, false}, {132, 132, 70, 37, true},
    {133, 133, 135, 35, true},    {134, 134, 134, 38, true},    {135, 135, 70, 37, true},
    {137, 137, 1240, 540, false}, {140, 141, 180, 40, true},    {175, 190, 65, 60, true},
    {191, 191, 1280, 566, false}, {194, 195, 190, 39, true},    {196, 197, 190, 37, true},
    {198, 199, 110, 45, true},    {201, 202, 130, 45, true},    {203, 204, 181, 45, true},
    {205, 206, 182, 45, true},    {207, 207, 182, 40, true},    {208, 209, 181, 40, true},
    {215, 246, 70, 45, true},     {247, 248, 135, 110, true},   {249, 250, 135, 130, true},
    {251, 252, 135, 110, true},   {253, 254, 160, 140, true},   {255, 258, 140, 65, true},
    {259, 260, 140, 110, true},   {261, 268, 120, 90, true},    {269, 270, 160, 120, true},
    {271, 272, 160, 115, true},   {273, 276, 180, 150, true},   {277, 278, 180, 155, true},
    {280, 280, 182, 42, true},    {281, 281, 181, 42, true},    {282, 283, 182, 40, true},
    {284, 287, 65, 80, true},     {288, 289, 75, 80, true},     {290, 291, 65, 80, true},
    {292, 293, 70, 80, true},     {294, 295, 95, 80, true},     {296, 301, 490, 420, false},
    {361, 362, 160, 140, true},   {369, 370, 140, 110, true},   {391, 392, 180, 155, true},
    {398, 429, 71, 40, true},     {450, 451, 110, 37, true},    {452, 453, 200, 40, true},
    {454, 454, 180, 40, true},    {455, 456, 160, 115, true},   {457, 457, 191, 117, true},
    {458, 461, 178, 28, true},
};

QImage PictureImage(int number) {
    return Skin::Picture(number).toImage().convertToFormat(QImage::Format_ARGB32);
}

TEST(SkinTest, HasExactlyTheDocumentedPicturesAtTheirSizes) {
    std::vector<int> documented;
    for (const DocumentedRun& run : kDocumented) {
        for (int number = run.first; number <= run.last; ++number) {
            documented.push_back(number);
            EXPECT_EQ(Skin::Picture(number).size(), QSize(run.width, run.height)) << number;
        }
    }
    EXPECT_EQ(Skin::Numbers(), documented);
}

TEST(SkinTest, ButtonPicturesHaveNoPureBlackSoTheyCoverTheirButtons) {
    for (const DocumentedRun& run : kDocumented) {
        for (int number = run.first; run.button && number <= run.last; ++number) {
            const QImage image = PictureImage(number);
            int black = 0;
            for (int y = 0; y < image.height(); ++y) {
                const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
                black += static_cast<int>(std::count(line, line + image.width(), qRgb(0, 0, 0)));
            }
            EXPECT_EQ(black, 0) << number;
        }
    }
}

TEST(SkinTest, SelectedFacesAreBlueAndNormalFacesAreGrey) {
    const auto blueness = [](int number) {
        const QImage image = Skin::Picture(number).toImage();
        const QColor centreTop = image.pixelColor(image.width() / 2, 4);
        return centreTop.blue() - centreTop.red();
    };
    const std::pair<int, int> pairs[] = {
        {290, 291}, {294, 295}, {286, 287}, {288, 289}, {292, 293}, {284, 285}, {460, 461}, {458, 459},
        {132, 135}, {201, 202}, {203, 204}, {205, 206}, {282, 283}, {452, 453}, {398, 399}, {428, 429},
        {175, 176}, {189, 190}, {194, 195}, {196, 197}, {198, 199}, {451, 450}};
    for (const auto& [normal, selected] : pairs) {
        EXPECT_LT(blueness(normal), 20) << normal;
        EXPECT_GT(blueness(selected), 120) << selected;
    }
}

// A highlighted layout button draws the picture of its normal one with blue frames and numbers.
TEST(SkinTest, HighlightedLayoutButtonsTurnTheirFramesBlue) {
    const auto bluePixels = [](int number) {
        const QImage image = PictureImage(number);
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor colour = image.pixelColor(x, y);
                count += colour.blue() - colour.red() > 120 ? 1 : 0;
            }
        }
        return count;
    };
    for (const int normal : {215, 245, 247, 251, 255, 267, 273, 275, 277, 361, 369, 391, 455}) {
        EXPECT_EQ(bluePixels(normal), 0) << normal;
        EXPECT_GT(bluePixels(normal + 1), 100) << normal + 1;
    }
}

// Where a page sets two buttons closer than their pictures are large, the overlapped strip of
// the picture is plain ground, so neither button covers the other's face: the single-window
// layout buttons stand 60 apart at 70 wide, the button of layout 41 ends 10 below the top of the
// next one, and the 45-high toggles of the settings page stand 40 above the row below them.
TEST(SkinTest, OverlappedStripsOfAPictureShowOnlyTheGround) {
    struct Strip {
        int number;
        QRect strip;
    };
    const Strip strips[] = {
        {215, {0, 0, 10, 45}},    {216, {60, 0, 10, 45}},   {246, {0, 0, 10, 45}},  {246, {60, 0, 10, 45}},
        {249, {0, 120, 135, 10}}, {250, {0, 120, 135, 10}}, {203, {0, 40, 181, 5}}, {204, {0, 40, 181, 5}},
        {205, {0, 40, 182, 5}},   {206, {0, 40, 182, 5}},
    };
    for (const Strip& strip : strips) {
        const QImage image = PictureImage(strip.number);
        const QRgb ground = image.pixel(strip.strip.topLeft());
        int other = 0;
        for (int y = strip.strip.top(); y <= strip.strip.bottom(); ++y) {
            for (int x = strip.strip.left(); x <= strip.strip.right(); ++x) {
                other += image.pixel(x, y) != ground ? 1 : 0;
            }
        }
        EXPECT_EQ(other, 0) << strip.number;
    }
}

TEST(SkinTest, PicturesAreSharedAndUnknownNumbersGiveNone) {
    EXPECT_EQ(&Skin::Picture(133), &Skin::Picture(133));
    EXPECT_EQ(Skin::Picture(133).cacheKey(), Skin::Picture(133).cacheKey());
    EXPECT_TRUE(Skin::Picture(130).isNull());
    EXPECT_TRUE(Skin::Picture(-1).isNull());
}

TEST(SkinTest, WindowIconComesInTheUsualSizes) {
    const QList<QSize> sizes = Skin::WindowIcon().availableSizes();
    for (const int size : {16, 32, 48, 256}) {
        EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
    }
}

} // namespace
} // namespace brenvik
