#!/usr/bin/env python3
"""Converts a Kestrel directory file (JSON) to LDIF for an LDAP server, or writes the schema.

    to_ldif.py [DIRECTORY.json] [-o OUT.ldif] [--suffix dc=kestrel]
    to_ldif.py --schema [-o kestrel.schema]

All trees go below one suffix: the tree ACME_TREE is dc=ACME_TREE,dc=kestrel, and
CN=WS17.OU=Sales.O=Acme in it is cn=WS17,ou=Sales,o=Acme,dc=ACME_TREE,dc=kestrel. Objects
keep the file's order (parents first), so slapadd takes the output as it is. Attribute
types and classes come from ldap_schema.py; a name the list does not know is an error, not
a silent drop.
"""
import argparse
import base64
import calendar
import json
import os
import re
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ldap_schema as schema  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
NAMING_TYPES = {"CN": "cn", "OU": "ou", "O": "o", "C": "c", "L": "l", "S": "st"}
MAX_TIME = calendar.timegm((9999, 12, 31, 23, 59, 59))


class ConversionError(Exception):
    pass


def escape_dn_value(value):
    """An RDN value as RFC 4514 writes it; UTF-8 stays as it is, as the RFC allows."""
    out = []
    for i, ch in enumerate(value):
        if ch in ',+="\\<>;' or (ch == "#" and i == 0) \
                or (ch == " " and (i == 0 or i == len(value) - 1)):
            out.append("\\" + ch)
        elif ch == "\0":
            out.append("\\00")
        else:
            out.append(ch)
    return "".join(out)


def parse_name(name):
    """[(LDAP type, value)] of a typed dotted name, leaf first."""
    parts = []
    for part in name.split("."):
        kind, sep, value = part.partition("=")
        if not sep or not value or kind.upper() not in NAMING_TYPES:
            raise ConversionError("%r is not a typed name (CN=, OU=, O=, C=, L=, S= parts)"
                                  % name)
        parts.append((NAMING_TYPES[kind.upper()], value))
    return parts


def tree_dn(tree, suffix):
    return "dc=%s,%s" % (escape_dn_value(tree), suffix)


def object_dn(name, base):
    return ",".join("%s=%s" % (t, escape_dn_value(v)) for t, v in parse_name(name)) + "," + base


def _is_safe(value):
    """LDIF's SAFE-STRING (RFC 2849): otherwise the value goes base64."""
    return not value or (re.fullmatch(r"[\x01-\x09\x0b\x0c\x0e-\x7f]*", value)
                         and value[0] not in " :<" and value[-1] != " ")


def ldif_line(attr, value):
    if isinstance(value, bytes):
        return "%s:: %s" % (attr, base64.b64encode(value).decode("ascii"))
    if _is_safe(value):
        return "%s: %s" % (attr, value)
    return "%s:: %s" % (attr, base64.b64encode(value.encode("utf-8")).decode("ascii"))


def _decode_octets(text):
    kind, _, data = text.partition(":")
    try:
        if kind == "hex":
            return bytes.fromhex(data)
        if kind == "base64":
            return base64.b64decode(data, validate=True)
    except ValueError as e:
        raise ConversionError("octets %r: %s" % (text, e))
    raise ConversionError("octets %r: neither hex: nor base64:" % text)


def typed_value(value, base):
    """(syntax, LDAP value as str or bytes) of one JSON value; names resolve below base."""
    if isinstance(value, str):
        syntax, text = schema.CASE_IGNORE, value
    elif isinstance(value, dict) and "string" in value:
        syntax, text = value.get("syntax", schema.CASE_IGNORE), value["string"]
        if syntax == schema.DN:
            return syntax, object_dn(text, base)
        if syntax not in schema.TEXT_SYNTAXES:
            raise ConversionError("text syntax %r is not one of %s"
                                  % (syntax, sorted(schema.TEXT_SYNTAXES | {schema.DN})))
    elif isinstance(value, dict) and "integer" in value:
        return schema.INTEGER, str(int(value["integer"]))
    elif isinstance(value, dict) and "time" in value:
        seconds = value["time"]
        if not isinstance(seconds, int) or not 0 <= seconds <= MAX_TIME:
            raise ConversionError("time %r out of range" % seconds)
        return schema.TIME, time.strftime("%Y%m%d%H%M%SZ", time.gmtime(seconds))
    elif isinstance(value, dict) and "octets" in value:
        return schema.OCTETS, _decode_octets(value["octets"])
    elif isinstance(value, dict) and "netaddress" in value:
        address = value["netaddress"]
        try:
            data = bytes.fromhex(address["hex"])
        except (KeyError, TypeError, ValueError):
            raise ConversionError("network address %r has no valid hex bytes" % address)
        return schema.NET_ADDRESS, b"%d#" % int(address["type"]) + data
    else:
        raise ConversionError("value %r is of no known kind" % (value,))
    if not text:
        raise ConversionError("empty text: an LDAP server holds no empty strings")
    return syntax, text


