#include "files/plan_summary.h"

#include <cmath>
#include <string_view>

#include "core/numtext.h"
#include "core/resources.h"

namespace forstrix::files {

namespace {

class Json {
public:
    explicit Json(std::string& out) : out_(out) {}

    void open(std::string_view key) {
        item(key);
        out_ += '{';
        ++depth_;
        first_ = true;
    }
    void close() {
        --depth_;
        if (!first_) newline();
        out_ += '}';
        first_ = false;
    }
    void number(std::string_view key, double v) {
        item(key);
        out_ += std::isfinite(v) ? format_shortest(v) : "null";
    }
    void count(std::string_view key, long n) {
        item(key);
        out_ += std::to_string(n);
    }
    void boolean(std::string_view key, bool b) {
        item(key);
        out_ += b ? "true" : "false";
    }

private:
    // The keys are the program's own names: no character needs escaping.
    void item(std::string_view key) {
        if (!first_) out_ += ',';
        first_ = false;
        if (depth_ == 0) return;  // the outermost object has no key
        newline();
        out_ += '"';
        out_ += key;
        out_ += "\": ";
    }
    void newline() {
        out_ += '\n';
        out_.append(static_cast<std::size_t>(2 * depth_), ' ');
    }
    std::string& out_;
    int depth_ = 0;
    bool first_ = true;
};

}  // namespace

std::string plan_summary_json(const plan::Totals& totals, const plan::CapacityResult* capacity) {
    std::string out;
    Json j(out);
    j.open("");
    j.count("bestaende", totals.stands);
    j.count("fehlerhaft", totals.refused);
    j.count("ohne_system", totals.without_system);
    j.number("hiebsmenge_efm", totals.volume);
    j.number("kosten", totals.euro);
    j.number("kosten_fm", totals.euro_fm());
    j.number("diesel_l", totals.diesel_l);
    j.number("benzin_l", totals.petrol_l);
    j.number("co2_kg", totals.co2_kg);
    j.open("systeme");
    const auto lines = plan::time_lines();
    for (int k = 0; k < plan::kSystems; ++k) {
        const plan::SystemTotals& t = totals.systems[static_cast<std::size_t>(k)];
        j.open(std::to_string(k + 1));
        j.count("bestaende", t.stands);
        j.number("hiebsmenge_efm", t.volume);
        j.number("kosten", t.euro);
        j.number("co2_kg", t.co2_kg);
        j.open("stunden");
        for (std::size_t n = 0; n < lines.size() && n < plan::kTimeLines; ++n) {
            if (lines[n].system == k && lines[n].value != nullptr) j.number(lines[n].value->name, t.hours[n]);
        }
        j.close();
        j.close();
    }
    j.close();
    if (capacity != nullptr) {
        j.open("kapazitaet");
        const auto resources = plan::resources();
        for (std::size_t r = 0; r < resources.size(); ++r) {
            const plan::ResourceUse& u = capacity->use[r];
            if (u.available == plan::kUnlimited) continue;
            j.open(resources[r].name);
            j.number("verfuegbar", u.available);
            j.number("benoetigt", u.needed);
            j.number("fehlt", u.missing);
            j.close();
        }
        j.close();
        j.boolean("passt", capacity->fits);
        j.boolean("optimal", capacity->optimal);
        j.number("luecke", capacity->gap);
        j.number("mehrkosten", capacity->extra_cost);
    }
    j.close();
    out += '\n';
    return out;
}

}  // namespace forstrix::files
