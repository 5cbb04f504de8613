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
once per worker-thread count (RAVELMOOR_THREADS). --ffs adds FreeFileSync
(Debian package `freefilesync`, `scripts/setup.sh --bench`) as a batch job
that compares and copies nothing, on an Xvfb display started once for the
whole run, with a row for the same job on two empty folders: its start-up.

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


FFS_BATCH = """<?xml version="1.0" encoding="utf-8"?>
<FreeFileSync XmlType="BATCH" XmlFormat="17">
    <Compare><Variant>{variant}</Variant><Symlinks>Exclude</Symlinks><IgnoreTimeShift/></Compare>
    <Synchronize>
        <Variant>Custom</Variant>
        <CustomDirections>
            <LeftOnly>none</LeftOnly><RightOnly>none</RightOnly><LeftNewer>none</LeftNewer>
            <RightNewer>none</RightNewer><Different>none</Different><Conflict>none</Conflict>
        </CustomDirections>
        <DetectMovedFiles>false</DetectMovedFiles>
        <DeletionPolicy>RecycleBin</DeletionPolicy>
        <VersioningFolder Style="Replace"/>
    </Synchronize>
    <Filter>
        <Include><Item>*</Item></Include><Exclude/>
        <TimeSpan Type="None">0</TimeSpan><SizeMin Unit="None">0</SizeMin><SizeMax Unit="None">0</SizeMax>
    </Filter>
    <FolderPairs><Pair><Left>{left}</Left><Right>{right}</Right></Pair></FolderPairs>
    <Errors Ignore="true" Retry="0" Delay="5"/>
    <PostSyncCommand Condition="Completion"/>
    <LogFolder/>
    <EmailNotification Address="" Condition="Always"/>
    <Batch>
        <ProgressDialog Minimized="true" AutoClose="true"/>
        <ErrorDialog>Cancel</ErrorDialog>
        <PostSyncAction>None</PostSyncAction>
    </Batch>
</FreeFileSync>
"""


class FreeFileSync:
    """Batch jobs that only compare, run on one Xvfb display for the whole run."""

    def __init__(self):
        self.folder = tempfile.mkdtemp(prefix="ffs-bench-")
        self.display = ":%d" % (90 + os.getpid() % 100)
        self.server = subprocess.Popen(["Xvfb", self.display, "-screen", "0", "1280x1024x24"],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.makedirs(os.path.join(self.folder, "empty-a"))
        os.makedirs(os.path.join(self.folder, "empty-b"))

    def job(self, name, left, right, variant):
        path = os.path.join(self.folder, name + ".ffs_batch")
        with open(path, "w", encoding="utf-8") as batch:
            batch.write(FFS_BATCH.format(variant=variant, left=left, right=right))
        return [{"DISPLAY": self.display}, "FreeFileSync", path]

    def rows(self, label, left, right, variant):
        empty_a, empty_b = (os.path.join(self.folder, n) for n in ("empty-a", "empty-b"))
        return [(label, self.job(variant + "-" + os.path.basename(os.path.dirname(left)),
                                 left, right, variant)),
                ("FreeFileSync start-up (two empty folders)",
                 self.job("empty", empty_a, empty_b, variant))]

    def close(self):
        self.server.terminate()
        self.server.wait()


def make_tree(generator, data, files, mean_size):
    tree = os.path.join(data, f"{files}-{mean_size}")
    if not os.path.isdir(os.path.join(tree, "tgt")):
        subprocess.run([generator, tree, str(files), "--mean-size", str(mean_size)], check=True)
    return tree


def count_entries(tree, sides=("src", "tgt")):
    total = 0
    for side in sides:
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
    parser.add_argument("--ffs", action="store_true", help="add FreeFileSync batch jobs")
    parser.add_argument("--empty-target", action="store_true",
                        help="size-time: compare the Source with an empty folder")
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
    ffs = FreeFileSync() if args.ffs else None
    generator = os.path.join(build, "bench", "make_bench_tree")
    os.makedirs(args.data, exist_ok=True)

    for files in args.sizes:
        if args.mode == "size-time":
            tree = make_tree(generator, args.data, files, 512)
            src, tgt = os.path.join(tree, "src"), os.path.join(tree, "tgt")
            title = f"Size and time, {files:,} files per side"
            if args.empty_target:
                # A first backup: everything is on one side.
                tgt = os.path.join(args.data, "empty")
                os.makedirs(tgt, exist_ok=True)
                title = f"Size and time, {files:,} files against an empty Target"
            commands = [
                ("find SRC TGT -printf", ["find", src, tgt, "-printf", r"%s %T@ %p\n"]),
                *ours("ravelmoor compare -r", ["-r", "--format", "tsv"], src, tgt),
                ("rsync -an --delete -i", ["rsync", "-an", "--delete", "-i", src + "/", tgt + "/"]),
            ]
            if ffs:
                commands += ffs.rows("FreeFileSync (batch, compare only)", src, tgt, "TimeAndSize")
            entries = count_entries(tree, ("src",) if args.empty_target else ("src", "tgt"))
            table(title, commands, args.rounds, entries, "find SRC TGT -printf")
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
            if ffs:
                commands += ffs.rows("FreeFileSync (batch, content)", src, tgt, "Content")
            table(f"Content (CRC), {files:,} files per side", commands, args.rounds,
                  count_entries(tree), "find -exec cksum (floor)")
    if ffs:
        ffs.close()


if __name__ == "__main__":
    main()
