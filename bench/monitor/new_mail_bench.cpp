// One account check of a 10,000-message mailbox on the harness Dovecot with 3 new messages:
// deciding by unique ids (UIDL, the seen set, TOP of the new ones) against the count rule
// (STAT only), in the same run and on the same server. 20 repetitions each, with medians;
// the ratio of the two medians is the cost of telling what is new.
#include <benchmark/benchmark.h>

#include <string>

#include "DovecotMonitor.h"

namespace {

using namespace monitor;
using namespace monitor::test;

constexpr int kMailbox = 10000;
constexpr int kNew = 3;

harness::DovecotServer* g_server = nullptr;
int g_added = 0;

void AddMessages(int count) {
    for (int i = 0; i < count; ++i, ++g_added) {
        g_server->AddMessage("From: Sender " + std::to_string(g_added) +
                             " <s@example.org>\r\nSubject: message " + std::to_string(g_added) +
                             "\r\nMessage-ID: <" + std::to_string(g_added) +
                             "@bench>\r\n\r\nbody\r\n");
    }
}

void CheckWithNewMail(benchmark::State& state, bool announceNew) {
    DovecotMonitor monitor(*g_server, 60000, {announceNew ? "announce_new =1" : "announce_new =0"});
    if (!monitor.vorla->FormCreate()) {
        state.SkipWithError("start-up failed");
        return;
    }
    // The first check sees the whole mailbox (and keeps its ids).
    monitor.jobs->Cycle.ConnectClick();
    if (!monitor.commun.IsConnected) {
        state.SkipWithError(("not connected: " + monitor.commun.ErrorNotice()).c_str());
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        AddMessages(kNew);
        state.ResumeTiming();
        monitor.vorla->CheckNextAccount(true);
        const auto& announcer = monitor.jobs->Announcer;
        if (monitor.commun.Tables.AccountTable[0].LastCount != g_added ||
            (announceNew && announcer.NewMessages().size() != kNew)) {
            state.SkipWithError(("check failed: " + monitor.commun.ErrorNotice()).c_str());
            break;
        }
    }
    state.counters["messages"] = g_added;
}

void BM_CheckByUniqueIds(benchmark::State& state) {
    CheckWithNewMail(state, true);
}
void BM_CheckByCount(benchmark::State& state) {
    CheckWithNewMail(state, false);
}
BENCHMARK(BM_CheckByCount)
    ->Iterations(1)
    ->Repetitions(20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_CheckByUniqueIds)
    ->Iterations(1)
    ->Repetitions(20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    harness::DovecotServer server;
    g_server = &server;
    AddMessages(kMailbox);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_server = nullptr;
    return 0;
}
