// The plan within capacities in the plan window: the hours a choice needs
// against the hours available, the optimisation, its one step back, the
// capacities kept for the plan's file, and a plan that cannot fit.
#include <cmath>
#include <limits>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "core/capacity.h"
#include "draw/plan_sheet.h"
#include "ui/plan_capacity.h"
#include "ui/plan_capacity_panel.h"
#include "ui/plan_model.h"
#include "ui/plan_open.h"
#include "ui/plan_window.h"
#include "ui_test_support.h"

using namespace forstrix;
using namespace forstrix::ui;
using namespace forstrix::ui::test;

namespace {

// Six stands of a district: three that the harvester works cheapest, one
// on a slope, two of hardwood for the chainsaw; the last is fixed to the
// harvester, which does not suit it.
const char* const kPlan =
    "name,gi_ba,gi_bhd,gi_hn,gf_vab,gf_gf,gewaehlt,fest\n"
    "Abt. 1a,1,25,10,400,3,,\n"
    "Abt. 2b,1,30,15,600,4,,\n"
    "Abt. 3c,2,22,5,350,2,,\n"
    "Abt. 4d,1,28,45,300,2,,\n"
    "Abt. 5e,6,45,10,250,2,,\n"
    "Abt. 6f,5,40,10,200,2,III,1\n";
const std::size_t kFixed = 5;
const int kHarvester = 2;

const double kInf = std::numeric_limits<double>::infinity();

// The best plan by trying every choice: the smallest total of the goal's
// figure within the capacities, or NaN when none fits. The fixed stand
// stays out, as the optimisation refuses it.
double best_by_trial(const files::PlanTable& t, const plan::ResourceHours& capacity, plan::Goal goal) {
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < t.size(); ++i)
        if (i != kFixed && t.row(i).figures.any_suitable()) open.push_back(i);
    std::vector<int> pick(open.size(), 0);
    double best = std::nan("");
    for (;;) {
        plan::ResourceHours used{};
        double sum = 0;
        bool valid = true;
        for (std::size_t j = 0; j < open.size() && valid; ++j) {
            const plan::StandFigures& f = t.row(open[j]).figures;
            valid = f.suitable[static_cast<std::size_t>(pick[j])];
            if (!valid) break;
            const plan::Amounts a = plan::amounts(f, pick[j]);
            sum += goal == plan::Goal::Cost ? a.euro : a.co2_kg;
            const plan::ResourceHours h = plan::resource_hours(f, pick[j]);
            for (std::size_t r = 0; r < used.size(); ++r) used[r] += h[r];
        }
        for (std::size_t r = 0; r < used.size() && valid; ++r) valid = used[r] <= capacity[r] + 1e-9;
        if (valid && !(sum >= best)) best = sum;
        std::size_t j = 0;
        while (j < pick.size() && ++pick[j] == plan::kSystems) pick[j++] = 0;
        if (j == pick.size()) return best;
    }
}

}  // namespace

