// How close the shown ping comes to a server's real delay on the loopback. The counter
// "error_ms" is the shown ping minus the delay; it should stay within a few milliseconds.
#include "query/DemoServer.h"
#include "query/InfoQuery.h"
#include "query/InfoReply.h"
#include "query/TIdUDPClient.h"
#include "tests/support/UdpResponder.h"

#include <benchmark/benchmark.h>

namespace {

// The second argument 1 plays a server of today: the challenge round trip must not count
// in the ping.
void BM_PingAccuracy(benchmark::State& state) {
    const auto delay = std::chrono::milliseconds(state.range(0));
    const qm::DemoServer demo(qm::ServerInfo(),
                              state.range(1) ? qm::DemoProtocol::A2s : qm::DemoProtocol::Legacy);
    qm::test::UdpResponder server([&](const std::string& r) { return demo.answer(r, 0, 0); }, delay);
    qm::TIdUDPClient client;
    qm::SteadyClock clock;
    double error = 0;
    int rounds = 0;
    for (auto _ : state) {
        const auto shown =
            qm::runInfoExchange(client, "127.0.0.1", server.port(), clock, clock.frequency() / 1000);
        error += std::stod(shown.pingText) - static_cast<double>(delay.count());
        ++rounds;
    }
    state.counters["error_ms"] = error / rounds;
}
BENCHMARK(BM_PingAccuracy)->ArgsProduct({{0, 20, 50}, {0, 1}})->Iterations(20)->Unit(benchmark::kMillisecond);

} // namespace
