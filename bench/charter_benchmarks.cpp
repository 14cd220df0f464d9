// SPDX-License-Identifier: MIT
// How long the program's own work takes when the clerk accepts a charter
// (validation, pricing, recording, formatting, the printed line, clearing),
// with nothing painted; and how long start-up takes next to an empty window
// with the same menu bar.

#include "core/accounting/running_totals.h"
#include "printing/print_service.h"
#include "ui/forms/frm_charter.h"
#include "ui/forms/frm_main.h"
#include "ui/program.h"
#include "ui/widgets/combo_box.h"

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <vector>

#include <benchmark/benchmark.h>

namespace {

class DiscardingPrinter final : public printing::DocumentSender {
public:
    printing::Delivery send(const reports::PrintDocument &, const QString &, printing::PrintWatcher *) override
    {
        return printing::Delivery::Printed;
    }
};

ui::Program::Parts discardingParts()
{
    ui::Program::Parts parts;
    parts.sender = std::make_unique<DiscardingPrinter>();
    return parts;
}

// Puts `waiting` charters in the totals and the print document, as after a
// busy day, so that later acceptances are measured against a full program.
void prepareDay(ui::Program &program, int waiting)
{
    auto &printer = program.printer();
    printer.endDoc(QStringLiteral("charters"));
    accounting::RunningTotals totals;
    const auto statement = reports::PrintStatement().moveTo(5).text(QStringLiteral("Earlier")).endLine();
    for (int i = 0; i < waiting; ++i) {
        totals.recordCharter(platform::Currency::fromInt16(2), platform::Currency::fromInt16(190));
        printer.print(statement);
    }
    program.totals() = totals;
}

void fillFields(forms::frmCharter &form, int variant)
{
    static const char *const hours[] = {"2.5", "4", "0.75", "12.25", "1"};
    form.txtName->setText(QStringLiteral("Customer %1").arg(variant));
    form.txtHours->setText(QString::fromLatin1(hours[variant % 5]));
    form.cboYacht->setListIndex(variant % form.cboYacht->listCount());
    form.cboSize->setListIndex(variant % form.cboSize->listCount());
}

// With the journal (the second argument), every charter is on disk, with
// fdatasync, before the fields clear: the median and the 99th percentile of
// one acceptance are reported as counters, as a clerk meets it.
void BM_AcceptCharter(benchmark::State &state)
{
    const int waiting = static_cast<int>(state.range(0));
    ui::Program program(discardingParts(), platform::RegionalFormat("en_US"));
    const QTemporaryDir state_folder;
    if (state.range(1) != 0)
        program.printer().setJournal(std::make_unique<printing::UnprintedJournal>(state_folder.path()));
    auto &form = program.frmCharter();
    program.frmMain();
    prepareDay(program, waiting);
    int accepted = waiting;
    std::vector<double> microseconds;
    for (auto _ : state) {
        state.PauseTiming();
        if (accepted == accounting::RunningTotals::kMaxCharters) {
            prepareDay(program, waiting);
            accepted = waiting;
        }
        fillFields(form, accepted);
        state.ResumeTiming();
        const auto started = std::chrono::steady_clock::now();
        form.cmdOK_Click();
        microseconds.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - started).count());
        ++accepted;
    }
    if (program.totals().charterCount() != accepted)
        state.SkipWithError("a charter was refused");
    std::ranges::sort(microseconds);
    if (!microseconds.empty()) {
        state.counters["median_us"] = microseconds[microseconds.size() / 2];
        state.counters["p99_us"] = microseconds[microseconds.size() * 99 / 100];
    }
}
BENCHMARK(BM_AcceptCharter)
    ->ArgsProduct({{0, 16000, 32000}, {0, 1}})
    ->ArgNames({"waiting", "journal"})
    ->Unit(benchmark::kMicrosecond);

void BM_StartMainWindow(benchmark::State &state)
{
    for (auto _ : state) {
        auto program = std::make_unique<ui::Program>(discardingParts(), platform::RegionalFormat("en_US"));
        program->frmMain().show();
        QApplication::processEvents();
        state.PauseTiming();
        program.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartMainWindow)->Unit(benchmark::kMicrosecond);

// The yardstick: an empty main window with the same menus.
void BM_StartEmptyWindowWithTheSameMenus(benchmark::State &state)
{
    for (auto _ : state) {
        auto window = std::make_unique<QMainWindow>();
        QMenu *file = window->menuBar()->addMenu(QStringLiteral("&File"));
        file->addAction(QStringLiteral("&New Charter"));
        file->addSeparator();
        file->addAction(QStringLiteral("&Print Summary"));
        file->addAction(QStringLiteral("Print &Yacht Types"));
        file->addSeparator();
        file->addAction(QStringLiteral("E&xit"));
        window->menuBar()->addMenu(QStringLiteral("&Help"))->addAction(QStringLiteral("&About"));
        window->resize(315, 280);
        window->show();
        QApplication::processEvents();
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartEmptyWindowWithTheSameMenus)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
