// SPDX-License-Identifier: MIT
#include "ui/widgets/program_icon.h"

#include <QGuiApplication>
#include <QImage>
#include <QList>
#include <QSize>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

// Failure messages show sizes as 16x16 rather than as raw bytes.
static void PrintTo(const QSize &size, std::ostream *os)
{
    *os << size.width() << 'x' << size.height();
}

namespace {

// QIcon renders through QPixmap, which needs the application object that
// the test program's main makes.
using ProgramIcon = ::testing::Test;

QList<QSize> squares(std::initializer_list<int> sides)
{
    QList<QSize> sizes;
    for (int side : sides)
        sizes.append(QSize(side, side));
    return sizes;
}

double opaqueShare(const QImage &image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    qsizetype opaque = 0;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(argb.pixel(x, y)) == 255)
                ++opaque;
    return static_cast<double>(opaque) / static_cast<double>(argb.width() * argb.height());
}

TEST_F(ProgramIcon, HasAPictureDrawnForEverySizeTheDesktopAsksFor)
{
    const QIcon icon = ui::loadProgramIcon();
    ASSERT_FALSE(icon.isNull());

    // The sizes come from the pictures themselves, so a PNG rendered at the
    // wrong size shows up here as a missing or an extra size.
    QList<QSize> sizes = icon.availableSizes();
    std::sort(sizes.begin(), sizes.end(),
              [](QSize a, QSize b) { return a.width() < b.width(); });
    EXPECT_EQ(sizes, squares({16, 32, 48, 64, 128, 256}));
}

TEST_F(ProgramIcon, EveryPictureIsDrawnNotBlank)
{
    const QIcon icon = ui::loadProgramIcon();
    for (const QSize size : squares({16, 32, 48, 64, 128, 256})) {
        const QImage picture = icon.pixmap(size).toImage();
        ASSERT_EQ(picture.size(), size);
        // The tile fills all but its rounded corners.
        EXPECT_GT(opaqueShare(picture), 0.9) << "at " << size.width() << " px";
    }
}

} // namespace
