// The results dialog: what it shows for suitable and unsuitable systems, how
// it scrolls and ends; and its two buttons for the result sheet: print
// through the preview and the print dialog (into a PDF file, no printer
// needed), and save as PDF through the file question. Neither ends it.
#include <QGroupBox>
#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleOptionGroupBox>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

#include "core/calc.h"
#include "core/emissions.h"
#include "ui/caption_box.h"
#include "ui/dialog_codes.h"
#include "ui/qt_texts.h"
#include "ui/results_dialog.h"
#include "ui_test_support.h"
#include "../support/pdf_text.h"

using forstrix::State;
using forstrix::ui::ResultsDialog;
using namespace forstrix::ui::test;

static QLabel* field(const QWidget& d, int id) { return at<QLabel>(d, id); }

// The default stand after start-up with its times and costs; `flags` set
// afterwards when given.
static State computed(std::array<std::int32_t, 6> flags = {}) {
    State s = started();
    if (flags != std::array<std::int32_t, 6>{}) s.set_flags(flags);
    forstrix::calc_zeitbedarfkosten(s);
    return s;
}

// The lightness (0 black ... 255 white) of the darkest pixel the widget
// paints within `rect`: the colour of a text drawn there.
static int darkest(QWidget* w, const QRect& rect) {
    const QImage img = w->grab(rect).toImage();
    int least = 255;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) least = std::min(least, qGray(img.pixel(x, y)));
    return least;
}

// Where the style draws the caption of `box`.
static QRect caption_rect(QGroupBox* box) {
    QStyleOptionGroupBox opt;
    opt.initFrom(box);
    opt.text = box->title();
    opt.lineWidth = 1;
    opt.textAlignment = box->alignment();
    opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    return box->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, box);
}

// The content as it opens, active, for a reviewer.
static void screenshot(ResultsDialog& d, const char* name) {
    d.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&d));
    save_screenshot(d.findChild<QScrollArea*>()->widget(), name);
}

static void wheel(QWidget* target, int delta) {
    QWheelEvent ev(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &ev);
}

