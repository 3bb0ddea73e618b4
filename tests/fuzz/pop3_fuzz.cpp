// The POP3 client against a server that says anything: a whole session (greeting, login,
// counts, header preview, retrieval, delete, unique id, capabilities, the unique id list,
// quit) ends in success, a reported failure or MailError, never in a crash, a hang or
// unbounded memory.
#include <cstddef>
#include <cstdint>

#include "ServerScript.h"
#include "mail/QelPOP3.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::ScriptedServer server(data, size);
    mail::TQelPOP pop(server.factory, server.pump, server.clock);
    pop.Host = "127.0.0.1";
    pop.GetUIDLsOnRetrieve = true;
    try {
        pop.Connect();
        if (pop.Failed || !pop.Login("bob", "secret"))
            return 0;
        pop.GetMailCount();
        pop.RetrieveTop(1, 0);
        pop.RetrieveMessage(1);
        pop.DeleteMessage(1);
        pop.GetUIDL(2);
        pop.CapabilityListed("UIDL");
        pop.GetUIDLList();
        pop.Quit();
    } catch (const mail::MailError&) {
    }
    return 0;
}
