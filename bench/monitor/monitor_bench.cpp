// One account check (connect, USER, PASS, STAT, LAST, QUIT and the window updates) through
// TVorla against the harness Dovecot, 20 repetitions reported with their median; then the
// same commands through Python's poplib against the same server, before and after.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <iostream>
#include <memory>

#include "DovecotServer.h"
#include "MonitorFakes.h"
#include "app/composition/ComponentAdapters.h"
#include "mail/PosixTransport.h"
#include "mail/QelPOP3.h"
#include "settings/Scramble.h"

namespace {

using namespace monitor;
using namespace monitor::test;

harness::DovecotServer* g_server = nullptr;

struct Monitor {
    Monitor()
        : folder(harness::MakeTempFolder("vorla-monitor-bench")),
          pop(transports, pump),
          popClient(pop) {
        pop.TimeOut = 10000;
        Write("Vorla.ini", "current_skin = " VORLA_SKINS "/default/\r\n");
        Write("Accounts.ini",
              "[Account1]\r\nacc_name = Dove\r\nhost_name = 127.0.0.1\r\nuser_name = " +
                  g_server->User() +
                  "\r\npassword = " + settings::ScramblePassword(g_server->Pass()) +
                  "\r\nport_number = " + std::to_string(g_server->Port()) + "\r\n");
        vorla = std::make_unique<TVorla>(commun,
                                         MonitorParts{view, popClient, dialUp, downloader, timer,
                                                      tickerTimers, pump, shell, autorun, mailto},
                                         folder + "/");
        vorla->SetMessageWindow(messageWindow);
    }
    ~Monitor() {
        vorla.reset();
        harness::RemoveTree(folder);
    }
    void Write(const std::string& name, const std::string& text) {
        std::ofstream(folder + "/" + name, std::ios::binary) << text;
    }

    std::string folder;
    Commun commun;
    RecordingView view;
    testsupport::FakeEventPump pump;
    FakeDialUp dialUp;
    FakeDownloader downloader;
    FakeTimer timer;
    FakeMessageWindow messageWindow;
    testsupport::RecordingShell shell;
    testsupport::RecordingAutorun autorun;
    testsupport::FakeMailto mailto;
    platform::IdleTimerHost tickerTimers;
    mail::PosixTransportFactory transports;
    mail::TQelPOP pop;
    app::QelPopClient popClient;
    std::unique_ptr<TVorla> vorla;
};

void BM_TVorlaAccountCheck(benchmark::State& state) {
    Monitor monitor;
    if (!monitor.vorla->FormCreate()) {
        state.SkipWithError("start-up failed");
        return;
    }
    monitor.vorla->Cycle().ConnectClick();
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