class TestResultsDialog : public QObject {
    Q_OBJECT
    QTemporaryDir folder_;
    QString previous_;

private slots:
    // The sheet is proposed in the current folder: the test's own. Qt's
    // dialogs speak German, as in the program.
    void initTestCase() {
        forstrix::ui::use_german_qt_texts(*QCoreApplication::instance());
        previous_ = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder_.path()));
    }
    void cleanupTestCase() { QDir::setCurrent(previous_); }

    // The default stand: I, II and III suitable, IV, V and VI not, each
    // saying why beside its empty rows; then its figures with the flags the
    // other way round. A suitable system shows its first time, its sums and
    // its fuel line; an unsuitable one "---" or nothing under a greyed
    // caption, its reasons in the normal text colour.
    void systems_data() {
        QTest::addColumn<bool>("flipped");
        QTest::newRow("default stand") << false;
        QTest::newRow("flags the other way round") << true;
    }
    void systems() {
        QFETCH(bool, flipped);
        const State s = computed(flipped ? std::array<std::int32_t, 6>{0, 0, 0, 1, 1, 1} : std::array<std::int32_t, 6>{});
        ResultsDialog d(s, nullptr);
        d.show();
        if (!flipped) screenshot(d, "results_default");
        const char* const names[] = {"I", "II", "III", "IV", "V", "VI"};
        const char* const firsts[] = {"34,64", "39,18", "0,09", "0,10", "1,66", "0,10"};
        const QStringList sums[] = {{"25109=26,48", "25111=28,15"}, {"25207=28,20", "25209=33,02"}, {"25309=21,74"},
                                    {"25409=29,58"}, {"25511=123,10"}, {"25609=20,83"}};
        const QStringList reasons{"", "", "", "Hangneigung 14 %: mindestens 36 %",
                                  "Hangneigung 14 %: mindestens 36 %|Mindestvolumen [ > 70 EFm] je Seillinie nicht erreicht",
                                  "BHD 20 cm: höchstens 18 cm"};
        for (int i = 0; i < 6; ++i) {
            const bool suitable = (i < 3) != flipped;
            const int id = 25101 + 100 * i;
            auto* box = at<QGroupBox>(d, id - 1);
            QVERIFY(box->title().startsWith(QString(names[i]) + ") "));
            QVERIFY(box->title().endsWith(suitable ? " - geeignet" : " - ungeeignet"));
            QCOMPARE(static_cast<const forstrix::ui::CaptionBox*>(box)->caption_greyed(), !suitable);
            const int grey = qGray(box->palette().color(QPalette::Disabled, QPalette::WindowText).rgb());
            const int caption = darkest(box, caption_rect(box));
            if (suitable) QVERIFY2(caption < 80, qPrintable(QString::number(caption)));
            else QVERIFY2(std::abs(caption - grey) <= 12, qPrintable(QString("%1 %2").arg(caption).arg(grey)));
            QVERIFY(box->isEnabled());
            for (QLabel* l : box->findChildren<QLabel*>()) {
                QVERIFY(l->isEnabled());
                if (!l->text().isEmpty()) QVERIFY2(darkest(l, l->rect()) < 80, qPrintable(l->text()));
                if (l->objectName().startsWith("25"))  // the figures are named by their ids
                    QCOMPARE(l->text().isEmpty() || l->text() == "---", !suitable);
            }
            QCOMPARE(field(d, id)->text(), suitable ? firsts[i] : "");
            for (const QString& sum : sums[i])
                QCOMPARE(field(d, sum.left(5).toInt())->text(), suitable ? sum.mid(6) : "---");
            // The fuel line beneath the sums, only where the system suits.
            QCOMPARE(field(d, id + 49)->text(), suitable ? QString::fromStdString(forstrix::fuel_text(s, i)) : "");
            const QList<QLabel*> labels = box->findChildren<QLabel*>("reasons" + box->objectName());
            QStringList lines;
            for (const QLabel* label : labels) lines << label->text();
            QCOMPARE(lines.join('|').replace('\n', '|'), flipped ? "" : reasons[i]);
            for (int k = 0; k < labels.size(); ++k) {
                QLabel* label = labels[k];
                QVERIFY(label->isVisible());
                // Beside the k-th empty row, right of its "Euro/Fm" column.
                const QLabel* cost = field(d, 25102 + 100 * i + 2 * k);
                QVERIFY(label->mapTo(box, QPoint(0, 0)).x() > cost->mapTo(box, QPoint(cost->width(), 0)).x());
                const int label_middle = label->mapTo(box, QPoint(0, label->height() / 2)).y();
                const int cost_middle = cost->mapTo(box, QPoint(0, cost->height() / 2)).y();
                QVERIFY2(qAbs(label_middle - cost_middle) <= 1, qPrintable(label->text()));
            }
        }
    }

    void scrolling() {
        // No stand suits all six (I needs a slope of at most 35 %, IV at least 36 %).
        const State s = computed({1, 1, 1, 1, 1, 1});
        ResultsDialog d(s, nullptr);
        d.show();
        screenshot(d, "results_all_suitable");
        QCOMPARE(d.frameGeometry(), d.screen()->availableGeometry());  // fits the screen
        auto* area = d.findChild<QScrollArea*>();
        QScrollBar* bar = area->verticalScrollBar();
        QWidget* label = field(d, 25101);
        QWidget* ok = d.findChild<QPushButton*>("25999");
        // Keys (above 255), also on a button; a line per wheel notch anywhere, half notches adding up.
        const std::vector<std::tuple<QWidget*, int, int>> steps = {
            {area, Qt::Key_Up, 0}, {area, Qt::Key_Down, 10}, {area, Qt::Key_PageDown, 60}, {ok, Qt::Key_Up, 50},
            {ok, Qt::Key_PageUp, 0}, {label, -120, 10}, {label, 120, 0}, {label, -60, 0}, {label, -60, 10},
            {d.findChild<QWidget*>("chart"), -120, 20}, {bar, 120, 10}, {label, 240, 0}};
        for (const auto& [target, step, value] : steps) {
            if (step > 255) QTest::keyClick(target, Qt::Key(step)); else wheel(target, step);
            QCOMPARE(bar->value(), value);
        }
        // Both end at the bottom of the content, with no background below it.
        for (int i = 0; i < 200; ++i) QTest::keyClick(area, Qt::Key_PageDown), wheel(label, -120);
        QCOMPARE(bar->value(), bar->maximum());
        QCOMPARE(area->widget()->geometry().bottom(), area->viewport()->height() - 1);
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter})
            QTest::keyClick(&d, key), QTest::keyClick(ok, key);
        QVERIFY(d.isVisible());  // Enter ends nothing; Escape leaves like "OK"
        QTest::keyClick(ok, Qt::Key_Escape);
        QVERIFY(!d.isVisible() && d.result() == forstrix::ui::ResultsOk);
        d.show();
        QCOMPARE(bar->value(), 0);  // reopened, it starts at the top again
    }

    void savePdf_data() {
        QTest::addColumn<QString>("answer");  // the file chosen; "": cancelled
        QTest::addColumn<QString>("said");    // the message shown after: "title: text"; "": none
        QTest::newRow("erg.pdf as proposed") << "erg.pdf" << "Meldung: Ergebnisblatt unter \"%1\" gespeichert!";
        QTest::newRow("cancelled") << "" << "";
        QTest::newRow("folder missing") << "fehlt/erg.pdf"
                                        << "Fehler: Ergebnisblatt konnte nicht gespeichert werden!\n"
                                           "Der Ordner existiert nicht (mehr): %1";
    }
    void savePdf() {
        QFETCH(QString, answer);
        QFETCH(QString, said);
        const QString path = answer.isEmpty() ? QString() : QDir::current().filePath(answer);
        ScriptedMessages messages;
        messages.answer_file(path);
        const State s = computed();
        ResultsDialog d(s, nullptr);
        d.show();
        QTest::mouseClick(d.findChild<QPushButton*>("25995"), Qt::LeftButton);
        QVERIFY(d.isVisible());
        QCOMPARE(messages.asked_files().size(), std::size_t{1});
        QCOMPARE(messages.asked_files().front().title, QString("Ergebnisblatt als PDF speichern"));
        QCOMPARE(messages.asked_files().front().proposed, QDir::current().filePath("erg.pdf"));
        QStringList shown;
        for (const ShownMessage& m : messages.shown()) shown << m.title + ": " + m.text;
        QCOMPARE(shown.join('|'), said.contains("%1") ? said.arg(QDir::toNativeSeparators(path)) : said);
        const bool saved = said.startsWith("Meldung");
        QCOMPARE(QFile::exists(path), saved);
        if (saved) QCOMPARE(forstrix::test::pdf_pages(path.toStdString()), 1);
    }

    // "Drucken..." opens the preview, in German as the whole preview; its
    // print button the print dialog, answered with a PDF file as the printer.
    void print() {
        const QString pdf = QDir::current().filePath("druck.pdf");
        const State s = computed();
        ResultsDialog d(s, nullptr);
        d.show();
        const Printed printed = print_from_preview(d.findChild<QPushButton*>("25996"), pdf, [](auto& preview) {
            QCOMPARE(preview.printer()->pageLayout().pageSize().id(), QPageSize::A4);
            QStringList actions;
            for (const QAction* a : preview.template findChildren<QAction*>()) actions << a->text();
            QVERIFY(actions.contains("Drucken"));
            preview.resize(900, 1000);
            save_screenshot(&preview, "sheet_print_preview");
        });
        QCOMPARE(printed.opened, QStringList{"QPrintPreviewDialog"});
        QVERIFY(printed.answered);
        QVERIFY(d.isVisible());
        QCOMPARE(forstrix::test::pdf_pages(pdf.toStdString()), 1);
        const std::string text = forstrix::test::flat(forstrix::test::pdf_text(pdf.toStdString()));
        QVERIFY(text.find("Summe: 26,48 Euro/Fm") != std::string::npos);
    }
};

QTEST_MAIN(TestResultsDialog)
#include "test_results_dialog.moc"
