#!/usr/bin/env python3
"""Whole-process time and peak memory of nwdir on the compiled directory, side by side with
slapd (mdb back end) and ldapsearch on the same data, on loopback, in a temporary folder.

    compare.py BUILD_DIR [--lean] COUNT [COUNT...]

For each count: generates the directory (make_directory.py; --lean: workstations without
attributes, and only the compile and the search are measured), times the first nwdir command
after the file changed (the compile) against slapadd of the same entries, then checks that
both sides give the same answer to each query and runs each query ROUNDS times, and reports
the median wall time, the median processor time (user + system of the client process, and
for ldapsearch also of slapd while it answered), the peak resident memory of the client
process, and for the nwdir and ldapsearch processes the private dirty memory at exit
(private_memory.c, preloaded: peak RSS also counts the shared pages of the mapped store);
for slapd also the server's resident memory after the queries.
"""
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "examples", "directory"))
import private_slapd  # noqa: E402
ROUNDS = 9


HOOK = None  # the built private_memory.so


def children_cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def server_cpu(pid):
    """Processor seconds of every thread of a running server (nanoseconds in schedstat)."""
    if pid is None:
        return 0.0
    total = 0
    for task in os.listdir("/proc/%d/task" % pid):
        with open("/proc/%d/task/%s/schedstat" % (pid, task)) as f:
            total += int(f.read().split()[0])
    return total / 1e9


def timed(command, env=None, stdin=None, server=None):
    """(seconds, peak RSS in MB, private MB at exit, processor seconds) of one run; the
    output is discarded. Processor time is the command's and, given its pid, the server's."""
    with tempfile.NamedTemporaryFile() as report, tempfile.NamedTemporaryFile() as memory:
        env = dict(env or os.environ, KESTREL_MEMORY_REPORT=memory.name)
        if HOOK:
            env["LD_PRELOAD"] = HOOK
        cpu = children_cpu() + server_cpu(server)
        start = time.perf_counter()
        result = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report.name] + command,
                                env=env, input=stdin, stdout=subprocess.DEVNULL,
                                stderr=subprocess.PIPE)
        elapsed = time.perf_counter() - start
        cpu = children_cpu() + server_cpu(server) - cpu
        if result.returncode != 0:
            sys.exit("failed (%d): %s\n%s" % (result.returncode, " ".join(command),
                                              result.stderr.decode()))
        lines = open(memory.name).read().split("\n")
        # The first line is the command's own; /usr/bin/time, preloaded too, ends later.
        private = int(lines[0].split()[1]) / 1024 if lines[0] else 0
        return elapsed, int(open(report.name).read().split()[-1]) / 1024, private, cpu


def median(command, env=None, server=None):
    """(median seconds, peak RSS, private MB, median processor seconds) of ROUNDS runs."""
    runs = [timed(command, env, server=server) for _ in range(ROUNDS)]
    return (statistics.median(r[0] for r in runs), max(r[1] for r in runs),
            max(r[2] for r in runs), statistics.median(r[3] for r in runs))


def answer(command, env=None, values=False):
    """What a command printed, as the set of its answers: the leaf value of each name that
    nwdir prints or of each dn that ldapsearch prints, or with `values` the attribute values
    either prints."""
    result = subprocess.run(command, env=env, capture_output=True)
    if result.returncode not in (0, 1):
        sys.exit("failed (%d): %s\n%s" % (result.returncode, " ".join(command),
                                          result.stderr.decode()))
    found = set()
    for line in result.stdout.decode(errors="replace").splitlines():
        if not line.strip():
            continue
        ldap = ": " in line
        if values:
            if not line.startswith("dn:"):
                found.add(line.split(": ", 1)[1] if ldap else line)
        elif line.startswith("dn: "):
            found.add(line[4:].split(",")[0].split("=", 1)[-1])
        elif not ldap:
            found.add(line.split(".")[0].split("=", 1)[-1])
    return found


def same_answers(name, ours, theirs, env, values=False):
    """Stops the benchmark unless both sides answer alike; the number of answers."""
    mine, other = answer(ours, env, values), answer(theirs, values=values)
    if mine != other or not mine:
        sys.exit("%s: nwdir and ldapsearch differ: %d against %d answers, e.g. %s"
                 % (name, len(mine), len(other), sorted(mine ^ other)[:5]))
    return len(mine)


def start_slapd(folder):
    """Loads the benchmark's LDIF into a private slapd and starts it: (url, pid, load time)."""
    with open(os.path.join(folder, "kestrel.schema"), encoding="utf-8") as f:
        private_slapd.write_conf(folder, suffix="o=Bench", schema_text=f.read())
    cpu = children_cpu()
    start = time.perf_counter()
    private_slapd.load(folder, [os.path.join(folder, "directory.ldif")])
    load = time.perf_counter() - start
    cpu = children_cpu() - cpu
    url = private_slapd.start(folder)
    return url, int(open(os.path.join(folder, "slapd.pid")).read()), load, cpu


def rss_mb(pid):
    for line in open("/proc/%d/status" % pid):
        if line.startswith("VmRSS:"):
            return int(line.split()[1]) / 1024
    return 0


