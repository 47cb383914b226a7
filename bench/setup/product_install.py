#!/usr/bin/env python3
"""Whole installations through the `setup` program, silently, into fresh Wine prefixes.

    python3 bench/setup/product_install.py [build] [files,...] [rounds] [layouts]

1. The sample product Beacon Monitor (build/examples/products/beacon/disk): `setup /S`
   and then `setup /U /S`, each timed.
2. For each number of files (default 5000) and each layout (default "spread,one"), a
   generated product of that many files (30-50 KB each, MSZIP cabinets of 1000 files),
   spread over folders of 100 or all in one folder: `setup /S` against `cabextract` of the
   same cabinets plus `cp -r` into the prefix's drive; then `setup /U /S` against `rm -rf`
   of the installed folder plus `wine reg delete` of the two keys the installation made.

Each side's wall time and processor time (user + system of the processes it waited for;
Wine's server and the programs it starts on its own are not among them) is printed with the
ratio. After the first round the two sides' files are compared, and a difference stops the
script before any figure is given. Every round starts from a fresh prefix: a copy of one
that `wineboot --init` made once (not timed); for the generated product all copies are
made first, then the filesystem is given a minute to let go of the inodes freed before
(see versus_host_tools). The two sides take turns at going first. Medians of the rounds
(default 5); the removals use the rounds' installed prefixes, every other one for each
side, so they need at least two rounds. Needs
Wine, gcab and cabextract. The readme that the sample opens at the end goes to a stand-in
`xdg-open` that shows nothing. HOME, the XDG places and WINEPREFIX point into a temporary folder
that is removed at the end.
"""
import os
import random
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

FILES_PER_FOLDER = 100
FILES_PER_CABINET = 1000
LAYOUTS = {"spread": FILES_PER_FOLDER, "one": None}  # files per folder; None: one folder
# The keys the generated product's installation makes (a 32-bit program's view).
PRODUCT_KEYS = ["HKLM\\Software\\Kestrel Bench",
                "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Bench Product"]
# ext4 passes over inodes freed less than a minute ago (longer while their table block is
# unwritten) when it looks for a free one.
RECENTLY_FREED_SECONDS = 65


def run(argv, **kwargs):
    subprocess.run(argv, check=True, stdout=subprocess.DEVNULL, **kwargs)


def processor_seconds():
    used = resource.getrusage(resource.RUSAGE_CHILDREN)
    return used.ru_utime + used.ru_stime


def timed(*commands):
    """Runs the commands one after another; (wall, processor) seconds of them all."""
    start, used = time.monotonic(), processor_seconds()
    for argv in commands:
        done = subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                              errors="replace")
        if done.returncode != 0:
            sys.exit(f"failed ({done.returncode}): {' '.join(argv)}\n{done.stdout}")
    return time.monotonic() - start, processor_seconds() - used


def content(rng, size):
    """Text-like bytes that MSZIP shrinks about as much as program files."""
    words = [b"kestrel", b"setup", b"0x4000", b"cabinet", b"folder", b"\x01\x02\x03",
             b"member", b"Windows", b"\xff\xfe", b"LZX"]
    parts, length = [], 0
    while length < size:
        part = rng.choice(words) + bytes([rng.randrange(256)])
        parts.append(part)
        length += len(part)
    return b"".join(parts)[:size]


def make_product(where, files, per_folder=FILES_PER_FOLDER):
    """The generated product's disk: Setup.inf and Data01.cab...; returns (disk, bytes).
    Each file is a slice of one stretch of generated text, so that 50,000 of them are made
    in seconds; `per_folder` None puts them all in one folder."""
    disk, payload = os.path.join(where, "disk"), os.path.join(where, "payload")
    os.makedirs(disk)
    rng = random.Random(7)
    text = content(rng, 1 << 22)
    lines, cabinets, total = [], {}, 0
    for i in range(files):
        name = f"d{i // per_folder}/f{i}.dat" if per_folder else f"all/f{i}.dat"
        size = 30000 + rng.randrange(20000)
        os.makedirs(os.path.join(payload, os.path.dirname(name)), exist_ok=True)
        start = rng.randrange(len(text) - size)
        with open(os.path.join(payload, name), "wb") as out:
            out.write(text[start:start + size])
        total += size
        number = i // FILES_PER_CABINET + 1
        cabinets.setdefault(number, []).append(name)
        windows = name.replace("/", "\\")
        lines.append(f"{number}:{windows},{windows},0,{size}")
    disks = []
    for number, members in cabinets.items():
        run(["gcab", "-c", "-z", os.path.join(disk, f"Data{number:02d}.cab"), *members],
            cwd=payload)
        disks.append(f"{number}=Disk {number}")
    shutil.rmtree(payload)
    script = ["[Setup]", "Version=5.11", "[Application]", "ProductName=Bench Product",
              "Version=1.0", "MachineKeyName=Kestrel Bench\\Bench Product\\1.0",
              "UninstallKeyName=Bench Product", "UninstallDisplayName=Bench Product",
              "ApplicationDir=C:\\Bench", "[Disks]", *disks, "CabTemplateName=Data00.cab",
              "[Copy]", "Files=Bench files,COPYALWAYS,,", "[Files]", *lines]
    with open(os.path.join(disk, "Setup.inf"), "w", newline="\r\n") as out:
        out.write("\n".join(script) + "\n")
    return disk, total


