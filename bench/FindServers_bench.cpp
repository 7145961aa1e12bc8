// Servers found through a master and asked, each with its ping: the Find servers window
// over 10,000 demo servers beside quakestat listing the same master and asking its list.
#include "app/ServerStatusModel.h"
#include "app/StatusTable.h"
#include "app/TfmFindServers.h"
#include "app/TfmMain.h"
#include "bench/BenchSupport.h"
#include "bench/TableRow.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <QEventLoop>
#include <QLineEdit>
#include <QRadioButton>
#include <QSortFilterProxyModel>
#include <QSpinBox>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

constexpr int kFirstPort = 20000; // below the ephemeral ports, so nothing else holds them

// The demo servers of a range with a master listing them.
class DemoMasterRange {
  public:
    explicit DemoMasterRange(int count)
        : m_process({QM_DEMO_SERVER, "--ports",
                     std::to_string(kFirstPort) + "-" + std::to_string(kFirstPort + count - 1), "--master",
                     "--master-port", "0"}) {
        const std::string line = m_process.readLine();
        m_master = line.substr(line.find("master on ") + 10);
    }
    const std::string& master() const { return m_master; }

  private:
    qm::test::ChildProcess m_process;
    std::string m_master;
};

double secondsOf(const std::string& command, size_t* answered = nullptr) {
    const auto start = std::chrono::steady_clock::now();
    FILE* out = ::popen(command.c_str(), "r");
    char line[4096];
    size_t hits = 0;
    while (out && std::fgets(line, sizeof line, out))
        hits += std::string(line).find("no response") == std::string::npos &&
                std::string(line).find("127.0.0.1:") != std::string::npos;
    if (out) ::pclose(out);
    if (answered) *answered = hits;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

constexpr const char* kOperation = "find: a master's list into the table, every server pinged";

// Ours: the Find servers window, from the click on Find to the last ping in the table.
void findWindow(benchmark::State& state) {
    qm::bench::application();
    const int count = static_cast<int>(state.range(0));
    const DemoMasterRange range(count);
    qm::bench::BenchWindowEnvironment bench;
    qm::TfmMain window(bench.env);
    window.show();
    window.bbFindServersClick();
    qm::TfmFindServers& find = *window.fmFindServers;
    find.rbTypedMasters->setChecked(true);
    find.edMasters->setText(QString::fromStdString(range.master()));
    find.seFindLimit->setValue(count);
    size_t pinged = 0;
    for (auto _ : state) {
        QEventLoop untilDone;
        QObject::connect(&find, &qm::TfmFindServers::searched, &untilDone, &QEventLoop::quit);
        find.bbFindClick();
        if (find.finding()) untilDone.exec();
        pinged = 0;
        for (size_t r = 0; r < find.model().size(); ++r)
            pinged += find.model().row(r).pingMs >= 0;
    }
    state.counters["found"] = static_cast<double>(find.model().size());
    state.counters["with_ping"] = static_cast<double>(pinged);
}

// The peer: quakestat lists the same master into a file, then asks every server of it.
void quakestatListAndAsk(benchmark::State& state) {
    const DemoMasterRange range(static_cast<int>(state.range(0)));
    qm::test::TempDir dir;
    const std::string list = dir.file("list.txt");
    size_t answered = 0;
    double listing = 0;
    for (auto _ : state) {
        listing = secondsOf("quakestat -hla2sm,outfile " + range.master() + "," + list + " >/dev/null 2>&1");
        const double asking =
            secondsOf("quakestat -default a2s -nh -maxsim 32 -f " + list + " 2>/dev/null", &answered);
        state.SetIterationTime(listing + asking);
    }
    state.counters["listing_s"] = listing;
    state.counters["answered"] = static_cast<double>(answered);
}

constexpr const char* kHeldOperation = "find: 100,000 found servers held and sorted by name (peak memory)";

// 100,000 servers as Steam's list describes them: address, name, map, counts, game.
std::vector<qm::ListedServer> manyListed() {
    std::vector<qm::ListedServer> listed(100'000);
    for (size_t i = 0; i < listed.size(); ++i) {
        qm::ListedServer& s = listed[i];
        s.address = {static_cast<uint32_t>(0x01000000 + i), static_cast<uint16_t>(27015 + i % 100)};
        s.described = true;
        s.summary = {"Server number " + std::to_string(i * 7919 % 100'000) + " | public | 24/7", "de_dust2",
                     std::to_string(i % 32), "32", "0"};
        s.gameDir = "cstrike";
    }
    return listed;
}

// Ours: the Find window's table (model, sorting, view) holding them, sorted by name.
void heldInTheTable(benchmark::State& state) {
    qm::bench::application();
    const std::vector<qm::ListedServer> listed = manyListed();
    double peak = 0;
    for (auto _ : state) {
        qm::bench::resetPeakMemory();
        const double before = qm::bench::memoryKib("VmRSS:");
        {
            QWidget parent;
            const qm::StatusTable table = qm::makeStatusTable(&parent, "tvFoundServers", true);
            table.model->append(listed);
            table.sorted->sort(qm::ServerStatusModel::Name);
            benchmark::DoNotOptimize(table.sorted->index(0, 0).data());
            peak = (qm::bench::memoryKib("VmHWM:") - before) / 1024.0;
        }
    }
    state.counters["peak_MiB"] = peak;
}

// The floor: the same servers copied into a plain vector and sorted by name.
void heldInAVector(benchmark::State& state) {
    const std::vector<qm::ListedServer> listed = manyListed();
    double peak = 0;
    for (auto _ : state) {
        qm::bench::resetPeakMemory();
        const double before = qm::bench::memoryKib("VmRSS:");
        {
            std::vector<qm::ListedServer> copy = listed;
            std::sort(copy.begin(), copy.end(), [](const qm::ListedServer& a, const qm::ListedServer& b) {
                return a.summary.name < b.summary.name;
            });
            benchmark::DoNotOptimize(copy.data());
            peak = (qm::bench::memoryKib("VmHWM:") - before) / 1024.0;
        }
    }
    state.counters["peak_MiB"] = peak;
}

const qm::bench::TableRows kRows([] {
    qm::bench::tableRow(kHeldOperation, qm::bench::kOurs, 100000, heldInTheTable)->Iterations(3);
    qm::bench::tableRow(kHeldOperation, "a vector of the same servers, std::sort", 100000, heldInAVector)
        ->Iterations(3);
    qm::bench::tableRow(kOperation, qm::bench::kOurs, 10000, findWindow)->Arg(10000)->Iterations(2);
    qm::bench::tableRow(kOperation, "quakestat -hla2sm, then -f", 10000, quakestatListAndAsk,
                        qm::bench::Timing::Manual)
        ->Arg(10000)
        ->Iterations(2);
});

} // namespace
