// The main window as the user meets it: start-up, menu, the basics file, the
// chains of dialogs, saving erg.txt, files named in messages (a second run
// does it all under a German locale, see CMakeLists.txt).
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>

#include "core/calc.h"
#include "core/machines.h"
#include "files/basics_file.h"
#include "files/report.h"
#include "ui/dialog_codes.h"
#include "ui/help_text.h"
#include "ui/mainwindow.h"
#include "ui_test_support.h"

using namespace forstrix;
using namespace forstrix::ui;
using namespace forstrix::ui::test;
using namespace Qt::StringLiterals;

namespace {

QByteArray basics_with(double State::*member, double value) {
    State s;
    s.*member = value;
    return QByteArray::fromStdString(files::basics_text(s));
}

const QString kNotLoaded = u"Kalkulationsgrundlagen (daten.klg)\nkönnen nicht geladen werden!"_s;
const QByteArray kFolder = "<folder>";  // a folder stands where the file goes: writing fails

const QByteArray kReadOnly = "<read-only>";  // a file without any write permission bit
const QByteArray kFifo = "<fifo>";            // a named pipe that no program writes to

void put_file(const char* name, const QByteArray& content) {
    if (content == kFolder) QVERIFY(QDir().mkdir(QString::fromLatin1(name)));
    else if (content == kFifo) QCOMPARE(::mkfifo(name, 0644), 0);
    else if (!content.isEmpty()) write_file(QString::fromLatin1(name), content);
    if (content == kReadOnly) QCOMPARE(::chmod(name, 0444), 0);
}

// Ends the test process instead of letting it hang when a call blocks.
struct TimeLimit {
    explicit TimeLimit(unsigned seconds) { ::alarm(seconds); }
    ~TimeLimit() { ::alarm(0); }
};
QString said(const ShownMessage& m) { return m.title + u": "_s + m.text; }

}  // namespace

class TestMainWindow : public WindowTest {
    Q_OBJECT
private slots:
    void init() { open_window(); }  // a folder of its own, a fresh state and window
    void cleanup() { close_window(); }

