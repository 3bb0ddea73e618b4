#include "net/RASControl.h"

#include <gtest/gtest.h>

#include "platform/MemoryRasApi.h"

using namespace platform;
using net::ERASControlError;
using net::TRASControl;

namespace {

struct StateEvent {
    int index;
    int value;
    int state;
};

class RasControlTest : public ::testing::Test {
protected:
    RasControlTest() {
        control.OnConnectionStatus = [this](TRASControl&, int index, int value, int state) {
            events.push_back({index, value, state});
        };
        control.OnEntryListChange = [this](TRASControl&) { ++listChanges; };
    }

    MemoryRasApi::Entry& AddEntry(const std::string& name) {
        auto& entry = api.AddEntry(name);
        entry.dialParams.userName = name + "-user";
        entry.dialParams.password = name + "-pass";
        entry.properties.localPhoneNumber = "0800" + name;
        return entry;
    }

    // Three entries read into the control.
    void ThreeEntries() {
        AddEntry("alpha");
        AddEntry("beta");
        AddEntry("gamma");
        control.RefreshEntries();
    }

    std::string RaisedBy(const std::function<void()>& call) {
        try {
            call();
        } catch (const ERASControlError& e) {
            return e.what();
        }
        return "(nothing raised)";
    }

    MemoryRasApi api;
    TRASControl control{api};
    std::vector<StateEvent> events;
    int listChanges = 0;
};

TEST_F(RasControlTest, RefreshEntriesReadsEveryField) {
    auto& entry = api.AddEntry("Work ISP");
    entry.dialParams.callbackNumber = "555-0100";
    entry.dialParams.userName = "jdoe";
    entry.dialParams.password = "secret";
    entry.dialParams.domain = "CORP";
    entry.passwordSaved = true;
    entry.properties.localPhoneNumber = "555-0199";
    entry.properties.deviceType = "modem";
    entry.properties.deviceName = "/dev/ttyS0";

    control.RefreshEntries();

    ASSERT_EQ(control.Entries(), std::vector<std::string>{"Work ISP"});
    const auto& item = control.Item(0);
    EXPECT_EQ(item.EntryName, "Work ISP");
    EXPECT_EQ(item.PhoneNumber, "555-0199");
    EXPECT_EQ(item.CallbackNumber, "555-0100");
    EXPECT_EQ(item.UserName, "jdoe");
    EXPECT_EQ(item.Password, "secret");
    EXPECT_EQ(item.Domain, "CORP");
    EXPECT_TRUE(item.PasswordSaved);
    EXPECT_EQ(item.DeviceType, "modem");
    EXPECT_EQ(item.DeviceName, "/dev/ttyS0");
    EXPECT_EQ(item.Connection, 0u);
    EXPECT_EQ(item.State, kRasStateUnknown);
    EXPECT_EQ(item.LastErrorCode, 0u);
    EXPECT_FALSE(item.Dialing);
    EXPECT_EQ(listChanges, 1);
}

TEST_F(RasControlTest, EntryCountsAroundTheOneRecordBuffer) {
    struct Row {
        const char* name;
        int entries;
    };
    for (const Row row :
         {Row{"none", 0}, Row{"one fits the first buffer", 1}, Row{"three need a larger one", 3},
          Row{"more than the usual capacity", 12}}) {
        SCOPED_TRACE(row.name);
        MemoryRasApi rows;
        std::vector<std::string> expected;
        for (int i = 0; i < row.entries; ++i) {
            expected.push_back("entry" + std::to_string(i));
            rows.AddEntry(expected.back());
        }
        TRASControl ras(rows);
        int changes = 0;
        ras.OnEntryListChange = [&](TRASControl&) { ++changes; };
        ras.RefreshEntries();
        EXPECT_EQ(ras.Entries(), expected);
        EXPECT_EQ(changes, 1);
    }
}

TEST_F(RasControlTest, RefreshReplacesTheOldList) {
    ThreeEntries();
    api.entries.erase(api.entries.begin());
    control.RefreshEntries();
    EXPECT_EQ(control.Entries(), (std::vector<std::string>{"beta", "gamma"}));
    EXPECT_EQ(control.Item(0).EntryName, "beta");
    EXPECT_EQ(listChanges, 2);
}

TEST_F(RasControlTest, FailedEnumerationLeavesAnEmptyListSilently) {
    AddEntry("alpha");
    api.enumEntriesResult = kRasErrorFromDevice;
    control.RefreshEntries();
    EXPECT_TRUE(control.Entries().empty());
    EXPECT_EQ(listChanges, 1);
}

TEST_F(RasControlTest, PropertiesLargerThanTheRecordAreReadAgain) {
    AddEntry("alpha").propertiesBytes = kRasEntrySize + 300;
    control.RefreshEntries();
    EXPECT_EQ(control.Item(0).PhoneNumber, "0800alpha");
    EXPECT_EQ(api.propertiesCalls.size(), 2u);
}

TEST_F(RasControlTest, UnreadableDialParametersLeaveThoseFieldsEmpty) {
    AddEntry("alpha").dialParamsResult = kRasErrorCannotFindPhonebookEntry;
    control.RefreshEntries();
    EXPECT_EQ(control.Item(0).UserName, "");
    EXPECT_EQ(control.Item(0).Password, "");
    EXPECT_EQ(control.Item(0).PhoneNumber, "0800alpha");
}

TEST_F(RasControlTest, BadIndexIsRefusedByEveryIndexOperation) {
    ThreeEntries();
    struct Row {
        const char* name;
        int index;
        std::function<void(TRASControl&, int)> call;
    };
    const std::vector<Row> rows = {
        {"Dial past the end", 5, [](TRASControl& c, int i) { c.Dial(i); }},
        {"Dial below zero", -1, [](TRASControl& c, int i) { c.Dial(i); }},
        {"Dial one past the last", 3, [](TRASControl& c, int i) { c.Dial(i); }},
        {"HangUp", 3, [](TRASControl& c, int i) { c.HangUp(i); }},
        {"FindConnection", -2, [](TRASControl& c, int i) { c.FindConnection(i); }},
        {"CheckIndex", 7, [](TRASControl& c, int i) { c.CheckIndex(i); }},
        {"Item", 3, [](TRASControl& c, int i) { c.Item(i); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(RaisedBy([&] { row.call(control, row.index); }),
                  "Index (" + std::to_string(row.index) + ") out of bounds.");
    }
    EXPECT_TRUE(api.dialledParams.empty());
}

TEST_F(RasControlTest, DialStoresThenDialsTheEntryRecord) {
    ThreeEntries();
    control.Dial(1);

    ASSERT_EQ(api.storedParams.size(), 1u);
    const auto& stored = api.storedParams[0];
    EXPECT_EQ(stored.size, kRasDialParamsSize);
    EXPECT_EQ(stored.entryName, "beta");
    EXPECT_EQ(stored.phoneNumber, "0800beta");
    EXPECT_EQ(stored.userName, "beta-user");
    EXPECT_EQ(stored.password, "beta-pass");
    EXPECT_FALSE(api.storedRemovePassword[0]);
    ASSERT_EQ(api.dialledParams.size(), 1u);
    EXPECT_EQ(api.dialledParams[0].entryName, "beta");
    EXPECT_EQ(api.dialledParams[0].size, kRasDialParamsSize);

    ASSERT_EQ(api.connections.size(), 1u);
    EXPECT_EQ(control.Item(1).Connection, api.connections[0].handle);
    EXPECT_TRUE(control.Item(1).Dialing);
    EXPECT_TRUE(control.Busy());
}

TEST_F(RasControlTest, PortAlreadyOpenCountsAsSuccess) {
    ThreeEntries();
    api.entries[0].dialResult = kRasErrorPortAlreadyOpen;
    EXPECT_NO_THROW(control.Dial(0));
    EXPECT_TRUE(control.Busy());
    EXPECT_EQ(control.LastError(), "");
}

TEST_F(RasControlTest, SecondDialWhileBusyIsRefused) {
    ThreeEntries();
    control.Dial(0);
    EXPECT_EQ(RaisedBy([&] { control.Dial(0); }), "A connection attempt is already in progress.");
    EXPECT_EQ(control.LastError(), "A connection attempt is already in progress.");
    EXPECT_EQ(RaisedBy([&] { control.Dial(2); }), "A connection attempt is already in progress.");
    EXPECT_EQ(api.dialledParams.size(), 1u);
}

TEST_F(RasControlTest, FailedDialRaisesTheTrimmedTextAndKeepsItLowerCased) {
    struct Row {
        const char* name;
        std::uint32_t code;
        std::string platformText;  // empty: the backend's own text
        std::string raised;
        std::string lastError;
    };
    const std::vector<Row> rows = {
        {"no answer", kRasErrorNoAnswer, "", "There was no answer.", "there was no answer."},
        {"out of memory has its own text", kRasErrorNotEnoughMemory, "", "Not enough memory.",
         "not enough memory."},
        {"blanks around the text", 700, "  Line Busy \r\n", "Line Busy", "line busy"},
        {"a code without a text", 999, "", "RAS error 999", "ras error 999"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        MemoryRasApi rowApi;
        rowApi.AddEntry("isp").dialResult = row.code;
        if (!row.platformText.empty())
            rowApi.errorTexts[row.code] = row.platformText;
        TRASControl ras(rowApi);
        std::vector<int> states;
        ras.OnConnectionStatus = [&](TRASControl&, int, int, int state) {
            states.push_back(state);
        };
        ras.RefreshEntries();

        std::string raised = "(nothing raised)";
        try {
            ras.Dial(0);
        } catch (const ERASControlError& e) {
            raised = e.what();
        }
        EXPECT_EQ(raised, row.raised);
        EXPECT_EQ(ras.LastError(), row.lastError);
        EXPECT_FALSE(ras.Busy());
        EXPECT_FALSE(ras.Item(0).Dialing);
        EXPECT_EQ(ras.Item(0).State, kRasStateDisconnected);
        EXPECT_EQ(ras.Item(0).Connection, 0u);
        EXPECT_TRUE(rowApi.connections.empty()) << "the failed dial's connection is hung up";
        EXPECT_EQ(states, std::vector<int>{kRasStateDisconnected});
    }
}

TEST_F(RasControlTest, EntryCanBeDialledAgainAfterAFailedDial) {
    ThreeEntries();
    api.entries[0].dialResult = kRasErrorNoAnswer;
    EXPECT_THROW(control.Dial(0), ERASControlError);
    api.entries[0].dialResult = kRasSuccess;
    EXPECT_NO_THROW(control.Dial(0));
    EXPECT_TRUE(control.Busy());
}

TEST_F(RasControlTest, FailureToStoreParametersStopsBeforeDialling) {
    ThreeEntries();
    api.entries[0].setParamsResult = kRasErrorFromDevice;
    EXPECT_EQ(
        RaisedBy([&] { control.Dial(0); }),
        "Dial failed with message: The modem (or other connecting device) has reported an error.");
    EXPECT_EQ(control.LastError(), "The modem (or other connecting device) has reported an error.");
    EXPECT_TRUE(api.dialledParams.empty());
    EXPECT_FALSE(control.Busy());
    EXPECT_FALSE(control.Item(0).Dialing);
}

TEST_F(RasControlTest, HangUpEndsTheConnectionAndAllowsANewDial) {
    ThreeEntries();
    control.Dial(2);
    const RasHandle handle = api.connections[0].handle;
    control.HangUp(2);

    EXPECT_EQ(api.hungUp, std::vector<RasHandle>{handle});
    EXPECT_TRUE(api.connections.empty());
    EXPECT_EQ(control.Item(2).State, kRasStateDisconnected);
    EXPECT_EQ(control.Item(2).Connection, 0u);
    EXPECT_FALSE(control.Busy());
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].index, 2);
    EXPECT_EQ(events[0].value, 0);
    EXPECT_EQ(events[0].state, kRasStateDisconnected);

    EXPECT_NO_THROW(control.Dial(2));
    EXPECT_EQ(api.dialledParams.size(), 2u);
}

TEST_F(RasControlTest, HangUpFindsAConnectionTheControlDidNotDial) {
    ThreeEntries();
    const RasHandle handle = api.AddConnection("gamma");
    control.HangUp(2);
    EXPECT_EQ(api.hungUp, std::vector<RasHandle>{handle});
}

TEST_F(RasControlTest, HangUpFailures) {
    ThreeEntries();
    EXPECT_EQ(RaisedBy([&] { control.HangUp(1); }), "Hang up failed. Invalid handle.");
    EXPECT_EQ(control.Item(1).State, kRasStateUnknown);

    control.Dial(1);
    api.hangUpResult = kRasErrorFromDevice;
    api.errorTexts[kRasErrorFromDevice] = " Device went away. ";
    EXPECT_EQ(RaisedBy([&] { control.HangUp(1); }), "Hang up failed. Device went away.");
    EXPECT_TRUE(control.Item(1).Dialing);
    EXPECT_TRUE(events.empty());
}

TEST_F(RasControlTest, ConnectionStatusOfTheExactlyMatchingName) {
    ThreeEntries();
    const RasHandle other = api.AddConnection("Beta", 5);
    const RasHandle match = api.AddConnection("beta", kRasStateConnected);
    api.connections.back().deviceName = "ppp0";
    const RasHandle second = api.AddConnection("beta", 7);
    (void)second;

    RasConnStatus status;
    EXPECT_EQ(control.GetConnectionStatus("beta", status), match);
    EXPECT_NE(match, other);
    EXPECT_EQ(status.size, kRasConnStatusSize);
    EXPECT_EQ(status.state, kRasStateConnected);
    EXPECT_EQ(status.deviceName, "ppp0");
}

TEST_F(RasControlTest, NameWithoutConnectionReportsDisconnected) {
    ThreeEntries();
    api.AddConnection("alpha");
    RasConnStatus status;
    status.state = 42;
    status.error = 9;
    EXPECT_EQ(control.GetConnectionStatus("gamma", status), 0u);
    EXPECT_EQ(status.state, kRasStateDisconnected);
    EXPECT_EQ(status.error, 0u);
}

TEST_F(RasControlTest, StatusOfAConnectionThatEndsMeanwhileIsDisconnected) {
    ThreeEntries();
    api.AddConnection("alpha");
    api.connectStatusResult = kRasErrorInvalidHandle;
    RasConnStatus status;
    control.GetConnectionStatus("alpha", status);
    EXPECT_EQ(status.state, kRasStateDisconnected);
    EXPECT_EQ(status.error, kRasErrorInvalidHandle);
}

TEST_F(RasControlTest, ConnectionEnumerationFailures) {
    ThreeEntries();
    struct Row {
        std::uint32_t code;
        std::string text;
    };
    for (const Row& row : {Row{kRasErrorNotEnoughMemory, "RAS: ERROR_NOT_ENOUGH_MEMORY"},
                           Row{kRasErrorBufferTooSmall, "RAS: ERROR_BUFFER_TOO_SMALL"},
                           Row{kRasErrorFromDevice, "RAS: " + RasErrorText(kRasErrorFromDevice)}}) {
        SCOPED_TRACE(row.text);
        api.enumConnectionsResult = row.code;
        RasConnStatus status;
        EXPECT_EQ(RaisedBy([&] { control.GetConnectionStatus("alpha", status); }), row.text);
        EXPECT_EQ(control.FindConnection(0), 0u) << "FindConnection returns null instead";
    }
}

TEST_F(RasControlTest, MoreConnectionsThanTheBufferHoldsIsTooSmall) {
    ThreeEntries();
    for (int i = 0; i < 101; ++i)
        api.AddConnection("other" + std::to_string(i));
    RasConnStatus status;
    EXPECT_EQ(RaisedBy([&] { control.GetConnectionStatus("alpha", status); }),
              "RAS: ERROR_BUFFER_TOO_SMALL");
}

TEST_F(RasControlTest, DroppedLineIsReportedAndDoesNotBlockTheNextDial) {
    ThreeEntries();
    control.Dial(0);
    api.DropConnection("alpha");

    RasConnStatus status;
    EXPECT_EQ(control.GetConnectionStatus("alpha", status), 0u);
    EXPECT_NE(status.state, kRasStateConnected);

    EXPECT_NO_THROW(control.Dial(0));
    EXPECT_EQ(api.dialledParams.size(), 2u);
    EXPECT_EQ(api.connections.size(), 1u);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].state, kRasStateDisconnected);
}

