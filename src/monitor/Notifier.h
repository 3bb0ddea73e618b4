#pragma once
// The desktop notification of new mail, as the monitor asks for it. The desktop program shows
// it through the desktop's notification service; the console tool prints it.
#include <functional>
#include <string>
#include <vector>

namespace monitor {

// One notification: the new mail of one check of one account. Texts are UTF-8.
struct NewMailNotice {
    int account = 0;   // 1-based account number
    int firstNew = 0;  // number of the account's first new message on the server
    std::string summary;
    std::vector<std::string> lines;
};

class Notifier {
public:
    virtual ~Notifier() = default;
    // Shows the notice; a later one for the same account replaces it. Failures are the
    // notifier's to report; none leaves this call.
    virtual void Notify(const NewMailNotice& notice) = 0;

    // The user clicked a notification: open the message window on that account's message.
    std::function<void(int account, int message)> OnOpenMessage;
    // The user chose "Open mail program".
    std::function<void()> OnOpenMailProgram;
};

}  // namespace monitor
