// The Update page showing a large update page: the whole check through the window (fetch
// from a loopback server, lines into the box) against Qt's own setPlainText of the same
// text. "rss_mb" is how far the process's resident memory grew over the check.
#include "app/TfmMain.h"
#include "bench/BenchSupport.h"
#include "bench/TableRow.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TcpTestServer.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <fstream>

namespace {

using qm::bench::application;
using qm::bench::residentMb;

std::string pageOf(size_t bytes) {
    std::string page = "Quillmark\n3.51\nQMbld\n100\n";
    for (size_t i = 0; page.size() < bytes; ++i)
        page +=
            "<p>Server " + std::to_string(i) + " 10.0.0." + std::to_string(i % 250) + ":27015 cstrike</p>\n";
    page.resize(bytes);
    return page;
}

void intoTheBox(benchmark::State& state, int mib) {
    application();
    const std::string page = pageOf(static_cast<size_t>(mib) << 20);
    qm::test::TcpTestServer server([&](qm::test::TcpTestServer::Connection& c) {
        while (!c.readRequest().empty())
            c.send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(page.size()) + "\r\n\r\n" + page);
    });
    qm::bench::BenchWindowEnvironment bench;
    qm::TfmMainEnvironment& env = bench.env;
    const std::string root = "http://127.0.0.1:" + std::to_string(server.port()) + "/";
    env.site = {"127.0.0.1", root, root + "update.html"};
    qm::TfmMain window(env);
    auto* box = window.findChild<QPlainTextEdit*>("mmUpdateInfo");
    double grown = 0;
    for (auto _ : state) {
        const double before = residentMb();
        window.findChild<QPushButton*>("bbCheck4Updates")->click();
        grown = std::max(grown, residentMb() - before);
        benchmark::DoNotOptimize(box->document()->blockCount());
    }
    state.counters["rss_mb"] = grown;
}

void setPlainText(benchmark::State& state, int mib) {
    application();
    const QString text = QString::fromUtf8(pageOf(static_cast<size_t>(mib) << 20));
    QPlainTextEdit box;
    for (auto _ : state) {
        box.setPlainText(text);
        benchmark::DoNotOptimize(box.document()->blockCount());
    }
}

const qm::bench::TableRows rows([] {
    for (const int mib : {1, 4, 15}) {
        qm::bench::tableRow("update check into the memo (MiB)", qm::bench::kOurs, mib,
                            [mib](benchmark::State& s) { intoTheBox(s, mib); })
            ->Iterations(3);
        qm::bench::tableRow("update check into the memo (MiB)", "setPlainText", mib,
                            [mib](benchmark::State& s) { setPlainText(s, mib); })
            ->Iterations(3);
    }
});

} // namespace
