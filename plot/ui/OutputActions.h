#pragma once
// The "Print" and "Export" buttons of the Recorded Data page.
#include "plot/PrintSettings.h"
#include "plot/Renderer.h"

#include <QString>
#include <QStringList>

#include <functional>

class QPrinter;
class QWidget;
class TPrtLocForm;

namespace vemo {

// The dialogs the two buttons show, and the renderer they use. They are the real ones unless a
// test puts stand-ins in their place.
struct OutputDialogs {
    // Shows the Output dialog; true when it was closed with OK.
    std::function<bool(TPrtLocForm& form)> Output;
    // Shows the system print dialog for printer; true when the user chose to print.
    std::function<bool(QPrinter& printer, QWidget* parent)> Printer;
    // Shows "Export Graph Data" starting at fileType; true with the chosen name. fileType is
    // the dialog's last file type in either case.
    std::function<bool(QWidget* parent, int& fileType, QString& fileName)> ExportFile;
    // Shows a failure's message.
    std::function<void(QWidget* parent, const QString& message)> Error;
    RenderFunction Render;
};

// The filters of "Export Graph Data", in the order of the file types they stand for.
const QStringList& ExportFilterList();

// The dialogs used by PrintBtnClick and ExportBtnClick.
OutputDialogs& OutputUi();
// The real dialogs.
OutputDialogs StandardOutputDialogs();

// Print: Output dialog, print dialog, then the plot with the display switches given onto one
// page of the chosen printer.
void PrintBtnClick(QWidget* parent, const PlotSwitches& switches = {});
// Export: file dialog, Output dialog, then the plot with the display switches given as a BMP,
// JPEG, GIF, PNG, SVG or PDF file.
void ExportBtnClick(QWidget* parent, const PlotSwitches& switches = {});

} // namespace vemo
