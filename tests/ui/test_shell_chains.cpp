// The chains of dialogs as a user walks them, with the real dialogs: the
// buttons are clicked, choices made, and what the next dialog shows is the
// state the one before committed.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "files/report.h"
#include "ui/dialog_codes.h"
#include "ui/mainwindow.h"
#include "ui_test_support.h"

using namespace forstrix;
using namespace forstrix::ui;
using namespace forstrix::ui::test;

namespace {

class NoTrace final : public TraceSink {
public:
    void write(std::string_view) override {}
};

QPushButton* button(QWidget* dialog, const QString& text) {
    for (QPushButton* b : dialog->findChildren<QPushButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

// A step that clicks the button labelled `text`.
DialogScript::Step click(const QString& text, std::function<void(QWidget*)> before = {}) {
    return [text, before](QWidget* dialog) {
        if (before) before(dialog);
        QPushButton* b = button(dialog, text);
        if (!b) {
            // Leave the dialog anyway, so that the test fails instead of waiting.
            qWarning("no button \"%s\"", qPrintable(text));
            static_cast<QDialog*>(dialog)->reject();
            return;
        }
        QTest::mouseClick(b, Qt::LeftButton);
    };
}

QString group_title(QWidget* dialog, const QString& starts_with) {
    for (QGroupBox* g : dialog->findChildren<QGroupBox*>())
        if (g->title().startsWith(starts_with)) return g->title();
    return {};
}

std::string read_bytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const QString kResults = QStringLiteral("Ergebnis...");
const QString kCancel = QStringLiteral("Abbrechen");

}  // namespace

class TestShellChains : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    QString previous_dir_;
    NoTrace trace_;
    State state_;
    std::unique_ptr<MainWindow> window_;

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        previous_dir_ = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir_->path()));
        state_ = State{};
        window_ = std::make_unique<MainWindow>(state_, &trace_);
        window_->start_up();
    }
    void cleanup() {
        window_.reset();
        QDir::setCurrent(previous_dir_);
        dir_.reset();
    }

    // A steep stand: the results show what the stand dialog committed, and the
    // stand dialog opened again from there shows it too.
    void standResultsStand_carriesTheCommittedStand() {
        ScriptedMessages boxes;
        QString caption_i, caption_iv;
        int slope_shown_again = -1;
        DialogScript script({
            click(kResults, [](QWidget* d) {
                auto* slope = d->findChild<QComboBox*>(QStringLiteral("10004"));
                if (slope) slope->setCurrentIndex(45);  // 45 % slope
            }),
            click(QStringLiteral("Bestandesdaten ändern..."), [&](QWidget* d) {
                caption_i = group_title(d, QStringLiteral("I)"));
                caption_iv = group_title(d, QStringLiteral("IV)"));
            }),
            click(kCancel, [&](QWidget* d) {
                if (auto* slope = d->findChild<QComboBox*>(QStringLiteral("10004")))
                    slope_shown_again = slope->currentIndex();
            }),
        });
        window_->run_command(CmdStand);
        QVERIFY(script.wait_until_done());

        QCOMPARE(script.opened(), (QStringList{QStringLiteral("StandDialog"),
                                               QStringLiteral("ResultsDialog"),
                                               QStringLiteral("StandDialog")}));
        QCOMPARE(state_.gi_hn, 45u);
        QCOMPARE(state_.g_sys1, 0);  // a skidder does not go up 45 %
        QCOMPARE(state_.g_sys4, 1);  // the slope systems do
        QVERIFY(caption_i.endsWith(QStringLiteral("ungeeignet")));
        QVERIFY(caption_iv.endsWith(QStringLiteral("- geeignet")));
        QCOMPARE(slope_shown_again, 45);
        QVERIFY(window_->isVisible());
    }

    void costResults_endsWithOk() {
        ScriptedMessages boxes;
        DialogScript script({click(kResults), click(QStringLiteral("OK"))});
        window_->run_command(CmdCosts);
        QVERIFY(script.wait_until_done());
        QCOMPARE(script.opened(),
                 (QStringList{QStringLiteral("CostDialog"), QStringLiteral("ResultsDialog")}));
        QVERIFY(state_.gff_g7 > 0.0);
    }

    void standCostStandCancelled_storesNothing() {
        ScriptedMessages boxes;
        DialogScript script({
            click(QStringLiteral("Eingabe Kosten..."), [](QWidget* d) {
                if (auto* slope = d->findChild<QComboBox*>(QStringLiteral("10004")))
                    slope->setCurrentIndex(20);
            }),
            click(QStringLiteral("Eingabe Bestandesdaten...")),
            click(kCancel, [](QWidget* d) {
                if (auto* slope = d->findChild<QComboBox*>(QStringLiteral("10004")))
                    slope->setCurrentIndex(60);  // changed, then cancelled
            }),
        });
        window_->run_command(CmdStand);
        QVERIFY(script.wait_until_done());
        QCOMPARE(script.opened(), (QStringList{QStringLiteral("StandDialog"),
                                               QStringLiteral("CostDialog"),
                                               QStringLiteral("StandDialog")}));
        QCOMPARE(state_.gi_hn, 20u);  // the handing over committed, the cancel did not
    }

    void saveFromResults_cancelKeepsTheFile() {
        const std::string old_bytes = "erster Bericht\r\n";
        { std::ofstream(files::kReportFileName, std::ios::binary) << old_bytes; }
        ScriptedMessages boxes;
        boxes.answer(MsgAnswer::Cancel);
        DialogScript script({click(QStringLiteral("Ergebnis speichern"))});
        window_->run_command(CmdResults);
        QVERIFY(script.wait_until_done());
        QCOMPARE(boxes.shown().size(), std::size_t{1});
        QCOMPARE(boxes.shown()[0].title, QStringLiteral("Warnung"));
        QCOMPARE(read_bytes(files::kReportFileName), old_bytes);

        // Again, this time agreeing: the report replaces the file.
        boxes.clear();
        DialogScript again({click(QStringLiteral("Ergebnis speichern"))});
        window_->run_command(CmdResults);
        QVERIFY(again.wait_until_done());
        QCOMPARE(boxes.shown().size(), std::size_t{2});
        QCOMPARE(boxes.shown()[1].title, QStringLiteral("Meldung"));
        QCOMPARE(read_bytes(files::kReportFileName), files::report_text(state_));
    }
};

QTEST_MAIN(TestShellChains)
#include "test_shell_chains.moc"
