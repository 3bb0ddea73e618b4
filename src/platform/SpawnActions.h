#pragma once
// What a started program receives of our descriptors: its standard streams and nothing else.
#include <spawn.h>

namespace platform {

// posix_spawn file actions that end by closing every descriptor above stderr in the child, so
// a program we start never inherits a file, socket or pipe of ours (nor one a library opened
// without close-on-exec).
class SpawnActions {
public:
    SpawnActions() { posix_spawn_file_actions_init(&m_actions); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&m_actions); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;

    void Dup2(int from, int to) { posix_spawn_file_actions_adddup2(&m_actions, from, to); }
    void Open(int fd, const char* path, int flags) {
        posix_spawn_file_actions_addopen(&m_actions, fd, path, flags, 0);
    }
    // The actions to pass, the closing of the rest added last. Called once.
    posix_spawn_file_actions_t* ClosingTheRest() {
        posix_spawn_file_actions_addclosefrom_np(&m_actions, 3);
        return &m_actions;
    }

private:
    posix_spawn_file_actions_t m_actions;
};

}  // namespace platform
