// The monitor with the real POP3 client against servers that fail on 127.0.0.1, and a name
// that never resolves: no fault escapes, the window is pumped during every wait, and the check
// gives up at its time-out or at once when Disconnect or Exit aborts it. Each test prints the
// longest time without a pump and the time until the check ended.
#include <future>
#include <iostream>

#include "MonitorFakes.h"
#include "PopFaultServer.h"
#include "RunVorlaCheck.h"
#include "app/composition/ComponentAdapters.h"
#include "mail/PosixTransport.h"
#include "mail/QelPOP3.h"

namespace monitor::test {
namespace {

using Behaviour = harness::PopFaultServer::Behaviour;

// A resolver that is asked and never answers (the promises are kept until the end).
class NeverResolver final : public mail::NameResolver {
public:
    std::future<mail::LookupResult> Lookup(const std::string& hostName, std::uint16_t) override {
        asked.push_back(hostName);
        m_pending.emplace_back();
        return m_pending.back().get_future();
    }
    std::vector<std::string> asked;

private:
    std::vector<std::promise<mail::LookupResult>> m_pending;
};

class FaultServersTest : public MonitorTest {
protected:
    static constexpr std::uint32_t kTimeOutMs = 1000;

    FaultServersTest() : transports(resolver), realPop(transports, pump), popClient(realPop) {
        realPop.TimeOut = kTimeOutMs;
        MakeVorla(popClient);
    }

    void StartOn(const std::string& host, std::uint16_t port) {
        WriteSettings({}, {"autocheck =1"});
        WriteFile("Accounts.ini", "[Account1]\r\nacc_name = Box\r\nhost_name = " + host +
                                      "\r\nuser_name = u\r\nport_number = " + std::to_string(port) +
                                      "\r\n");
        ASSERT_TRUE(vorla->FormCreate());
    }

    // Runs action with the pump's clock started and prints the two numbers of the case.
    void Measure(const std::string& name, const std::function<void()>& action) {
        pump.StartTiming();
        EXPECT_NO_THROW(action());
        gapMs = pump.MaxGapMs();
        elapsedMs = pump.ElapsedMs();
        std::cout << "[ measure  ] " << name << ": longest time without a pump " << gapMs
                  << " ms, ended after " << elapsedMs << " ms\n";
        RecordProperty("max_gap_ms", static_cast<int>(gapMs));
        RecordProperty("elapsed_ms", static_cast<int>(elapsedMs));
    }

    // Clicks once from the pump, after the check has waited for delayMs.
    void ClickDuringTheWait(long long delayMs, std::function<void()> click) {
        clicked = false;
        pump.onPump = [this, delayMs, click] {
            if (!clicked && jobs->Guard.Busy() && pump.ElapsedMs() >= delayMs) {
                clicked = true;
                click();
            }
        };
    }

    bool ErrorSays(const std::string& text) const {
        return jobs->Shared.ErrorNotice().find(text) != std::string::npos;
    }

