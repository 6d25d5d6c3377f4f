#include "app/StartFiles.h"

#include "app/MainForm.h"
#include "data/PlotDocument.h"
#include "data/ui/FileActions.h"
#include "plot/Scaling.h"
#include "plot/ui/DataPage.h"

#include <QTabWidget>
#include <QTimer>

#include <memory>

void LoadFilesAfterStart(TMainForm& form, const QStringList& files) {
    if (files.isEmpty()) return;
    // Connected after the window's own handler, so this runs once the splash has ended and
    // decides the page that shows.
    auto loaded = std::make_shared<bool>(false);
    QObject::connect(form.Timer3, &QTimer::timeout, &form, [&form, files, loaded] {
        if (*loaded) return;
        *loaded = true;
        form.PageControl1->setCurrentWidget(form.DataPg);
        // A file that cannot be read gets its message; the others still load.
        for (const QString& file : files)
            vemo::LoadDataFrom(&form, file, [&form] { form.RepaintPlot(); });
        // Unlike "Load", which keeps the view, the files opened with the program are shown
        // whole instead of in the start-up view of 0..20 on both axes.
        if (vemo::PlotDoc) vemo::AutoRangeAll(*vemo::PlotDoc);
        form.RepaintPlot();
    });
}
