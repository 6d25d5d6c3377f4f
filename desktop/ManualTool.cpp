// vemo-manual --out OUT.pdf [--version TEXT] CHAPTER.md ...: the user manual as a PDF. The
// chapters are read in order as one Markdown text (pictures relative to the first chapter's
// folder), laid out on A4 pages through QTextDocument and drawn onto a QPdfWriter, with a
// table of contents in place of the paragraph "[[contents]]", each level-one heading after the
// first on a new page, each picture's alt text as its caption, and the page number at the foot
// of every page but the first. The PDF gets an outline of the headings, and each contents
// entry links to its page. Text is drawn without ligatures, so that what a reader searches for
// or copies from the PDF is the text as the program prints it.
#include "desktop/PdfNavigation.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <vector>

namespace {

// Layout units are pixels at 96 per inch; the page is A4 with margins of 2 cm (2.2 at the
// sides) and room for the page number below the text.
constexpr double Dpi = 96.0;
constexpr double Cm = Dpi / 2.54;
const QSizeF Page(21.0 * Cm, 29.7 * Cm);
constexpr double SideMargin = 2.2 * Cm, TopMargin = 2.0 * Cm, BottomMargin = 2.2 * Cm;
const double TextWidth = Page.width() - 2 * SideMargin;
const QColor HeadingColour(20, 50, 110);
constexpr double PointsPerPixel = 72.0 / Dpi;

// An entry of the contents: a heading of level one or two after the contents paragraph.
struct Heading {
    int level;
    QString text;
    int page = 0;
};

// The contents entry a block of the contents is, counted from 0.
constexpr int ContentsEntry = QTextFormat::UserProperty + 1;

QFont BodyFont() {
    QFont f("DejaVu Sans");
    f.setStyleHint(QFont::SansSerif);
    // No shaping for Latin text: no "fi" and "fl" ligatures in the PDF's text.
    f.setStyleStrategy(QFont::PreferNoShaping);
    f.setPointSizeF(10);
    return f;
}

bool IsCode(const QTextBlock& b) {
    return b.blockFormat().nonBreakableLines() ||
           b.blockFormat().hasProperty(QTextFormat::BlockCodeFence);
}

bool IsHeading(const QTextBlock& b) {
    return b.blockFormat().headingLevel() > 0 && !IsCode(b) && !b.text().trimmed().isEmpty();
}

// The picture's alt text when the block is a picture, else an empty text.
QString PictureCaption(const QTextBlock& b) {
    const auto it = b.begin();
    if (it.atEnd() || !it.fragment().charFormat().isImageFormat()) return {};
    return it.fragment().charFormat().property(QTextFormat::ImageAltText).toString().trimmed();
}

// Headings, code blocks and captioned pictures, counted in document order, are what may be
// moved to a new page.
bool Movable(const QTextBlock& b) {
    return IsCode(b) || IsHeading(b) || !PictureCaption(b).isEmpty();
}

std::vector<QTextBlock> HeadingBlocks(const QTextDocument& doc) {
    std::vector<QTextBlock> headings;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        if (IsHeading(b)) headings.push_back(b);
    return headings;
}

void StyleHeading(QTextCursor& c, QTextBlock block, int level, bool pageBreak) {
    QTextBlockFormat bf = block.blockFormat();
    bf.setTopMargin(level == 1 ? 0 : level == 2 ? 14 : 10);
    bf.setBottomMargin(level == 1 ? 16 : 6);
    if (pageBreak) bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    c.setPosition(block.position());
    c.setBlockFormat(bf);
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QTextCharFormat cf;
    cf.setFontPointSize(level == 1 ? 22 : level == 2 ? 14.5 : 11.5);
    cf.setFontWeight(QFont::Bold);
    cf.setForeground(HeadingColour);
    c.mergeCharFormat(cf);
}

void StyleCode(QTextCursor& c, QTextBlock block, bool pageBreak) {
    QTextBlockFormat bf = block.blockFormat();
    if (pageBreak) bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    bf.setBackground(QColor(238, 240, 244));
    bf.setLeftMargin(12);
    c.setPosition(block.position());
    c.setBlockFormat(bf);
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QTextCharFormat cf;
    cf.setFontFamilies({"DejaVu Sans Mono", "monospace"});
    cf.setFontPointSize(8.5);
    c.mergeCharFormat(cf);
}

// The caption under a picture, from the picture's alt text.
void AddCaption(QTextCursor& c, const QTextBlock& picture, const QString& caption) {
    QTextBlockFormat bf;
    bf.setAlignment(Qt::AlignHCenter);
    bf.setBottomMargin(8);
    bf.setLeftMargin(24);
    bf.setRightMargin(24);
    QTextCharFormat cf;
    cf.setFontItalic(true);
    cf.setFontPointSize(9);
    cf.setForeground(QColor(70, 70, 80));
    c.setPosition(picture.position() + picture.length() - 1);
    c.insertBlock(bf, cf);
    c.insertText(caption, cf);
}

// What the layout chose so that pages come out well: the movable items (counted in document
// order from 0) that start a new page, and the chapters (counted from 0, the title page's
// first) whose pictures are drawn smaller so that their last page is not a line or two alone.
struct Choices {
    std::set<int> breaks;
    std::set<int> smaller;
};

bool IsChapter(const QTextBlock& b) {
    return IsHeading(b) && b.blockFormat().headingLevel() == 1;
}

// Pictures fit the text width; smaller ones are shown at four fifths of their pixels, centred,
// with their caption under them.
bool StyleImages(QTextDocument& doc, const QDir& base, const std::set<int>& smaller) {
    bool ok = true;
    QTextCursor c(&doc);
    std::vector<QTextBlock> captioned;
    int chapter = -1;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (IsChapter(b)) ++chapter;
        const double scale = smaller.count(chapter) > 0 ? 0.85 : 1.0;
        if (!PictureCaption(b).isEmpty()) captioned.push_back(b);
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.charFormat().isImageFormat()) continue;
            QTextImageFormat image = f.charFormat().toImageFormat();
            const QImage picture(base.filePath(image.name()));
            if (picture.isNull()) {
                std::fprintf(stderr, "vemo-manual: cannot read the picture %s\n",
                             qPrintable(base.filePath(image.name())));
                ok = false;
                continue;
            }
            doc.addResource(QTextDocument::ImageResource, QUrl(image.name()), picture);
            image.setWidth(std::min(TextWidth, picture.width() * 0.8) * scale);
            image.setHeight(image.width() * picture.height() / picture.width());
            c.setPosition(f.position());
            c.setPosition(f.position() + f.length(), QTextCursor::KeepAnchor);
            c.setCharFormat(image);
            QTextBlockFormat centred = b.blockFormat();
            centred.setAlignment(Qt::AlignHCenter);
            centred.setTopMargin(6);
            centred.setBottomMargin(PictureCaption(b).isEmpty() ? 10 : 2);
            c.setBlockFormat(centred);
        }
    }
    for (const QTextBlock& b : captioned)
        AddCaption(c, b, PictureCaption(b));
    return ok;
}