class TestPlanCapacity : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    State base_ = started();
    QString csv_;
    QPointer<PlanWindow> window_;

    void open() {
        ScriptedMessages messages;
        // The first opening asks for the columns' meanings: taken as they are.
        DialogScript script({[](QWidget* d) { child<QPushButton>(*d, QStringLiteral("ok"))->click(); }});
        window_ = open_plan(base_, csv_, nullptr);
        QVERIFY(window_);
        window_->resize(1366, 740);
    }

    void close_window() {
        if (!window_) return;
        ScriptedMessages messages;
        messages.answer(MsgAnswer::Discard);
        window_->close();
        QTRY_VERIFY(!window_);
    }

    // The capacity dialog with `texts` typed into the fields named, then OK.
    bool set_capacities(const QList<QPair<QString, QString>>& texts) {
        DialogScript script({[&texts](QWidget* d) {
            for (const auto& [name, text] : texts) type(child<QLineEdit>(*d, name), text);
            child<QPushButton>(*d, QStringLiteral("ok"))->click();
        }});
        return window_->edit_capacity();
    }

    std::vector<int> choices() const {
        std::vector<int> out;
        for (std::size_t i = 0; i < window_->table().size(); ++i) out.push_back(window_->table().row(i).figures.chosen);
        return out;
    }

    QString status() const { return child<QLabel>(*window_, QStringLiteral("capacityStatus"))->text(); }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        csv_ = dir_.filePath(QStringLiteral("revier.csv"));
        write_file(csv_, kPlan);
    }

    void init() {
        QSettings(QStringLiteral("forstrix"), QStringLiteral("forstrix")).remove(QStringLiteral("hiebsplan_kapazitaeten"));
        open();
    }

    void cleanup() { close_window(); }

    void readHours_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("hours");  // NaN: refused
        QTest::newRow("empty is unlimited") << QString() << kInf;
        QTest::newRow("decimal comma") << QStringLiteral("1250,5") << 1250.5;
        QTest::newRow("decimal point") << QStringLiteral("1250.5") << 1250.5;
        QTest::newRow("blanks around") << QStringLiteral(" 80 ") << 80.0;
        QTest::newRow("a word") << QStringLiteral("zwölf") << std::nan("");
        QTest::newRow("negative") << QStringLiteral("-5") << std::nan("");
        QTest::newRow("two commas") << QStringLiteral("1,2,3") << std::nan("");
        QTest::newRow("thousands point and comma") << QStringLiteral("1.250,5") << std::nan("");
    }
    void readHours() {
        QFETCH(QString, text);
        QFETCH(double, hours);
        const std::optional<double> read = read_hours(text);
        if (std::isnan(hours)) QVERIFY(!read);
        else QCOMPARE(read, std::optional<double>(hours));
    }

    void optimiseWithinCapacityAndUndo_data() {
        QTest::addColumn<int>("goal");
        QTest::newRow("Kosten") << int(plan::Goal::Cost);
        QTest::newRow("CO2") << int(plan::Goal::Co2);
    }
    void optimiseWithinCapacityAndUndo() {
        if (!plan::solver_available()) QSKIP("this build optimises nothing");
        QFETCH(int, goal);
        const files::PlanTable& t = window_->table();
        const std::vector<int> before = choices();
        const double needed = needed_hours(t)[kHarvester];
        const QString euro_before = window_->totals_view()->item(0, 3)->text();
        QVERIFY2(needed > 200, "the cheapest plan needs the harvester for more than the capacity given");

        QVERIFY(set_capacities({{QStringLiteral("capacity_2"), QStringLiteral("150,0")}}));
        QCOMPARE(window_->capacity().options().capacity[kHarvester], 150.0);
        CapacityBars* bars = window_->capacity_panel()->bars();
        QCOMPARE(bars->lines()[kHarvester].available, 150.0);
        QCOMPARE(bars->lines()[kHarvester].needed, needed);
        QVERIFY(status().contains(QStringLiteral("Harvester: es fehlen ") + hours_text(needed - 150.0, kHarvester)));

        const double best = best_by_trial(t, window_->capacity().options().capacity, plan::Goal(goal));
        QVERIFY(window_->optimise(plan::Goal(goal)));
        QVERIFY(needed_hours(t)[kHarvester] <= 150.0 + 1e-6);
        QCOMPARE(bars->lines()[kHarvester].needed, needed_hours(t)[kHarvester]);
        const double total = goal == int(plan::Goal::Cost) ? t.totals().euro : t.totals().co2_kg;
        QVERIFY(std::abs(total - best) <= 1e-6 * best);
        QVERIFY(window_->totals_view()->item(0, 3)->text() != euro_before);
        QVERIFY(status().contains(QStringLiteral("Alle Kapazitäten eingehalten.")));
        QVERIFY(status().contains(QStringLiteral("Ergebnis optimal")));
        // What the stands cost over their cheapest, each and together.
        const double extra = extra_cost(t);
        QVERIFY(extra > 0);
        QCOMPARE(child<QLabel>(*window_, QStringLiteral("extraCost"))->text(),
                 QStringLiteral("Mehrkosten gegenüber der günstigsten Wahl: %1 Euro").arg(draw::grouped(extra, 0)));
        double column = 0;
        for (int i = 0; i < window_->model()->rowCount(); ++i)
            column += window_->model()->index(i, ColExtra).data(kSortRole).toDouble();
        QCOMPARE(column, extra);
        // The stand fixed to a system that does not suit it is refused and says so.
        QVERIFY(t.row(kFixed).problem.has_value());
        QCOMPARE(window_->model()->index(int(kFixed), ColNote).data().toString(),
                 QString::fromStdString(plan::unsuitable_fixed_text(2)));
        QVERIFY(window_->isWindowModified());
        QTest::qWait(50);  // the panel's new lines laid out
        if (goal == int(plan::Goal::Cost)) save_screenshot(window_, QStringLiteral("plan_capacity"));

        auto* undo = child<QAction>(*window_, QStringLiteral("undoOptimise"));
        QVERIFY(undo->isEnabled() && child<QAction>(*window_, QStringLiteral("optimiseCo2"))->isEnabled());
        QCOMPARE(undo->shortcut(), QKeySequence(QKeySequence::Undo));
        undo->trigger();
        QCOMPARE(choices(), before);
        QVERIFY(!t.row(kFixed).problem.has_value());
        QCOMPARE(window_->totals_view()->item(0, 3)->text(), euro_before);
        QCOMPARE(bars->lines()[kHarvester].needed, needed);
        QVERIFY(!undo->isEnabled());
        QVERIFY(!status().contains(QStringLiteral("Ergebnis")));
    }

    void capacitiesAreRememberedForTheFile() {
        QVERIFY(set_capacities({{QStringLiteral("capacity_0"), QStringLiteral("1250,5")},
                                {QStringLiteral("capacity_6"), QStringLiteral("80")}}));
        const draw::PlanSheet sheet = window_->sheet();
        QCOMPARE(sheet.capacity.size(), std::size_t(plan::kResources));
        QCOMPARE(sheet.capacity[0].available, 1250.5);
        close_window();
        open();
        const plan::ResourceHours kept = window_->capacity().options().capacity;
        for (int r = 0; r < plan::kResources; ++r)
            QCOMPARE(kept[std::size_t(r)], r == 0 ? 1250.5 : r == 6 ? 80.0 : kInf);
        // Shown again as typed; another table keeps none.
        QStringList shown;
        DialogScript script({[&shown](QWidget* d) {
            for (int r = 0; r < plan::kResources; ++r)
                shown << child<QLineEdit>(*d, QStringLiteral("capacity_%1").arg(r))->text();
            save_screenshot(d, QStringLiteral("capacity_dialog"));
            child<QPushButton>(*d, QStringLiteral("cancel"))->click();
        }});
        QVERIFY(!window_->edit_capacity());
        QCOMPARE(shown, (QStringList{"1250,5", "", "", "", "", "", "80"}));
        QCOMPARE(remembered_capacity(dir_.filePath(QStringLiteral("anders.csv")))[0], kInf);
    }

    void refusedInputSaysWhy_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("named");
        QTest::newRow("word") << QStringLiteral("capacity_3") << QStringLiteral("viel") << QStringLiteral("Forwarder");
        QTest::newRow("negative") << QStringLiteral("capacity_0") << QStringLiteral("-10")
                                  << QStringLiteral("Forstwirte");
        QTest::newRow("no time") << QStringLiteral("timeLimit") << QStringLiteral("0") << QStringLiteral("Rechenzeit");
    }
    void refusedInputSaysWhy() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, named);
        ScriptedMessages messages;
        bool stayed_open = false;
        DialogScript script({[&](QWidget* d) {
            type(child<QLineEdit>(*d, field), text);
            child<QPushButton>(*d, QStringLiteral("ok"))->click();
            stayed_open = d->isVisible();
            child<QPushButton>(*d, QStringLiteral("cancel"))->click();
        }});
        const plan::CapacityOptions before = window_->capacity().options();
        QVERIFY(!window_->edit_capacity());
        QVERIFY(stayed_open);
        QCOMPARE(messages.shown().size(), std::size_t(1));
        QVERIFY(messages.shown()[0].text.startsWith(QStringLiteral("Ungültige Eingabe")));
        QVERIFY(messages.shown()[0].text.contains(named));
        QCOMPARE(window_->capacity().options().capacity, before.capacity);
    }

    void planThatCannotFitSaysWhatIsMissing() {
        if (!plan::solver_available()) QSKIP("this build optimises nothing");
        QVERIFY(set_capacities({{QStringLiteral("capacity_0"), QStringLiteral("300")},
                                {QStringLiteral("capacity_1"), QStringLiteral("100")},
                                {QStringLiteral("capacity_2"), QStringLiteral("100")},
                                {QStringLiteral("capacity_3"), QStringLiteral("100")}}));
        QVERIFY(window_->optimise(plan::Goal::Cost));
        QVERIFY(window_->capacity().result().has_value());
        QVERIFY(!window_->capacity().result()->fits);
        const std::vector<CapacityLine>& lines = window_->capacity_panel()->bars()->lines();
        const QStringList missing = missing_texts(lines);
        QVERIFY(!missing.isEmpty());
        double shortfall = 0;
        for (const CapacityLine& l : lines) {
            if (l.missing() <= 0) continue;
            shortfall += l.missing();
            const std::string_view name = plan::resources()[std::size_t(l.resource)].display;
            QVERIFY2(status().contains(QString::fromUtf8(name.data(), qsizetype(name.size())) +
                                       QStringLiteral(": es fehlen ") + hours_text(l.missing(), l.resource)),
                     qPrintable(status()));
        }
        QVERIFY(std::abs(shortfall - window_->capacity().result()->shortfall) <= 1e-6 * shortfall);
        QVERIFY(status().contains(QStringLiteral("Keine Wahl der Systeme passt")));
        QVERIFY(status().contains(QStringLiteral("bei keiner Wahl fehlt weniger")));
        QTest::qWait(50);
        save_screenshot(window_, QStringLiteral("plan_capacity_missing"));
    }
};

QTEST_MAIN(TestPlanCapacity)
#include "test_plan_capacity.moc"
