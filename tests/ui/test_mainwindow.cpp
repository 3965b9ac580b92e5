// The main window as the user meets it: start-up, menu, help text, the
// basics file from the menu, the chains of dialogs and saving the report.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include "core/calc.h"
#include "core/machines.h"
#include "files/basics_file.h"
#include "files/report.h"
#include "ui/dialog_codes.h"
#include "ui/fields.h"
#include "ui/help_text.h"
#include "ui/mainwindow.h"
#include "ui_test_support.h"

using namespace forstrix;
using namespace forstrix::ui;
using namespace forstrix::ui::test;

namespace {

class CapturedTrace final : public TraceSink {
public:
    void write(std::string_view text) override { text_ += text; }
    std::string text_;
};

std::string read_bytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_bytes(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

const QString kNotLoaded = QStringLiteral("Kalkulationsgrundlagen (daten.klg)\nkönnen nicht geladen werden!");
const QString kExistsQuestion =
    QStringLiteral("Die Datei \"erg.txt\" existierts bereits!\nSoll sie überschrieben werden?");

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    QString previous_dir_;
    std::unique_ptr<State> state_;
    CapturedTrace trace_;
    std::unique_ptr<MainWindow> window_;

    MainWindow& started() {
        window_->start_up();
        return *window_;
    }

private slots:
    // Each test runs in a folder of its own, with a fresh state and window.
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        previous_dir_ = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir_->path()));
        state_ = std::make_unique<State>();
        trace_.text_.clear();
        window_ = std::make_unique<MainWindow>(*state_, &trace_);
    }
    void cleanup() {
        window_.reset();
        state_.reset();
        QDir::setCurrent(previous_dir_);
        dir_.reset();
    }

    // ------------------------------------------------------------ start-up
    void startUp_computesFromDefaults() {
        ScriptedMessages boxes;
        MainWindow& w = started();
        QCoreApplication::processEvents();

        QCOMPARE(w.windowTitle(), QStringLiteral("Forstrix"));
        QVERIFY(w.isVisible());
        QVERIFY(w.windowState() & Qt::WindowMaximized);
        QVERIFY(boxes.shown().empty());

        // The skidder's computed cost becomes the skidder cost of system I.
        QVERIFY(state_->gf_asb75 > 0.0);
        QCOMPARE(state_->gf_ss, state_->gf_asb75);
        for (const MachineKind& kind : kMachineKinds) QVERIFY((*state_).*kind.total() > 0.0);
        QVERIFY(state_->gf_msc37 > 0.0);
        QVERIFY(state_->gc_hoehe > 0.0);
        QVERIFY(state_->gc_vhieb > 0.0);
        // Suitability is decided only by the stand dialog.
        QCOMPARE(state_->flags(), (std::array<std::int32_t, 6>{1, 1, 1, 0, 0, 0}));
        QVERIFY(trace_.text_.find("Kalkuliere Motorsäge") != std::string::npos);

        save_screenshot(&w, QStringLiteral("mainwindow"));
    }

    void startUp_readsBasicsBeforeComputing() {
        State own;
        own.gf_asb44 = 2 * own.gf_asb44;  // a dearer skidder
        write_bytes(files::kBasicsFileName, files::basics_text(own));
        State defaults;
        startup_compute(defaults);

        ScriptedMessages boxes;
        started();
        QCoreApplication::processEvents();

        QVERIFY(boxes.shown().empty());
        QCOMPARE(state_->gf_asb44, own.gf_asb44);
        QVERIFY(state_->gf_asb75 > defaults.gf_asb75);
        QCOMPARE(state_->gf_ss, state_->gf_asb75);
    }

    void startUp_refusedBasicsWarnOnceWindowShows() {
        write_bytes(files::kBasicsFileName, "1100,5\tkein Wert\r\n");
        State defaults;
        startup_compute(defaults);

        ScriptedMessages boxes;
        started();
        QVERIFY(boxes.shown().empty());  // not before the window stands
        QTRY_COMPARE(boxes.shown().size(), std::size_t{1});
        const ShownMessage& box = boxes.shown().front();
        QCOMPARE(box.title, QStringLiteral("Warnung"));
        QCOMPARE(box.icon, MsgIcon::Warning);
        QVERIFY(box.text.startsWith(kNotLoaded + QLatin1Char('\n')));
        QVERIFY(box.text.size() > kNotLoaded.size() + 1);
        // The built-in basics stay in force.
        QCOMPARE(state_->gf_msc5, defaults.gf_msc5);
        QCOMPARE(state_->gf_asb75, defaults.gf_asb75);
        QCoreApplication::processEvents();
        QCOMPARE(boxes.shown().size(), std::size_t{1});
    }

    // ----------------------------------------------------------- menu
    void menu_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QList<int>>("commands");
        QTest::newRow("Datei") << 0 << QStringLiteral("&Datei")
            << QStringList{QStringLiteral("Kalkulationsgrundlagen &laden"),
                           QStringLiteral("Kalkulationsgrundlagen &speichern"), QString(),
                           QStringLiteral("&Beenden")}
            << QList<int>{103, 104, 0, 199};
        QTest::newRow("Dateneingabe") << 1 << QStringLiteral("Daten&eingabe")
            << QStringList{QStringLiteral("Eingabe &Bestandesdaten..."),
                           QStringLiteral("Eingabe &Kosten...")}
            << QList<int>{201, 202};
        QTest::newRow("Kalkulationsgrundlagen") << 2 << QStringLiteral("&Kalkulationsgrundlagen")
            << QStringList{QStringLiteral("für Motorsägen..."),
                           QStringLiteral("für aufgerüstete Agrarschlepper..."),
                           QStringLiteral("für Harvester..."), QStringLiteral("für Forwarder..."),
                           QStringLiteral("für Harvester mit FSA..."),
                           QStringLiteral("für Hang-Harvester..."),
                           QStringLiteral("für Hang-Forwarder..."),
                           QStringLiteral("für Mobilseilkran && Prozessor auf LKW...")}
            << QList<int>{301, 302, 303, 304, 305, 306, 307, 308};
        QTest::newRow("Berechnung") << 3 << QStringLiteral("&Berechnung")
            << QStringList{QStringLiteral("&Ergebnis...")} << QList<int>{401};
    }
    void menu() {
        QFETCH(int, index);
        QFETCH(QString, title);
        QFETCH(QStringList, items);
        QFETCH(QList<int>, commands);

        const QList<QAction*> menus = window_->menuBar()->actions();
        QCOMPARE(menus.size(), 4);
        QMenu* menu = menus[index]->menu();
        QVERIFY(menu);
        QCOMPARE(menus[index]->text(), title);
        const QList<QAction*> actions = menu->actions();
        QCOMPARE(actions.size(), items.size());
        for (int i = 0; i < actions.size(); ++i) {
            if (items[i].isEmpty()) {
                QVERIFY(actions[i]->isSeparator());
                continue;
            }
            QCOMPARE(actions[i]->text(), items[i]);
            QCOMPARE(actions[i]->data().toInt(), commands[i]);
        }
    }

    void menuItem_opensItsMachineDialog_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("301 chainsaw") << 301 << QStringLiteral("ChainsawDialog");
        for (const MachineKind& kind : kMachineKinds)
            QTest::newRow(qPrintable(QString::number(kind.menu_command) + QLatin1Char(' ') +
                                     QString::fromLatin1(kind.stem.data(),
                                                         static_cast<qsizetype>(kind.stem.size()))))
                << kind.menu_command << QStringLiteral("MachineDialog");
    }
    // Even a cancelled dialog leaves its machine's cost computed again.
    void menuItem_opensItsMachineDialog() {
        QFETCH(int, command);
        QFETCH(QString, dialog);
        ScriptedMessages boxes;
        started();
        const State before = *state_;
        double* total = &state_->gf_msc37;
        for (const MachineKind& kind : kMachineKinds)
            if (kind.menu_command == command) total = &((*state_).*kind.total());
        *total = -1.0;
        trace_.text_.clear();

        DialogScript script({end_with(0)});
        auto* action = window_->findChild<QAction*>(QString::number(command));
        QVERIFY(action);
        action->trigger();
        QVERIFY(script.wait_until_done());

        QCOMPARE(script.opened(), QStringList{dialog});
        QVERIFY(*total > 0.0);
        QVERIFY(!trace_.text_.empty());
        QCOMPARE(state_->gf_ss, before.gf_ss);
    }

    void quit_closesTheWindow_data() {
        QTest::addColumn<int>("command");
        QTest::newRow("Beenden") << 199;
        QTest::newRow("unknown command") << 999;
    }
    void quit_closesTheWindow() {
        QFETCH(int, command);
        MainWindow& w = started();
        QVERIFY(w.isVisible());
        w.run_command(command);
        QVERIFY(!w.isVisible());
    }

    // ------------------------------------------------------------ help text
    void helpText_showsSystemsAndMenuHints() {
        QTextDocument* doc = window_->help_view()->document();
        QVERIFY(window_->help_view()->isReadOnly());
        QCOMPARE(doc->blockCount(), kHelpLineCount);

        for (int line = 1; line <= kHelpLineCount; ++line) {
            const QTextBlock block = doc->findBlockByNumber(line - 1);
            QString red, grey;
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment f = it.fragment();
                const QColor c = f.charFormat().foreground().color();
                if (c == kMenuNameColour) red += f.text();
                else if (c == kRangeColour) grey += f.text();
                else QCOMPARE(c, QColor(Qt::black));
            }
            const auto range = std::find(kRangeLines.begin(), kRangeLines.end(), line);
            if (range != kRangeLines.end()) {
                QCOMPARE(grey, qs(Tsys[static_cast<std::size_t>(range - kRangeLines.begin())]));
                QCOMPARE(block.text(), grey);
            } else {
                QVERIFY2(grey.isEmpty(), qPrintable(QStringLiteral("line %1").arg(line)));
                QCOMPARE(block.text(), qs(kHelpLines[static_cast<std::size_t>(line - 1)]));
            }
            QString expected_red;
            for (const MenuNameMark& mark : kMenuNameMarks)
                if (mark.line == line) expected_red = qs(mark.words);
            QCOMPARE(red, expected_red);
        }
        QCOMPARE(doc->findBlockByNumber(0).text(), QStringLiteral("Berücksichtigte Arbeitssysteme:"));
        QCOMPARE(doc->findBlockByNumber(30).text().left(26), QStringLiteral("Im Fenster \"Eingabe Kosten"));
        // System VI's range as the window shows it, with two blanks after "35 %,".
        QVERIFY(doc->findBlockByNumber(19).text().contains(QStringLiteral("35 %,  min.")));
    }

    void helpText_scrollsInASmallWindow() {
        MainWindow& w = started();
        w.showNormal();
        w.resize(400, 300);
        QCoreApplication::processEvents();
        QScrollBar* bar = w.help_view()->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), 0);  // it opens at its top
        // A keyboard user pages through it.
        QTest::keyClick(w.help_view(), Qt::Key_PageDown);
        QVERIFY(bar->value() > 0);
        QTest::keyClick(w.help_view(), Qt::Key_PageUp);
        QCOMPARE(bar->value(), 0);
    }

    // ----------------------------------------------- basics from the menu
    void loadBasics_fromMenu_data() {
        QTest::addColumn<QString>("file");  // "" = no file
        QTest::addColumn<bool>("loads");
        State own;
        own.gf_hab44 = 500.0;
        QTest::newRow("own basics") << QString::fromStdString(files::basics_text(own)) << true;
        QTest::newRow("no file") << QString() << false;
        QTest::newRow("decimal comma") << QStringLiteral("12,5\r\n") << false;
        QTest::newRow("zero annual use")
            << QString::fromStdString([] {
                   State s;
                   s.gf_fob47 = 0.0;
                   return files::basics_text(s);
               }())
            << false;
    }
    void loadBasics_fromMenu() {
        QFETCH(QString, file);
        QFETCH(bool, loads);
        if (!file.isEmpty()) write_bytes(files::kBasicsFileName, file.toStdString());
        ScriptedMessages boxes;
        started();
        QCoreApplication::processEvents();
        boxes.clear();
        // A skidder cost typed into the cost dialog, and one hand-made machine cost.
        state_->gf_ss = 77.0;
        state_->gf_hab112 = 1.0;
        const State before = *state_;

        window_->run_command(CmdLoadBasics);

        QCOMPARE(boxes.shown().size(), std::size_t{1});
        const ShownMessage& box = boxes.shown().front();
        QCOMPARE(box.icon, MsgIcon::Information);
        QCOMPARE(box.buttons, MsgButtons::Ok);
        QCOMPARE(state_->gf_ss, 77.0);
        if (loads) {
            QCOMPARE(box.title, QStringLiteral("Meldung"));
            QCOMPARE(box.text, QStringLiteral("Kalkulationsgrundlagen geladen."));
            QCOMPARE(state_->gf_hab44, 500.0);
            State expected = *state_;
            calc_all_machines(expected);
            QCOMPARE(state_->gf_hab112, expected.gf_hab112);
            QVERIFY(state_->gf_hab112 > 1.0);
        } else {
            QCOMPARE(box.title, QStringLiteral("Fehler"));
            QVERIFY(box.text.startsWith(kNotLoaded));
            QCOMPARE(state_->gf_hab112, 1.0);  // nothing recomputed
            QCOMPARE(state_->gf_fob47, before.gf_fob47);
            QCOMPARE(state_->gf_msc5, before.gf_msc5);
        }
    }

    void saveBasics_fromMenu() {
        ScriptedMessages boxes;
        started();
        state_->gf_mskb44 = 1234.5;
        window_->run_command(CmdSaveBasics);
        QCOMPARE(boxes.shown().size(), std::size_t{1});
        QCOMPARE(boxes.shown()[0].title, QStringLiteral("Meldung"));
        QCOMPARE(boxes.shown()[0].text, QStringLiteral("Kalkulationsgrundlagen gespeichert."));
        QCOMPARE(boxes.shown()[0].icon, MsgIcon::Information);
        QCOMPARE(read_bytes(files::kBasicsFileName), files::basics_text(*state_));

        // And back: a fresh window loads what was saved.
        State other;
        MainWindow second(other, &trace_);
        second.run_command(CmdLoadBasics);
        QCOMPARE(other.gf_mskb44, 1234.5);
    }

    void saveBasics_failureIsReportedNotSuccess() {
        ScriptedMessages boxes;
        started();
        // A folder where the file should go cannot be replaced.
        QVERIFY(QDir().mkdir(QString::fromLatin1(files::kBasicsFileName)));
        window_->run_command(CmdSaveBasics);
        QCOMPARE(boxes.shown().size(), std::size_t{1});
        QCOMPARE(boxes.shown()[0].title, QStringLiteral("Fehler"));
        QCOMPARE(boxes.shown()[0].text,
                 QStringLiteral("Kalkulationsgrundlagen können\nnicht gespeichert werden!"));
        QCOMPARE(boxes.shown()[0].icon, MsgIcon::Information);
        QVERIFY(std::filesystem::is_directory(files::kBasicsFileName));
        QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 1);
    }

    // ------------------------------------------------------------- chains
    void chain_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QList<int>>("results");
        QTest::addColumn<QStringList>("dialogs");
        const QString stand = QStringLiteral("StandDialog"), cost = QStringLiteral("CostDialog"),
                      results = QStringLiteral("ResultsDialog");
        QTest::newRow("stand, results, stand")
            << int(CmdStand) << QList<int>{InputResults, ResultsChangeStand, InputCancelled}
            << QStringList{stand, results, stand};
        QTest::newRow("cost, results")
            << int(CmdCosts) << QList<int>{InputResults, ResultsOk} << QStringList{cost, results};
        QTest::newRow("stand, cost, stand, cost, results")
            << int(CmdStand)
            << QList<int>{InputOtherDialog, InputOtherDialog, InputOtherDialog, InputResults, ResultsOk}
            << QStringList{stand, cost, stand, cost, results};
        QTest::newRow("stand cancelled") << int(CmdStand) << QList<int>{InputCancelled}
                                         << QStringList{stand};
        QTest::newRow("stand OK") << int(CmdStand) << QList<int>{InputOk} << QStringList{stand};
        QTest::newRow("cost cancelled") << int(CmdCosts) << QList<int>{InputCancelled}
                                        << QStringList{cost};
        QTest::newRow("results, stand cancelled")
            << int(CmdResults) << QList<int>{ResultsChangeStand, InputCancelled}
            << QStringList{results, stand};
        QTest::newRow("results closed") << int(CmdResults) << QList<int>{0} << QStringList{results};
    }
    void chain() {
        QFETCH(int, command);
        QFETCH(QList<int>, results);
        QFETCH(QStringList, dialogs);
        ScriptedMessages boxes;
        MainWindow& w = started();

        int max_open = 0;
        std::vector<DialogScript::Step> steps;
        for (int code : results) {
            steps.push_back([&w, &max_open, code](QWidget* dialog) {
                // Only the one dialog: the one before has closed.
                max_open = std::max(max_open, int(w.findChildren<QDialog*>().size()));
                end_with(code)(dialog);
            });
        }
        DialogScript script(std::move(steps));
        w.run_command(command);
        QVERIFY(script.wait_until_done());
        QCOMPARE(script.opened(), dialogs);
        QCOMPARE(max_open, 1);
        QVERIFY(w.isVisible());
        QVERIFY(boxes.shown().empty());
    }

    // The results are computed afresh before every opening of the dialog.
    void results_computedBeforeEachOpening() {
        started();
        std::vector<double> seen;
        auto look = [this, &seen](int code) {
            return [this, &seen, code](QWidget* dialog) {
                seen.push_back(state_->gff_g7);
                state_->gff_g7 = -1.0;   // stale
                state_->gf_fw *= 2.0;    // a dearer forest worker for the next opening
                end_with(code)(dialog);
            };
        };
        DialogScript script({look(ResultsChangeStand), end_with(InputResults), look(ResultsOk)});
        window_->run_command(CmdResults);
        QVERIFY(script.wait_until_done());
        QCOMPARE(seen.size(), std::size_t{2});
        QVERIFY(seen[0] > 0.0);
        QVERIFY(seen[1] > seen[0]);
    }

    // ---------------------------------------------------------- erg.txt
    void saveReport_data() {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<int>("answer");  // to the overwrite question
        QTest::addColumn<bool>("written");
        QTest::newRow("new file") << false << int(MsgAnswer::Ok) << true;
        QTest::newRow("existing, overwrite") << true << int(MsgAnswer::Ok) << true;
        QTest::newRow("existing, cancel") << true << int(MsgAnswer::Cancel) << false;
    }
    void saveReport() {
        QFETCH(bool, exists);
        QFETCH(int, answer);
        QFETCH(bool, written);
        const std::string old_bytes = "alter Bericht\r\n\x84\xfc\r\n";
        if (exists) write_bytes(files::kReportFileName, old_bytes);
        ScriptedMessages boxes;
        boxes.answer(static_cast<MsgAnswer>(answer));
        started();

        DialogScript script({end_with(ResultsSave)});
        window_->run_command(CmdResults);
        QVERIFY(script.wait_until_done());
        // Saving ends the chain: the results are not shown again.
        QCOMPARE(script.opened(), QStringList{QStringLiteral("ResultsDialog")});

        std::size_t next = 0;
        if (exists) {
            QVERIFY(!boxes.shown().empty());
            const ShownMessage& q = boxes.shown()[next++];
            QCOMPARE(q.title, QStringLiteral("Warnung"));
            QCOMPARE(q.text, kExistsQuestion);
            QCOMPARE(q.icon, MsgIcon::Warning);
            QCOMPARE(q.buttons, MsgButtons::OkCancel);
        }
        if (written) {
            QCOMPARE(boxes.shown().size(), next + 1);
            QCOMPARE(boxes.shown()[next].title, QStringLiteral("Meldung"));
            QCOMPARE(boxes.shown()[next].text, QStringLiteral("Ergebnis unter \"erg.txt\" gespeichert!"));
            QCOMPARE(boxes.shown()[next].icon, MsgIcon::Information);
            QCOMPARE(read_bytes(files::kReportFileName), files::report_text(*state_));
        } else {
            QCOMPARE(boxes.shown().size(), next);
            QCOMPARE(read_bytes(files::kReportFileName), old_bytes);
        }
    }

    void saveReport_failedWriteIsReported() {
        // erg.txt taken by a folder: it exists, the user agrees, the write fails.
        QVERIFY(QDir().mkdir(QString::fromLatin1(files::kReportFileName)));
        ScriptedMessages boxes;
        started();
        DialogScript script({end_with(ResultsSave)});
        window_->run_command(CmdResults);
        QVERIFY(script.wait_until_done());

        QCOMPARE(boxes.shown().size(), std::size_t{2});
        QCOMPARE(boxes.shown()[0].text, kExistsQuestion);
        QCOMPARE(boxes.shown()[1].title, QStringLiteral("Fehler"));
        QCOMPARE(boxes.shown()[1].text, QStringLiteral("Ergebnis konnte nicht gespeichert werden!"));
        QCOMPARE(boxes.shown()[1].icon, MsgIcon::Error);
        QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("erg.txt")});
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
