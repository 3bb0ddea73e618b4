#pragma once
// The settings of large mail providers, kept in the program for the domains whose providers
// publish no autoconfig file of their own.
#include <optional>
#include <string>

#include "autoconfig/Address.h"
#include "autoconfig/Settings.h"

namespace autoconfig {

// The provider's settings for an address of the domain (the address' own, or the domain of
// the provider's mail servers); From is Builtin. A provider without POP3 gives its IMAP server;
// one with neither gives a Found with only a Note.
std::optional<Found> KnownProvider(const std::string& domain, const Address& address);

// A host of one of the known providers' servers or mail domains.
bool IsKnownProviderHost(const std::string& host);

}  // namespace autoconfig
