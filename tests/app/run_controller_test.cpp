// The run controller when a thread cannot be started (run with fail_thread_create
// preloaded): a failed run with its message, never an aborted program.

#include <QSignalSpy>
#include <QTest>

#include <dlfcn.h>

#include <memory>

#include "app/run_controller.h"

using namespace tesral;

Q_DECLARE_METATYPE(std::shared_ptr<tesral::RunOutcome>)

class RunControllerTest : public QObject {
    Q_OBJECT

  private slots:
    void threadThatCannotStartFailsTheRun();
};

void RunControllerTest::threadThatCannotStartFailsTheRun() {
    using FailFunction = void (*)(long);
    const auto fail =
        reinterpret_cast<FailFunction>(dlsym(RTLD_DEFAULT, "tesral_fail_thread_create"));
    if (!fail) QSKIP("needs fail_thread_create preloaded");
    qRegisterMetaType<std::shared_ptr<RunOutcome>>();

    // 1: the controller's own worker; 2: the first thread of the loops.
    for (long nth : {1L, 2L}) {
        RunController runner;
        QSignalSpy finished(&runner, &RunController::finished);
        fail(nth);
        runner.start({}, prepareRun(RunInputs{}), {}, {});
        QVERIFY(runner.running());
        QVERIFY(finished.wait(10000));
        fail(0);
        QVERIFY(!runner.running());
        const auto outcome = finished.at(0).at(0).value<std::shared_ptr<RunOutcome>>();
        QCOMPARE(outcome->result.status, RunStatus::Failed);
        QVERIFY2(outcome->result.message.find("cannot start a thread") != std::string::npos,
                 outcome->result.message.c_str());
        QVERIFY(outcome->result.table.empty());
    }
}

QTEST_GUILESS_MAIN(RunControllerTest)
#include "run_controller_test.moc"
