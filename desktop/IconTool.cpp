// vemo-icons OUTDIR: the program's icon as the desktop wants it, made at build time from the
// drawing the program shows on its About page: OUTDIR/<size>.png for each bitmap size and
// OUTDIR/scalable.svg.
#include "app/AppIcon.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vemo-icons OUTDIR\n");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(".")) {
        std::fprintf(stderr, "vemo-icons: cannot make %s\n", argv[1]);
        return 2;
    }
    for (int size : {16, 32, 48, 64, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        PaintAppIcon(painter, size);
        painter.end();
        const QString name = out.filePath(QString("%1.png").arg(size));
        if (!image.save(name, "PNG")) {
            std::fprintf(stderr, "vemo-icons: cannot write %s\n", qPrintable(name));
            return 2;
        }
    }
    // The scalable icon is drawn on a 256-unit square.
    QSvgGenerator svg;
    svg.setFileName(out.filePath("scalable.svg"));
    svg.setSize(QSize(256, 256));
    svg.setViewBox(QRect(0, 0, 256, 256));
    svg.setTitle("Vemo");
    QPainter painter;
    if (!painter.begin(&svg)) {
        std::fprintf(stderr, "vemo-icons: cannot write the SVG icon\n");
        return 2;
    }
    PaintAppIcon(painter, 256);
    painter.end();
    return 0;
}
