// The window's run: from F5 to both plots and the list drawn, and the engine alone on the
// same inputs (their difference is what the window adds after the loops).

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <utility>
#include <vector>

#include <sys/resource.h>

#include "app/input_panel.h"
#include "app/main_window.h"
#include "app/program_folder.h"
#include "engine/generation.h"

using namespace tesral;

namespace {

/** Octagonal, limits 8, every vector kept by the windows: 1,419,800 rows. */
void setBoxBound(InputPanel& panel) {
    panel.systemList()->setCurrentIndex(0);
    for (int i = 0; i < 5; ++i) panel.loopLimitField(i)->setText(QStringLiteral("8"));
    panel.thetaMaxField()->setText(QStringLiteral("180"));
    panel.qiMaxField()->setText(QStringLiteral("1E9"));
}

/** F5 until the run has ended and the window has painted its plots and list. */
void runAndPaint(MainWindow& window) {
    QEventLoop loop;
    const auto connection =
        QObject::connect(&window, &MainWindow::runEnded, &loop, &QEventLoop::quit);
    window.executeCalculation();
    loop.exec();
    QObject::disconnect(connection);
    window.repaint();
}

void windowRun(benchmark::State& state, bool boxBound) {
    MainWindow window;
    window.resize(1200, 800);
    window.show();
    InputPanel* panel = window.findChild<InputPanel*>(QStringLiteral("frRight"));
    if (boxBound) setBoxBound(*panel);
    for (auto _ : state) runAndPaint(window);
    state.counters["rows"] = static_cast<double>(window.session().reflectionCount());
}

/** Searching the box-bound report (139 MB) for a text it does not hold: the whole text. */
void searchMiss(benchmark::State& state) {
    MainWindow window;
    window.show();
    InputPanel* panel = window.findChild<InputPanel*>(QStringLiteral("frRight"));
    setBoxBound(*panel);
    runAndPaint(window);
    panel->searchField()->setText(QStringLiteral("no such text"));
    for (auto _ : state) window.findInList();
}

/** From Escape, 150 ms into a run of 9.8 million rows, to the window showing the cancel. */
void escapeToCancelled(benchmark::State& state) {
    MainWindow window;
    window.show();
    InputPanel* panel = window.findChild<InputPanel*>(QStringLiteral("frRight"));
    setBoxBound(*panel);
    for (int i = 0; i < 5; ++i) panel->loopLimitField(i)->setText(QStringLiteral("12"));
    for (auto _ : state) {
        QEventLoop loop;
        QObject::connect(&window, &MainWindow::runEnded, &loop, &QEventLoop::quit);
        window.executeCalculation();
        state.PauseTiming();
        QEventLoop wait;
        QTimer::singleShot(150, &wait, &QEventLoop::quit);
        wait.exec();
        state.ResumeTiming();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(panel->latticeAField(), &escape);
        loop.exec();
    }
}

/** CPU seconds used so far by the process (RUSAGE_SELF) or the calling thread: all, system. */
std::pair<double, double> cpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec * 1e-6; };
    return {seconds(usage.ru_utime) + seconds(usage.ru_stime), seconds(usage.ru_stime)};
}

/**
 * Samples the process's CPU time, less its own, every 2 ms from its start until stopped: the
 * CPU used after the start, and how long after the start the process was last busy (more
 * than 2 ms of CPU still to come).
 */
class CpuWatch {
  public:
    CpuWatch() : start_(Clock::now()), thread_([this] { sample(); }) {}
    ~CpuWatch() { stop(); }
    void stop() {
        done_ = true;
        if (thread_.joinable()) thread_.join();
    }
    double cpuUsed() const { return samples_.back().cpu - samples_.front().cpu; }
    /** The part of cpuUsed() spent in the system, as in handing memory back. */
    double systemUsed() const { return samples_.back().system - samples_.front().system; }
    double busySeconds() const {
        const double last = samples_.back().cpu;
        double busy = 0.0;
        for (const Sample& s : samples_)
            if (last - s.cpu > 0.002) busy = s.wall;
        return busy;
    }

