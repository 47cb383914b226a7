#!/usr/bin/env python3
"""Whole installations with the registry through Wine's server against the hive files.

    python3 bench/setup/registry_server.py [build] [values] [rounds]

Where Wine is installed, `setup` works through the prefix's wineserver for the whole run
(kestrel-registry.exe under Wine). Direct mode, the hive files read and written by setup
itself, is a copy of the same `setup` program in a folder without the helper beside it.
Two products, each installed with `setup /S` and removed with `setup /U /S`:

1. the sample product Beacon Monitor (build/examples/products/beacon/disk);
2. a generated product of N registry values (default 5000, texts of 40 characters in keys
   of 100) in one registry section.

Three ways for each: direct; through the server, no server running when setup starts (the
usual case: setup's helper starts the session); through the server, a session of the prefix
already running (a program of it was run before, untimed), so that what is left is the
registry's own cost. For the generated product, Wine's own `regedit /s` of the same values
with the session running shows what those writes cost any Windows program. Every round
starts from a fresh prefix (a copy of one that `wineboot --init` made, with one program run
in it); the ways take turns at going first. Medians of the rounds (default 5). The
environment is the one of product_install.py.
"""
import os
import shutil
import subprocess
import sys

from product_install import Prefixes, bench_environment, medians, run, timed

KEY_SIZE = 100


def make_registry_product(where, values):
    """A disk with a Setup.inf writing `values` values, and nothing else."""
    disk = os.path.join(where, "disk")
    os.makedirs(disk)
    lines = [f"HKLM\\Software\\Kestrel Bench\\Values\\K{i // KEY_SIZE}:V{i}="
             f"{'value number ' + str(i):<40}" for i in range(values)]
    script = ["[Setup]", "Version=5.11", "[Application]", "ProductName=Registry Bench",
              "Version=1.0", "MachineKeyName=Kestrel Bench\\Registry Bench\\1.0",
              "UninstallKeyName=Registry Bench", "UninstallDisplayName=Registry Bench",
              "ApplicationDir=C:\\Bench", "[Copy]", "Values.reg=Values,COPYALWAYS,,",
              "[Values.reg]", *lines]
    with open(os.path.join(disk, "Setup.inf"), "w", newline="\r\n") as out:
        out.write("\n".join(script) + "\n")
    return disk


def make_reg_file(where, values):
    """The generated product's values as a .reg file, where setup puts them (the 32-bit view)."""
    path = os.path.join(where, "values.reg")
    lines = ["Windows Registry Editor Version 5.00", ""]
    for key in range((values + KEY_SIZE - 1) // KEY_SIZE):
        lines.append(f"[HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Kestrel Bench\\Values\\K{key}]")
        lines += [f'"V{i}"="{"value number " + str(i):<40}"'
                  for i in range(key * KEY_SIZE, min(values, (key + 1) * KEY_SIZE))]
        lines.append("")
    with open(path, "w", newline="\r\n") as out:
        out.write("\n".join(lines) + "\n")
    return path


def wine_import(prefixes, reg_file, rounds, check):
    """Wine's own import of the same values (`regedit /s`) with the session running: what the
    same number of writes costs any Windows program of the prefix."""
    times = []
    for _ in range(rounds):
        prefixes.fresh("prefix")
        run(["wineserver", "-p"])
        run(["wine", "cmd", "/c", "exit"])
        times.append(timed(["wine", "regedit", "/s", reg_file]))
        check(True)
        run(["wineserver", "-k"])
        run(["wineserver", "-w"])
    return medians(times)


def query(key):
    return subprocess.run(["wine", "reg", "query", key, "/s", "/reg:32"], capture_output=True,
                          text=True, errors="replace").stdout


def rounds_of(programs, prefixes, disk, rounds, check):
    """Medians of install and removal for each way, in turns."""
    times = {way: ([], []) for way in programs}
    script = os.path.join(disk, "Setup.inf")
    for index in range(rounds):
        ways = list(programs)
        if index % 2:
            ways.reverse()
        for way in ways:
            setup, warm = programs[way]
            prefixes.fresh("prefix")
            if warm:
                run(["wineserver", "-p"])
                run(["wine", "cmd", "/c", "exit"])
            installs, removals = times[way]
            installs.append(timed([setup, "/S", f"/P{disk}/", script]))
            check(True)
            if not warm:  # each run as the first of the prefix's programs
                run(["wineserver", "-w"])
            removals.append(timed([setup, "/U", "/S", script]))
            if warm:
                run(["wineserver", "-k"])
            check(False)
            run(["wineserver", "-w"])
    return {way: (medians(i), medians(r)) for way, (i, r) in times.items()}


def report(name, figures):
    """Wall and processor medians of each way, and their ratios to direct mode."""
    direct = figures["direct"]
    for way, runs in figures.items():
        parts = [f"{what} {wall:.2f} s ({wall / base[0]:.2f} of direct), processor "
                 f"{used:.2f} s ({used / base[1]:.2f})"
                 for what, (wall, used), base in zip(("setup /S", "setup /U /S"), runs, direct)]
        print(f"{name}, {way}: " + "; ".join(parts), flush=True)


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    values = int(sys.argv[2]) if len(sys.argv) > 2 else 5000
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    setup = os.path.abspath(os.path.join(build, "bin", "setup"))
    helper = os.path.abspath(os.path.join(build, "lib", "kestrel-registry.exe"))
    beacon = os.path.abspath(os.path.join(build, "examples", "products", "beacon", "disk"))
    for need in (setup, helper, os.path.join(beacon, "Setup.inf")):
        if not os.path.exists(need):
            sys.exit(f"{need} is missing: build the tree first (cmake --build {build})")
    where = bench_environment("registry-bench-")
    try:
        direct = os.path.join(where, "direct", "bin", "setup")
        os.makedirs(os.path.dirname(direct))
        shutil.copy2(setup, direct)
        programs = {"direct": (direct, False), "server": (setup, False),
                    "server, session running": (setup, True)}
        prefixes = Prefixes(where)
        run(["wine", "cmd", "/c", "exit"], env=dict(os.environ, WINEPREFIX=prefixes.pristine))
        run(["wineserver", "-w"], env=dict(os.environ, WINEPREFIX=prefixes.pristine))

        def beacon_check(installed):
            found = "Harbour Light" in query("HKLM\\Software\\Beacon Labs\\Beacon Monitor")
            if found != installed:
                sys.exit("setup ended with exit code 0, but Beacon Monitor's settings are " +
                         ("missing" if installed else "still there"))

        report("Beacon Monitor", rounds_of(programs, prefixes, beacon, rounds, beacon_check))

        disk = make_registry_product(os.path.join(where, "generated"), values)

        def values_check(installed):
            found = query("HKLM\\Software\\Kestrel Bench\\Values").count("REG_SZ")
            if found != (values if installed else 0):
                sys.exit(f"setup ended with exit code 0, but {found} of {values} values are there")

        report(f"{values} registry values", rounds_of(programs, prefixes, disk, rounds, values_check))
        wall, used = wine_import(prefixes, make_reg_file(where, values), rounds, values_check)
        print(f"{values} registry values, Wine's regedit /s, session running: {wall:.2f} s, "
              f"processor {used:.2f} s", flush=True)
    finally:
        subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)
        shutil.rmtree(where, ignore_errors=True)


if __name__ == "__main__":
    main()