class Prefixes:
    """Fresh prefixes as copies of one that Wine made."""

    def __init__(self, where):
        self.where = where
        self.pristine = os.path.join(where, "pristine")
        env = dict(os.environ, WINEPREFIX=self.pristine)
        run(["wineboot", "--init"], env=env, stderr=subprocess.DEVNULL)
        run(["wineserver", "-w"], env=env)

    def fresh(self, name):
        prefix = os.path.join(self.where, name)
        shutil.rmtree(prefix, ignore_errors=True)
        run(["cp", "-a", self.pristine, prefix])
        os.environ["WINEPREFIX"] = prefix
        return prefix


def check_installed(path, installed=True):
    """A run that ends with 0 but did not do its work must not give a figure."""
    if os.path.exists(path) != installed:
        sys.exit(f"setup ended with exit code 0, but {path} is "
                 f"{'missing' if installed else 'still there'}")


def count_files(folder):
    return sum(len(files) for _, _, files in os.walk(folder))


def setup_rounds(setup, prefixes, disk, rounds):
    installs, removals = [], []
    script = os.path.join(disk, "Setup.inf")
    for _ in range(rounds):
        prefix = prefixes.fresh("prefix")
        program = os.path.join(prefix, "drive_c", "Program Files (x86)", "Beacon Monitor",
                               "BEACON.EXE")
        installs.append(timed([setup, "/S", f"/P{disk}/", script])[0])
        check_installed(program)
        removals.append(timed([setup, "/U", "/S", script])[0])
        check_installed(program, False)
    return statistics.median(installs), statistics.median(removals)


def same_files(installed, extracted):
    """The files setup installed are those the host tools made, byte for byte."""
    done = subprocess.run(["diff", "-r", "-q", installed, extracted],
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                          errors="replace")
    if done.returncode != 0:
        sys.exit(f"setup's files differ from cabextract's:\n{done.stdout[:2000]}")


def versus_host_tools(setup, prefixes, disk, files, rounds):
    """Both sides write into prefixes copied before any timing, after the filesystem has let
    go of the inodes freed before them: ext4 skips, one by one, inodes freed in the last
    minute when it allocates new ones, which made whichever side wrote where a prefix had
    just been deleted look up to half again slower. Returns the (wall, processor) figures
    of each side's installations and removals."""
    ours, theirs = [], []
    script = os.path.join(disk, "Setup.inf")
    cabinets = sorted(os.path.join(disk, f) for f in os.listdir(disk) if f.endswith(".cab"))
    targets = [(prefixes.fresh(f"prefix{i}"), prefixes.fresh(f"baseline{i}"))
               for i in range(rounds)]
    run(["sync"])
    time.sleep(RECENTLY_FREED_SECONDS)
    for index, (prefix, baseline) in enumerate(targets):
        installed = os.path.join(prefix, "drive_c", "Bench")
        copied = os.path.join(baseline, "drive_c", "Bench")

        def installer():
            os.environ["WINEPREFIX"] = prefix
            ours.append(timed([setup, "/S", f"/P{disk}/", script]))
            count = count_files(installed)
            if count != files:
                sys.exit(f"setup ended with exit code 0 but installed {count} of {files} files")

        def host_tools():
            extracted = os.path.join(prefixes.where, f"extracted{index}")
            theirs.append(timed(*[["cabextract", "-q", "-d", extracted, cabinet]
                                  for cabinet in cabinets], ["cp", "-r", extracted, copied]))

        first, second = (installer, host_tools) if index % 2 == 0 else (host_tools, installer)
        first()
        run(["sync"])
        second()
        run(["sync"])
        if index == 0:
            same_files(installed, copied)
    removals, host_removals = [], []
    for index, (prefix, _) in enumerate(targets):
        os.environ["WINEPREFIX"] = prefix
        installed = os.path.join(prefix, "drive_c", "Bench")
        if index % 2 == 0:
            removals.append(timed([setup, "/U", "/S", script]))
        else:
            host_removals.append(timed(["rm", "-rf", installed],
                                       *[["wine", "reg", "delete", key, "/f", "/reg:32"]
                                         for key in PRODUCT_KEYS]))
            run(["wineserver", "-w"])
        check_installed(installed, False)
        run(["sync"])
    return ours, theirs, removals, host_removals


