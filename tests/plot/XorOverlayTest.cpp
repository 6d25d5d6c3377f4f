// The overlay shapes are drawn in exclusive-or mode: a second drawing restores the picture.
#include "plot/XorOverlay.h"

#include <gtest/gtest.h>

#include <QImage>

using namespace vemo;

namespace {

int ChangedPixels(const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

QImage StripedPicture() {
    QImage img(200, 120, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, (x / 7 + y / 5) % 2 ? qRgb(255, 255, 255) : qRgb(30, 60, 200));
    return img;
}

} // namespace

TEST(XorOverlay, DrawingEachShapeTwiceRestoresThePicture) {
    const std::vector<XorShape> shapes = {
        {XorShape::HoverCircle, 45, 35, 55, 45},
        {XorShape::RubberBand, 150, 100, 20, 10}, // dragged up and left
        {XorShape::ClimbLine, 70, 5, 70, 115},
        {XorShape::ClimbLine, 140, 5, 140, 115},
    };
    const QImage original = StripedPicture();
    for (const XorShape& s : shapes) {
        QImage img = original;
        DrawXorShapes(img, std::span(&s, 1));
        EXPECT_GT(ChangedPixels(img, original), 0) << "shape " << s.What << " drew nothing";
        DrawXorShapes(img, std::span(&s, 1));
        EXPECT_EQ(ChangedPixels(img, original), 0) << "shape " << s.What << " left pixels";
    }
    // A drag that has not moved yet shows no band.
    QImage img = original;
    const XorShape still{XorShape::RubberBand, 60, 60, 60, 60};
    DrawXorShapes(img, std::span(&still, 1));
    EXPECT_EQ(ChangedPixels(img, original), 0);
}

TEST(XorOverlay, AquaOnWhiteShowsRedAndTheBandIsDashed) {
    QImage img(100, 100, QImage::Format_RGB32);
    img.fill(Qt::white);
    const XorShape band{XorShape::RubberBand, 10, 10, 90, 90};
    DrawXorShapes(img, std::span(&band, 1));
    int red = 0, white = 0;
    for (int x = 10; x <= 90; ++x) {
        const QRgb c = img.pixel(x, 10);
        red += c == qRgb(255, 0, 0);
        white += c == qRgb(255, 255, 255);
    }
    EXPECT_GT(red, 30);
    EXPECT_GT(white, 10);                              // the gaps of the dashes
    EXPECT_EQ(img.pixel(50, 50), qRgb(255, 255, 255)); // hollow
}
