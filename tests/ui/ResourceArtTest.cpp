#include "ui/kit/ResourceArt.h"

#include <QImage>
#include <gtest/gtest.h>

#include "resources/ResourceIds.h"

namespace
{
bool IsGreen(QRgb pixel)
{
    return qGreen(pixel) > qRed(pixel) + 60 && qGreen(pixel) > qBlue(pixel) + 60;
}

bool IsRed(QRgb pixel)
{
    return qRed(pixel) > qGreen(pixel) + 80 && qRed(pixel) > qBlue(pixel) + 80;
}
} // namespace

TEST(ResourceArt, LogoFillsItsPictureBox)
{
    QPixmap logo = LoadBitmapResource(ResourceId::LogoBitmap);
    EXPECT_EQ(logo.size(), QSize(51, 57));
}

TEST(ResourceArt, AppIconHasSmallAndLargeSizes)
{
    QList<QSize> sizes = LoadIconResource(ResourceId::AppIcon).availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
}

TEST(ResourceArt, TimingPictureIsOpaqueWithOnAndOffLevels)
{
    QImage timing = LoadBitmapResource(ResourceId::ScriptTimingBitmap).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(timing.size(), QSize(180, 266));

    bool green = false;
    bool red = false;
    bool opaque = true;
    for (int y = 0; y < timing.height(); ++y)
    {
        for (int x = 0; x < timing.width(); ++x)
        {
            QRgb pixel = timing.pixel(x, y);
            green = green || IsGreen(pixel);
            red = red || IsRed(pixel);
            opaque = opaque && qAlpha(pixel) == 255;
        }
    }
    EXPECT_TRUE(green);
    EXPECT_TRUE(red);
    EXPECT_TRUE(opaque);
}

TEST(ResourceArt, UnknownIdsGiveNothing)
{
    EXPECT_TRUE(LoadBitmapResource(0).isNull());
    EXPECT_TRUE(LoadBitmapResource(ResourceId::MainWindow).isNull());
    EXPECT_TRUE(LoadIconResource(ResourceId::LogoBitmap).isNull());
    EXPECT_TRUE(LoadIconResource(-1).isNull());
}