// Tables are counted apart from headings and code: table i is the item TableItem + i.
constexpr int TableItem = 1 << 20;

std::vector<QTextTable*> Tables(QTextDocument& doc) {
    std::vector<QTextTable*> tables;
    for (QTextFrame* frame : doc.rootFrame()->childFrames())
        if (auto* table = qobject_cast<QTextTable*>(frame)) tables.push_back(table);
    return tables;
}

void StyleTables(QTextDocument& doc, const std::set<int>& breaks) {
    int ordinal = TableItem;
    for (QTextTable* table : Tables(doc)) {
        QTextTableFormat tf = table->format();
        if (breaks.count(ordinal++) > 0) tf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        tf.setBorder(0.6);
        tf.setBorderBrush(QColor(150, 150, 160));
        tf.setBorderCollapse(true);
        tf.setCellPadding(4);
        tf.setCellSpacing(0);
        tf.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        tf.setTopMargin(4);
        tf.setBottomMargin(10);
        table->setFormat(tf);
        for (int col = 0; col < table->columns(); ++col) {
            QTextTableCell cell = table->cellAt(0, col);
            QTextCharFormat cf = cell.format();
            cf.setBackground(QColor(225, 230, 240));
            cell.setFormat(cf);
        }
    }
}

// The headings, styled; the table of contents goes where the paragraph "[[contents]]" is.
// breaks: the movable items (counted in document order from 0) that start a new page so that
// they stay with their text.
std::vector<Heading> Style(QTextDocument& doc, QTextBlock& contents, const std::set<int>& breaks) {
    std::vector<Heading> headings;
    QTextCursor c(&doc);
    bool firstTitle = true;
    int ordinal = 0;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const int level = b.blockFormat().headingLevel();
        const bool moved = Movable(b) && breaks.count(ordinal++) > 0;
        if (IsHeading(b)) {
            StyleHeading(c, b, level, (level == 1 && !firstTitle) || moved);
            if (contents.isValid() && level <= 2) headings.push_back({level, b.text()});
            if (level == 1) firstTitle = false;
        } else if (IsCode(b)) {
            StyleCode(c, b, moved);
        } else if (moved) { // a picture
            QTextBlockFormat bf = b.blockFormat();
            bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            c.setPosition(b.position());
            c.setBlockFormat(bf);
        } else if (b.text().trimmed() == "[[contents]]") {
            contents = b;
        }
    }
    StyleTables(doc, breaks);
    return headings;
}