TEST_F(RasControlTest, UnreadableConnectionListKeepsTheDialBusy) {
    ThreeEntries();
    control.Dial(0);
    for (const std::uint32_t code :
         {kRasErrorNotEnoughMemory, kRasErrorBufferTooSmall, kRasErrorFromDevice}) {
        SCOPED_TRACE(code);
        api.enumConnectionsResult = code;
        EXPECT_EQ(RaisedBy([&] { control.Dial(1); }),
                  "A connection attempt is already in progress.")
            << "a line that cannot be listed is not known to be gone";
        EXPECT_TRUE(control.Busy());
        EXPECT_TRUE(control.Item(0).Dialing);
    }
    EXPECT_EQ(api.dialledParams.size(), 1u);
    EXPECT_TRUE(events.empty());
}

TEST_F(RasControlTest, EntryPropertiesComeFromTheAnsiFunctionOfRasapi32) {
    AddEntry("alpha");
    AddEntry("beta");
    control.RefreshEntries();
    control.RefreshEntries();
    EXPECT_EQ(api.loadedLibraries, std::vector<std::string>{"rasapi32.dll"});
    EXPECT_EQ(api.propertiesCalls.front(), "rasapi32.dll:RasGetEntryPropertiesA:alpha");
    EXPECT_EQ(api.propertiesCalls.size(), 4u);
}

