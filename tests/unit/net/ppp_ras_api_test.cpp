#include "platform/PppRasApi.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>

#include "FakeEventPump.h"
#include "net/RASControl.h"
#include "platform/PppPeer.h"

using namespace platform;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

void Write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// A folder standing in for /etc/ppp/peers, /var/run, /sys/class/net and /proc, and a pon and
// poff that start and stop pretend pppd processes in it.
class PppTest : public ::testing::Test {
protected:
    PppTest() {
        root = fs::temp_directory_path() / ("vorla-ppp-" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "peers");
        fs::create_directories(root / "run");
        fs::create_directories(root / "net");
        fs::create_directories(root / "proc");
        Process(1, std::string("/sbin/init\0", 11));
    }
    ~PppTest() override { fs::remove_all(root); }

    PppPaths Paths() const {
        return {(root / "peers").string(), (root / "run").string(), (root / "net").string(),
                (root / "proc").string()};
    }

    void Process(int pid, const std::string& cmdline) {
        Write(root / "proc" / std::to_string(pid) / "cmdline", cmdline);
    }

    void StartPppd(int pid, const std::string& entry, int unit, bool up) {
        Process(pid, std::string("/usr/sbin/pppd\0call\0", 20) + entry + std::string("\0", 1));
        Write(root / "run" / ("ppp" + std::to_string(unit) + ".pid"),
              std::to_string(pid) + "\nppp" + std::to_string(unit) + "\n");
        Write(root / "net" / ("ppp" + std::to_string(unit)) / "flags",
              up ? "0x10d1\n" : "0x1090\n");
    }

    void StopPppd(int pid, int unit) {
        fs::remove_all(root / "proc" / std::to_string(pid));
        fs::remove(root / "run" / ("ppp" + std::to_string(unit) + ".pid"));
        fs::remove_all(root / "net" / ("ppp" + std::to_string(unit)));
    }

    // pon starts a pppd whose link comes up (or not); poff stops it.
    PppRasApi::ProgramRunner Runner() {
        return [this](const std::vector<std::string>& argv) {
            calls.push_back(argv);
            if (argv.at(0) == "pon") {
                if (ponStatus == 0 && ponStartsPppd)
                    StartPppd(4242, argv.at(1), 0, linkComesUp);
                return ponStatus;
            }
            if (poffStopsPppd)
                StopPppd(4242, 0);
            return 0;
        };
    }

    fs::path root;
    std::vector<std::vector<std::string>> calls;
    int ponStatus = 0;
    bool ponStartsPppd = true;
    bool linkComesUp = true;
    bool poffStopsPppd = true;
};

TEST_F(PppTest, EntriesAreTheDialablePeerFilesInNameOrder) {
    for (const char* name : {"work", "home-isp", ".hidden", "backup~", "-q", "two words"})
        Write(root / "peers" / name, "");
    fs::create_directories(root / "peers" / "subfolder");

    PppRasApi api(Paths(), Runner());
    net::TRASControl control(api);
    control.RefreshEntries();
    EXPECT_EQ(control.Entries(), (std::vector<std::string>{"home-isp", "work"}));
}

TEST_F(PppTest, NoPeersFolderMeansNoEntries) {
    fs::remove_all(root / "peers");
    PppRasApi api(Paths(), Runner());
    net::TRASControl control(api);
    control.RefreshEntries();
    EXPECT_TRUE(control.Entries().empty());
}

TEST_F(PppTest, EntryDetailsComeFromThePeerAndItsChatScript) {
    Write(root / "chat-isp", "ABORT BUSY\n'' ATZ\nOK ATDT0800123456\nCONNECT ''\n");
    Write(root / "peers" / "isp", "# dial-up\nuser \"jdoe@isp\"\nconnect \"/usr/sbin/chat -v -f " +
                                      (root / "chat-isp").string() + "\"\n/dev/ttyUSB0\n115200\n");
    Write(root / "peers" / "dsl", "plugin rp-pppoe.so\nnic-eth1\nuser dsluser\n");
    Write(root / "peers" / "mobile",
          "connect \"/usr/sbin/chat -f /nonexistent -T *99#\"\nttyACM0\n");

    PppRasApi api(Paths(), Runner());
    net::TRASControl control(api);
    control.RefreshEntries();
    ASSERT_EQ(control.Entries(), (std::vector<std::string>{"dsl", "isp", "mobile"}));
    const auto& dsl = control.Item(0);
    EXPECT_EQ(dsl.UserName, "dsluser");
    EXPECT_EQ(dsl.DeviceType, "PPPoE");
    EXPECT_EQ(dsl.DeviceName, "eth1");
    const auto& isp = control.Item(1);
    EXPECT_EQ(isp.UserName, "jdoe@isp");
    EXPECT_EQ(isp.PhoneNumber, "0800123456");
    EXPECT_EQ(isp.DeviceType, "modem");
    EXPECT_EQ(isp.DeviceName, "/dev/ttyUSB0");
    EXPECT_FALSE(isp.PasswordSaved);
    const auto& mobile = control.Item(2);
    EXPECT_EQ(mobile.PhoneNumber, "*99#");
    EXPECT_EQ(mobile.DeviceName, "ttyACM0");
}

