#include "desktop/PdfNavigation.h"

#include <QByteArray>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <map>

namespace {

// The objects of a PDF with a classic cross-reference table, as QPdfWriter writes it.
class PdfObjects {
public:
    explicit PdfObjects(QByteArray bytes) : bytes_(std::move(bytes)) {}

    QString Read() {
        const qsizetype at = bytes_.lastIndexOf("startxref");
        if (at < 0) return "no startxref";
        bool ok = false;
        xref_ = bytes_.mid(at + 9, 24).trimmed().split('\n').value(0).trimmed().toLongLong(&ok);
        if (!ok || xref_ <= 0 || xref_ >= bytes_.size()) return "no cross-reference offset";
        if (!bytes_.mid(xref_, 4).startsWith("xref")) return "the cross-reference is not a table";
        const qsizetype trailerAt = bytes_.indexOf("trailer", xref_);
        if (trailerAt < 0) return "no trailer";
        const QList<QByteArray> lines = bytes_.mid(xref_ + 4, trailerAt - xref_ - 4).split('\n');
        int number = 0;
        for (const QByteArray& raw : lines) {
            const QList<QByteArray> f = raw.simplified().split(' ');
            if (f.size() == 2) {
                number = f[0].toInt();
            } else if (f.size() == 3) {
                if (f[2] == "n") offsets_[number] = f[0].toLongLong();
                ++number;
            }
        }
        trailer_ = bytes_.mid(trailerAt, at - trailerAt);
        size_ = Ref(trailer_, "/Size", false);
        root_ = Ref(trailer_, "/Root");
        if (size_ <= 0 || root_ <= 0) return "the trailer names no /Size or /Root";
        return {};
    }

    // The text between "N 0 obj" and "endobj"; empty when there is no such object.
    QByteArray Object(int n) const {
        const auto it = offsets_.find(n);
        if (it == offsets_.end()) return {};
        const qsizetype start = bytes_.indexOf("obj", it->second);
        const qsizetype end = bytes_.indexOf("endobj", start);
        if (start < 0 || end < 0) return {};
        return bytes_.mid(start + 3, end - start - 3).trimmed();
    }

    // The number after key in text: "/Root 2 0 R" gives 2. 0 when the key is not there.
    static int Ref(const QByteArray& text, const char* key, bool reference = true) {
        const QRegularExpression re(QRegularExpression::escape(key) +
                                    (reference ? "\\s+(\\d+)\\s+0\\s+R" : "\\s+(\\d+)"));
        const auto m = re.match(QString::fromLatin1(text));
        return m.hasMatch() ? m.captured(1).toInt() : 0;
    }

