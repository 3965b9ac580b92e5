// The decision at a glance in the results dialog, on the result sheet and
// in the main window's status line; the results' buttons and the print
// preview on a laptop's screen of 1366 × 768; saving that the user calls off.
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
#include "draw/sheet.h"
#include "ui/dialog_codes.h"
#include "ui/results_dialog.h"
#include "ui/stand_document.h"
#include "ui_test_support.h"
#include "../support/pdf_text.h"

using namespace forstrix;
using namespace forstrix::ui;
using namespace Qt::StringLiterals;
namespace ui_test = forstrix::ui::test;
namespace pdf_test = forstrix::test;

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

    // The block, and all six buttons on the screen without any scrolling.
    void resultsDialog_data() {
        QTest::addColumn<QString>("values");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("default stand") << QString() << QStringList{
            u"Am günstigsten: III) Hochmechanisierte Holzernte mit 21,74 Euro/Fm"_s,
            u"Gesamte Maßnahme (1.500 EFm): 32.608 Euro, Kraftstoff 2.803 l, CO2 7.483 kg"_s,
            u"Zweitgünstigstes: I) Konventionelle Holzernte mit 28,15 Euro/Fm inklusive Vermessung, 6,41 Euro/Fm mehr"_s};
        QTest::newRow("no system suits") << u"g_sys1=0 g_sys2=0 g_sys3=0 g_sys4=0 g_sys5=0 g_sys6=0"_s
                                         << QStringList{QString::fromUtf8(kNoSuitableSystem)};
    }
    void resultsDialog() {
        QFETCH(QString, values);
        QFETCH(QStringList, lines);
        const State s = computed(values);
        ResultsDialog d(s, nullptr);
        d.show();
        QStringList shown;
        for (const QLabel* l : d.findChild<QWidget*>(u"decision"_s)->findChildren<QLabel*>()) shown << l->text();
        QCOMPARE(shown, lines);
        QVERIFY(d.screen()->availableGeometry().contains(d.frameGeometry()));
        for (const char* name : {"25998", "25999", "25997", "25996", "25995", "kostenverlauf"}) {
            auto* b = ui_test::child<QPushButton>(d, QString::fromLatin1(name));
            QVERIFY2(b->isVisible() && d.rect().contains(QRect(b->mapTo(&d, QPoint()), b->size())), name);
        }
        if (values.isEmpty()) ui_test::save_screenshot(&d, u"results_1366x768"_s);
    }

    // After start-up, after the name is given, after the stand dialog's OK.
    void statusLine() {
        open_window();
        window_->start_up();
        const QString cheapest = u"III) Hochmechanisierte Holzernte: 21,74 Euro/Fm, 32.608 Euro für die Maßnahme"_s;
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
        QCOMPARE(window_->status_line()->text(),
                 u"Abteilung 12b – VI) Spanholz: 23,97 Euro/Fm, 35.956 Euro für die Maßnahme"_s);
        ui_test::save_screenshot(window_, u"mainwindow_status"_s);
    }

    // On the screen whole, its toolbar without an arrow hiding buttons.
    void printPreview() {
        const State s = computed(QString());
        ResultsDialog d(s, nullptr);
        d.show();
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

    // "Abbrechen" to overwriting erg.txt: the results again, the file as it was.
    void cancelledSaveKeepsResults() {
        open_window();
        ui_test::ScriptedMessages messages;
        messages.answer(MsgAnswer::Cancel);
        window_->start_up();
        ui_test::write_file(file(u"erg.txt"_s), "alt");
        ui_test::DialogScript script({ui_test::end_with(ResultsSave), ui_test::end_with(ResultsOk)});
        window_->run_command(CmdResults);
        QVERIFY(script.wait_until_done());
        QCOMPARE(script.opened(), (QStringList{u"ResultsDialog"_s, u"ResultsDialog"_s}));
        QCOMPARE(ui_test::read_file(file(u"erg.txt"_s)), QByteArray("alt"));
    }

    // The block under the stand's name, a long note cut after three lines.
    void sheetTop() {
        const State s = computed(QString());
        draw::SheetExtras extras{"Abteilung 12b, Eichenhang", {}, {}, {}};
        for (int i = 0; i < 12; ++i) extras.note += "Rückegassen im Frühjahr nachbessern, Zufahrt über den Nordweg. ";
        QTemporaryDir dir;
        const std::string path = dir.filePath(u"sheet.pdf"_s).toStdString();
        QVERIFY(draw::write_sheet_pdf(path, draw::ResultSheet(s, extras, QDate(2026, 12, 7))).ok());
        QCOMPARE(pdf_test::pdf_pages(path), 1);
        const std::string text = pdf_test::flat(pdf_test::pdf_text(path));
        const std::size_t stand = text.find("Bestandesdaten");
        for (const std::string& piece : decision_lines(decide(s), s))
            QVERIFY2(text.find(pdf_test::flat(piece)) < stand, piece.c_str());
        QVERIFY(text.find("Rückegassen im Frühjahr") < stand && text.find("…") < stand);
        QVERIFY(pdf_test::pdf_to_png(path, FORSTRIX_SCREENSHOT_DIR, "sheet_top"));
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
