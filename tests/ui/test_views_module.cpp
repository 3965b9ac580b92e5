// The desktop program opens the results and the Kostenverlauf through the
// module loaded on first use (ui/views_loader.cpp), not through the views
// linked into the tests: this test takes the program's way, from a folder
// that holds no module, so the loader must find the built one where the
// program finds it, and both entry points must run their window.
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QtTest>

#include "core/calc.h"
#include "ui/dialog_codes.h"
#include "ui/views.h"
#include "ui_test_support.h"

using namespace forstrix;

class TestViewsModule : public QObject {
    Q_OBJECT
private slots:
    void bothViewsOpenFromTheModule() {
        State s = ui::test::started();
        calc_zeitbedarfkosten(s);
        for (const char* view : {"results", "sweep"}) {
            QString seen;
            auto* poll = new QTimer(this);
            connect(poll, &QTimer::timeout, poll, [poll, &seen] {
                if (QWidget* w = QApplication::activeModalWidget()) {
                    seen = QString::fromLatin1(w->metaObject()->className());
                    QTest::keyClick(w, Qt::Key_Escape);
                    poll->deleteLater();
                }
            });
            poll->start(20);
            ui::test::ScriptedMessages messages;  // a missing module would say so in a box
            if (view == std::string_view("results"))
                QCOMPARE(ui::run_results_view(s, {}, nullptr), int(ui::ResultsOk));
            else
                ui::run_sweep_view(s, QStringLiteral("Abteilung 12b"), nullptr);
            QVERIFY2(messages.shown().empty(), view);
            QCOMPARE(seen, QString::fromLatin1(view == std::string_view("results") ? "forstrix::ui::ResultsDialog"
                                                                                   : "forstrix::ui::SweepDialog"));
        }
    }
};

QTEST_MAIN(TestViewsModule)
#include "test_views_module.moc"
