// The decision at a glance: the block at the top of the results dialog and
// of the result sheet, and the main window's status line. On a laptop's
// screen of 1366 × 768, as a planner in the field has it.
#include <QApplication>
#include <QLabel>
#include <QComboBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
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
namespace ui_test = forstrix::ui::test;
namespace pdf_test = forstrix::test;
using namespace Qt::StringLiterals;

namespace {

State computed(const QString& values) {
    State s = ui_test::started();
    ui_test::set_values(s, values);
    calc_zeitbedarfkosten(s);
    return s;
}

QString text_of(const QWidget& parent, const QString& name) {
    const auto* label = parent.findChild<QLabel*>(name);
    return label != nullptr ? label->text() : QString();
}

const QString kDefaultCheapest = QStringLiteral("III) Hochmechanisierte Holzernte: 21,74 Euro/Fm, "
                                                "32.608 Euro für die Maßnahme");

}  // namespace

class TestDecision : public ui_test::WindowTest {
    Q_OBJECT
private slots:
    void resultsBlock_data() {
        QTest::addColumn<QString>("values");
        QTest::addColumn<QStringList>("lines");  // the start of each line
        QTest::newRow("default stand")
            << QString() << QStringList{u"Am günstigsten: III) Hochmechanisierte Holzernte mit 21,74 Euro/Fm"_s,
                                        u"Gesamte Maßnahme (1.500 EFm): 32.608 Euro, Kraftstoff "_s,
                                        u"Zweitgünstigstes: I) Konventionelle Holzernte mit "_s};
        QTest::newRow("no system suits")
            << u"g_sys1=0 g_sys2=0 g_sys3=0 g_sys4=0 g_sys5=0 g_sys6=0"_s
            << QStringList{QString::fromUtf8(kNoSuitableSystem)};
    }
    void resultsBlock() {
        QFETCH(QString, values);
        QFETCH(QStringList, lines);
        const State s = computed(values);
        ResultsDialog d(s, nullptr);
        d.show();
        for (qsizetype i = 0; i < 3; ++i) {
            const QString shown = text_of(d, u"decision%1"_s.arg(i));
            if (i < lines.size()) QVERIFY2(shown.startsWith(lines[i]), qPrintable(shown));
            else QVERIFY2(shown.isEmpty(), qPrintable(shown));
        }
        if (values.isEmpty()) ui_test::save_screenshot(&d, u"results_1366x768"_s);
    }

    // After start-up, after the name is given, after the stand dialog's OK.
    void statusLine() {
        open_window();
        window_->start_up();
        QCOMPARE(window_->status_line()->text(), kDefaultCheapest);
        window_->document()->set_label(u"Abteilung 12b"_s, QString());
        QCOMPARE(window_->status_line()->text(), u"Abteilung 12b – "_s + kDefaultCheapest);
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

    // The block under the stand's name, and a long note cut after three lines.
    void sheetTop() {
        const State s = computed(QString());
        draw::SheetExtras extras;
        extras.stand_name = "Abteilung 12b, Eichenhang";
        for (int i = 0; i < 12; ++i) extras.note += "Rückegassen im Frühjahr nachbessern, Zufahrt über den Nordweg. ";
        const draw::ResultSheet sheet(s, extras, QDate(2026, 12, 7));
        QTemporaryDir dir;
        const std::string path = dir.filePath(u"sheet.pdf"_s).toStdString();
        QVERIFY(draw::write_sheet_pdf(path, sheet).ok());
        QCOMPARE(pdf_test::pdf_pages(path), 1);
        const std::string text = pdf_test::flat(pdf_test::pdf_text(path));
        for (const std::string& line : decision_lines(decide(s), s))
            QVERIFY2(text.find(pdf_test::flat(line)) != std::string::npos, line.c_str());
        const std::size_t note = text.find("Rückegassen im Frühjahr");
        QVERIFY(note != std::string::npos && note < text.find("Bestandesdaten"));
        const std::size_t ellipsis = text.find("…");
        QVERIFY(ellipsis != std::string::npos && ellipsis < text.find("Bestandesdaten"));
        QVERIFY(pdf_test::pdf_to_png(path, FORSTRIX_SCREENSHOT_DIR, "sheet_top"));
    }
};

// A screen of 1366 × 768 pixels for the offscreen platform.
int main(int argc, char** argv) {
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screen.json"));
    ui_test::write_file(config, R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 1366, "height": 768,
                                 "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toUtf8());
    QApplication app(argc, argv);
    if (app.primaryScreen()->geometry() != QRect(0, 0, 1366, 768)) qFatal("no screen of 1366 x 768");
    TestDecision test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_decision.moc"
