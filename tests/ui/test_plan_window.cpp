// The harvest plan's window over a GeoPackage of three stands whose columns
// the planner maps in the import dialog: the stands and totals it shows,
// choosing a system, editing a stand, saving and reopening, sorting and
// filtering, and cancelling while the table is read.
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "core/systems.h"
#include "ui/column_mapping_dialog.h"
#include "ui/dialog_codes.h"
#include "ui/mapping_io.h"
#include "ui/plan_model.h"
#include "ui/plan_open.h"
#include "ui/plan_progress.h"
#include "ui/plan_window.h"
#include "ui/views.h"
#include "ui_test_support.h"
#include "../support/gis_layer.h"
#include "../support/pdf_text.h"

using namespace forstrix;
using namespace forstrix::ui;
using namespace forstrix::ui::test;

namespace {

// Three stands as an inventory names them: species by code ("XX" is none
// the mapping knows, so that stand is refused), BHD under its own name.
forstrix::test::GisTable inventory() {
    forstrix::test::GisTable t;
    t.fields = {{"Name", OFTString}, {"BAUMART", OFTString}, {"BHD", OFTReal}, {"gf_vab", OFTReal},
                {"gf_gf", OFTReal}};
    t.rows = {{"Abt. 1a", "BU", "35", "250", "2"},
              {"Abt. 2b", "EI", "45", "300", "1.5"},
              {"Abt. 3c", "XX", "30", "200", "1"}};
    for (int i = 0; i < 3; ++i)
        t.wkt.push_back("POLYGON ((0 " + std::to_string(i) + ",1 " + std::to_string(i) + ",1 " +
                        std::to_string(i + 1) + ",0 " + std::to_string(i) + "))");
    t.epsg = 25832;
    return t;
}

// In the import dialog: BHD read as gi_bhd, BAUMART as gi_ba with BU for
// Buche and EI for Eiche.
void map_columns(QWidget* d) {
    auto* dialog = qobject_cast<ColumnMappingDialog*>(d);
    QVERIFY(dialog != nullptr);
    auto* species = child<QComboBox>(*dialog, QStringLiteral("role_1"));
    auto* bhd = child<QComboBox>(*dialog, QStringLiteral("role_2"));
    QVERIFY(!dialog->findChild<QComboBox*>(QStringLiteral("role_3")));  // gf_vab means itself
    species->setCurrentIndex(species->findData(QStringLiteral("gi_ba")));
    bhd->setCurrentIndex(bhd->findData(QStringLiteral("gi_bhd")));
    auto* codes = child<QTableWidget>(*dialog, QStringLiteral("codes"));
    QCOMPARE(codes->rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
        auto* box = static_cast<QComboBox*>(codes->cellWidget(row, 3));
        QCOMPARE(box->currentIndex(), 0);  // a code means nothing until the planner says so
        const QString code = codes->item(row, 1)->text();
        if (code == QStringLiteral("BU")) box->setCurrentIndex(box->findText(QStringLiteral("Buche")));
        if (code == QStringLiteral("EI")) box->setCurrentIndex(box->findText(QStringLiteral("Eiche")));
    }
    QVERIFY(child<QLabel>(*dialog, QStringLiteral("problems"))->text().startsWith(QStringLiteral("1 Eintrag ohne Bedeutung")));
    save_screenshot(dialog, QStringLiteral("plan_import"));
    child<QPushButton>(*dialog, QStringLiteral("ok"))->click();
}

const std::size_t kRefused = 2;

}  // namespace

