// The time from a delivery into the Maildir of the harness Dovecot to the count of an IMAP
// account changing: told at once by the server in IDLE (push), against the check timer. The
// timer's part is its interval, of which a delivery waits half on average, plus the check it
// runs: the check is measured, the interval is the shortest the program offers (1 minute).
// 10 deliveries each, in one run; medians.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "DovecotServer.h"
#include "MonitorFakes.h"
#include "app/composition/ImapMailboxWatch.h"
#include "app/composition/MailboxClient.h"
#include "app/composition/QelImapClient.h"
#include "mail/PosixTransport.h"
#include "mail/QelIMAP.h"
#include "platform/QueuedSynchronizer.h"

namespace {

using namespace monitor::test;
using Clock = std::chrono::steady_clock;

constexpr int kDeliveries = 10;
constexpr int kTimerMinutes = 1;

// A TVorla on one IMAP account of the server, checking through the program's clients and
// watching through its IDLE watch; the watch's reports are run whenever the monitor pumps.
class ImapMonitor : public MonitorTest {
public:
    explicit ImapMonitor(harness::DovecotServer& server)
        : m_imap(m_transports, pump),
          m_pop(m_transports, pump),
          m_imapClient(m_imap),
          m_popClient(m_pop),
          m_client(m_popClient, m_imapClient) {
        m_imap.TimeOut = m_pop.TimeOut = 10000;
        WriteSettings({}, {"announce_new =1", "minutes = " + std::to_string(kTimerMinutes)});
        WriteFile("Accounts.ini", server.Account(1, "Imap", server.ImapPort(),
                                                 "protocol = imap\r\nimap_count = all\r\n"));
        MakeVorla(m_client);
        jobs->Cycle.SetMailboxWatch(&watch);
        pump.onPump = [this] { windowThread.ProcessMessages(); };
    }
    ~ImapMonitor() override {
        jobs->Cycle.SetMailboxWatch(nullptr);
        vorla.reset();
        jobs.reset();
    }
    void TestBody() override {}

    int Count() const { return commun.Tables.AccountTable[0].LastCount; }

    platform::QueuedSynchronizer windowThread;
    app::ImapMailboxWatch watch{windowThread, windowThread};
    using MonitorTest::commun;
    using MonitorTest::jobs;
    using MonitorTest::vorla;

private:
    mail::PosixTransportFactory m_transports;
    mail::TQelIMAP m_imap;
    mail::TQelPOP m_pop;
    app::QelImapClient m_imapClient;
    app::QelPopClient m_popClient;
    app::MailboxClient m_client;
};

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string Message(int number) {
    return "From: Sender <s@example.org>\r\nSubject: delivery " + std::to_string(number) +
           "\r\nMessage-ID: <" + std::to_string(number) + "@push-bench>\r\n\r\nbody\r\n";
}

// Push: from the delivery until the count has changed, the window thread only waiting for the
// watch's report and running it.
bool MeasurePush(harness::DovecotServer& server, ImapMonitor& monitor, int number,
                 std::vector<double>& times) {
    const int before = monitor.Count();
    const Clock::time_point start = Clock::now();
    server.AddMessage(Message(number));
    while (monitor.Count() == before) {
        if (Clock::now() - start > std::chrono::seconds(30)) {
            return false;
        }
        if (monitor.windowThread.WaitForCall(std::chrono::milliseconds(100))) {
            monitor.windowThread.ProcessMessages();
        }
    }
    times.push_back(Ms(Clock::now() - start));
    return true;
}

// The timer: the check that its tick runs after the delivery.
bool MeasureTimerCheck(harness::DovecotServer& server, ImapMonitor& monitor, int number,
                       std::vector<double>& times) {
    const int before = monitor.Count();
    const Clock::time_point start = Clock::now();
    server.AddMessage(Message(number));
    monitor.jobs->Cycle.TimerTimer();
    times.push_back(Ms(Clock::now() - start));
    return monitor.Count() != before;
}

}  // namespace

int main() {
    harness::DovecotServer server;
    server.AddMessage(Message(0));
    ImapMonitor monitor(server);
    if (!monitor.vorla->FormCreate()) {
        std::fprintf(stderr, "start-up failed\n");
        return 1;
    }
    monitor.jobs->Cycle.ConnectClick();
    if (!monitor.commun.IsConnected) {
        std::fprintf(stderr, "not connected: %s\n", monitor.commun.ErrorNotice().c_str());
        return 1;
    }
    // The IDLE connection opens after the first check.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    std::vector<double> push;
    std::vector<double> check;
    int number = 1;
    for (int i = 0; i < kDeliveries; ++i, ++number) {
        if (!MeasurePush(server, monitor, number, push)) {
            std::fprintf(stderr, "push: no change within 30 s\n");
            return 1;
        }
    }
    // Without the watch, so that only the tick checks.
    monitor.jobs->Cycle.StopWatch();
    for (int i = 0; i < kDeliveries; ++i, ++number) {
        if (!MeasureTimerCheck(server, monitor, number, check)) {
            std::fprintf(stderr, "timer: the check did not see the delivery\n");
            return 1;
        }
    }
    const double interval = kTimerMinutes * 60000.0;
    const double checkMs = Median(check);
    std::printf("push (IDLE):  delivery to count changed, median %.1f ms (min %.1f, max %.1f)\n",
                Median(push), *std::min_element(push.begin(), push.end()),
                *std::max_element(push.begin(), push.end()));
    std::printf(
        "timer (%d minute interval): the check of a tick, median %.1f ms; delivery to "
        "count changed %.1f ms on average (half the interval plus the check), "
        "%.1f ms at worst\n",
        kTimerMinutes, checkMs, interval / 2 + checkMs, interval + checkMs);
    std::printf("push is %.0f times sooner on average\n", (interval / 2 + checkMs) / Median(push));
    monitor.vorla->ShutDown();
    return 0;
}
