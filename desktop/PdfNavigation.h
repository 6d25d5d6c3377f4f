#pragma once
// Adds what a PDF written by QPdfWriter lacks for reading on screen: an outline (bookmarks)
// and links from places on a page to places on other pages. Both are appended to the file as
// an incremental update, so the pages the writer made stay byte for byte as they were.
#include <QRectF>
#include <QString>

#include <vector>

// A place in the document: a page (counted from 0) and a height on it in PDF points, counted
// from the page's foot as PDF counts.
struct PdfPlace {
    int page = 0;
    double y = 0;
};

// One bookmark; level 1 is a chapter, 2 a section under the chapter before it, and so on.
struct PdfOutlineItem {
    int level = 1;
    QString title;
    PdfPlace target;
};

// A clickable area (PDF points, origin at the page's foot) on a page that leads to a place.
struct PdfLink {
    int page = 0;
    QRectF area;
    PdfPlace target;
};

// Appends the outline and the links to the PDF at path; the viewer opens it with the outline
// shown. Returns an empty string on success, else why it failed.
QString AddPdfNavigation(const QString& path, const std::vector<PdfOutlineItem>& outline,
                         const std::vector<PdfLink>& links);