  private:
    using Clock = std::chrono::steady_clock;
    struct Sample {
        double wall, cpu, system;
    };
    void sample() {
        while (!done_) {
            const std::chrono::duration<double> wall = Clock::now() - start_;
            samples_.push_back(othersCpu(wall.count()));
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        const std::chrono::duration<double> wall = Clock::now() - start_;
        samples_.push_back(othersCpu(wall.count()));
    }
    static Sample othersCpu(double wall) {
        const auto [all, system] = cpuSeconds(RUSAGE_SELF);
        const auto [own, ownSystem] = cpuSeconds(RUSAGE_THREAD);
        return {wall, all - own, system - ownSystem};
    }
    Clock::time_point start_;
    std::vector<Sample> samples_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

void waitMilliseconds(int ms) {
    QEventLoop wait;
    QTimer::singleShot(ms, &wait, &QEventLoop::quit);
    wait.exec();
}

/**
 * Escape the given milliseconds after F5 in a run of 20.5 million rows (octagonal, limits 14):
 * the CPU the process uses from Escape on, and how long it stays busy. Each phase of the run
 * (the loops, the table, the 3D points, the list file) is hit by one of the delays.
 */
void escapeCpu(benchmark::State& state) {
    MainWindow window;
    window.show();
    InputPanel* panel = window.findChild<InputPanel*>(QStringLiteral("frRight"));
    setBoxBound(*panel);
    panel->thetaMinField()->setText(QStringLiteral("0"));
    for (int i = 0; i < 5; ++i) panel->loopLimitField(i)->setText(QStringLiteral("14"));
    double cpu = 0.0, system = 0.0, busy = 0.0, worstBusy = 0.0;
    for (auto _ : state) {
        QEventLoop loop;
        QObject::connect(&window, &MainWindow::runEnded, &loop, &QEventLoop::quit);
        window.executeCalculation();
        waitMilliseconds(static_cast<int>(state.range(0)));
        CpuWatch watch;
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(panel->latticeAField(), &escape);
        if (window.running()) loop.exec();
        waitMilliseconds(300);  // anything left over shows here
        watch.stop();
        cpu += watch.cpuUsed();
        system += watch.systemUsed();
        busy += watch.busySeconds();
        worstBusy = std::max(worstBusy, watch.busySeconds());
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["cpu_after_escape_ms"] = cpu / n * 1e3;
    state.counters["system_part_ms"] = system / n * 1e3;
    state.counters["busy_after_escape_ms"] = busy / n * 1e3;
    state.counters["worst_busy_ms"] = worstBusy * 1e3;
}

void engineOnly(benchmark::State& state) {
    MainWindow window;
    InputPanel* panel = window.findChild<InputPanel*>(QStringLiteral("frRight"));
    setBoxBound(*panel);
    const RunInputs inputs = panel->inputs();
    for (auto _ : state) benchmark::DoNotOptimize(runGeneration(inputs).table.size());
}

/**
 * A window holding 4,084,100 rows (octagonal, limits 10, theta 0 to 180, qi max 1E9), made
 * once for the cases below.
 */
MainWindow& fourMillionWindow() {
    static MainWindow* window = [] {
        auto* w = new MainWindow;
        w->resize(1200, 800);
        w->show();
        InputPanel* panel = w->findChild<InputPanel*>(QStringLiteral("frRight"));
        setBoxBound(*panel);
        for (int i = 0; i < 5; ++i) panel->loopLimitField(i)->setText(QStringLiteral("10"));
        panel->thetaMinField()->setText(QStringLiteral("0"));
        runAndPaint(*w);
        return w;
    }();
    return *window;
}

/** Lets the window paint what the last command changed. */
void settle(MainWindow& window) {
    QCoreApplication::processEvents();
    window.repaint();
}

void fourMillionSliderStep(benchmark::State& state) {
    MainWindow& window = fourMillionWindow();
    auto* slider = window.findChild<QScrollBar*>(QStringLiteral("slRFAC"));
    for (auto _ : state) {
        slider->setValue(slider->value() == 10 ? 11 : 10);
        settle(window);
    }
    state.counters["rows"] = static_cast<double>(window.session().reflectionCount());
}

void fourMillionInvertBackground(benchmark::State& state) {
    MainWindow& window = fourMillionWindow();
    for (auto _ : state) {
        window.findChild<QAction*>(QStringLiteral("Toolbar1Button5"))->trigger();
        settle(window);
    }
}

/** Press, ten moves of 8 pixels to the right, release: an 80-pixel drag of the 3D plot. */
void fourMillionDrag(benchmark::State& state) {
    MainWindow& window = fourMillionWindow();
    auto* box = window.findChild<QWidget*>(QStringLiteral("pb3D"));
    const QPointF start(box->width() / 4.0, box->height() / 2.0);
    const auto send = [box](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, box->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(box, &event);
        QCoreApplication::processEvents();
    };
    for (auto _ : state) {
        send(QEvent::MouseButtonPress, start, Qt::LeftButton);
        for (int step = 1; step <= 10; ++step)
            send(QEvent::MouseMove, start + QPointF(8.0 * step, 0.0), Qt::LeftButton);
        send(QEvent::MouseButtonRelease, start + QPointF(80.0, 0.0), Qt::NoButton);
        settle(window);
    }
}

/**
 * With the list file gone, a search for a text the report does not hold: every row is
 * searched. "peak_MB" is how far the search raised the process's peak memory.
 */
void fourMillionSearchRows(benchmark::State& state) {
    MainWindow& window = fourMillionWindow();
    QFile::remove(window.workingFile(QStringLiteral("tmp.hkl")));
    InputPanel* panel = window.findChild<InputPanel*>(QStringLiteral("frRight"));
    panel->searchField()->setText(QStringLiteral("no such text"));
    const auto peakKb = [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return static_cast<double>(usage.ru_maxrss);
    };
    const double before = peakKb();
    for (auto _ : state) window.findInList();
    state.counters["peak_MB"] = (peakKb() - before) / 1024.0;
}

void fourMillionCopyList(benchmark::State& state) {
    MainWindow& window = fourMillionWindow();
    QAction* copy = window.findChild<QAction*>(QStringLiteral("mnuFile10"));
    for (auto _ : state) copy->trigger();
}

}  // namespace

BENCHMARK_CAPTURE(windowRun, default_F5_to_pictures_and_list, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(windowRun, box_bound_F5_to_pictures_and_list, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(searchMiss)
    ->Name("box_bound_search_to_the_end")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(escapeToCancelled)
    ->Name("escape_to_cancelled")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(escapeCpu)
    ->Name("escape_cpu_20M_rows")
    ->Arg(200)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(5000)
    ->Arg(12000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(engineOnly)->Name("box_bound_engine_only")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(fourMillionSliderStep)
    ->Name("four_million_slider_step")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(4);
BENCHMARK(fourMillionInvertBackground)
    ->Name("four_million_invert_background")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(4);
BENCHMARK(fourMillionDrag)
    ->Name("four_million_drag_80px")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(2);
BENCHMARK(fourMillionSearchRows)
    ->Name("four_million_search_rows_to_the_end")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(2);
BENCHMARK(fourMillionCopyList)
    ->Name("four_million_copy_list")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(2);

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Never the settings of a real session: a fresh window every time.
    QTemporaryDir settings;
    if (!std::getenv("TESRAL_CONFIG_DIR"))
        setenv("TESRAL_CONFIG_DIR", qPrintable(settings.path()), 1);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
