// The summary of a harvest plan as JSON, for other programs (a district's
// reporting, a spreadsheet's import): how many stands were read, refused
// and left without a system, the plan's Hiebsmenge, cost, fuel and CO2, the
// same per work system with the hours of each of its time lines, and, when
// the plan was chosen within capacities, the hours available, needed and
// missing per resource.
//
//   {
//     "bestaende": 120, "fehlerhaft": 2, "ohne_system": 3,
//     "hiebsmenge_efm": ..., "kosten": ..., "kosten_fm": ..., "diesel_l": ...,
//     "benzin_l": ..., "co2_kg": ...,
//     "systeme": {
//       "1": {"bestaende": 40, "hiebsmenge_efm": ..., "kosten": ..., "co2_kg": ...,
//             "stunden": {"gff_e3": ..., "gff_e4": ..., "gff_e5": ..., "gff_e6": ...}},
//       ... "6": {...}
//     },
//     "kapazitaet": {"harvester": {"verfuegbar": ..., "benoetigt": ..., "fehlt": ...}, ...},
//     "passt": true, "optimal": true, "luecke": 0, "mehrkosten": ...
//   }
//
// All six systems always appear, a system without stands with zeros, so
// that a reader finds the same keys in every plan. "stunden" are hours of
// the whole plan (minutes per Fm turned into hours). "kapazitaet" lists the
// resources that were given a capacity, in the order forstwirte,
// seilschlepper, harvester, forwarder, hangharvester, hangforwarder,
// seilkran; it and the four keys after it appear only for a plan chosen
// within capacities. "luecke" is the relative distance to the best bound
// when the optimum was not proven (0 otherwise); "mehrkosten" the Euro over
// the plan of every stand's cheapest system. Numbers are written with the
// fewest digits that read back exactly, with a decimal point whatever the
// locale; a figure that is not finite is written as null.
#pragma once

#include <string>

#include "core/capacity.h"
#include "core/plan.h"

namespace forstrix::files {

// The summary's text (UTF-8, LF line ends, ending with a line end). Written
// to a file through files/atomic_write.h like every other output.
// `capacity` may be null: a plan not chosen within capacities.
std::string plan_summary_json(const plan::Totals& totals, const plan::CapacityResult* capacity = nullptr);

}  // namespace forstrix::files