// One line per heading, the level-two ones indented, the page number at the right margin.
void WriteContents(QTextBlock at, const std::vector<Heading>& headings) {
    QTextCursor c(at);
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    c.removeSelectedText();
    for (std::size_t i = 0; i < headings.size(); ++i) {
        const Heading& h = headings[i];
        QTextBlockFormat bf;
        bf.setLeftMargin(h.level == 1 ? 0 : 18);
        bf.setTopMargin(h.level == 1 ? 3 : 0);
        bf.setTabPositions(
            {QTextOption::Tab(TextWidth - bf.leftMargin() - 8, QTextOption::RightTab)});
        bf.setProperty(ContentsEntry, int(i));
        QTextCharFormat cf;
        cf.setFont(BodyFont());
        cf.setFontPointSize(9);
        cf.setFontWeight(h.level == 1 ? QFont::Bold : QFont::Normal);
        if (i == 0)
            c.setBlockFormat(bf);
        else
            c.insertBlock(bf);
        c.insertText(h.text + "\t" + (h.page ? QString::number(h.page) : "00"), cf);
    }
}

int PageAt(double y) {
    return int(y / Page.height());
}

// The first item to move to a new page, in document order: a heading that stands at the foot
// of a page with less than a few lines of room under it, or apart from the text it heads; a
// picture apart from its caption; a code block (its lines are blocks of their own) shorter
// than half a page, or a table that would fit on a page, that a page end cuts in two. A
// heading right above such a code block or table moves instead, and takes it along (unless it
// moved already). -1 when there is none.
int FootItem(QTextDocument& doc, const std::set<int>& breaks) {
    constexpr double Room = 90;
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    int found = -1;
    double foundTop = 0;
    int ordinal = 0;
    std::map<int, int> headings; // block number -> ordinal
    auto headingAbove = [&](const QTextBlock& first, int item) {
        const auto h = headings.find(first.previous().blockNumber());
        return h != headings.end() && breaks.count(h->second) == 0 ? h->second : item;
    };
    for (QTextBlock b = doc.begin(); b.isValid() && found < 0; b = b.next()) {
        if (!Movable(b)) continue;
        const int index = ordinal++;
        if (IsHeading(b)) headings[b.blockNumber()] = index;
        const QRectF here = layout->blockBoundingRect(b);
        const int page = PageAt(here.top());
        if (IsCode(b)) {
            if (b.previous().isValid() && IsCode(b.previous())) continue; // within a run
            double bottom = here.bottom();
            for (QTextBlock n = b.next(); n.isValid() && IsCode(n); n = n.next())
                bottom = layout->blockBoundingRect(n).bottom();
            if (bottom - here.top() < Page.height() / 2 && PageAt(bottom) != page) {
                found = headingAbove(b, index);
                foundTop = here.top();
            }
            continue;
        }
        if (!IsHeading(b)) { // a picture
            if (b.next().isValid() &&
                PageAt(layout->blockBoundingRect(b.next()).bottom()) != page) {
                found = index;
                foundTop = here.top();
            }
            continue;
        }
        if (b.blockFormat().headingLevel() < 2) continue;
        const QTextBlock next = b.next();
        const bool nextHere = !next.isValid() || !next.layout() ||
                              next.layout()->lineCount() == 0 ||
                              PageAt(layout->blockBoundingRect(next).top() +
                                     next.layout()->lineAt(0).rect().bottom()) == page;
        if (!nextHere || here.bottom() + Room > (page + 1) * Page.height() - BottomMargin) {
            found = index;
            foundTop = here.top();
        }
    }
    int table = TableItem;
    for (QTextTable* t : Tables(doc)) {
        const QRectF r = layout->frameBoundingRect(t);
        if (found >= 0 && r.top() > foundTop) break;
        if (r.height() < 0.8 * Page.height() && PageAt(r.top()) != PageAt(r.bottom() - 1))
            return headingAbove(t->firstCursorPosition().block(), table);
        ++table;
    }
    return found;
}

