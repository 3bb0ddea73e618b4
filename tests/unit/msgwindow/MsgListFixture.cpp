#include "MsgListFixture.h"

namespace msgwindow::test {

MsgListTest::MsgListTest() {
    pop.Host = "127.0.0.1";  // the scripted mailbox stands for a server on this machine
    state.IsConnected = true;
    state.CurrentAccount = 1;
    state.Tables.AccountCount = 1;
    state.Tables.AccountTable[0].acc_name = "Home";
    state.Tables.AccountTable[0].user_name = box.user;
    state.Tables.AccountTable[0].password = box.password;
    state.PopAccount = 1;
    // The main window's POPError.
    popClient.OnError = [this](int, const std::string& text) {
        state.SetErrorNotice("Home " + pop.ReplyStatus + " " + text);
    };
}

void MsgListTest::OpenMailbox() {
    pop.Connect();
    ASSERT_TRUE(pop.Login(box.user, box.password));
    pop.GetMailCount();
    state.WaitingCount = static_cast<int>(pop.MessageCount);
    state.NotepadMode = false;
    list.DisplayMessage(1, false);
}

std::string MsgListTest::Simple(const std::string& subject, const std::string& body) {
    return "From: \"Ann\" <ann@example.org>\nSubject: " + subject +
           "\nDate: Mon, 7 Dec 2026 10:00:00 +0100\n\n" + body;
}

std::string MsgListTest::MessageOfSize(const std::string& subject, std::size_t size) {
    std::string raw = testsupport::WithCrLf(Simple(subject, ""));
    while (raw.size() + 80 < size)
        raw += std::string(76, 'x') + "\r\n";
    raw += std::string(size - raw.size() - 2, 'y') + "\r\n";
    return raw;
}

int MsgListTest::Sent(const std::string& verb) const {
    int n = 0;
    for (const std::string& command : box.commands)
        if (command.rfind(verb + " ", 0) == 0)
            ++n;
    return n;
}

}  // namespace msgwindow::test