TEST_F(PppTest, DialRunsPonAndWaitsForTheLink) {
    Write(root / "peers" / "isp", "");
    PppRasApi api(Paths(), Runner());
    net::TRASControl control(api);
    control.RefreshEntries();
    control.Dial(0);

    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], (std::vector<std::string>{"pon", "isp"}));
    RasConnStatus status;
    EXPECT_EQ(control.GetConnectionStatus("isp", status), 4242u);
    EXPECT_EQ(status.state, kRasStateConnected);
    EXPECT_EQ(status.deviceName, "ppp0");
}

TEST_F(PppTest, RunningPppdCountsAsAlreadyOpen) {
    Write(root / "peers" / "isp", "");
    StartPppd(777, "isp", 3, true);
    PppRasApi api(Paths(), Runner());
    RasDialParams params;
    params.size = kRasDialParamsSize;
    params.entryName = "isp";
    RasHandle handle = 0;
    EXPECT_EQ(api.Dial(params, handle), kRasErrorPortAlreadyOpen);
    EXPECT_EQ(handle, 777u);
    EXPECT_TRUE(calls.empty());
}

TEST_F(PppTest, DialFailures) {
    struct Row {
        const char* name;
        int ponStatus;
        bool startsPppd;
        bool linkUp;
        std::string raised;
        std::vector<std::vector<std::string>> calls;
    };
    const std::vector<Row> rows = {
        {"pon fails", 1, true, false, RasErrorText(kRasErrorFromDevice), {{"pon", "isp"}}},
        {"pppd gives up", 0, false, false, RasErrorText(kRasErrorFromDevice), {{"pon", "isp"}}},
        {"link never comes up",
         0,
         true,
         false,
         RasErrorText(kRasErrorNoAnswer),
         {{"pon", "isp"}, {"poff", "isp"}}},
    };
    Write(root / "peers" / "isp", "");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        calls.clear();
        ponStatus = row.ponStatus;
        ponStartsPppd = row.startsPppd;
        linkComesUp = row.linkUp;
        PppRasApi api(Paths(), Runner(), 0ms);
        net::TRASControl control(api);
        control.RefreshEntries();
        std::string raised;
        try {
            control.Dial(0);
        } catch (const net::ERASControlError& e) {
            raised = e.what();
        }
        EXPECT_EQ(raised, row.raised);
        EXPECT_EQ(calls, row.calls);
        EXPECT_FALSE(control.Busy());
        EXPECT_FALSE(fs::exists(root / "proc" / "4242")) << "no pppd is left running";
    }
}

TEST_F(PppTest, HangUpRunsPoffAndWaitsForPppdToEnd) {
    Write(root / "peers" / "isp", "");
    PppRasApi api(Paths(), Runner());
    net::TRASControl control(api);
    control.RefreshEntries();
    control.Dial(0);
    control.HangUp(0);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1], (std::vector<std::string>{"poff", "isp"}));
    EXPECT_EQ(control.Item(0).State, kRasStateDisconnected);
    EXPECT_FALSE(control.Busy());
}

TEST_F(PppTest, DialAndHangUpPumpWhileTheyWait) {
    Write(root / "peers" / "isp", "");
    linkComesUp = false;
    poffStopsPppd = false;
    PppRasApi api(Paths(), Runner());
    testsupport::FakeEventPump pump;
    api.PumpWhileWaiting(pump);
    net::TRASControl control(api);
    control.RefreshEntries();
    // Runs step at the 20th pump of the next wait, and measures that wait.
    const auto atTheTwentiethPump = [&pump](std::function<void()> step) {
        pump.calls = 0;
        pump.StartTiming();
        pump.onPump = [&pump, step] {
            if (pump.calls == 20)
                step();
        };
    };

    atTheTwentiethPump([&] { StartPppd(4242, "isp", 0, true); });
    control.Dial(0);
    EXPECT_GE(pump.calls, 20) << "the link came up from inside the wait";
    std::cout << "[ measure  ] dial: longest time without a pump " << pump.MaxGapMs() << " ms\n";

    atTheTwentiethPump([&] { StopPppd(4242, 0); });
    control.HangUp(0);
    EXPECT_GE(pump.calls, 20) << "pppd ended from inside the wait";
    EXPECT_FALSE(control.Busy());
    std::cout << "[ measure  ] hang-up: longest time without a pump " << pump.MaxGapMs() << " ms\n";
}

