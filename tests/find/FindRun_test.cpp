// A search: servers listed by a master and asked by the batch as they come.
#include "find/FindRun.h"
#include "tests/support/UdpResponder.h"
#include "tools/DemoMaster.h"
#include "tools/DemoServer.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <future>
#include <memory>
#include <thread>

using namespace qm;
using namespace qm::test;

namespace {

FindRun::Progress runToEnd(FindRun& run) {
    FindRun::Progress all;
    for (;;) {
        FindRun::Progress p = run.take();
        all.found.insert(all.found.end(), p.found.begin(), p.found.end());
        all.results.insert(all.results.end(), p.results.begin(), p.results.end());
        all.notes.insert(all.notes.end(), p.notes.begin(), p.notes.end());
        if (p.finished) return all;
        run.waitForProgress(100);
    }
}

// A source that lists nothing and ignores Cancel until it is let go.
class StuckSource : public ServerSource {
  public:
    explicit StuckSource(std::shared_future<void> release) : m_release(std::move(release)) {}
    void run(const Found&, const Note&) override { m_release.wait(); }
    void cancel() override {}

  private:
    std::shared_future<void> m_release;
};

} // namespace

TEST(FindRun, AsksEveryServerTheMasterListsAndOnlyThose) {
    std::vector<std::unique_ptr<UdpResponder>> servers;
    std::vector<Endpoint> listed;
    for (int i = 0; i < 40; ++i) {
        ServerInfo info;
        info.hostname = "Server " + std::to_string(i);
        auto demo = std::make_shared<DemoServer>(info, DemoProtocol::A2s);
        servers.push_back(
            std::make_unique<UdpResponder>([demo](const std::string& r) { return demo->answer(r, 0, 0); }));
        listed.push_back(Endpoint::fromDotted("127.0.0.1", servers.back()->port()));
    }
    auto demoMaster = std::make_shared<DemoMaster>(listed, ServerInfo{});
    UdpResponder master([demoMaster](const std::string& r) { return demoMaster->answer(r); });
    MasterSearchOptions options;
    options.pageWaitMs = 500;
    FindRun run(
        std::make_unique<MasterSource>(std::vector<std::string>{"127.0.0.1:" + std::to_string(master.port())},
                                       options, systemHostLookup),
        BatchOptions{}, systemHostLookup);
    const FindRun::Progress all = runToEnd(run);
    ASSERT_EQ(all.found.size(), listed.size());
    ASSERT_EQ(all.results.size(), listed.size());
    for (const BatchResult& r : all.results) {
        ASSERT_LT(r.index, all.found.size());
        EXPECT_TRUE(r.answer.answered()) << r.state;
        EXPECT_EQ(r.answer.summary().name.rfind("Server ", 0), 0u);
    }
    ASSERT_EQ(all.notes.size(), 1u);
    EXPECT_EQ(all.notes[0], "127.0.0.1:" + std::to_string(master.port()) + ": 40 servers");
}

TEST(FindRun, CancelDoesNotWaitForASourceThatCannotStop) {
    std::promise<void> release;
    {
        FindRun run(std::make_unique<StuckSource>(release.get_future().share()), BatchOptions{},
                    systemHostLookup);
        run.cancel();
        EXPECT_FALSE(run.take().listed);
    }
    // The source ends on its own, long after the run is gone.
    release.set_value();
}