class TestPlanWindow : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    State base_ = started();
    QString gpkg_;
    QPointer<PlanWindow> window_;

    // Opens the GeoPackage through the menu's way: the file dialog, the
    // import dialog, the window.
    void open_through_import() {
        ScriptedMessages messages;
        messages.answer_file(gpkg_);
        DialogScript script({map_columns});
        run_plan_view(base_, QString(), nullptr);
        QVERIFY(script.wait_until_done());
        QCOMPARE(script.opened(), QStringList{QStringLiteral("ColumnMappingDialog")});
        QVERIFY(messages.shown().empty());
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<PlanWindow*>(w)) window_ = p;
        QVERIFY(window_);
    }

    QString total(int row, int column) const { return window_->totals_view()->item(row, column)->text(); }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        gpkg_ = dir_.filePath(QStringLiteral("revier.gpkg"));
        forstrix::test::write_layer(gpkg_.toStdString(), "GPKG", "bestaende", inventory());
    }

    void init() {
        // Each test starts from a table never opened before.
        QSettings(QStringLiteral("forstrix"), QStringLiteral("forstrix")).remove(QStringLiteral("hiebsplan_zuordnungen"));
        open_through_import();
    }

    void cleanup() {
        if (!window_) return;
        ScriptedMessages messages;
        messages.answer(MsgAnswer::Discard);
        window_->close();
        QTRY_VERIFY(!window_);
    }

    void showsStandsAndRemembersTheMapping() {
        PlanModel* model = window_->model();
        QCOMPARE(model->rowCount(), 3);
        QCOMPARE(window_->windowTitle(), QStringLiteral("revier[*] - Hiebsplan - Forstrix"));
        QCOMPARE(model->stand_name(0), QStringLiteral("Abt. 1a"));
        const files::PlanRow& refused = window_->table().row(kRefused);
        QVERIFY(refused.problem.has_value());
        QVERIFY(model->index(kRefused, ColNote).data().toString().contains(QStringLiteral("XX")));
        QVERIFY(model->index(kRefused, ColName).data(Qt::BackgroundRole).isValid());
        // Why a system does not suit a stand, where its sum would stand.
        QVERIFY(!window_->table().row(1).figures.suitable[1]);
        const QStringList tip =
            model->index(1, ColSystemFirst + 1).data(Qt::ToolTipRole).toString().split(QLatin1Char('\n'));
        QCOMPARE(tip.front(), QStringLiteral("II) Integrierte Holzernte ist ungeeignet:"));
        QVERIFY(tip.size() > 1 && !tip[1].isEmpty());
        // Buche and Eiche were read through the mapping's codes.
        QCOMPARE(window_->table().state_of(1).gi_ba, 6u);
        QCOMPARE(window_->table().state_of(0).gi_bhd, 35u);
        const std::optional<columns::Mapping> kept = remembered_mapping(gpkg_);
        QVERIFY(kept.has_value());
        QCOMPARE(kept->columns.size(), std::size_t(2));
        QCOMPARE(kept->values.size(), std::size_t(1));
        QCOMPARE(kept->values[0].codes.size(), std::size_t(2));
        QCOMPARE(window_->findChild<QLabel*>(QStringLiteral("summary"))->text(),
                 QStringLiteral("3 Bestände, davon 1 fehlerhaft"));
    }

    void choosingAnotherSystemMovesItsStandInTheTotals() {
        const plan::StandFigures f = window_->table().row(0).figures;
        int other = plan::kNone;
        for (int k = 0; k < plan::kSystems; ++k)
            if (f.suitable[std::size_t(k)] && k != f.chosen) other = k;
        QVERIFY2(other != plan::kNone, "the first stand needs a second suitable system");
        const int from_row = 1 + f.chosen, to_row = 1 + other;  // line 0 is the whole plan
        const QString plan_euro = total(0, 3), from_stands = total(from_row, 1), to_stands = total(to_row, 1);

        QVERIFY(window_->proxy()->setData(window_->proxy()->index(0, ColChosen), other, Qt::EditRole));
        QCOMPARE(window_->table().row(0).figures.chosen, other);
        QVERIFY(total(0, 3) != plan_euro);
        QCOMPARE(total(from_row, 1).toInt(), from_stands.toInt() - 1);
        QCOMPARE(total(to_row, 1).toInt(), to_stands.toInt() + 1);
        const plan::Amounts a = plan::amounts(window_->table().row(0).figures, other);
        QCOMPARE(window_->model()->index(0, ColEuro).data().toString(), draw::grouped(a.euro, 0));
        QVERIFY(window_->isWindowModified());
        // An unsuitable system is refused and changes nothing.
        int unsuitable = 0;
        while (f.suitable[std::size_t(unsuitable)]) ++unsuitable;
        QVERIFY(!window_->proxy()->setData(window_->proxy()->index(0, ColChosen), unsuitable, Qt::EditRole));
        QCOMPARE(window_->table().row(0).figures.chosen, other);
    }

    void doubleClickEditsTheStandAlone() {
        ScriptedMessages messages;  // the stand dialog's plausibility questions: Ok
        const double before = window_->table().row(0).figures.volume;
        const double other = window_->table().row(1).figures.volume;
        DialogScript script({[](QWidget* d) {
            type(at(*d, 10009), QStringLiteral("4"));  // Gesamtfläche: 2 ha -> 4 ha
            at<QPushButton>(*d, 10998)->click();
        }});
        QTableView* view = window_->view();
        const QRect cell = view->visualRect(window_->proxy()->index(0, ColName));
        // The first click of the two, then the second as a double-click.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QVERIFY(script.wait_until_done());
        QCOMPARE(script.opened(), QStringList{QStringLiteral("StandDialog")});
        QCOMPARE(window_->table().row(0).figures.volume, 2.0 * before);
        QCOMPARE(window_->table().row(1).figures.volume, other);
        QCOMPARE(window_->table().state_of(0).gf_gf, 4.0);
        QVERIFY(window_->isWindowModified());
    }

    void savedPlanReopensAsTheSame() {
        QVERIFY(window_->proxy()->setData(window_->proxy()->index(1, ColChosen),
                                          window_->model()->index(1, ColChosen).data(kChoicesRole).toList().last(),
                                          Qt::EditRole));
        ScriptedMessages messages;
        const QString saved = dir_.filePath(QStringLiteral("revier_plan.gpkg"));
        messages.answer_file(saved);
        QVERIFY(window_->save());
        QCOMPARE(messages.asked_files().front().proposed, saved);  // never the table read
        QVERIFY(!window_->isWindowModified());

        PlanWindow* again = open_plan(base_, saved, nullptr);  // its mapping is remembered: no dialog
        QVERIFY(again != nullptr);
        QCOMPARE(again->table().size(), window_->table().size());
        for (std::size_t r = 0; r < again->table().size(); ++r) {
            const plan::StandFigures &a = again->table().row(r).figures, &b = window_->table().row(r).figures;
            QCOMPARE(a.computed, b.computed);
            QCOMPARE(a.chosen, b.chosen);
            QCOMPARE(a.volume, b.volume);
        }
        QCOMPARE(again->table().totals().euro, window_->table().totals().euro);
        again->close();
    }

    void sortsByNumberAndFilters_data() {
        QTest::addColumn<int>("column");
        QTest::newRow("Hiebsmenge") << int(ColVolume);
        QTest::newRow("Kosten") << int(ColEuro);
        QTest::newRow("System I") << int(ColSystemFirst);
    }
    void sortsByNumberAndFilters() {
        QFETCH(int, column);
        PlanProxy* proxy = window_->proxy();
        for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            window_->view()->sortByColumn(column, order);
            QList<double> shown;
            bool without = false;  // stands without a figure come last either way
            for (int r = 0; r < proxy->rowCount(); ++r) {
                const QVariant v = proxy->index(r, column).data(kSortRole);
                QVERIFY(!without || !v.isValid());
                without = !v.isValid();
                if (v.isValid()) shown << v.toDouble();
            }
            QVERIFY(without);  // the refused stand
            QList<double> sorted = shown;
            std::sort(sorted.begin(), sorted.end());
            if (order == Qt::DescendingOrder) std::reverse(sorted.begin(), sorted.end());
            QCOMPARE(shown, sorted);
        }
        proxy->set_filter(PlanFilter::Refused);
        QCOMPARE(proxy->rowCount(), 1);
        QCOMPARE(proxy->mapToSource(proxy->index(0, 0)).row(), int(kRefused));
        proxy->set_filter(PlanFilter::WithoutSystem);
        QCOMPARE(proxy->rowCount(), 0);
    }

    void screenshots() {
        for (const QSize size : {QSize(1366, 768), QSize(1920, 1080)}) {
            window_->resize(size);
            window_->show();
            QVERIFY(QTest::qWaitForWindowExposed(window_));
            save_screenshot(window_, QStringLiteral("plan_%1x%2").arg(size.width()).arg(size.height()));
        }
        const QString pdf = dir_.filePath(QStringLiteral("plan.pdf"));
        QVERIFY(draw::write_plan_sheet_pdf(pdf.toStdString(), window_->sheet()).ok());
        QVERIFY(forstrix::test::pdf_to_png(pdf.toStdString(), FORSTRIX_SCREENSHOT_DIR, "plan_sheet"));
    }

    void mappingFileLoadsAsSaved() {
        const forstrix::test::GisTable t = inventory();
        std::vector<std::string> names;
        for (const auto& f : t.fields) names.push_back(f.name);
        auto preview = [&] {
            return make_preview(QStringLiteral("revier.gpkg"), names, t.rows.size(),
                                [&](std::size_t r, std::size_t k) -> std::optional<std::string_view> {
                                    return std::string_view(*t.rows[r][k]);
                                });
        };
        ScriptedMessages messages;
        const QString file = dir_.filePath(QStringLiteral("zuordnung.json"));
        ColumnMappingDialog first(preview(), *remembered_mapping(gpkg_));
        messages.answer_file(file);
        child<QPushButton>(first, QStringLiteral("saveMapping"))->click();
        QVERIFY(QFileInfo::exists(file));

        ColumnMappingDialog second(preview(), columns::Mapping{});
        QVERIFY(second.mapping().columns.empty());
        messages.answer_file(file);
        child<QPushButton>(second, QStringLiteral("loadMapping"))->click();
        QVERIFY(messages.shown().empty());
        const columns::Mapping a = first.mapping(), b = second.mapping();
        QCOMPARE(b.columns, a.columns);
        QCOMPARE(b.values.size(), std::size_t(1));
        QCOMPARE(b.values[0].codes, a.values[0].codes);
        auto* roles = child<QTableWidget>(second, QStringLiteral("columns"));
        QCOMPARE(static_cast<QComboBox*>(roles->cellWidget(2, 2))->currentData().toString(), QStringLiteral("gi_bhd"));
    }

    void cancelWhileReadingOpensNothing() {
        ScriptedMessages messages;
        const QString other = dir_.filePath(QStringLiteral("zweites.gpkg"));
        forstrix::test::write_layer(other.toStdString(), "GPKG", "bestaende", inventory());
        set_progress_watcher([](QProgressDialog& d) { d.cancel(); });
        PlanWindow* opened = open_plan(base_, other, nullptr);
        set_progress_watcher(nullptr);
        QVERIFY(opened == nullptr);
        QVERIFY(messages.shown().empty());
        QVERIFY(!remembered_mapping(other).has_value());
        const QWidgetList windows = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(windows.begin(), windows.end(),
                               [](QWidget* w) { return qobject_cast<PlanWindow*>(w) != nullptr && w->isVisible(); }),
                 1);
    }

    void cancelledRecomputeLeavesThePlan() {
        const double euro = window_->table().totals().euro;
        base_.gf_fw *= 2;  // a dearer forest worker in the main window
        set_progress_watcher([](QProgressDialog& d) { d.cancel(); });
        QVERIFY(!window_->take_basics());
        set_progress_watcher(nullptr);
        QCOMPARE(window_->table().totals().euro, euro);
        QCOMPARE(window_->model()->rowCount(), 3);
        QVERIFY(window_->take_basics());
        QVERIFY(window_->table().totals().euro > euro);
        base_.gf_fw /= 2;
    }
};

QTEST_MAIN(TestPlanWindow)
#include "test_plan_window.moc"