def main():
    lean = "--lean" in sys.argv[2:]
    build = os.path.abspath(sys.argv[1])
    counts = [int(c) for c in sys.argv[2:] if c != "--lean"]
    nwdir = os.path.join(build, "bin", "nwdir")
    work = tempfile.mkdtemp(prefix="kestrel-dirbench-")
    global HOOK
    HOOK = os.path.join(work, "private_memory.so")
    subprocess.run(["cc", "-shared", "-fPIC", "-O2", "-o", HOOK,
                    os.path.join(HERE, "private_memory.c")], check=True)
    rows = []
    try:
        for count in counts:
            folder = os.path.join(work, str(count))
            subprocess.run([sys.executable, "-W", "ignore", os.path.join(HERE, "make_directory.py"),
                            str(count), folder] + (["--lean"] if lean else []), check=True)
            with open(os.path.join(folder, "nwclient.ini"), "w") as f:
                f.write("[Client]\nDirectory=directory.json\nDefaultTree=BENCH_TREE\n")
            env = dict(os.environ, NWCLIENT_CONFIG=os.path.join(folder, "nwclient.ini"),
                       HOME=folder, XDG_CACHE_HOME=os.path.join(folder, "cache"),
                       XDG_STATE_HOME=os.path.join(folder, "state"),
                       XDG_CONFIG_HOME=os.path.join(folder, "config"))
            size = os.path.getsize(os.path.join(folder, "directory.json")) / 1e6
            compile_time, compile_rss, compile_private, compile_cpu = timed([nwdir, "trees"], env)
            subprocess.run([nwdir, "login", "BENCH_TREE", ".CN=Admin.O=Bench"], env=env,
                           input=b"secret\n", check=True, stdout=subprocess.DEVNULL)
            url, pid, load, load_cpu = start_slapd(folder)
            try:
                middle = count // 2
                part = "WS" + "123456"[:len(str(count - 1)) - 1]
                ldap = ["ldapsearch", "-x", "-LLL", "-H", url]
                queries = [
                    ("read one attribute",
                     [nwdir, "read", "CN=WS%d.OU=Pool.O=Bench" % middle, "WM:NAME Computer"],
                     ldap + ["-b", "cn=WS%d,ou=Pool,o=Bench" % middle, "-s", "base",
                             "kzWMNAMEComputer"]),
                    ("list the container",
                     [nwdir, "list", "OU=Pool.O=Bench"],
                     ldap + ["-b", "ou=Pool,o=Bench", "-s", "one", "1.1"]),
                    ("search: 11 of %d named *%s*" % (count, part),
                     [nwdir, "search", "Workstation", part, "O=Bench"],
                     ldap + ["-b", "o=Bench", "-s", "sub",
                             "(&(objectClass=kzWorkstation)(cn=*%s*))" % part, "1.1"]),
                ]
                if lean:
                    queries = queries[2:]
                rows.append((count, "compile / slapadd (%.0f MB file)" % size,
                             (compile_time, compile_cpu), (compile_rss, compile_private),
                             (load, load_cpu), None))
                for name, ours, theirs in queries:
                    same_answers(name, ours, theirs, env, values=name.startswith("read"))
                    t, m, p, c = median(ours, env)
                    lt, lm, lp, lc = median(theirs, server=pid)
                    rows.append((count, name, (t, c), (m, p), (lt, lc), (lm, lp)))
                server = rss_mb(pid)
                rows.append((count, "slapd resident after the queries", None, None, None,
                             (server, None)))
            finally:
                private_slapd.stop(folder)
            store = sum(os.path.getsize(os.path.join(folder, "cache", "kestrel", f))
                        for f in os.listdir(os.path.join(folder, "cache", "kestrel"))
                        if f.endswith(".mdb"))
            rows.append((count, "store size %.0f MB" % (store / 1e6), None, None, None, None))
            shutil.rmtree(folder)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("load average before: %.1f, after: %.1f" % (LOAD_BEFORE, os.getloadavg()[0]))
    print("| N | what | nwdir wall / processor | nwdir peak RSS / private | "
          "slapd + ldapsearch wall / processor | ldapsearch peak RSS / private | ratio wall / "
          "processor |")
    print("|---|---|---|---|---|---|---|")

    def fmt(v, unit):
        if v is None:
            return ""
        if unit == "s":
            return "%.1f / %.1f ms" % (v[0] * 1000, v[1] * 1000)
        return " / ".join("%.1f MB" % x for x in v if x is not None)

    def ratio(ours, theirs):
        if ours is None or theirs is None or not theirs[0] or not theirs[1]:
            return ""
        return "%.2f / %.2f" % (ours[0] / theirs[0], ours[1] / theirs[1])
    for count, name, t, m, lt, lm in rows:
        print("| %s | %s | %s | %s | %s | %s | %s |" % (
            "{:,}".format(count), name, fmt(t, "s"), fmt(m, "MB"), fmt(lt, "s"), fmt(lm, "MB"),
            ratio(t, lt)))


LOAD_BEFORE = os.getloadavg()[0]

if __name__ == "__main__":
    main()