    NeverResolver resolver;
    mail::PosixTransportFactory transports;
    mail::TQelPOP realPop;
    app::QelPopClient popClient;
    long long gapMs = 0;
    long long elapsedMs = 0;
    bool clicked = false;
};

TEST_F(FaultServersTest, ResetAtTheGreeting) {
    harness::PopFaultServer probeServer({Behaviour::ResetAtGreeting});
    StartOn("127.0.0.1", probeServer.Port());
    Measure("reset at the greeting, Connect", [&] { jobs->Cycle.ConnectClick(); });
    EXPECT_FALSE(jobs->Shared.IsConnected);
    EXPECT_TRUE(ErrorSays("Connection reset by peer")) << jobs->Shared.ErrorNotice();
    EXPECT_TRUE(view.With("message ").empty());
    EXPECT_EQ(view.calls.back(), "buttons on");

    harness::PopFaultServer checkServer(
        {Behaviour::Answer, Behaviour::Answer, Behaviour::ResetAtGreeting});
    jobs->Shared.Tables.AccountTable[0].port_number = checkServer.Port();
    jobs->Cycle.ConnectClick();
    ASSERT_TRUE(jobs->Shared.IsConnected) << jobs->Shared.ErrorNotice();
    ASSERT_EQ(jobs->Shared.WaitingCount, 3);
    Measure("reset at the greeting, timer check", [&] { jobs->Cycle.TimerTimer(); });
    EXPECT_EQ(jobs->Shared.Tables.AccountTable[0].LastCount, settings::kCheckFailed);
    EXPECT_TRUE(ErrorSays("Connection reset by peer")) << jobs->Shared.ErrorNotice();
    EXPECT_TRUE(timer.enabled);
    EXPECT_TRUE(jobs->Ticker.Scroll.Enabled());
    EXPECT_LE(elapsedMs, static_cast<long long>(kTimeOutMs));
}

TEST_F(FaultServersTest, ServerThatNeverAnswers) {
    harness::PopFaultServer server({Behaviour::Answer, Behaviour::Answer, Behaviour::Silent});
    StartOn("127.0.0.1", server.Port());
    jobs->Cycle.ConnectClick();
    ASSERT_TRUE(jobs->Shared.IsConnected) << jobs->Shared.ErrorNotice();

    Measure("silent server, timer check until the time-out", [&] { jobs->Cycle.TimerTimer(); });
    EXPECT_GE(elapsedMs, static_cast<long long>(kTimeOutMs));
    EXPECT_TRUE(ErrorSays("timed out")) << jobs->Shared.ErrorNotice();
    EXPECT_EQ(jobs->Shared.Tables.AccountTable[0].LastCount, settings::kCheckFailed);
    EXPECT_TRUE(timer.enabled);
}

TEST_F(FaultServersTest, DisconnectOrExitEndTheWaitAtOnce) {
    harness::PopFaultServer server({Behaviour::Answer, Behaviour::Answer, Behaviour::Silent,
                                    Behaviour::Answer, Behaviour::Answer, Behaviour::Silent});
    StartOn("127.0.0.1", server.Port());
    realPop.TimeOut = 60000;
    jobs->Cycle.ConnectClick();
    ASSERT_TRUE(jobs->Shared.IsConnected) << jobs->Shared.ErrorNotice();

    ClickDuringTheWait(200, [this] { jobs->Cycle.DisconnectClick(); });
    Measure("silent server, Disconnect after 200 ms", [&] { jobs->Cycle.TimerTimer(); });
    EXPECT_LT(elapsedMs, 10000) << "ended by the click, far before the time-out";
    EXPECT_TRUE(ErrorSays("Operation canceled")) << jobs->Shared.ErrorNotice();
    EXPECT_FALSE(jobs->Shared.IsConnected) << "the disconnect ran after the check";

    jobs->Cycle.ConnectClick();
    ASSERT_TRUE(jobs->Shared.IsConnected) << jobs->Shared.ErrorNotice();
    ClickDuringTheWait(200, [this] { vorla->Exit1Click(); });
    Measure("silent server, Exit after 200 ms", [&] { jobs->Cycle.TimerTimer(); });
    EXPECT_LT(elapsedMs, 10000);
    EXPECT_EQ(view.Count("close"), 1);
    EXPECT_FALSE(jobs->Guard.Busy());
}

TEST_F(FaultServersTest, NameThatNeverResolves) {
    StartOn("pop.nowhere.lan", 110);
    Measure("name that never resolves, Connect", [&] { jobs->Cycle.ConnectClick(); });
    EXPECT_EQ(resolver.asked, std::vector<std::string>{"pop.nowhere.lan"});
    EXPECT_GE(elapsedMs, static_cast<long long>(kTimeOutMs));
    EXPECT_FALSE(jobs->Shared.IsConnected);
    EXPECT_TRUE(ErrorSays("no answer for pop.nowhere.lan in time")) << jobs->Shared.ErrorNotice();
    EXPECT_EQ(view.calls.back(), "buttons on");

    realPop.TimeOut = 60000;
    ClickDuringTheWait(200, [this] { jobs->Cycle.DisconnectClick(); });
    Measure("name that never resolves, Disconnect after 200 ms",
            [&] { jobs->Cycle.ConnectClick(); });
    EXPECT_LT(elapsedMs, 10000);
    EXPECT_TRUE(ErrorSays("Operation canceled")) << jobs->Shared.ErrorNotice();
}

TEST_F(FaultServersTest, ReservedNamesAreNeverLookedUp) {
    for (const std::string host : {"pop.example", "mail.Invalid.", "x.test"}) {
        SCOPED_TRACE(host);
        MakeVorla(popClient);
        StartOn(host, 110);
        Measure("reserved name " + host, [&] { jobs->Cycle.ConnectClick(); });
        EXPECT_TRUE(ErrorSays("is under a reserved domain and is never looked up"))
            << jobs->Shared.ErrorNotice();
        EXPECT_LT(elapsedMs, static_cast<long long>(kTimeOutMs));
    }
    EXPECT_TRUE(resolver.asked.empty());
}

TEST_F(FaultServersTest, SystemResolverFindsAHostName) {
    harness::PopFaultServer server({Behaviour::Answer});
    mail::PosixTransportFactory system;
    mail::TQelPOP systemPop(system, pump);
    app::QelPopClient systemClient(systemPop);
    MakeVorla(systemClient);
    StartOn("localhost", server.Port());
    jobs->Cycle.ConnectClick();
    EXPECT_TRUE(jobs->Shared.IsConnected) << jobs->Shared.ErrorNotice();
    EXPECT_EQ(jobs->Shared.WaitingCount, 3);
    MakeVorla(popClient);
}

TEST_F(FaultServersTest, VorlaCheckEndsNormallyAgainstFaultyServers) {
    harness::PopFaultServer reset({Behaviour::ResetAtGreeting});
    harness::PopFaultServer silent({Behaviour::Silent});
    for (const auto* server : {&reset, &silent}) {
        WriteSettings({}, {});
        WriteFile("Accounts.ini",
                  "[Account1]\r\nacc_name = Box\r\nhost_name = 127.0.0.1\r\n"
                  "user_name = u\r\nport_number = " +
                      std::to_string(server->Port()) + "\r\n");
        int status = -1;
        const std::string output =
            RunVorlaCheck(Folder() + " --ticks 1 --no-news --timeout 500", status);
        EXPECT_EQ(status, 0) << output;
        const auto error = output.find("error Box ");
        EXPECT_NE(error, std::string::npos) << output;
        EXPECT_EQ(output.find("\nerror ", error), std::string::npos) << "reported twice:\n"
                                                                     << output;
        EXPECT_EQ(output.find("message "), std::string::npos) << output;
    }
}

}  // namespace
}  // namespace monitor::test

namespace monitor::test {
namespace {

TEST_F(FaultServersTest, VorlaCheckPrintsServerTextsEscaped) {
    harness::PopFaultServer server({Behaviour::HostilePass});
    WriteSettings({}, {});
    WriteFile("Accounts.ini",
              "[Account1]\r\nacc_name = Box\r\nhost_name = 127.0.0.1\r\n"
              "user_name = u\r\nport_number = " +
                  std::to_string(server.Port()) + "\r\n");
    int status = -1;
    const std::string output = RunVorlaCheck(Folder() + " --no-news --timeout 500", status);
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(output.find_first_of("\x1b\x07"), std::string::npos) << output;
    EXPECT_NE(output.find("x\\x1B]0;pwned\\x07\\x1B[2J"), std::string::npos) << output;
}

}  // namespace
}  // namespace monitor::test