def entry_lines(obj, base):
    name, cls = obj["name"], obj["class"]
    oc = schema.object_class(cls)
    if oc is None:
        raise ConversionError("class %r is not in ldap_schema.py" % cls)
    rdn_type, rdn_value = parse_name(name)[0]
    if rdn_type == "c" and not re.fullmatch(r"[A-Za-z]{2}", rdn_value):
        raise ConversionError("a country's name is two letters, not %r" % rdn_value)
    lines = [ldif_line("dn", object_dn(name, base)), "objectClass: " + oc.ldap]
    attrs = obj.get("attributes", {})
    if attrs:
        lines.append("objectClass: " + schema.AUXILIARY)
    lines.append(ldif_line(rdn_type, rdn_value))
    if cls.lower() == "user" and not any(a.lower() == "surname" for a in attrs):
        lines.append(ldif_line("sn", rdn_value))  # inetOrgPerson must have one
    if "password" in obj:
        lines.append(ldif_line("userPassword", "{CRYPT}" + obj["password"]))
    for attr_name, values in attrs.items():
        for value in values:
            syntax, ldap_value = typed_value(value, base)
            row = schema.attribute(attr_name, syntax)
            if row is None:
                raise ConversionError("attribute %r with syntax %d is not in ldap_schema.py"
                                      % (attr_name, syntax))
            lines.append(ldif_line(row.ldap, ldap_value))
    return lines


def convert(directory, out, suffix):
    """Writes the LDIF; returns [(tree name, its base DN)]."""
    first = suffix.split(",")[0]
    if not first.lower().startswith("dc="):
        raise ConversionError("the suffix must start with dc=, not %r" % suffix)
    out.write("dn: %s\nobjectClass: domain\ndc: %s\n\n" % (suffix, first[3:]))
    trees = []
    for tree in directory["trees"]:
        base = tree_dn(tree["name"], suffix)
        trees.append((tree["name"], base))
        out.write("\n".join([ldif_line("dn", base), "objectClass: domain",
                             ldif_line("dc", tree["name"])]) + "\n\n")
        for obj in tree["objects"]:
            try:
                out.write("\n".join(entry_lines(obj, base)) + "\n\n")
            except ConversionError as e:
                raise ConversionError("tree %s, object %s: %s" % (tree["name"], obj["name"], e))
    return trees


def write_atomically(path, produce):
    """The output appears whole or not at all."""
    folder = os.path.dirname(os.path.abspath(path))
    fd, temp = tempfile.mkstemp(dir=folder, prefix=".to_ldif-")
    try:
        with os.fdopen(fd, "w", encoding="utf-8") as f:
            produce(f)
            f.flush()
            os.fsync(f.fileno())
        os.chmod(temp, 0o644)
        os.replace(temp, path)
    except BaseException:
        os.unlink(temp)
        raise


def main(argv=None):
    p = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    p.add_argument("directory", nargs="?", default=os.path.join(HERE, "sample.json"),
                   help="the directory file (default: the sample)")
    p.add_argument("-o", "--output", help="write here (atomically) instead of standard output")
    p.add_argument("--suffix", default="dc=kestrel", help="the server's suffix (dc=kestrel)")
    p.add_argument("--schema", action="store_true", help="write the LDAP schema instead")
    args = p.parse_args(argv)

    def produce(out):
        if args.schema:
            out.write(schema.schema_text())
            return
        with open(args.directory, encoding="utf-8") as f:
            convert(json.load(f), out, args.suffix)

    try:
        if args.output:
            write_atomically(args.output, produce)
        else:
            produce(sys.stdout)
    except (OSError, ValueError, KeyError, ConversionError) as e:
        sys.exit("to_ldif.py: %s: %s" % (args.directory, e))


if __name__ == "__main__":
    main()
