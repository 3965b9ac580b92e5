// The harvest plan from the main window: "Hiebsplan öffnen..." in the file
// menu, the plan among the recent files, and leaving the program while a
// plan has unsaved changes.
#include <QAction>
#include <QPushButton>
#include <QSettings>
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

private slots:
    void init() {
        QSettings(QStringLiteral("forstrix"), QStringLiteral("forstrix")).clear();
        open_window();
        window_->start_up();
        // A column the program does not know ("Abteilung"): the import dialog asks.
        csv_ = file(QStringLiteral("hiebe.csv"));
        write_file(csv_, "Abteilung;gi_bhd;gf_vab;gf_gf\n12a;35;250;2\n14b;40;300;1\n");
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

    void leavingAsksAboutTheUnsavedPlan() {
        {
            ScriptedMessages messages;
            messages.answer_file(csv_);
            DialogScript script({[](QWidget* d) { child<QPushButton>(*d, QStringLiteral("ok"))->click(); }});
            window_->run_command(CmdOpenPlan);
            QVERIFY(script.wait_until_done());
        }
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
