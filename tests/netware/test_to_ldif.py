"""The directory-file to LDIF converter on its own: values of each syntax, what LDIF must
carry base64, escaping, and the errors that stop a conversion (with nothing written)."""
import base64
import io
import os
import subprocess
import sys
import tempfile
import unittest

EXAMPLES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples",
                        "directory")
sys.path.insert(0, EXAMPLES)
import to_ldif  # noqa: E402


def tree(*objects):
    acme = {"name": "O=Acme", "class": "Organization"}
    return {"trees": [{"name": "T", "objects": [acme] + list(objects)}]}


def entries(directory):
    """{dn: [(attribute, value as bytes or str)]} of the converted directory."""
    out = io.StringIO()
    to_ldif.convert(directory, out, "dc=kestrel")
    result = {}
    for block in out.getvalue().strip().split("\n\n"):
        pairs = []
        for line in block.split("\n"):
            if ":: " in line:
                name, value = line.split(":: ", 1)
                pairs.append((name, base64.b64decode(value)))
            else:
                name, value = line.split(": ", 1)
                pairs.append((name, value))
        dn = pairs[0][1]
        result[dn.decode() if isinstance(dn, bytes) else dn] = pairs[1:]
    return result


def workstation(attributes, name="CN=W.O=Acme"):
    return {"name": name, "class": "Workstation", "attributes": attributes}


class Values(unittest.TestCase):
    def values(self, attributes):
        return entries(tree(workstation(attributes)))["cn=W,o=Acme,dc=T,dc=kestrel"]

    def test_each_syntax_has_its_server_form(self):
        got = self.values({
            "WM:Last Registered Time": [{"time": 0}, {"time": 4294967295}],
            "WM:INV Physical Memory": [{"integer": -2147483648}],
            "Network Address": [{"netaddress": {"type": 9, "hex": "020c7f010002"}}],
            "ZEN:INV NIC Type": [{"octets": "base64:AAE="}],
            "Host Server": [{"string": "CN=FS1.O=Acme", "syntax": 1}],
        })
        self.assertIn(("wMLastRegisteredTime", "19700101000000Z"), got)
        self.assertIn(("wMLastRegisteredTime", "21060207062815Z"), got)
        self.assertIn(("wMINVPhysicalMemory", "-2147483648"), got)
        self.assertIn(("networkAddress", b"9#\x02\x0c\x7f\x01\x00\x02"), got)
        self.assertIn(("zENINVNICType", b"\x00\x01"), got)
        self.assertIn(("hostServer", "cn=FS1,o=Acme,dc=T,dc=kestrel"), got)

    def test_texts_ldif_cannot_carry_plainly_go_base64(self):
        texts = [" lead", "trail ", ":colon", "<angle", "Grüße", "two\nlines", "plain text"]
        got = self.values({"WM:NAME Computer": texts})
        self.assertEqual([v for a, v in got if a == "wMNAMEComputer"],
                         [t.encode() for t in texts[:-1]] + ["plain text"])

    def test_users_get_a_surname_once_and_their_hash(self):
        users = entries(tree(
            {"name": "CN=a.O=Acme", "class": "User", "password": "$6$s$h"},
            {"name": "CN=b.O=Acme", "class": "User", "password": "$6$s$h",
             "attributes": {"Surname": ["Bee"]}}))
        a = users["cn=a,o=Acme,dc=T,dc=kestrel"]
        self.assertIn(("sn", "a"), a)
        self.assertIn(("userPassword", "{CRYPT}$6$s$h"), a)
        self.assertEqual([v for k, v in users["cn=b,o=Acme,dc=T,dc=kestrel"] if k == "sn"],
                         ["Bee"])


class Names(unittest.TestCase):
    def test_rdn_values_are_escaped_where_rfc_4514_needs_it(self):
        cases = {
            "a,b": r"a\,b", "a+b": r"a\+b", 'a"b': r"a\"b", "a\\b": r"a\\b", "a<b>": r"a\<b\>",
            "a;b": r"a\;b", "a=b": r"a\=b", "#a#": r"\#a#", " a b ": r"\ a b\ ", "a\0": r"a\00",
            "Müller": "Müller",
        }
        for value, escaped in cases.items():
            self.assertEqual(to_ldif.escape_dn_value(value), escaped, value)

    def test_nested_typed_names_map_their_types(self):
        dn = to_ldif.object_dn("CN=x.OU=u.O=o.L=l.S=s.C=DE", "dc=T")
        self.assertEqual(dn, "cn=x,ou=u,o=o,l=l,st=s,c=DE,dc=T")


class Errors(unittest.TestCase):
    def assertFails(self, directory, message):
        with self.assertRaises(to_ldif.ConversionError) as caught:
            entries(directory)
        self.assertIn(message, str(caught.exception))

    def test_what_the_schema_cannot_hold_stops_the_conversion(self):
        self.assertFails(tree({"name": "CN=T.O=Acme", "class": "Toaster"}),
                         "object CN=T.O=Acme: class 'Toaster' is not in ldap_schema.py")
        self.assertFails(tree(workstation({"WM:Colour": ["red"]})),
                         "attribute 'WM:Colour' with syntax 3 is not in ldap_schema.py")
        self.assertFails(tree(workstation({"WM:NAME Computer": [{"integer": 1}]})),
                         "attribute 'WM:NAME Computer' with syntax 8")
        self.assertFails(tree(workstation({"WM:NAME Computer": [""]})), "empty text")
        self.assertFails(tree({"name": "C=Germany", "class": "Country"}), "two letters")
        self.assertFails(tree(workstation({"ZEN:INV NIC Type": [{"octets": "hex:abc"}]})),
                         "octets 'hex:abc'")
        self.assertFails(tree(workstation({"WM:Last Registered Time": [{"time": -1}]})),
                         "time -1 out of range")
        self.assertFails(tree(workstation({}, name=r"CN=a\.b.O=Acme")), "not a typed name")

    def test_a_failed_conversion_leaves_the_output_as_it_was(self):
        with tempfile.TemporaryDirectory() as folder:
            source = os.path.join(folder, "bad.json")
            with open(source, "w") as f:
                f.write('{"trees": [{"name": "T", "objects": [{"name": "CN=x", "class": "X"}]}]}')
            target = os.path.join(folder, "out.ldif")
            with open(target, "w") as f:
                f.write("before")
            run = subprocess.run([sys.executable, os.path.join(EXAMPLES, "to_ldif.py"), source,
                                  "-o", target], capture_output=True, text=True)
            self.assertNotEqual(run.returncode, 0)
            self.assertIn("object CN=x", run.stderr)
            with open(target) as f:
                self.assertEqual(f.read(), "before")
            self.assertEqual(sorted(os.listdir(folder)), ["bad.json", "out.ldif"])


if __name__ == "__main__":
    unittest.main()