def medians(figures):
    """(wall, processor) medians of (wall, processor) pairs."""
    return tuple(statistics.median(figure[i] for figure in figures) for i in (0, 1))


def side_by_side(what, ours, theirs):
    if not theirs:
        return f"{what}: {ours[0]:.2f} s ({ours[1]:.2f} s processor)"
    return (f"{what}: {ours[0]:.2f} / {theirs[0]:.2f} s wall, ratio {ours[0] / theirs[0]:.2f}; "
            f"{ours[1]:.2f} / {theirs[1]:.2f} s processor, ratio {ours[1] / theirs[1]:.2f}")


def generated_product(setup, prefixes, files, layout, rounds):
    where = os.path.join(prefixes.where, f"generated-{files}-{layout}")
    disk, total = make_product(where, files, LAYOUTS[layout])
    ours, theirs, removals, host_removals = versus_host_tools(setup, prefixes, disk, files,
                                                              rounds)
    folders = "one folder" if LAYOUTS[layout] is None else f"folders of {LAYOUTS[layout]}"
    print(f"{files} files in {folders}, {total / 1e6:.0f} MB, {rounds} rounds")
    print("  " + side_by_side("setup /S against cabextract + cp -r", medians(ours),
                              medians(theirs)))
    print("  " + side_by_side("setup /U /S against rm -rf + wine reg delete", medians(removals),
                              medians(host_removals) if host_removals else None), flush=True)
    # What one size leaves would otherwise fill the disk before the next.
    shutil.rmtree(where)
    for name in os.listdir(prefixes.where):
        if name.startswith(("prefix", "baseline", "extracted")):
            shutil.rmtree(os.path.join(prefixes.where, name))


def bench_environment(name):
    """A temporary folder for HOME, the XDG places and the prefixes; Wine quiet and without a
    display; a stand-in xdg-open that shows nothing (the sample opens its readme at the end)."""
    where = tempfile.mkdtemp(prefix=name)
    for variable in ("HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME",
                     "XDG_DATA_HOME"):
        os.environ[variable] = os.path.join(where, variable.lower())
        os.makedirs(os.environ[variable])
    os.environ.update(WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    for variable in ("DISPLAY", "WAYLAND_DISPLAY", "USERPROFILE"):
        os.environ.pop(variable, None)
    stubs = os.path.join(where, "stubs")
    os.makedirs(stubs)
    with open(os.path.join(stubs, "xdg-open"), "w") as stub:
        stub.write("#!/bin/sh\nexit 0\n")
    os.chmod(os.path.join(stubs, "xdg-open"), 0o755)
    os.environ["PATH"] = stubs + os.pathsep + os.environ["PATH"]
    return where


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    sizes = [int(n) for n in (sys.argv[2] if len(sys.argv) > 2 else "5000").split(",")]
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    layouts = (sys.argv[4] if len(sys.argv) > 4 else "spread,one").split(",")
    for layout in layouts:
        if layout not in LAYOUTS:
            sys.exit(f"unknown layout {layout}: one of {', '.join(LAYOUTS)}")
    setup = os.path.abspath(os.path.join(build, "bin", "setup"))
    beacon = os.path.abspath(os.path.join(build, "examples", "products", "beacon", "disk"))
    for need in (setup, os.path.join(beacon, "Setup.inf")):
        if not os.path.exists(need):
            sys.exit(f"{need} is missing: build the tree first (cmake --build {build})")
    where = bench_environment("product-bench-")
    try:
        prefixes = Prefixes(where)
        install, removal = setup_rounds(setup, prefixes, beacon, rounds)
        print(f"Beacon Monitor: install {install:.2f} s, uninstall {removal:.2f} s", flush=True)
        for files in sizes:
            for layout in layouts:
                generated_product(setup, prefixes, files, layout, rounds)
    finally:
        subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)
        shutil.rmtree(where, ignore_errors=True)


if __name__ == "__main__":
    main()
