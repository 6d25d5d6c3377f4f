#include "tools/CliLoad.h"

#include <cstdio>

namespace vemocli {

void PrintError(const QString& line) {
    std::fprintf(stderr, "%s\n", line.toUtf8().constData());
}

vemo::LoadResult LoadAndTell(vemo::PlotDocument& doc, const char* name) {
    vemo::LoadResult r = vemo::LoadDataFile(doc, QString::fromLocal8Bit(name));
    if (!r.Done) PrintError(r.Error);
    for (const QString& notice : r.Notices)
        PrintError(notice);
    return r;
}

} // namespace vemocli
