#pragma once
// Turns a fuzz input into the replies of a scripted server: the input is cut at NUL bytes and
// every piece is what one receive gets; after the last piece the server closes. The clients'
// commands are taken without being checked.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FakeClock.h"
#include "FakeEventPump.h"
#include "ScriptedTransport.h"

namespace fuzzing {

inline void ScriptReplies(testsupport::Script& script, const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::size_t from = 0;
    while (from < input.size()) {
        std::size_t end = input.find('\0', from);
        if (end == std::string::npos)
            end = input.size();
        if (end > from)
            script.Server(input.substr(from, end - from));
        from = end + 1;
    }
    script.Close();
}

// What a client under fuzzing is built on: the scripted server with the input's replies, its
// clock and an event pump.
struct ScriptedServer {
    ScriptedServer(const std::uint8_t* data, std::size_t size) {
        ScriptReplies(script, data, size);
        script.clock = &clock;
    }
    testsupport::Script script;
    testsupport::FakeClock clock;
    testsupport::FakeEventPump pump;
    testsupport::ScriptedFactory factory{script};
};

}  // namespace fuzzing