    const QByteArray& Bytes() const { return bytes_; }
    const QByteArray& Trailer() const { return trailer_; }
    qint64 Xref() const { return xref_; }
    int Size() const { return size_; }
    int Root() const { return root_; }

private:
    QByteArray bytes_, trailer_;
    std::map<int, qint64> offsets_;
    qint64 xref_ = 0;
    int size_ = 0, root_ = 0;
};

// The page objects in page order (the page tree's leaves, left to right).
QString Pages(const PdfObjects& pdf, int node, std::vector<int>& pages, int depth = 0) {
    const QByteArray text = pdf.Object(node);
    if (text.isEmpty() || depth > 32) return QString("no page tree node %1").arg(node);
    if (!text.contains("/Kids")) {
        pages.push_back(node);
        return {};
    }
    const qsizetype open = text.indexOf('[', text.indexOf("/Kids"));
    const qsizetype close = text.indexOf(']', open);
    static const QRegularExpression ref("(\\d+)\\s+0\\s+R");
    for (const auto& m : ref.globalMatch(QString::fromLatin1(text.mid(open, close - open)))) {
        const QString failed = Pages(pdf, m.captured(1).toInt(), pages, depth + 1);
        if (!failed.isEmpty()) return failed;
    }
    return {};
}

// A text string in UTF-16 with its byte order mark, so that any title survives.
QByteArray TextString(const QString& text) {
    QByteArray utf16("\xFE\xFF", 2);
    for (QChar c : text) {
        utf16.append(char(c.unicode() >> 8));
        utf16.append(char(c.unicode() & 0xFF));
    }
    return "<" + utf16.toHex().toUpper() + ">";
}

QByteArray Number(double v) {
    return QByteArray::number(v, 'f', 2);
}

QByteArray Destination(const std::vector<int>& pages, const PdfPlace& place) {
    return "[" + QByteArray::number(pages[place.page]) + " 0 R /XYZ null " + Number(place.y) +
           " null]";
}

// The dictionary text with entries added before its closing ">>".
QByteArray WithEntries(QByteArray dict, const QByteArray& entries) {
    const qsizetype end = dict.lastIndexOf(">>");
    return end < 0 ? QByteArray() : dict.insert(end, entries);
}

class Update {
public:
    explicit Update(int firstFree) : next_(firstFree) {}
    int Reserve() { return next_++; }
    void Put(int number, const QByteArray& body) { objects_[number] = body; }
    int NextFree() const { return next_; }
    const std::map<int, QByteArray>& Objects() const { return objects_; }

private:
    int next_;
    std::map<int, QByteArray> objects_;
};

// The outline as a tree: each item's parent by index (-1 for the root), its children in order.
void WriteOutline(Update& update, const std::vector<PdfOutlineItem>& items,
                  const std::vector<int>& pages, int rootNumber) {
    const int n = int(items.size());
    std::vector<int> number(n), parent(n, -1);
    std::vector<std::vector<int>> children(n + 1); // children[n]: the root's
    std::vector<int> open;                         // the chain of items above the next one
    for (int i = 0; i < n; ++i) {
        number[i] = update.Reserve();
        while (!open.empty() && items[open.back()].level >= items[i].level)
            open.pop_back();
        parent[i] = open.empty() ? -1 : open.back();
        children[parent[i] < 0 ? n : parent[i]].push_back(i);
        open.push_back(i);
    }
    auto ref = [&](int i) { return QByteArray::number(i < 0 ? rootNumber : number[i]) + " 0 R"; };
    for (int i = 0; i < n; ++i) {
        const std::vector<int>& siblings = children[parent[i] < 0 ? n : parent[i]];
        const auto at = std::find(siblings.begin(), siblings.end(), i) - siblings.begin();
        QByteArray body = "<< /Title " + TextString(items[i].title) + " /Parent " + ref(parent[i]);
        if (at > 0) body += " /Prev " + ref(siblings[at - 1]);
        if (at + 1 < qsizetype(siblings.size())) body += " /Next " + ref(siblings[at + 1]);
        if (!children[i].empty()) // shown closed: its chapter's sections appear when opened
            body += " /First " + ref(children[i].front()) + " /Last " + ref(children[i].back()) +
                    " /Count -" + QByteArray::number(children[i].size());
        body += " /Dest " + Destination(pages, items[i].target) + " >>";
        update.Put(number[i], body);
    }
    QByteArray root = "<< /Type /Outlines";
    if (n > 0)
        root += " /First " + ref(children[n].front()) + " /Last " + ref(children[n].back()) +
                " /Count " + QByteArray::number(children[n].size());
    update.Put(rootNumber, root + " >>");
}

// Each page's link annotations join the page's own: the writer keeps them in an array object
// of their own ("/Annots 14 0 R"), or in the page, or there are none yet.
QString WriteLinks(Update& update, const PdfObjects& pdf, const std::vector<PdfLink>& links,
                   const std::vector<int>& pages) {
    std::map<int, QByteArray> added; // page index -> " 40 0 R 41 0 R"
    for (const PdfLink& link : links) {
        const int number = update.Reserve();
        const QRectF& r = link.area;
        update.Put(number, "<< /Type /Annot /Subtype /Link /Rect [" + Number(r.left()) + " " +
                               Number(r.top()) + " " + Number(r.right()) + " " +
                               Number(r.bottom()) + "] /Border [0 0 0] /Dest " +
                               Destination(pages, link.target) + " >>");
        added[link.page] += " " + QByteArray::number(number) + " 0 R";
    }
    for (const auto& [page, refs] : added) {
        const QByteArray dict = pdf.Object(pages[page]);
        const int array = PdfObjects::Ref(dict, "/Annots");
        if (array > 0) {
            QByteArray list = pdf.Object(array);
            const qsizetype close = list.lastIndexOf(']');
            if (!list.startsWith('[') || close < 0)
                return QString("the annotations %1 are not an array").arg(array);
            update.Put(array, list.insert(close, refs + " "));
        } else if (dict.contains("/Annots")) {
            QByteArray withLinks = dict;
            const qsizetype close = withLinks.indexOf(']', withLinks.indexOf("/Annots"));
            if (close < 0) return QString("page %1 has a broken /Annots").arg(page + 1);
            update.Put(pages[page], withLinks.insert(close, refs + " "));
        } else {
            update.Put(pages[page], WithEntries(dict, "/Annots [" + refs + " ]\n"));
        }
    }
    return {};
}

QByteArray Serialise(const PdfObjects& pdf, const Update& update, const QByteArray& trailerTail) {
    QByteArray out = "\n";
    QByteArray table = "xref\n";
    const qint64 base = pdf.Bytes().size();
    for (const auto& [number, body] : update.Objects()) {
        const qint64 offset = base + out.size();
        out += QByteArray::number(number) + " 0 obj\n" + body + "\nendobj\n";
        table += QByteArray::number(number) + " 1\n" +
                 QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    }
    const qint64 xref = base + out.size();
    out += table + "trailer\n<< /Size " + QByteArray::number(update.NextFree()) + " /Root " +
           QByteArray::number(pdf.Root()) + " 0 R" + trailerTail + " /Prev " +
           QByteArray::number(pdf.Xref()) + " >>\nstartxref\n" + QByteArray::number(xref) +
           "\n%%EOF\n";
    return out;
}

} // namespace

