#pragma once
// Desktop services the monitor asks for: sound, starting programs and documents, the
// autorun entry and the registered mail program. One Linux implementation each.
#include <string>
#include <vector>

namespace platform {

// Plays a sound file asynchronously; a file that cannot be played falls back to the
// desktop's new-mail event sound. Failures are not reported: callers ignore them.
class Sound {
public:
    virtual ~Sound() = default;
    virtual void PlayFile(const std::string& path) = 0;
};

// Starts programs and opens documents or web addresses, detached, without waiting.
class Shell {
public:
    virtual ~Shell() = default;
    // Opens a document, folder or address with the desktop's handler.
    virtual bool OpenDocument(const std::string& target) = 0;
    // Starts a program with its arguments already split.
    virtual bool StartProgram(const std::string& program, const std::vector<std::string>& args) = 0;
};

// The entry that starts the program with the user's desktop session.
class Autorun {
public:
    virtual ~Autorun() = default;
    virtual void Enable(const std::string& programPath) = 0;
    virtual void Disable() = 0;
};

// The Exec= command line of the desktop's registered mailto handler as its desktop file writes
// it, field codes and all (SplitExecLine reads it); empty when none is registered.
class MailtoHandler {
public:
    virtual ~MailtoHandler() = default;
    virtual std::string Command() = 0;
};

// Splits a parameter text into arguments at blanks; double quotes group blanks into one.
std::vector<std::string> SplitArguments(const std::string& text);

}  // namespace platform
