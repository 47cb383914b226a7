"""The one list of the directory's attributes and classes as an LDAP server holds them.

Both kestrel.schema (written by `to_ldif.py --schema`) and the converter come from the lists
below, so the schema a server loads and the LDIF it is fed never disagree.

Our own attribute types and object classes are numbered under the private arc ARC, a
`2.25.<UUID>` arc (ITU-T X.667) that needs no registration: ARC.1.n are attribute types,
ARC.2.n object classes. A number, once given, is never reused or changed: new rows take
the next free number, retired rows keep theirs out of use.
"""
import re

ARC = "2.25.314339075593262443298567036266749540338"

# Directory syntax numbers (those the client API reports) and what an LDAP server stores.
DN, CASE_EXACT, CASE_IGNORE, PRINTABLE, NUMERIC = 1, 2, 3, 4, 5
INTEGER, OCTETS, TELEPHONE, NET_ADDRESS, CLASS_NAME, TIME = 8, 9, 10, 12, 20, 24
TEXT_SYNTAXES = {CASE_EXACT, CASE_IGNORE, PRINTABLE, NUMERIC, TELEPHONE, CLASS_NAME}

_DIRECTORY_STRING = ("EQUALITY caseIgnoreMatch SUBSTR caseIgnoreSubstringsMatch "
                     "SYNTAX 1.3.6.1.4.1.1466.115.121.1.15")
_OCTET_STRING = "EQUALITY octetStringMatch SYNTAX 1.3.6.1.4.1.1466.115.121.1.40"
LDAP_SYNTAX = {
    DN: "EQUALITY distinguishedNameMatch SYNTAX 1.3.6.1.4.1.1466.115.121.1.12",
    CASE_EXACT: ("EQUALITY caseExactMatch SUBSTR caseExactSubstringsMatch "
                 "SYNTAX 1.3.6.1.4.1.1466.115.121.1.15"),
    CASE_IGNORE: _DIRECTORY_STRING,
    PRINTABLE: _DIRECTORY_STRING,
    NUMERIC: _DIRECTORY_STRING,
    TELEPHONE: _DIRECTORY_STRING,
    CLASS_NAME: _DIRECTORY_STRING,
    INTEGER: ("EQUALITY integerMatch ORDERING integerOrderingMatch "
              "SYNTAX 1.3.6.1.4.1.1466.115.121.1.27"),
    OCTETS: _OCTET_STRING,
    NET_ADDRESS: _OCTET_STRING,
    TIME: ("EQUALITY generalizedTimeMatch ORDERING generalizedTimeOrderingMatch "
           "SYNTAX 1.3.6.1.4.1.1466.115.121.1.24"),
}


class Attribute:
    """One directory attribute in one syntax.

    number: ARC.1.number for our own types; None for a type of the standard schemas
    (core, cosine, inetorgperson) that the server already knows under `ldap`.
    sup: the directory name of the attribute this one is a variant of. An LDAP type has one
    syntax, so values of a second syntax in the same directory attribute go into a subtype:
    a search asking for the attribute returns the subtype's values too.
    """

    def __init__(self, number, name, syntax, ldap=None, sup=None):
        self.number, self.name, self.syntax, self.sup = number, name, syntax, sup
        self.ldap = ldap or ldap_name(name)


class ObjectClass:
    """number None: a standard structural class under `ldap`; naming: its RDN types."""

    def __init__(self, number, name, ldap=None):
        self.number, self.name = number, name
        self.ldap = ldap or ldap_name(name)


def ldap_name(name):
    """The directory's LDAP naming: spaces and colons removed, the first letter lower-cased."""
    squeezed = re.sub(r"[ :]", "", name)
    return squeezed[:1].lower() + squeezed[1:]


