#!/usr/bin/env python3
"""Times `ravelmoor compare` beside reference tools on generated trees.

All commands of one table run in the same session, alternating round by round,
with a warm cache; the table gives the min and median wall time and the peak
RSS of each (from /usr/bin/time), and the median relative to `find`, the
listing floor.

    bench/compare_bench.py [--rounds N] [--data DIR] size-time 100000 1000000
    bench/compare_bench.py [--rounds N] [--data DIR] [--mean-size B] crc 100000

--before LABEL=BINARY adds another build of the program to every table (a
build of the commit before a change), and --threads 1,2 runs the comparison
once per worker-thread count (RAVELMOOR_THREADS).

Trees are made once under DIR (default /var/tmp/ravelmoor-bench) by
bench/make_bench_tree. Uses build/release if it exists, else build/dev.
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def build_dir():
    for name in ("release", "dev"):
        path = os.path.join(ROOT, "build", name)
        if os.path.exists(os.path.join(path, "src", "ravelmoor")):
            return path
    sys.exit("build the project first (cmake --preset release && cmake --build --preset release)")


def measure(command):
    """Wall seconds and peak RSS in KiB of one run. A command may start with
    a dict of environment variables."""
    env = None
    if isinstance(command[0], dict):
        env = dict(os.environ, **command[0])
        command = command[1:]
    with tempfile.NamedTemporaryFile("r") as report:
        subprocess.run(["/usr/bin/time", "-f", "%e %M", "-o", report.name] + command,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False,
                       env=env)
        seconds, kib = report.read().split()[-2:]
    return float(seconds), int(kib)


def make_tree(generator, data, files, mean_size):
    tree = os.path.join(data, f"{files}-{mean_size}")
    if not os.path.isdir(os.path.join(tree, "tgt")):
        subprocess.run([generator, tree, str(files), "--mean-size", str(mean_size)], check=True)
    return tree


def count_entries(tree):
    total = 0
    for side in ("src", "tgt"):
        for _, folders, files in os.walk(os.path.join(tree, side)):
            total += len(folders) + len(files)
    return total


def table(title, commands, rounds, entries, floor):
    measure(commands[0][1])  # warm up
    results = {label: [] for label, _ in commands}
    for _ in range(rounds):
        for label, command in commands:
            results[label].append(measure(command))
    floor_median = statistics.median(t for t, _ in results[floor])
    load = os.getloadavg()
    print(f"\n### {title}: {entries:,} entries listed in all, {rounds} rounds, "
          f"load average {load[0]:.1f} {load[1]:.1f} {load[2]:.1f} at the end\n")
    print(f"| command | min s | median s | median / {floor} | peak RSS MB | bytes per entry |")
    print("|---|---|---|---|---|---|")
    for label, _ in commands:
        times = [t for t, _ in results[label]]
        peak = max(k for _, k in results[label])
        median = statistics.median(times)
        print(f"| {label} | {min(times):.2f} | {median:.2f} | {median / floor_median:.2f} | "
              f"{peak / 1024:.0f} | {peak * 1024 / entries:.0f} |")
    sys.stdout.flush()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--data", default="/var/tmp/ravelmoor-bench")
    parser.add_argument("mode", choices=["size-time", "crc"])
    parser.add_argument("--mean-size", type=int, default=16384, help="crc: mean file size")
    parser.add_argument("--before", action="append", default=[], metavar="LABEL=BINARY")
    parser.add_argument("--threads", default="", help="worker-thread counts, e.g. 1,2")
    parser.add_argument("--program", help="the program to time (default: the build's)")
    parser.add_argument("sizes", type=int, nargs="+")
    args = parser.parse_args()
    build = build_dir()
    ravelmoor = args.program or os.path.join(build, "src", "ravelmoor")
    befores = [item.split("=", 1) for item in args.before]
    threads = [int(n) for n in args.threads.split(",") if n]

    def ours(label, options, src, tgt):
        """The program's rows: each thread count, then each build before."""
        rows = []
        for n in threads or [None]:
            env = [{"RAVELMOOR_THREADS": str(n)}] if n else []
            suffix = f", {n} threads" if n else ""
            rows.append((label + suffix, env + [ravelmoor, "compare"] + options + [src, tgt]))
        for name, binary in befores:
            rows.append((f"{label} ({name})", [binary, "compare"] + options + [src, tgt]))
        return rows
    generator = os.path.join(build, "bench", "make_bench_tree")
    os.makedirs(args.data, exist_ok=True)

    for files in args.sizes:
        if args.mode == "size-time":
            tree = make_tree(generator, args.data, files, 512)
            src, tgt = os.path.join(tree, "src"), os.path.join(tree, "tgt")
            commands = [
                ("find SRC TGT -printf", ["find", src, tgt, "-printf", r"%s %T@ %p\n"]),
                *ours("ravelmoor compare -r", ["-r", "--format", "tsv"], src, tgt),
                ("rsync -an --delete -i", ["rsync", "-an", "--delete", "-i", src + "/", tgt + "/"]),
            ]
            table(f"Size and time, {files:,} files per side", commands, args.rounds,
                  count_entries(tree), "find SRC TGT -printf")
        else:
            tree = make_tree(generator, args.data, files, args.mean_size)
            src, tgt = os.path.join(tree, "src"), os.path.join(tree, "tgt")
            commands = [
                ("ravelmoor compare -r (size-time)",
                 [ravelmoor, "compare", "-r", "--format", "tsv", src, tgt]),
                *ours("ravelmoor compare -r --method crc",
                      ["-r", "--method", "crc", "--format", "tsv"], src, tgt),
                # Listing, reading and a CRC of every file on one thread.
                ("find -exec cksum (floor)",
                 ["sh", "-c", f"find {src} {tgt} -type f -exec cksum {{}} + "]),
                ("diff -rq", ["diff", "-rq", src, tgt]),
                ("rsync -anc --delete -i", ["rsync", "-anc", "--delete", "-i", src + "/", tgt + "/"]),
            ]
            table(f"Content (CRC), {files:,} files per side", commands, args.rounds,
                  count_entries(tree), "find -exec cksum (floor)")


if __name__ == "__main__":
    main()
