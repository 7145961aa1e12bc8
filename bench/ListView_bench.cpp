// The server list box filled with n entries and painted, beside a plain QListView over a
// QStringListModel given the same texts.
#include "bench/BenchSupport.h"
#include "bench/TableRow.h"
#include "ui/CheckListBox.h"

#include <QListView>
#include <QStringListModel>

#include <memory>

namespace {

std::vector<std::string> entries(size_t n) {
    std::vector<std::string> out;
    for (size_t i = 0; i < n; ++i)
        out.push_back(std::to_string(200 - i % 200) + "." + std::to_string(i / 65536 % 256) + "." +
                      std::to_string(i / 256 % 256) + "." + std::to_string(i % 256) + ":27015 cstrike");
    return out;
}

// The size of the list box in the main window.
constexpr int kWidth = 200;
constexpr int kHeight = 330;

const qm::bench::TableRows rows([] {
    for (const int64_t n : {10000, 100000}) {
        const auto texts = std::make_shared<std::vector<std::string>>(entries(static_cast<size_t>(n)));
        qm::bench::tableRow("list box: filled and painted", qm::bench::kOurs, n,
                            [texts](benchmark::State& state) {
                                qm::bench::application();
                                for (auto _ : state) {
                                    auto list = std::make_unique<qm::ServerList>();
                                    auto box = std::make_unique<qm::CheckListBox>(*list, nullptr);
                                    box->resize(kWidth, kHeight);
                                    box->show();
                                    list->addAndCheckAll(*texts);
                                    benchmark::DoNotOptimize(box->grab());
                                    state.PauseTiming();
                                    box.reset();
                                    list.reset();
                                    state.ResumeTiming();
                                }
                            })
            ->Iterations(10);
        qm::bench::tableRow("list box: filled and painted", "QListView + QStringListModel", n,
                            [texts](benchmark::State& state) {
                                qm::bench::application();
                                QStringList strings;
                                for (const std::string& t : *texts)
                                    strings.append(
                                        QString::fromLatin1(t.data(), static_cast<qsizetype>(t.size())));
                                for (auto _ : state) {
                                    auto model = std::make_unique<QStringListModel>();
                                    auto view = std::make_unique<QListView>();
                                    // Every row is one line of text: a fair plain view says so.
                                    view->setUniformItemSizes(true);
                                    view->setModel(model.get());
                                    view->resize(kWidth, kHeight);
                                    view->show();
                                    model->setStringList(strings);
                                    benchmark::DoNotOptimize(view->grab());
                                    state.PauseTiming();
                                    view.reset();
                                    model.reset();
                                    state.ResumeTiming();
                                }
                            })
            ->Iterations(10);
    }
});

} // namespace
