// The decision at a glance in the results dialog and in the main window's
// status line; the results' buttons and the print preview on a laptop's
// screen of 1366 × 768.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include "core/calc.h"
#include "core/decision.h"
#include "ui/dialog_codes.h"
#include "ui/results_dialog.h"
#include "ui/stand_document.h"
#include "ui_test_support.h"

using namespace forstrix;
using namespace forstrix::ui;
using namespace Qt::StringLiterals;
namespace ui_test = forstrix::ui::test;

namespace {

State computed(const QString& values) {
    State s = ui_test::started();
    ui_test::set_values(s, values);
    calc_zeitbedarfkosten(s);
    return s;
}

}  // namespace

class TestDecision : public ui_test::WindowTest {
    Q_OBJECT
private slots:
    void cleanup() { close_window(); }  // a window's folder is left before the next is entered

    // The block as the core words it (its figures are the core's test), all
    // six buttons on the screen without any scrolling; the print preview on
    // the screen whole, its toolbar without an arrow hiding buttons.
    void resultsDialog_data() {
        QTest::addColumn<QString>("values");
        QTest::newRow("default stand") << QString();
        QTest::newRow("no system suits") << u"g_sys1=0 g_sys2=0 g_sys3=0 g_sys4=0 g_sys5=0 g_sys6=0"_s;
    }
    void resultsDialog() {
        QFETCH(QString, values);
        const State s = computed(values);
        ResultsDialog d(s, nullptr);
        d.show();
        QStringList shown, lines;
        for (const QLabel* l : d.findChild<QWidget*>(u"decision"_s)->findChildren<QLabel*>()) shown << l->text();
        for (const std::string& line : decision_lines(decide(s), s)) lines << QString::fromStdString(line);
        QCOMPARE(shown, lines);
        QCOMPARE(shown.size(), values.isEmpty() ? 3 : 1);
        QVERIFY(d.screen()->availableGeometry().contains(d.frameGeometry()));
        for (const char* name : {"25998", "25999", "25997", "25996", "25995", "kostenverlauf"}) {
            auto* b = ui_test::child<QPushButton>(d, QString::fromLatin1(name));
            QVERIFY2(b->isVisible() && d.rect().contains(QRect(b->mapTo(&d, QPoint()), b->size())), name);
        }
        if (!values.isEmpty()) return;
        ui_test::save_screenshot(&d, u"results_1366x768"_s);
        bool fits = false;
        ui_test::DialogScript script({[&fits](QWidget* preview) {
            const auto* bar = ui_test::child<QToolBar>(*preview, QString());
            fits = preview->screen()->availableGeometry().contains(preview->frameGeometry()) &&
                   bar->width() >= bar->sizeHint().width();
            ui_test::save_screenshot(preview, u"print_preview_1366x768"_s);
            qobject_cast<QDialog*>(preview)->reject();
        }});
        QTest::mouseClick(ui_test::child<QPushButton>(d, u"25996"_s), Qt::LeftButton);
        QVERIFY(script.wait_until_done() && fits);
    }

    // After start-up, after the name is given, after the stand dialog's OK.
    void statusLine() {
        open_window();
        window_->start_up();
        const auto summary = [this] {  // of the stand as the window holds it, computed
            State s = *state_;
            calc_zeitbedarfkosten(s);
            return QString::fromStdString(decision_summary(decide(s)));
        };
        const QString cheapest = summary();
        QVERIFY(cheapest.startsWith(u"III) "_s));
        QCOMPARE(window_->status_line()->text(), cheapest);
        window_->document()->set_label(u"Abteilung 12b"_s, QString());
        QCOMPARE(window_->status_line()->text(), u"Abteilung 12b – "_s + cheapest);
        ui_test::DialogScript script({[](QWidget* dialog) {
            auto* bhd = ui_test::child<QComboBox>(*dialog, u"10002"_s);
            bhd->setCurrentIndex(bhd->findText(u"16"_s));
            QTest::mouseClick(ui_test::child<QPushButton>(*dialog, u"10998"_s), Qt::LeftButton);
        }});
        window_->run_command(CmdStand);
        QVERIFY(script.wait_until_done());
        QVERIFY(summary().startsWith(u"VI) "_s));
        QCOMPARE(window_->status_line()->text(), u"Abteilung 12b – "_s + summary());
        ui_test::save_screenshot(window_, u"mainwindow_status"_s);
    }
};

// A screen of 1366 × 768 pixels for the offscreen platform.
int main(int argc, char** argv) {
    QTemporaryDir dir;
    const QString config = dir.filePath(u"screen.json"_s);
    ui_test::write_file(config, R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 1366, "height": 768,
                                    "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toUtf8());
    QApplication app(argc, argv);
    if (app.primaryScreen()->geometry() != QRect(0, 0, 1366, 768)) qFatal("no screen of 1366 x 768");
    TestDecision test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_decision.moc"
