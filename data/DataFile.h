#pragma once
// Data files: a set file holds one data set (a set block); a plot file holds the plot's texts
// and range followed by every data set with its colours and styles. Both are 8-bit text with
// CR LF line ends, written byte for byte the same on every platform and in every locale.
#include "data/PlotDocument.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <string>
#include <string_view>

namespace vemo {

// Appends data set k's set block to out. Does nothing for an index out of range.
void WriteSetBlock(const PlotDocument& doc, int k, std::string& out);
// Appends a whole plot file: the eight plot lines, then a "!" line and a set block per set.
void WritePlotFile(const PlotDocument& doc, std::string& out);

// Reads a file's text line by line. A line ends at LF; a CR before the LF is dropped. Lines
// may be of any length and hold any bytes.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}
    bool AtEnd() const { return pos_ >= text_.size(); }
    std::size_t Pos() const { return pos_; }
    void Seek(std::size_t pos) { pos_ = pos < text_.size() ? pos : text_.size(); }
    // The next line without its line end; empty at the end of the text.
    std::string_view ReadLine();
    // The text not read yet.
    std::string_view Rest() const { return text_.substr(pos_); }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// A byte-order mark, as spreadsheet programs and many editors put before the first line,
// belongs to no line: the text without it.
std::string_view WithoutBom(std::string_view text);

// Whether text begins as the program's set file does: six "#" lines, then "#" and four
// numbers (and the trigger column's 0 or 1). Such a file is a set file even without samples,
// whatever its notes hold.
bool IsSetFileText(std::string_view text);

// Creates a data set with CreateDataSet and reads one set block into it. On return the reader
// stands at the start of the next "!" line, or at the end. Returns the altitude Signal, whose
// Unit is the one its altitude line names (none when it names none). Sample lines beyond what
// a data set holds are passed over and counted into *dropped when given. With utf8Texts the
// names and notes are UTF-8 (the file began with a byte-order mark) and become 8-bit text.
Signal* ReadSetBlock(PlotDocument& doc, LineReader& in, long long* dropped = nullptr,
                     bool utf8Texts = false);

enum class DataFileKind {
    Unread,     // the file could not be opened
    Set,        // a set file, or sample lines alone
    Plot,       // a plot file
    Simulation, // a flight simulator's export
    NotData,    // none of these: no line of it is a data sample
};

// What reading a file did.
struct LoadResult {
    bool Done = false; // its data sets were added to the document
    DataFileKind Kind = DataFileKind::Unread;
    QString Error;         // what the user sees when it was not done
    QStringList Notices;   // what the user must hear although it was done, one sentence each
    long long Dropped = 0; // sample lines or export rows beyond what a data set holds
};

// Reads a set file, a plot file or a simulator's export into doc, as "Load" does: data sets
// are added after those already present, in the plot's unit (see SetUnits.h); a plot file also
// replaces the plot's texts and range. A text in which no line is a sample is refused and adds
// nothing. Ends with the first item of the set list selected. source names the file in the
// messages and in a simulation's notes.
LoadResult ReadDataText(PlotDocument& doc, std::string_view text, const QString& source = {});

// File operations. On failure they return false and put the message the user sees
// ("Unable to open %s!" / "Unable to write %s!") into *error when error is not null.
// Writing goes to a temporary file beside the target, which replaces the target only when
// every byte was written, so a failed save leaves the old file as it was. Where the folder
// takes no new file (a shared folder, a file handed over by someone else) but the file itself
// may be written, the file is written in place.
bool WriteFileAtomically(const QString& path, std::string_view bytes, QString* error);
bool SaveSetFile(const PlotDocument& doc, int k, const QString& path, QString* error);
bool SavePlotFile(const PlotDocument& doc, const QString& path, QString* error);
// Reads the file at path with ReadDataText; a file that cannot be opened gives "Unable to
// open %s!".
[[nodiscard]] LoadResult LoadDataFile(PlotDocument& doc, const QString& path);

// Default names offered by the save dialog: "Alt_<date>_<n>.csv" (n = Set# index + 1) and
// "Plot_<date>.csv", the date as yyyy-mm-dd.
QString DefaultSetFileName(const QDate& date, int setNumber);
QString DefaultPlotFileName(const QDate& date);
// A file name the user typed without an extension gets ".csv"; any other stays as it is.
QString WithDataFileExtension(const QString& path);

} // namespace vemo
