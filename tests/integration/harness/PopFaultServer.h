#pragma once
// A POP3 server on 127.0.0.1 for fault injection, run on a thread of the test: each accepted
// connection gets the next behaviour of a script, the last one repeating.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "LoopbackListener.h"

namespace harness {

class PopFaultServer {
public:
    // What HostilePass puts after "-ERR x": ESC "]0;pwned" BEL ESC "[2J".
    static constexpr const char* kHostileText = "\x1b]0;pwned\x07\x1b[2J";

    enum class Behaviour {
        Answer,           // a small mailbox of 3 messages: greeting, USER, PASS, STAT, QUIT
        ResetAtGreeting,  // accepts, then resets the connection without a word
        Silent,           // accepts and never answers
        HostilePass,      // as Answer, but refuses PASS with terminal escapes in the text
        NoUidl,           // as Answer, with LIST and TOP; refuses CAPA and UIDL as old servers do
    };

    explicit PopFaultServer(std::vector<Behaviour> script);
    ~PopFaultServer();
    PopFaultServer(const PopFaultServer&) = delete;
    PopFaultServer& operator=(const PopFaultServer&) = delete;

    std::uint16_t Port() const { return m_listener.Port(); }
    int Accepted() const { return m_accepted; }

private:
    struct Client {
        int fd;
        Behaviour behaviour;
        std::vector<char> pending;
    };

    void Run();
    void Accept();
    // False when the connection is finished.
    bool Serve(Client& client);

    std::vector<Behaviour> m_script;
    LoopbackListener m_listener;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_accepted{0};
    std::vector<Client> m_clients;
    std::thread m_thread;
};

}  // namespace harness
