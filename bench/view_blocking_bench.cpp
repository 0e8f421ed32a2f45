// How long the powder and zone-axis views hold the user-interface thread while they work
// out a large pattern (icosahedral a = 4.46891, qi max 6): a 5 ms timer records the longest
// gap between its ticks from the start of the work to its result.

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "app/calculation_document.h"
#include "app/command.h"
#include "app/powder_window.h"
#include "app/window_session.h"
#include "app/zone_window.h"

using namespace tesral;

namespace {

/** The longest gap (ms) between timer ticks while `busy` says the view works. */
template <class Start, class Busy>
double longestGap(Start start, Busy busy, double& total) {
    QElapsedTimer clock, since;
    double longest = 0.0;
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, since.nsecsElapsed() / 1e6);
        since.restart();
    });
    clock.start();
    since.start();
    tick.start();
    start();
    longest = std::max(longest, since.nsecsElapsed() / 1e6);  // the start itself
    since.restart();
    while (busy()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    total = clock.nsecsElapsed() / 1e6;
    return longest;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir folder;
    WindowSession session(folder.path());
    CalculationDocument document;
    CommandContext context;
    context.session = &session;
    context.document = &document;
    RunInputs in;
    in.system = QuasicrystalSystem::Icosahedral;
    in.groupPosition = 0;
    in.a = "4.46891";
    in.wavelength = "1.5406";
    in.qiMax = std::string("6");
    std::string error;
    auto calculation = physics::calculationFrom(in, std::nullopt, error);
    if (!calculation) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    document.setShown(*calculation);

    PowderWindow powder(context);
    powder.show();
    double total = 0.0;
    double gap = longestGap([&] { powder.calculate(); }, [&] { return powder.computing(); }, total);
    std::printf("powder view: %.0f ms of work, longest event-loop gap %.1f ms; %s\n", total, gap,
                qPrintable(powder.statusText()));
    powder.hide();

    ZoneAxisWindow zone(context);
    zone.show();
    zone.waitForSection();
    gap = longestGap([&] { zone.drawSection(); }, [&] { return zone.computing(); }, total);
    std::printf("zone view: %.0f ms of work, longest event-loop gap %.1f ms; %s\n", total, gap,
                qPrintable(zone.statusText()));
    return 0;
}