TEST_F(RasControlTest, MissingAnsiFunctionFallsBackToRnaph) {
    api.libraries["rasapi32.dll"].clear();
    api.libraries["rnaph.dll"] = {"RasGetEntryProperties"};
    AddEntry("alpha");
    AddEntry("beta");
    {
        TRASControl ras(api);
        ras.RefreshEntries();
        EXPECT_EQ(ras.Item(1).PhoneNumber, "0800beta");
        EXPECT_EQ(api.loadedLibraries, (std::vector<std::string>{"rasapi32.dll", "rnaph.dll"}));
        EXPECT_EQ(api.propertiesCalls,
                  (std::vector<std::string>{"rnaph.dll:RasGetEntryProperties:alpha",
                                            "rnaph.dll:RasGetEntryProperties:beta"}));
        EXPECT_EQ(api.releasedLibraries, std::vector<std::string>{"rasapi32.dll"});
    }
    EXPECT_EQ(api.releasedLibraries, (std::vector<std::string>{"rasapi32.dll", "rnaph.dll"}));
}

TEST_F(RasControlTest, LibraryFailures) {
    struct Row {
        const char* name;
        std::function<void(MemoryRasApi&)> script;
        std::string raised;
    };
    const std::vector<Row> rows = {
        {"rasapi32 missing", [](MemoryRasApi& a) { a.libraries.clear(); },
         "Error opening rasapi32.dll"},
        {"no fallback library", [](MemoryRasApi& a) { a.libraries["rasapi32.dll"].clear(); },
         "Error opening rnaph.dll"},
        {"fallback without the function",
         [](MemoryRasApi& a) {
             a.libraries["rasapi32.dll"].clear();
             a.libraries["rnaph.dll"] = {"RasGetEntryPropertiesA"};
         },
         "Function RasGetEntryProperties not found!"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        MemoryRasApi rowApi;
        rowApi.AddEntry("isp");
        row.script(rowApi);
        TRASControl ras(rowApi);
        EXPECT_EQ(RaisedBy([&] { ras.RefreshEntries(); }), row.raised);
    }
}

TEST_F(RasControlTest, LaterLookupsStayInTheChosenLibrary) {
    AddEntry("alpha");
    control.RefreshEntries();
    api.libraries["rasapi32.dll"].clear();
    api.libraries["rnaph.dll"] = {"RasGetEntryProperties"};
    EXPECT_EQ(RaisedBy([&] { control.RefreshEntries(); }),
              "Function RasGetEntryPropertiesA not found!");
}

TEST(RasBufferRule, RecordSizeAndBufferBytesAreChecked) {
    const std::vector<RasEntryName> items = {{0, "a"}, {0, "b"}};
    struct Row {
        const char* name;
        std::size_t records;
        std::uint32_t firstSize;
        std::uint32_t bytes;
        std::uint32_t result;
        std::uint32_t bytesAfter;
    };
    for (const Row& row :
         {Row{"fits", 2, kRasEntryNameSize, 2 * kRasEntryNameSize, kRasSuccess,
              2 * kRasEntryNameSize},
          Row{"too small", 1, kRasEntryNameSize, kRasEntryNameSize, kRasErrorBufferTooSmall,
              2 * kRasEntryNameSize},
          Row{"wrong record size", 2, 260, 2 * kRasEntryNameSize, kRasErrorInvalidSize,
              2 * kRasEntryNameSize},
          Row{"claims more than it holds", 1, kRasEntryNameSize, 5 * kRasEntryNameSize,
              kRasErrorInvalidParameter, 5 * kRasEntryNameSize}}) {
        SCOPED_TRACE(row.name);
        std::vector<RasEntryName> buffer(row.records);
        buffer[0].size = row.firstSize;
        std::uint32_t bytes = row.bytes;
        std::uint32_t count = 0;
        EXPECT_EQ(FillRasList(items, kRasEntryNameSize, buffer, bytes, count), row.result);
        EXPECT_EQ(bytes, row.bytesAfter);
        if (row.result == kRasSuccess) {
            EXPECT_EQ(count, 2u);
            EXPECT_EQ(buffer[1].entryName, "b");
            EXPECT_EQ(buffer[1].size, kRasEntryNameSize);
        }
    }
}

}  // namespace
