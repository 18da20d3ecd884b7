#include "res/skin.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace brenvik {
namespace {

struct DocumentedPicture {
    int number;
    int width;
    int height;
    bool button;
};

// The pictures the console's windows name, with the sizes they are placed at.
constexpr DocumentedPicture kDocumented[] = {
    {128, 256, 256, false}, {129, 1280, 720, false}, {132, 70, 37, true},     {133, 135, 35, true},
    {134, 134, 38, true},   {135, 70, 37, true},     {137, 1240, 540, false}, {284, 65, 80, true},
    {285, 65, 80, true},    {286, 65, 80, true},     {287, 65, 80, true},     {288, 75, 80, true},
    {289, 75, 80, true},    {290, 65, 80, true},     {291, 65, 80, true},     {292, 70, 80, true},
    {293, 70, 80, true},    {294, 95, 80, true},     {295, 95, 80, true},     {458, 178, 28, true},
    {459, 178, 28, true},   {460, 178, 28, true},    {461, 178, 28, true},
};

TEST(SkinTest, HasExactlyTheDocumentedPicturesAtTheirSizes) {
    std::vector<int> documented;
    for (const DocumentedPicture& picture : kDocumented) {
        documented.push_back(picture.number);
        EXPECT_EQ(Skin::Picture(picture.number).size(), QSize(picture.width, picture.height))
            << picture.number;
    }
    EXPECT_EQ(Skin::Numbers(), documented);
}

TEST(SkinTest, ButtonPicturesHaveNoPureBlackSoTheyCoverTheirButtons) {
    for (const DocumentedPicture& picture : kDocumented) {
        if (!picture.button) {
            continue;
        }
        const QImage image = Skin::Picture(picture.number).toImage().convertToFormat(QImage::Format_ARGB32);
        int black = 0;
        for (int y = 0; y < image.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            black += static_cast<int>(std::count(line, line + image.width(), qRgb(0, 0, 0)));
        }
        EXPECT_EQ(black, 0) << picture.number;
    }
}

TEST(SkinTest, SelectedFacesAreBlueAndNormalFacesAreGrey) {
    const auto blueness = [](int number) {
        const QImage image = Skin::Picture(number).toImage();
        const QColor centreTop = image.pixelColor(image.width() / 2, 4);
        return centreTop.blue() - centreTop.red();
    };
    const std::pair<int, int> pairs[] = {{290, 291}, {294, 295}, {286, 287}, {288, 289}, {292, 293},
                                         {284, 285}, {460, 461}, {458, 459}, {132, 135}};
    for (const auto& [normal, selected] : pairs) {
        EXPECT_LT(blueness(normal), 20) << normal;
        EXPECT_GT(blueness(selected), 120) << selected;
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