void Paginate(QTextDocument& doc) {
    doc.setPageSize(Page);
    QTextFrameFormat root = doc.rootFrame()->frameFormat();
    root.setLeftMargin(SideMargin);
    root.setRightMargin(SideMargin);
    root.setTopMargin(TopMargin);
    root.setBottomMargin(BottomMargin);
    doc.rootFrame()->setFrameFormat(root);
}

// The contents entries' headings: those of level one or two after the contents.
std::vector<QTextBlock> EntryBlocks(const QTextDocument& doc) {
    std::vector<QTextBlock> entries;
    bool afterContents = false;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        afterContents = afterContents || b.blockFormat().hasProperty(ContentsEntry);
        if (afterContents && IsHeading(b) && b.blockFormat().headingLevel() <= 2)
            entries.push_back(b);
    }
    return entries;
}

// Where a block starts, as a place in the PDF (a little above its first line).
PdfPlace PlaceOf(const QTextDocument& doc, const QTextBlock& b, double pageHeightPt) {
    const double top = doc.documentLayout()->blockBoundingRect(b).top();
    const int page = PageAt(top);
    return {page, pageHeightPt - (top - page * Page.height()) * PointsPerPixel + 4};
}

// Every heading in the outline, and each line of the contents a link to its heading.
QString AddNavigation(const QTextDocument& doc, const QString& out, double pageHeightPt) {
    std::vector<PdfOutlineItem> outline;
    for (const QTextBlock& b : HeadingBlocks(doc))
        outline.push_back(
            {b.blockFormat().headingLevel(), b.text().trimmed(), PlaceOf(doc, b, pageHeightPt)});
    const std::vector<QTextBlock> entries = EntryBlocks(doc);
    std::vector<PdfLink> links;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (!b.blockFormat().hasProperty(ContentsEntry)) continue;
        const std::size_t entry = b.blockFormat().intProperty(ContentsEntry);
        if (entry >= entries.size()) return "the contents list more headings than there are";
        const QRectF line = doc.documentLayout()->blockBoundingRect(b);
        const int page = PageAt(line.top());
        const double top = pageHeightPt - (line.top() - page * Page.height()) * PointsPerPixel;
        const double bottom = top - line.height() * PointsPerPixel;
        links.push_back({page,
                         QRectF(QPointF(SideMargin * PointsPerPixel, bottom),
                                QPointF((SideMargin + TextWidth) * PointsPerPixel, top)),
                         PlaceOf(doc, entries[entry], pageHeightPt)});
    }
    return AddPdfNavigation(out, outline, links);
}

bool BuildOnce(QTextDocument& doc, const QString& markdown, const QDir& base,
               std::vector<Heading>& headings, bool numbered, const Choices& choices) {
    doc.clear();
    doc.setDefaultFont(BodyFont());
    doc.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    QTextBlock contents;
    std::vector<Heading> found = Style(doc, contents, choices.breaks);
    if (!StyleImages(doc, base, choices.smaller)) return false;
    if (numbered) found = headings;
    if (contents.isValid()) WriteContents(contents, found);
    Paginate(doc);
    headings = found;
    return true;
}

// The first chapter with pictures, not made smaller yet, whose last page holds less than three
// lines; -1 when there is none.
int ShortChapter(QTextDocument& doc, const std::set<int>& smaller) {
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    int chapter = -1, startPage = 0;
    bool pictures = false;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (IsChapter(b)) {
            ++chapter;
            startPage = PageAt(layout->blockBoundingRect(b).top());
            pictures = false;
        }
        pictures = pictures || !PictureCaption(b).isEmpty();
        if (b.next().isValid() && !IsChapter(b.next())) continue;
        const double bottom = layout->blockBoundingRect(b).bottom(); // of the chapter
        const int page = PageAt(bottom - 1);
        if (chapter >= 0 && pictures && page > startPage && smaller.count(chapter) == 0 &&
            bottom - page * Page.height() - TopMargin < 50)
            return chapter;
    }
    return -1;
}