TEST_F(PppTest, ConnectionStates) {
    Write(root / "peers" / "isp", "");
    Write(root / "peers" / "other", "");
    Process(50, std::string("/usr/sbin/pppd\0nodetach\0", 24));
    Process(51, std::string("/bin/sh\0call\0isp\0", 17));
    PppRasApi api(Paths(), Runner());
    net::TRASControl control(api);
    control.RefreshEntries();

    RasConnStatus status;
    EXPECT_EQ(control.GetConnectionStatus("isp", status), 0u)
        << "only pppd processes calling the entry count";
    EXPECT_EQ(status.state, kRasStateDisconnected);

    StartPppd(60, "isp", 1, false);
    EXPECT_EQ(control.GetConnectionStatus("isp", status), 60u);
    EXPECT_EQ(status.state, kRasStateOpenPort) << "interface down: still dialling";

    fs::remove(root / "run" / "ppp1.pid");
    EXPECT_EQ(control.GetConnectionStatus("isp", status), 60u);
    EXPECT_EQ(status.state, kRasStateOpenPort) << "no interface yet";

    StopPppd(60, 1);
    EXPECT_EQ(control.GetConnectionStatus("isp", status), 0u);
    EXPECT_EQ(status.state, kRasStateDisconnected);
}

TEST_F(PppTest, DroppedLineAllowsTheNextDial) {
    Write(root / "peers" / "isp", "");
    PppRasApi api(Paths(), Runner());
    net::TRASControl control(api);
    control.RefreshEntries();
    control.Dial(0);
    StopPppd(4242, 0);
    RasConnStatus status;
    control.GetConnectionStatus("isp", status);
    EXPECT_EQ(status.state, kRasStateDisconnected);
    EXPECT_NO_THROW(control.Dial(0));
    EXPECT_EQ(calls.size(), 2u);
}

TEST_F(PppTest, RecordsOfAnotherSizeAreRefused) {
    Write(root / "peers" / "isp", "");
    PppRasApi api(Paths(), Runner());
    RasDialParams params;
    params.entryName = "isp";
    params.size = kRasDialParamsSize - 4;
    bool saved = false;
    RasHandle handle = 0;
    EXPECT_EQ(api.GetEntryDialParams(params, saved), kRasErrorInvalidSize);
    EXPECT_EQ(api.SetEntryDialParams(params, false), kRasErrorInvalidSize);
    EXPECT_EQ(api.Dial(params, handle), kRasErrorInvalidSize);
    RasConnStatus status;
    EXPECT_EQ(api.GetConnectStatus(1, status), kRasErrorInvalidSize);
    EXPECT_TRUE(calls.empty());
}

TEST(PppWords, SplitsLikePppdOptions) {
    struct Row {
        const char* text;
        std::vector<std::string> words;
    };
    const std::vector<Row> rows = {
        {"user jdoe\n/dev/ttyS0 115200", {"user", "jdoe", "/dev/ttyS0", "115200"}},
        {"user \"John Doe\" # comment words\nnoauth", {"user", "John Doe", "noauth"}},
        {"connect '/usr/sbin/chat -f x'", {"connect", "/usr/sbin/chat -f x"}},
        {"name a\\ b", {"name", "a b"}},
        {"password \"\"", {"password", ""}},
        {"#only a comment", {}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(PppWords(row.text), row.words) << row.text;
    EXPECT_EQ(PppWords("chat -T *99#", false), (std::vector<std::string>{"chat", "-T", "*99#"}));
}

TEST(RunProgram, IdleRunsWhileTheProgramRuns) {
    int idles = 0;
    EXPECT_EQ(RunProgram({"sleep", "0.3"}, 10s, [&] { ++idles; }), 0);
    EXPECT_GT(idles, 3);
}

TEST(RunProgram, ExitStatusAndTimeOut) {
    EXPECT_EQ(RunProgram({"true"}, 10s), 0);
    EXPECT_EQ(RunProgram({"sh", "-c", "exit 3"}, 10s), 3);
    EXPECT_EQ(RunProgram({"/nonexistent/program"}, 10s), -1);
    EXPECT_EQ(RunProgram({}, 10s), -1);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(RunProgram({"sleep", "30"}, 100ms), -1);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 20s)
        << "the program was ended at the time-out";
}

}  // namespace
