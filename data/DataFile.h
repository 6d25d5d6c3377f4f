#pragma once
// Data files: a set file holds one data set (a set block); a plot file holds the plot's texts
// and range followed by every data set with its colours and styles. Both are 8-bit text with
// CR LF line ends, written byte for byte the same on every platform and in every locale.
#include "data/PlotDocument.h"

#include <QDate>
#include <QString>

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

// Creates a data set with CreateDataSet and reads one set block into it. On return the reader
// stands at the start of the next "!" line, or at the end. Returns the altitude Signal. Sample
// lines beyond what a data set holds are passed over and counted into *dropped when given.
Signal* ReadSetBlock(PlotDocument& doc, LineReader& in, long long* dropped = nullptr);

enum class DataFileKind { Set, Plot };
// Reads a set file or a plot file into doc, as "Load" does: data sets are added after those
// already present; a plot file also replaces the plot's texts and range. Ends with the first
// item of the set list selected. *dropped, when given, receives the number of sample lines
// that did not fit their data set.
DataFileKind ReadDataText(PlotDocument& doc, std::string_view text, long long* dropped = nullptr);

// File operations. On failure they return false and put the message the user sees
// ("Unable to open %s!" / "Unable to write %s!") into *error when error is not null.
// Writing goes to a temporary file beside the target, which replaces the target only when
// every byte was written, so a failed save leaves the old file as it was. Where the folder
// takes no new file (a shared folder, a file handed over by someone else) but the file itself
// may be written, the file is written in place.
bool WriteFileAtomically(const QString& path, std::string_view bytes, QString* error);
bool SaveSetFile(const PlotDocument& doc, int k, const QString& path, QString* error);
bool SavePlotFile(const PlotDocument& doc, const QString& path, QString* error);
// A flight simulator's export (see SimImport.h) loads as one more data set, of kind Set; what
// the user should hear about skipped or cut rows goes to *notice (empty otherwise).
bool LoadDataFile(PlotDocument& doc, const QString& path, QString* error,
                  DataFileKind* kind = nullptr, QString* notice = nullptr,
                  long long* dropped = nullptr);

// Default names offered by the save dialog: "Alt_<date>_<n>.csv" (n = Set# index + 1) and
// "Plot_<date>.csv", the date as yyyy-mm-dd.
QString DefaultSetFileName(const QDate& date, int setNumber);
QString DefaultPlotFileName(const QDate& date);
// A file name the user typed without an extension gets ".csv"; any other stays as it is.
QString WithDataFileExtension(const QString& path);

} // namespace vemo
