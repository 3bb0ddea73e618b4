// One account check (connect, USER, PASS, STAT, LAST, QUIT and the window updates) through
// TVorla against the harness Dovecot, 20 repetitions reported with their median; then the
// same commands through Python's poplib against the same server, before and after.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <iostream>
#include <memory>

#include "DovecotMonitor.h"

namespace {

using namespace monitor;
using namespace monitor::test;

harness::DovecotServer* g_server = nullptr;

void BM_TVorlaAccountCheck(benchmark::State& state) {
    DovecotMonitor monitor(*g_server, 10000);
    if (!monitor.vorla->FormCreate()) {
        state.SkipWithError("start-up failed");
        return;
    }
    monitor.jobs->Cycle.ConnectClick();
    if (!monitor.commun.IsConnected || monitor.commun.WaitingCount != 3) {
        state.SkipWithError(("not connected: " + monitor.commun.ErrorNotice()).c_str());
        return;
    }
    for (auto _ : state) {
        monitor.vorla->CheckNextAccount(true);
        if (monitor.commun.Tables.AccountTable[0].LastCount != 3) {
            state.SkipWithError(("check failed: " + monitor.commun.ErrorNotice()).c_str());
            break;
        }
    }
}
BENCHMARK(BM_TVorlaAccountCheck)
    ->Iterations(1)
    ->Repetitions(20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void RunPoplib() {
    const std::string command = std::string("/usr/bin/python3 ") + VORLA_POPLIB_SCRIPT +
                                " --port " + std::to_string(g_server->Port()) + " --user " +
                                g_server->User() + " --password " + g_server->Pass() + " --runs 20";
    FILE* pipe = popen(command.c_str(), "r");
    char line[256];
    while (pipe && fgets(line, sizeof line, pipe)) {
        std::cout << line;
    }
    if (!pipe || pclose(pipe) != 0) {
        std::cout << "poplib_check failed\n";
    }
}

}  // namespace

int main(int argc, char** argv) {
    harness::DovecotServer server;
    for (const char* subject : {"one", "two", "three"}) {
        server.AddMessage(std::string("Subject: ") + subject +
                          "\r\nFrom: a@example.org\r\n\r\nbody\r\n");
    }
    g_server = &server;
    // Before and after, so that a warm-up of the server does not favour one side.
    RunPoplib();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    RunPoplib();
    g_server = nullptr;
    return 0;
}
