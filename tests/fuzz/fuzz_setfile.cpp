// libFuzzer target for the data file reader. Any bytes must load without a fault, leave the
// model within its limits, and what the program writes from it must read back to the same
// text once numbers have been rounded to the file's precision. The same bytes read as a
// simulator's export must make a set within the limits too, and every set must give a flight
// summary whose figures are numbers or reasons.
#include "data/DataFile.h"
#include "data/FlightSummary.h"
#include "data/PlotDocument.h"
#include "data/SimImport.h"
#include "data/Text.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

void CheckLimits(const vemo::PlotDocument& doc) {
    Check(doc.SetListBox->Count() == doc.SetCount());
    Check(doc.ActiveSetCombo->Count() == doc.SetCount());
    for (int k = 0; k < doc.SetCount(); ++k) {
        const vemo::Signal* alt = doc.AltSignal(k);
        const vemo::Signal* trig = doc.TrigSignal(k);
        const int n = alt->Samples.Count();
        Check(n <= vemo::MaxSamples && trig->Samples.Count() <= n);
        Check(alt->Samples.PeakMarks.size() == static_cast<std::size_t>(n));
        Check(alt->Name.size() <= vemo::NameLength && alt->Note1.size() <= vemo::TextLength);
        Check(alt->LineStyle >= 0 && alt->LineStyle <= 5);
        Check(alt->PointStyle >= 0 && alt->PointStyle <= 7);
        Check(trig->PointStyle >= 0 && trig->PointStyle <= 7);
        for (const vemo::ClimbMark& m : alt->ClimbMarks)
            if (m.InUse)
                Check(m.FirstSample >= 0 && m.FirstSample < n && m.SecondSample >= 0 &&
                      m.SecondSample < n);
    }
    Check(doc.Title.size() <= vemo::TextLength && doc.Info3.size() <= vemo::TextLength);
    for (int k = 0; k < doc.SetCount(); ++k) {
        const vemo::FlightSummary s = vemo::SummariseFlight(*doc.AltSignal(k));
        Check(!s.Flights.empty());
        for (const vemo::FlightFigures& g : s.Flights)
            for (const vemo::Figure* f : {&g.Apogee, &g.GroundLevel, &g.Launch, &g.Landing,
                                          &g.FlightTime, &g.MaxClimb, &g.MaxDescent})
                Check(f->Found() == f->Missing.empty());
    }
}

std::string Cycle(std::string_view text) {
    vemo::PlotDocument doc;
    const vemo::LoadResult r = vemo::ReadDataText(doc, text);
    Check(r.Done || doc.SetCount() == 0); // a refused text adds nothing
    CheckLimits(doc);
    // One plot, one unit: every set read has it.
    for (int k = 0; k < doc.SetCount(); ++k)
        Check(doc.AltSignal(k)->Unit == doc.AltSignal(0)->Unit &&
              vemo::IsUnit(doc.AltSignal(k)->Unit));
    std::string out;
    vemo::WritePlotFile(doc, out);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    vemo::PlotDocument doc;
    doc.CreateDataSet();
    vemo::ReadDataText(doc, input);
    CheckLimits(doc);

    vemo::Simulation sim;
    std::string why;
    if (vemo::ReadSimulation(input, vemo::UnitFeet, sim, why)) {
        vemo::AddSimulationSet(doc, sim, vemo::UnitFeet, "fuzz.csv");
        CheckLimits(doc);
    }

    const std::string first = Cycle(input);
    const std::string second = Cycle(first);
    Check(Cycle(second) == second);
    return 0;
}
