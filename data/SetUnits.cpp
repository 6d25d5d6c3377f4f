#include "data/SetUnits.h"

namespace vemo {

namespace {

void Convert(Signal& alt, int to) {
    const double factor = MetersPerUnit(alt.Unit) / MetersPerUnit(to);
    for (Signal* s : {&alt, alt.TriggerSignal}) {
        if (!s) continue;
        s->Samples.ScaleAlts(factor);
        s->AltOffset *= factor;
    }
    alt.Unit = to;
}

} // namespace

int UnitOfSets(const PlotDocument& doc, int count) {
    for (int k = 0; k < count && k < doc.SetCount(); ++k)
        if (const int unit = doc.AltSignal(k)->Unit; IsUnit(unit)) return unit;
    return UnitNone;
}

int PlotUnit(const PlotDocument& doc) {
    if (const int unit = UnitOfSets(doc, doc.SetCount()); IsUnit(unit)) return unit;
    const int named = UnitOfLabel(doc.YAxisLabel);
    return IsUnit(named) ? named : UnitFeet;
}

JoinedSets JoinSets(PlotDocument& doc, int first, std::string_view label) {
    JoinedSets joined;
    const int had = UnitOfSets(doc, first);
    joined.To = IsUnit(had) ? had : UnitOfSets(doc, doc.SetCount());
    if (!IsUnit(joined.To)) joined.To = PlotUnit(doc);
    for (int k = first; k < doc.SetCount(); ++k) {
        Signal& alt = *doc.AltSignal(k);
        if (IsUnit(alt.Unit) && alt.Unit != joined.To) {
            if (!joined.Converted()) joined.From = alt.Unit;
            Convert(alt, joined.To);
        }
        alt.Unit = joined.To;
    }
    const int named = UnitOfLabel(doc.YAxisLabel);
    if (!IsUnit(had) && IsUnit(named) && named != joined.To)
        doc.YAxisLabel =
            UnitOfLabel(label) == joined.To ? std::string(label) : AltitudeAxisLabel(joined.To);
    return joined;
}

std::string ConvertedSentence(const JoinedSets& joined) {
    return "was recorded in " + std::string(UnitWord(joined.From)) + "; converted to " +
           std::string(UnitWord(joined.To)) + " like the other sets.";
}

std::string SetAxisLabel(const PlotDocument& doc, int k) {
    const Signal* alt = doc.AltSignal(k);
    if (!alt || !IsUnit(alt->Unit) || UnitOfLabel(doc.YAxisLabel) == alt->Unit)
        return doc.YAxisLabel;
    return AltitudeAxisLabel(alt->Unit);
}

std::string_view SetUnitWord(const PlotDocument& doc, int k) {
    const Signal* alt = doc.AltSignal(k);
    return UnitWord(alt && IsUnit(alt->Unit) ? alt->Unit : PlotUnit(doc));
}

} // namespace vemo