    void startUp_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<double>("asb44");
        const double own = State{}.gf_asb44;
        QTest::newRow("defaults") << QByteArray() << own;
        QTest::newRow("own basics, a dearer skidder") << basics_with(&State::gf_asb44, 2 * own) << 2 * own;
        QTest::newRow("refused basics") << QByteArray("1100,5\tkein Wert\r\n") << own;
    }
    void startUp() {
        QFETCH(QByteArray, file);
        QFETCH(double, asb44);
        put_file(files::kBasicsFileName, file);
        ScriptedMessages boxes;
        window_->start_up();
        QVERIFY(boxes.shown().empty());  // a warning waits until the window shows
        const bool refused = file.startsWith("1100,5");
        QTRY_COMPARE(boxes.shown().size(), std::size_t{refused});
        QCoreApplication::processEvents();
        QCOMPARE(boxes.shown().size(), std::size_t{refused});
        if (refused) {  // the reason follows
            QVERIFY(said(boxes.shown()[0]).startsWith(u"Warnung: "_s + kNotLoaded + u'\n'));
            QCOMPARE(boxes.shown()[0].icon, MsgIcon::Warning);
        }
        State expected;
        expected.gf_asb44 = asb44;
        startup_compute(expected);
        QCOMPARE(files::basics_text(*state_), files::basics_text(expected));
        QCOMPARE(state_->gf_asb75, expected.gf_asb75);
        QVERIFY(window_->windowState() & Qt::WindowMaximized);
        // The help text follows once the window stands.
        QTRY_COMPARE(window_->help_view()->document()->blockCount(), kHelpLineCount);
        if (file.isEmpty()) save_screenshot(window_, u"mainwindow"_s);
    }

    void menu() {
        QStringList seen;  // each menu's title, then its items with their commands
        for (QAction* menu : window_->menuBar()->actions()) {
            seen << menu->text();
            for (QAction* a : menu->menu()->actions())
                seen << (a->isSeparator() ? u"-"_s : a->text() + u' ' + a->data().toString());
        }
        QCOMPARE(seen, (QStringList{
            u"&Datei"_s, u"&Neu 110"_s, u"Ö&ffnen... 111"_s, u"Spei&chern 112"_s, u"Speichern &unter... 113"_s,
            u"&Hiebsplan öffnen... 115"_s, u"&Zuletzt geöffnet "_s, u"Bezeichnung und N&otiz... 114"_s, u"-"_s, u"Kalkulationsgrundlagen &laden 103"_s, u"Kalkulationsgrundlagen &speichern 104"_s,
            u"-"_s, u"&Beenden 199"_s, u"Daten&eingabe"_s, u"Eingabe &Bestandesdaten... 201"_s,
            u"Eingabe &Kosten... 202"_s, u"&Kalkulationsgrundlagen"_s, u"für Motorsägen... 301"_s,
            u"für aufgerüstete Agrarschlepper... 302"_s, u"für Harvester... 303"_s, u"für Forwarder... 304"_s,
            u"für Harvester mit FSA... 305"_s, u"für Hang-Harvester... 306"_s, u"für Hang-Forwarder... 307"_s,
            u"für Mobilseilkran && Prozessor auf LKW... 308"_s, u"-"_s, u"Emissionsfaktoren... 309"_s,
            u"&Berechnung"_s, u"&Ergebnis... 401"_s, u"&Kostenverlauf... 402"_s}));
        window_->start_up();
        window_->findChild<QAction*>(u"199"_s)->trigger();
        QVERIFY(!window_->isVisible());
    }

    // The buttons clicked in turn, one per dialog ("" closes it). Each stand
    // dialog has its slope set to 20 + 10 * its place in the chain first, so
    // `slope` tells which stand dialog's entry was committed (14: none).
    void chain_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("clicks");  // separated by "|"
        QTest::addColumn<QString>("dialogs");
        QTest::addColumn<int>("slope");
        const QString to_cost = u"Eingabe Kosten...|"_s, to_stand = u"Eingabe Bestandesdaten...|"_s;
        const int stand = CmdStand, cost = CmdCosts, results = CmdResults;
        QTest::newRow("stand, results, stand cancelled")
            << stand << u"Ergebnis...|Bestandesdaten ändern...|Abbrechen"_s << u"Stand Results Stand"_s << 20;
        QTest::newRow("cost, results") << cost << u"Ergebnis...|OK"_s << u"Cost Results"_s << 14;
        QTest::newRow("stand, cost, stand, cost, results")
            << stand << to_cost + to_stand + to_cost + u"Ergebnis...|OK"_s << u"Stand Cost Stand Cost Results"_s << 40;
        QTest::newRow("stand, cost, stand cancelled")
            << stand << to_cost + to_stand + u"Abbrechen"_s << u"Stand Cost Stand"_s << 20;
        QTest::newRow("stand cancelled") << stand << u"Abbrechen"_s << u"Stand"_s << 14;
        QTest::newRow("stand OK") << stand << u"OK"_s << u"Stand"_s << 20;
        QTest::newRow("cost cancelled") << cost << u"Abbrechen"_s << u"Cost"_s << 14;
        QTest::newRow("results closed") << results << u""_s << u"Results"_s << 14;
        // A machine dialog's command computes its machine again, even when cancelled.
        QTest::newRow("301 msc cancelled") << 301 << u"Abbrechen"_s << u"Chainsaw"_s << 14;
        for (const MachineKind& kind : kMachineKinds)
            QTest::addRow("%d %s cancelled", kind.menu_command, std::string(kind.stem).c_str())
                << kind.menu_command << u"Abbrechen"_s << u"Machine"_s << 14;
        QTest::newRow("309 emission factors cancelled") << 309 << u"Abbrechen"_s << u"Emission"_s << 14;
        QTest::newRow("309 emission factors OK") << 309 << u"OK"_s << u"Emission"_s << 14;
    }
    void chain() {
        QFETCH(int, command);
        QFETCH(QString, clicks);
        QFETCH(QString, dialogs);
        QFETCH(int, slope);
        ScriptedMessages boxes;
        window_->start_up();
        const double skidder = state_->gf_ss;
        double* total = command == CmdChainsaw ? &state_->gf_msc37 : nullptr;
        for (const MachineKind& kind : kMachineKinds)
            if (kind.menu_command == command) total = &((*state_).*kind.total());
        if (total) *total = -1.0;
        state_->gff_g7 = -1.0;
        qsizetype max_open = 0;
        std::vector<DialogScript::Step> steps;
        for (const QString& text : clicks.split(u'|'))
            steps.push_back([this, &max_open, k = steps.size(), text](QWidget* d) {
                max_open = std::max(max_open, window_->findChildren<QDialog*>().size());
                if (d->inherits("forstrix::ui::ResultsDialog")) QVERIFY(state_->gff_g7 > 0.0);  // computed afresh
                state_->gff_g7 = -1.0;
                if (auto* box = d->findChild<QComboBox*>(u"10004"_s)) box->setCurrentIndex(int(20 + 10 * k));
                for (QPushButton* b : d->findChildren<QPushButton*>())
                    if (b->text() == text) return QTest::mouseClick(b, Qt::LeftButton);
                d->close();
                QVERIFY2(text.isEmpty(), qPrintable(text));
            });
        DialogScript script(std::move(steps));
        window_->findChild<QAction*>(QString::number(command))->trigger();
        QVERIFY(script.wait_until_done());
        QCOMPARE(script.opened().join(u' ').remove(u"Dialog"_s), dialogs);
        QCOMPARE(max_open, 1);  // the dialog before has closed
        QCOMPARE(int(state_->gi_hn), slope);
        if (total) QVERIFY(*total > 0.0 && state_->gf_ss == skidder);  // system I's skidder cost stays
        QVERIFY(window_->isVisible());
        QVERIFY(boxes.shown().empty());
    }

    // The basics from the menu and erg.txt from the results dialog.
    void fileCommands_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("existing");  // the file before
        QTest::addColumn<int>("answer");           // to the overwrite question
        QTest::addColumn<QStringList>("boxes");    // title: the start of the text
        const QByteArray old = "alter Bericht\r\n\x84\xfc\r\n";
        const QStringList refused{u"Fehler: "_s + kNotLoaded};
        const QString asked = u"Warnung: Die Datei \"erg.txt\" existierts bereits!\nSoll sie überschrieben werden?"_s,
                      saved = u"Meldung: Ergebnis unter \"/"_s;  // the whole path
        const int load = CmdLoadBasics, save = CmdSaveBasics, report = CmdResults, ok = int(MsgAnswer::Ok);
        QTest::newRow("load own basics") << load << basics_with(&State::gf_hab44, 500.0) << ok
                                         << QStringList{u"Meldung: Kalkulationsgrundlagen geladen."_s};
        QTest::newRow("load, no file") << load << QByteArray() << ok << refused;
        QTest::newRow("save basics") << save << QByteArray() << ok
                                     << QStringList{u"Meldung: Kalkulationsgrundlagen gespeichert."_s};
        QTest::newRow("load, a named pipe") << load << kFifo << ok
            << QStringList{u"Fehler: "_s + kNotLoaded + u"\nDie Datei ist keine gewöhnliche Datei"_s};
        const QString basics_failed = u"Fehler: Kalkulationsgrundlagen können\nnicht gespeichert werden!\n"_s;
        QTest::newRow("save basics, write fails") << save << kFolder << ok
            << QStringList{basics_failed + u"Das Ziel ist ein Ordner: /"_s};
        QTest::newRow("report, new file") << report << QByteArray() << ok << QStringList{saved};
        QTest::newRow("report, overwrite") << report << old << ok << QStringList{asked, saved};
        QTest::newRow("report, cancel") << report << old << int(MsgAnswer::Cancel) << QStringList{asked};
        // A target that can never be written is said at once, without the
        // question whether to overwrite it.
        const QString report_failed = u"Fehler: Ergebnis konnte nicht gespeichert werden!\n"_s;
        QTest::newRow("report, write-protected") << report << kReadOnly << ok
            << QStringList{report_failed + u"Die Datei ist schreibgeschützt: /"_s};
    }
    void fileCommands() {
        QFETCH(int, command);
        QFETCH(QByteArray, existing);
        QFETCH(int, answer);
        QFETCH(QStringList, boxes);
        const char* name = command == CmdResults ? files::kReportFileName : files::kBasicsFileName;
        ScriptedMessages messages;
        messages.answer(static_cast<MsgAnswer>(answer));
        window_->start_up();
        put_file(name, existing);
        state_->gf_ss = 77.0;     // typed into the cost dialog
        state_->gf_hab112 = 1.0;  // a hand-made machine cost
        const State before = *state_;
        DialogScript script(std::vector<DialogScript::Step>(command == CmdResults, [](QWidget* d) {
            QTest::mouseClick(child<QPushButton>(*d, u"25998"_s), Qt::LeftButton);  // "Ergebnis speichern"
        }));
        {
            const TimeLimit limit(20);  // a pipe must not block the load
            window_->run_command(command);
        }
        QVERIFY(script.wait_until_done());
        // Saving ends the chain; "Abbrechen" to overwriting brings the results back.
        QCOMPARE(script.opened().size(), qsizetype(command == CmdResults) * (answer == int(MsgAnswer::Cancel) ? 2 : 1));

        QCOMPARE(messages.shown().size(), std::size_t(boxes.size()));
        for (std::size_t i = 0; i < messages.shown().size(); ++i) {
            const ShownMessage& m = messages.shown()[i];
            QVERIFY2(said(m).startsWith(boxes[qsizetype(i)]), qPrintable(said(m)));
            const bool asks = m.title == u"Warnung"_s, error = m.title == u"Fehler"_s && command == CmdResults;
            QCOMPARE(m.icon, asks ? MsgIcon::Warning : error ? MsgIcon::Error : MsgIcon::Information);
            QCOMPARE(m.buttons, asks ? MsgButtons::OkCancel : MsgButtons::Ok);
        }
        const bool ok = boxes.last().startsWith(u"Meldung"_s);
        if (ok && command == CmdSaveBasics) QCOMPARE(read_file(name).toStdString(), files::basics_text(*state_));
        else if (ok && command == CmdResults) QCOMPARE(read_file(name).toStdString(), files::report_text(*state_));
        else if (existing == kFolder) QVERIFY(std::filesystem::is_directory(name));
        else if (existing == kFifo) QVERIFY(std::filesystem::is_fifo(name));
        else QCOMPARE(read_file(name), existing);  // left byte for byte
        QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot).size(),
                 qsizetype(ok || !existing.isEmpty()));  // no temporary file left over
        QCOMPARE(state_->gf_ss, 77.0);
        if (ok && command == CmdLoadBasics) {
            QCOMPARE(state_->gf_hab44, 500.0);
            State expected = *state_;
            calc_all_machines(expected);
            QCOMPARE(state_->gf_hab112, expected.gf_hab112);
        } else {
            QCOMPARE(files::basics_text(*state_), files::basics_text(before));
            QCOMPARE(state_->gf_hab112, 1.0);  // nothing recomputed
        }
    }

    // Messages about files name the file by its whole path, and saves confirm with it.
    void namesTheFile_data() {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("start");  // of the text shown
        QTest::newRow("stand file missing") << "open" << "fehlt.forstrix" << "Fehler: Bestandsdatei kann nicht";
        QTest::newRow("stand file not a stand") << "open" << "kaputt.forstrix" << "Fehler: Bestandsdatei kann nicht";
        QTest::newRow("stand file saved") << "save" << "hang.forstrix" << "Bestand unter";
        QTest::newRow("basics missing") << "load" << "daten.klg" << "Fehler: Kalkulationsgrundlagen (daten.klg)";
        QTest::newRow("basics saved") << "store" << "daten.klg" << "Meldung: Kalkulationsgrundlagen gespeichert.";
    }
    void namesTheFile() {
        QFETCH(QString, what);
        QFETCH(QString, name);
        QFETCH(QString, start);
        ScriptedMessages messages;
        window_->start_up();
        const QString path = file(name);
        write_file(file(u"kaputt.forstrix"_s), "{\"kein\": \"Bestand\"}");
        if (what == u"open") window_->open_stand(path);
        if (what == u"load") window_->run_command(CmdLoadBasics);
        if (what == u"store") window_->run_command(CmdSaveBasics);
        if (what == u"save") messages.answer_file(path), window_->run_command(CmdSaveStandAs);
        QString shown = window_->statusBar()->currentMessage();
        for (const ShownMessage& m : messages.shown()) shown += said(m);
        QVERIFY2(shown.startsWith(start) && shown.contains(QFileInfo(path).absoluteFilePath()), qPrintable(shown));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
