// The copy of an LDAP server's schema that the client keeps in the user's cache folder, as
// a later program takes it back: a damaged copy must be refused, never misread.
#include "FuzzInput.h"
#include "LdapSchema.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    nw::LdapSchema schema;
    if (!schema.restore(kestrel::fuzz::text(data, size))) return 0;
    (void)schema.ldapAttribute("WM:NAME Computer");
    (void)schema.syntaxOf("cn");
    (void)schema.directoryClass("workstation");
    nw::LdapSchema again;
    if (!again.restore(schema.saved()) || again.saved() != schema.saved()) __builtin_trap();
    return 0;
}