QString AddPdfNavigation(const QString& path, const std::vector<PdfOutlineItem>& outline,
                         const std::vector<PdfLink>& links) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "cannot read " + path;
    PdfObjects pdf(file.readAll());
    file.close();
    QString failed = pdf.Read();
    const QByteArray catalog = pdf.Object(pdf.Root());
    std::vector<int> pages;
    if (failed.isEmpty()) failed = Pages(pdf, PdfObjects::Ref(catalog, "/Pages"), pages);
    for (const PdfOutlineItem& item : outline)
        if (failed.isEmpty() && (item.target.page < 0 || item.target.page >= int(pages.size())))
            failed = QString("\"%1\" lies on no page").arg(item.title);
    for (const PdfLink& link : links)
        if (failed.isEmpty() && (std::min(link.page, link.target.page) < 0 ||
                                 std::max(link.page, link.target.page) >= int(pages.size())))
            failed = "a link leads off the pages";
    if (!failed.isEmpty() || catalog.contains("/Outlines"))
        return path + ": " + (failed.isEmpty() ? "it has an outline already" : failed);

    Update update(pdf.Size());
    const int outlineRoot = update.Reserve();
    WriteOutline(update, outline, pages, outlineRoot);
    failed = WriteLinks(update, pdf, links, pages);
    if (!failed.isEmpty()) return path + ": " + failed;
    update.Put(pdf.Root(), WithEntries(catalog, "/Outlines " + QByteArray::number(outlineRoot) +
                                                    " 0 R\n/PageMode /UseOutlines\n"));
    // The document's information and identity stay those of the first writing.
    QByteArray tail;
    if (const int info = PdfObjects::Ref(pdf.Trailer(), "/Info"))
        tail += " /Info " + QByteArray::number(info) + " 0 R";
    static const QRegularExpression id("/ID\\s*\\[[^\\]]*\\]");
    if (const auto m = id.match(QString::fromLatin1(pdf.Trailer())); m.hasMatch())
        tail += " " + m.captured(0).toLatin1();

    if (!file.open(QIODevice::Append) || file.write(Serialise(pdf, update, tail)) < 0)
        return "cannot write " + path;
    return {};
}
