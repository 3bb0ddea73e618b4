#pragma once
// A listening TCP socket on 127.0.0.1 at a free port, for servers written inside a test.
#include <cstdint>

namespace harness {

class LoopbackListener {
public:
    // Throws std::runtime_error when it cannot listen.
    explicit LoopbackListener(int backlog);
    ~LoopbackListener();
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    int Fd() const { return m_fd; }
    std::uint16_t Port() const { return m_port; }

private:
    int m_fd = -1;
    std::uint16_t m_port = 0;
};

}  // namespace harness
