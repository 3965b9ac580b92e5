#include "core/decision.h"

#include <cmath>

#include "core/emissions.h"
#include "core/numtext.h"
#include "core/sweep.h"
#include "core/systems.h"

namespace forstrix {

namespace {

// "III) Hochmechanisierte Holzernte mit 21,74 Euro/Fm"; I and II say that
// their sum includes the measuring of the wood.
std::string priced(int system, double per_fm) {
    std::string text = std::string(kSystemTitles[static_cast<std::size_t>(system)]) + " mit " +
                       format_comma(per_fm, 2) + " Euro/Fm";
    if (system < 2) text += " inklusive Vermessung";
    return text;
}

}  // namespace

Decision decide(const State& s) {
    Decision d;
    PointCosts p;
    p.computed = true;
    p.flags = s.flags();
    p.sums = chart_sums(s);
    Competition c;
    d.best = cheapest(p, c);
    if (d.best < 0) return d;
    const auto i = static_cast<std::size_t>(d.best);
    d.per_fm = competing_sum(p.sums, d.best, c.unmeasured);
    d.measure = d.per_fm * s.gc_vhieb;
    d.litres = (s.*kDieselPerFm[i] + s.*kBenzinPerFm[i]) * s.gc_vhieb;
    d.co2 = s.*kCo2PerFm[i] * s.gc_vhieb;
    // The runner-up by the same rule, the winner left out.
    c.excluded[i] = true;
    d.second = cheapest(p, c);
    if (d.second >= 0) d.second_per_fm = competing_sum(p.sums, d.second, c.unmeasured);
    return d;
}

std::string format_thousands(double v) {
    if (!std::isfinite(v)) return kNoFigure;
    const std::string digits = format_fixed(std::round(std::abs(v)), 0);
    std::string out = v <= -0.5 ? "-" : "";
    for (std::size_t k = 0; k < digits.size(); ++k) {
        if (k > 0 && (digits.size() - k) % 3 == 0) out += '.';
        out += digits[k];
    }
    return out;
}

std::vector<std::string> decision_lines(const Decision& d, const State& s) {
    if (d.best < 0) return {kNoSuitableSystem};
    std::vector<std::string> lines;
    lines.push_back("Am günstigsten: " + priced(d.best, d.per_fm));
    lines.push_back("Gesamte Maßnahme (" + format_thousands(s.gc_vhieb) + " EFm): " +
                    format_thousands(d.measure) + " Euro, Kraftstoff " + format_thousands(d.litres) +
                    " l, CO2 " + format_thousands(d.co2) + " kg");
    if (d.second < 0)
        lines.push_back("Kein weiteres Arbeitssystem ist für diesen Bestand geeignet.");
    else
        lines.push_back("Zweitgünstigstes: " + priced(d.second, d.second_per_fm) + ", " +
                        format_comma(d.second_per_fm - d.per_fm, 2) + " Euro/Fm mehr");
    return lines;
}

std::string decision_summary(const Decision& d) {
    if (d.best < 0) return kNoSuitableSystem;
    return std::string(kSystemTitles[static_cast<std::size_t>(d.best)]) + ": " + format_comma(d.per_fm, 2) +
           " Euro/Fm, " + format_thousands(d.measure) + " Euro für die Maßnahme";
}

}  // namespace forstrix