# Derived names that a standard schema already takes for something else take our prefix.
ATTRIBUTES = [
    Attribute(1, "WM:NAME Computer", CASE_IGNORE),
    Attribute(2, "WM:NAME OS", CASE_IGNORE),
    Attribute(3, "WM:NAME DNS", CASE_IGNORE),
    Attribute(4, "WM:Network Address", CASE_IGNORE),
    Attribute(5, "WM:Network Address", NET_ADDRESS, ldap="wMNetworkAddressNetAddress",
              sup="WM:Network Address"),
    Attribute(6, "WM:User History", CASE_IGNORE),
    Attribute(7, "WM:Last Registered Time", TIME),
    Attribute(8, "WM:INV Physical Memory", INTEGER),
    Attribute(9, "ZEN:INV Computer Type", CASE_IGNORE),
    Attribute(10, "ZEN:INV Computer Model", CASE_IGNORE),
    Attribute(11, "ZEN:INV Model Number", CASE_IGNORE),
    Attribute(12, "ZEN:INV Serial Number", CASE_IGNORE),
    Attribute(13, "ZEN:INV Asset Tag", CASE_IGNORE),
    Attribute(14, "ZEN:INV OS Type", CASE_IGNORE),
    Attribute(15, "ZEN:INV OS Revision", CASE_IGNORE),
    Attribute(16, "ZEN:INV Novell Client Version", CASE_IGNORE),
    Attribute(17, "ZEN:INV BIOS Type", CASE_IGNORE),
    Attribute(18, "ZEN:INV IP Address", CASE_IGNORE),
    Attribute(19, "ZEN:INV IPX Address", CASE_IGNORE),
    Attribute(20, "ZEN:INV MAC Address", CASE_IGNORE),
    Attribute(21, "ZEN:INV Subnet Address", CASE_IGNORE),
    Attribute(22, "ZEN:INV Memory Size", CASE_IGNORE),
    Attribute(23, "ZEN:INV Processor Type", CASE_IGNORE),
    Attribute(24, "ZEN:INV Last Scan Date", CASE_IGNORE),
    Attribute(25, "ZEN:INV Disk Info", OCTETS),
    Attribute(26, "ZEN:INV NIC Type", OCTETS),
    Attribute(27, "ZEN:INV Video Type", OCTETS),
    Attribute(28, "Full Name", CASE_IGNORE),
    Attribute(29, "Member", CASE_IGNORE, ldap="kestrelMember"),
    Attribute(30, "Network Address", NET_ADDRESS),
    Attribute(31, "Host Server", DN),
    Attribute(32, "Host Resource Name", CASE_IGNORE),
    Attribute(33, "Version", CASE_IGNORE),
    Attribute(34, "Workstation Class", CLASS_NAME),
    # The standard aliasedObjectName would make slapd dereference the entry as an alias.
    Attribute(35, "Aliased Object Name", DN, ldap="kestrelAliasedObjectName"),
    Attribute(None, "Surname", CASE_IGNORE, ldap="sn"),
    Attribute(None, "Description", CASE_IGNORE, ldap="description"),
    Attribute(None, "Telephone Number", TELEPHONE, ldap="telephoneNumber"),
]

# Our own classes are structural, named by cn; kestrelObject (auxiliary) allows every
# attribute above on any entry, the standard classes included.
CLASSES = [
    ObjectClass(None, "Organization", "organization"),
    ObjectClass(None, "Organizational Unit", "organizationalUnit"),
    ObjectClass(None, "User", "inetOrgPerson"),
    ObjectClass(None, "Country", "country"),
    ObjectClass(None, "Locality", "locality"),
    ObjectClass(1, "Workstation"),
    ObjectClass(2, "Group"),
    ObjectClass(3, "Printer"),
    ObjectClass(4, "NCP Server"),
    ObjectClass(5, "Volume"),
    ObjectClass(6, "Alias", "kestrelAlias"),
]
AUXILIARY = "kestrelObject"
AUXILIARY_NUMBER = 100

# The standard schemas a server needs besides ours (domain, inetOrgPerson...).
STANDARD_SCHEMAS = ["core", "cosine", "inetorgperson"]


def attribute(name, syntax):
    """The row holding values of `syntax` in the directory attribute `name`, or None."""
    for a in ATTRIBUTES:
        if a.name.lower() == name.lower() and a.syntax == syntax:
            return a
    return None


def object_class(name):
    for c in CLASSES:
        if c.name.lower() == name.lower():
            return c
    return None


def _quoted(text):
    return "'" + text.replace("\\", "\\5C").replace("'", "\\27") + "'"


def schema_text():
    lines = [
        "# Kestrel directory schema for OpenLDAP slapd (include it after core, cosine and",
        "# inetorgperson). Written by examples/directory/to_ldif.py --schema from the list",
        "# in ldap_schema.py: change the list, not this file.",
        "#",
        "# Private OID arc (a 2.25 UUID arc, which needs no registration):",
        "#   %s" % ARC,
        "#   %s.1.n  attribute types" % ARC,
        "#   %s.2.n  object classes" % ARC,
        "# Numbers are never reused. X-NDS_NAME gives each type and class its directory",
        "# name, X-NDS_SYNTAX the directory syntax number its values have.",
        "",
    ]
    by_name = {a.name: a for a in ATTRIBUTES if a.sup is None}
    for a in ATTRIBUTES:
        if a.number is None:
            continue
        sup = " SUP " + by_name[a.sup].ldap if a.sup else ""
        lines += ["attributetype ( %s.1.%d NAME %s%s" % (ARC, a.number, _quoted(a.ldap), sup),
                  "  " + LDAP_SYNTAX[a.syntax],
                  "  X-NDS_NAME %s X-NDS_SYNTAX '%d' )" % (_quoted(a.name), a.syntax)]
    lines.append("")
    for c in CLASSES:
        if c.number is not None:
            lines += ["objectclass ( %s.2.%d NAME %s" % (ARC, c.number, _quoted(c.ldap)),
                      "  SUP top STRUCTURAL MUST cn X-NDS_NAME %s )" % _quoted(c.name)]
    lines += ["objectclass ( %s.2.%d NAME '%s'" % (ARC, AUXILIARY_NUMBER, AUXILIARY),
              "  SUP top AUXILIARY MAY ("]
    lines += ["    %s %s" % ("$" if i else " ", a.ldap) for i, a in enumerate(ATTRIBUTES)]
    lines.append("  ) )")
    return "\n".join(lines) + "\n"