// Laid out anew, from the text, until no item stands at the foot of a page apart from what
// follows it, and no chapter ends in a line or two on a page of its own.
bool Build(QTextDocument& doc, const QString& markdown, const QDir& base,
           std::vector<Heading>& headings, bool numbered, Choices& choices) {
    for (;;) {
        std::vector<Heading> h = headings;
        if (!BuildOnce(doc, markdown, base, h, numbered, choices)) return false;
        const int foot = FootItem(doc, choices.breaks);
        if (foot >= 0 && choices.breaks.insert(foot).second) continue;
        const int chapter = ShortChapter(doc, choices.smaller);
        if (chapter >= 0 && choices.smaller.insert(chapter).second) continue;
        headings = h;
        return true;
    }
}

void DrawPages(QTextDocument& doc, QPdfWriter& pdf, const QString& footer) {
    QPainter p(&pdf);
    const double scale = pdf.logicalDpiX() / Dpi;
    const int pages = doc.pageCount();
    QFont small = BodyFont();
    small.setPixelSize(11); // in layout units, like everything drawn under the scale
    for (int i = 0; i < pages; ++i) {
        if (i > 0) pdf.newPage();
        p.save();
        p.scale(scale, scale);
        p.translate(0, -i * Page.height());
        doc.drawContents(&p, QRectF(0, i * Page.height(), Page.width(), Page.height()));
        p.restore();
        if (i == 0) continue;
        p.save();
        p.scale(scale, scale);
        p.setFont(small);
        p.setPen(QColor(100, 100, 110));
        const QRectF foot(SideMargin, Page.height() - 1.5 * Cm, TextWidth, 0.6 * Cm);
        p.drawLine(foot.topLeft(), foot.topRight());
        p.drawText(foot, Qt::AlignLeft | Qt::AlignBottom, footer);
        p.drawText(foot, Qt::AlignRight | Qt::AlignBottom, QString::number(i + 1));
        p.restore();
    }
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString out, version;
    QStringList chapters;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == "--out" && i + 1 < args.size())
            out = args[++i];
        else if (args[i] == "--version" && i + 1 < args.size())
            version = args[++i];
        else
            chapters << args[i];
    }
    if (out.isEmpty() || chapters.isEmpty()) {
        std::fprintf(stderr, "usage: vemo-manual --out OUT.pdf [--version TEXT] CHAPTER.md ...\n");
        return 1;
    }
    QString markdown;
    for (const QString& name : chapters) {
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "vemo-manual: cannot read %s\n", qPrintable(name));
            return 2;
        }
        markdown += QString::fromUtf8(file.readAll()) + "\n\n";
    }
    markdown.replace("@VERSION@", version);
    const QDir base = QFileInfo(chapters.first()).absoluteDir();

    // Twice: the first layout tells on which page each heading lands.
    QTextDocument doc;
    std::vector<Heading> headings;
    Choices choices;
    if (!Build(doc, markdown, base, headings, false, choices)) return 2;
    const std::vector<QTextBlock> entries = EntryBlocks(doc);
    for (std::size_t i = 0; i < headings.size() && i < entries.size(); ++i)
        headings[i].page = PageAt(doc.documentLayout()->blockBoundingRect(entries[i]).top()) + 1;
    if (!Build(doc, markdown, base, headings, true, choices)) return 2;

    double pageHeightPt = 0;
    {
        QPdfWriter pdf(out);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setResolution(300);
        pdf.setTitle("Vemo User Manual");
        pdf.setCreator("Vemo " + version);
        pageHeightPt = pdf.pageLayout().fullRectPoints().height();
        DrawPages(doc, pdf, "Vemo User Manual " + version);
    }
    if (!QFileInfo(out).size()) {
        std::fprintf(stderr, "vemo-manual: cannot write %s\n", qPrintable(out));
        return 2;
    }
    if (const QString failed = AddNavigation(doc, out, pageHeightPt); !failed.isEmpty()) {
        std::fprintf(stderr, "vemo-manual: %s\n", qPrintable(failed));
        QFile::remove(out);
        return 2;
    }
    return 0;
}
