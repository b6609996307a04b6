#!/usr/bin/env python3
"""Times programs side by side, in turns: each round runs every command once, one after the
other, the order reversed every other round, so that a neighbour's load or the page cache falls
on all of them alike. One run of each first warms the page cache. Prints, per command, the
medians of wall time and of processor time (user and system, from wait4 of the child), and
each against the first command's. Exit statuses are ignored (unitlint ends with 1 on faulty
data); output goes to /dev/null. Peak memory is not taken here: a child's maximum resident size
counts this interpreter's pages from before exec; use /usr/bin/time -f %M.

usage: turns.py ROUNDS NAME COMMAND [ARG...] [-- NAME COMMAND [ARG...]]...
example: turns.py 21 unitcheck build/release/unitcheck DIR -- \\
           sarif build/release/unitlint --format sarif DIR"""
import os
import statistics
import subprocess
import sys
import time


def parse(arguments):
    groups, group = [], []
    for argument in arguments:
        if argument == "--":
            groups.append(group)
            group = []
        else:
            group.append(argument)
    groups.append(group)
    if any(len(group) < 2 for group in groups):
        sys.exit(__doc__)
    return [(group[0], group[1:]) for group in groups]


def run_once(command):
    """Wall seconds and processor seconds of one run."""
    start = time.perf_counter()
    child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, _, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - start
    child.returncode = 0  # reaped by wait4: Popen must not wait for it again
    return wall, usage.ru_utime + usage.ru_stime


def ratio(value, base):
    return value / base if base else float("nan")


def main():
    if len(sys.argv) < 4 or not sys.argv[1].isdigit():
        sys.exit(__doc__)
    rounds = int(sys.argv[1])
    commands = parse(sys.argv[2:])
    for _, command in commands:
        run_once(command)
    samples = {name: [] for name, _ in commands}
    for index in range(rounds):
        order = commands if index % 2 == 0 else list(reversed(commands))
        for name, command in order:
            samples[name].append(run_once(command))
    medians = {name: [statistics.median(s[i] for s in runs) for i in range(2)]
               for name, runs in samples.items()}
    first = medians[commands[0][0]]
    print(f"{rounds} rounds; medians, and against {commands[0][0]}")
    print(f"{'':<16}{'wall ms':>10}{'':>8}{'cpu ms':>10}")
    for name, (wall, cpu) in medians.items():
        print(f"{name:<16}{wall * 1e3:>10.1f}{ratio(wall, first[0]):>8.3f}{cpu * 1e3:>10.1f}"
              f"{ratio(cpu, first[1]):>8.3f}")


if __name__ == "__main__":
    main()
