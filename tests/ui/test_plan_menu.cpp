// The harvest plan from the main window: "Hiebsplan öffnen..." in the file
// menu, the plan among the recent files, and leaving the program while a
// plan has unsaved changes.
#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QtTest>

#include "ui/dialog_codes.h"
#include "ui/plan_model.h"
#include "ui/plan_window.h"
#include "ui/recent_files.h"
#include "ui_test_support.h"

using namespace forstrix;
using namespace forstrix::ui;
using namespace forstrix::ui::test;

class TestPlanMenu : public WindowTest {
    Q_OBJECT
    QString csv_;

    PlanWindow* plan() const { return window_->findChild<PlanWindow*>(); }

    void open_carrying_every_column() {
        ScriptedMessages messages;
        messages.answer_file(csv_);
        DialogScript script({[](QWidget* d) { child<QPushButton>(*d, QStringLiteral("ok"))->click(); }});
        window_->run_command(CmdOpenPlan);
        QVERIFY(script.wait_until_done());
        QVERIFY(plan() != nullptr);
    }

private slots:
    void init() {
        QSettings(QStringLiteral("forstrix"), QStringLiteral("forstrix")).clear();
        open_window();
        window_->start_up();
        // Columns the program does not know ("Abteilung", "HANG"): the import dialog asks.
        csv_ = file(QStringLiteral("hiebe.csv"));
        write_file(csv_, "Abteilung;gi_bhd;gf_vab;gf_gf;HANG\n12a;35;250;2;30\n14b;40;300;1;5\n");
    }
    void cleanup() {
        if (PlanWindow* p = plan()) {
            ScriptedMessages messages;
            messages.answer(MsgAnswer::Discard);
            p->close();
        }
        close_window();
    }

    void opensFromTheMenuAndAgainFromTheRecentFiles() {
        {
            ScriptedMessages messages;
            messages.answer_file(csv_);
            DialogScript script({[](QWidget* d) { child<QPushButton>(*d, QStringLiteral("ok"))->click(); }});
            window_->run_command(CmdOpenPlan);
            QVERIFY(script.wait_until_done());
            QCOMPARE(script.opened(), QStringList{QStringLiteral("ColumnMappingDialog")});
            QCOMPARE(messages.asked_files().size(), std::size_t(1));
            QVERIFY(messages.asked_files().front().filter.contains(QStringLiteral("*.gpkg")));
        }
        QVERIFY(plan() != nullptr && plan()->isVisible());
        QCOMPARE(plan()->windowTitle(), QStringLiteral("hiebe[*] - Hiebsplan - Forstrix"));
        QCOMPARE(plan()->model()->stand_name(1), QStringLiteral("14b"));
        QCOMPARE(RecentFiles().list().value(0), QFileInfo(csv_).absoluteFilePath());

        plan()->close();
        QTRY_VERIFY(plan() == nullptr);
        // The mapping is remembered: the recent file opens without the dialog.
        DialogScript none({});
        window_->findChild<QAction*>(QStringLiteral("recent_0"))->trigger();
        QVERIFY(none.wait_until_done());
        QVERIFY(none.opened().isEmpty());
        QVERIFY(plan() != nullptr);
        QCOMPARE(plan()->table().size(), std::size_t(2));
    }

    void mappedAgainReadsTheColumnAnew() {
        open_carrying_every_column();
        QCOMPARE(plan()->table().state_of(0).gi_hn, State{}.gi_hn);  // HANG carried
        DialogScript script({[](QWidget* d) {
            auto* box = static_cast<QComboBox*>(child<QTableWidget>(*d, QStringLiteral("columns"))->cellWidget(4, 2));
            box->setCurrentIndex(box->findData(QStringLiteral("gi_hn")));
            child<QPushButton>(*d, QStringLiteral("ok"))->click();
        }});
        QVERIFY(plan()->remap());
        QVERIFY(script.wait_until_done());
        QCOMPARE(plan()->table().state_of(0).gi_hn, 30u);
        QCOMPARE(plan()->table().state_of(1).gi_hn, 5u);
        QVERIFY(!plan()->isWindowModified());
    }

    void leavingAsksAboutTheUnsavedPlan() {
        open_carrying_every_column();
        QVERIFY(plan()->take_basics());  // the plan differs from its file now
        ScriptedMessages messages;
        messages.answer(MsgAnswer::Cancel);
        QVERIFY(!window_->close());
        QCOMPARE(messages.shown().size(), std::size_t(1));
        QCOMPARE(messages.shown().front().text, QStringLiteral("Änderungen am Hiebsplan speichern?"));
        QVERIFY(plan()->isVisible());
        messages.answer(MsgAnswer::Discard);
        QVERIFY(window_->close());
    }
};

QTEST_MAIN(TestPlanMenu)
#include "test_plan_menu.moc"
