// Saving and loading a set file of 65536 samples, and our reader against a reader that calls
// sscanf once per line on the same text. Both readers must produce the same values.
#include "data/DataFile.h"
#include "data/PlotDocument.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace vemo;

namespace {

// A full set as a download makes it: 0.1 s steps, a flight profile, a trigger every 500
// samples and a few peak marks.
const std::string& FullSetText() {
    static const std::string text = [] {
        PlotDocument doc;
        Signal* alt = doc.CreateDataSet();
        alt->Name = "Bench";
        alt->Samples.Clear();
        for (int i = 0; i < MaxSamples; ++i) {
            const double t = i * 0.1;
            alt->Samples.Append(t, 1200.0 + 800.0 * ((i % 4096) / 4096.0) + (i % 7) * 0.25);
            if (i % 500 == 0) alt->TriggerSignal->Samples.Append(t, 0);
            if (i % 1000 == 0) alt->Samples.PeakMarks.back() = 1;
        }
        std::string out;
        WriteSetBlock(doc, 0, out);
        return out;
    }();
    return text;
}

struct Columns {
    std::vector<double> time, alt;
    std::vector<int> flag, peak;
};

// The reader a C program would write: split lines like fgets, one sscanf per sample line.
Columns ReadWithSscanf(const std::string& text) {
    Columns c;
    std::size_t pos = 0;
    int headerLine = 0;
    std::string line;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        line.assign(text, pos, end - pos);
        pos = end + 1;
        if (line[0] == '#') {
            ++headerLine;
            continue;
        }
        double t = 0, a = 0;
        int f = 0, p = 0;
        const int n = std::sscanf(line.c_str(), "%lf, %lf, %d, %d", &t, &a, &f, &p);
        if (n < 1) continue;
        c.time.push_back(t);
        c.alt.push_back(a);
        c.flag.push_back(n >= 3 ? f : 0);
        c.peak.push_back(n >= 4 ? p : 0);
    }
    return c;
}

bool SameValues(const PlotDocument& doc, const Columns& c) {
    const Signal* alt = doc.AltSignal(0);
    const SampleStore& s = alt->Samples;
    if (s.Time != c.time || s.Alt != c.alt) return false;
    int flagged = 0;
    for (std::size_t i = 0; i < c.peak.size(); ++i) {
        if (s.PeakMarks[i] != c.peak[i]) return false;
        flagged += c.flag[i];
    }
    return flagged == alt->TriggerSignal->Samples.Count();
}

void BM_ReadSetText(benchmark::State& state) {
    const std::string& text = FullSetText();
    for (auto _ : state) {
        PlotDocument doc;
        ReadDataText(doc, text);
        benchmark::DoNotOptimize(doc.AltSignal(0)->Samples.Alt.data());
    }
    PlotDocument check;
    ReadDataText(check, text);
    if (check.AltSignal(0)->Samples.Count() != MaxSamples ||
        !SameValues(check, ReadWithSscanf(text)))
        state.SkipWithError("the two readers disagree");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadSetText)->Unit(benchmark::kMillisecond);

void BM_ReadSetTextSscanf(benchmark::State& state) {
    std::setlocale(LC_NUMERIC, "C");
    const std::string& text = FullSetText();
    for (auto _ : state) {
        Columns c = ReadWithSscanf(text);
        benchmark::DoNotOptimize(c.alt.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadSetTextSscanf)->Unit(benchmark::kMillisecond);

// The whole "Load": open, read the file, parse.
void BM_LoadSetFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Alt.csv");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) state.SkipWithError("cannot write the test file");
        f.write(FullSetText().data(), static_cast<qint64>(FullSetText().size()));
    }
    for (auto _ : state) {
        PlotDocument doc;
        if (!LoadDataFile(doc, path).Done) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(doc.AltSignal(0));
    }
}
BENCHMARK(BM_LoadSetFile)->Unit(benchmark::kMillisecond);

// The whole "Save" of the active set: format and write through the temporary file.
void BM_SaveSetFile(benchmark::State& state) {
    PlotDocument doc;
    ReadDataText(doc, FullSetText());
    QTemporaryDir dir;
    const QString path = dir.filePath("Alt.csv");
    for (auto _ : state)
        if (!SaveSetFile(doc, 0, path, nullptr)) state.SkipWithError("save failed");
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.readAll().toStdString() != FullSetText())
        state.SkipWithError("the saved file differs from the text it was read from");
}
BENCHMARK(BM_SaveSetFile)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
