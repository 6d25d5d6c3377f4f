// vemo-cli save OUT.csv IN.csv [IN.csv ...] [--set K]
// Loads the inputs in order into an empty document, as "Load" does, and saves the whole plot,
// or data set K alone as a set file.
#include "tools/CliLoad.h"
#include "tools/Commands.h"

#include <QString>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

bool ParseIndex(std::string_view text, int& k) {
    const char* end = text.data() + text.size();
    auto r = std::from_chars(text.data(), end, k);
    return r.ec == std::errc() && r.ptr == end && k >= 0;
}

} // namespace

int CmdSave(int argc, char** argv) {
    std::vector<const char*> files;
    int set = -1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--set") == 0) {
            if (i + 1 >= argc || !ParseIndex(argv[i + 1], set)) return UsageError("save");
            ++i;
        } else if (argv[i][0] == '-' && argv[i][1] == '-') {
            return UsageError("save");
        } else {
            files.push_back(argv[i]);
        }
    }
    if (files.size() < 2) return UsageError("save");

    vemo::PlotDocument doc;
    for (std::size_t i = 1; i < files.size(); ++i)
        if (!vemocli::LoadAndTell(doc, files[i]).Done) return 2;
    if (set >= doc.SetCount()) {
        std::fprintf(stderr, "vemo-cli save: the inputs hold %d data sets; there is no set %d\n",
                     doc.SetCount(), set);
        return 1;
    }
    const QString out = QString::fromLocal8Bit(files[0]);
    QString error;
    const bool ok =
        set >= 0 ? vemo::SaveSetFile(doc, set, out, &error) : vemo::SavePlotFile(doc, out, &error);
    if (!ok) {
        vemocli::PrintError(error);
        return 2;
    }
    return 0;
}
