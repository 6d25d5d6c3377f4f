#pragma once
// Small data sets pictured as the default export (700 x 350 at 100 ppi), black grid, no footers.
#include "PlotPictures.h"
#include "TextRecorder.h"

#include <gtest/gtest.h>

#include <vector>

inline const QColor kRed(255, 0, 0), kGreen(0, 255, 0), kBlue(0, 0, 255), kBlack(0, 0, 0);
constexpr vemo::PlotRect kArea{105, 61, 642, 292}; // the default export's plot rectangle

class PlotFixture : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQtApp();
        doc.Clear();
        doc.GridColor = 0x00000000;
        doc.Footer1 = doc.Footer2 = "";
    }
    // A data set drawn as a red solid line with green square marks.
    vemo::Signal* Add(const std::vector<std::pair<double, double>>& samples) {
        vemo::Signal* s = doc.CreateDataSet();
        s->Samples.Clear();
        for (auto [t, a] : samples)
            s->Samples.Append(t, a);
        s->LineColor = 0x000000FF;
        s->PointColor = 0x0000FF00;
        s->PointStyle = vemo::PointSquare;
        return s;
    }
    void View(double t0, double t1, double a0, double a1) {
        doc.TimeMin = t0, doc.TimeMax = t1, doc.AltMin = a0, doc.AltMax = a1;
    }
    QPoint PixelOf(double t, double a) const {
        return {kArea.Left + vemo::MapTimeToPixel(doc, kArea, t),
                kArea.Top + vemo::MapAltToPixel(doc, kArea, a)};
    }
    // Red pixels of column x inside the plot rectangle.
    static std::vector<int> RedRows(const QImage& img, int x) {
        std::vector<int> rows;
        for (int y = kArea.Top; y <= kArea.Bottom; ++y)
            if (Pixel(img, x, y) == kRed) rows.push_back(y);
        return rows;
    }

    vemo::PlotDocument doc;
};
