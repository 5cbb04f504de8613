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
once per worker-thread count (RAVELMOOR_THREADS). --one-call-at-a-time adds
the comparison with batched system calls switched off (RAVELMOOR_IO_URING=0).
Every table has the machine's own limits beside the tools: bench/walk_floor
listing both trees with two threads (nothing but getdents64 and fstatat),
and, for content, listing, reading and summing every file on one thread (the
one-thread floor). --cold drops the trees' files from the page cache before
every command of a content table (their data then comes from the disk; the
names stay cached). --ffs adds FreeFileSync
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
    """Wall seconds, peak RSS in KiB and processor seconds (user and system)
    of one run. A command may start with a dict of environment variables.
    A run killed by a signal stops the benchmark: its time means nothing."""
    env = None
    if isinstance(command[0], dict):
        env = dict(os.environ, **command[0])
        command = command[1:]
    with tempfile.NamedTemporaryFile("r") as report:
        subprocess.run(["/usr/bin/time", "-f", "%e %M %U %S", "-o", report.name] + command,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False,
                       env=env)
        text = report.read()
    if "signal" in text:
        sys.exit(f"{' '.join(command)}: {text.strip()}")
    seconds, kib, user, system = text.split()[-4:]
    return float(seconds), int(kib), float(user) + float(system)


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


def evict(folders):
    """Drops the files below `folders` from the page cache (flushed first)."""
    for top in folders:
        for folder, _, names in os.walk(top):
            for name in names:
                try:
                    fd = os.open(os.path.join(folder, name), os.O_RDONLY | os.O_NOFOLLOW)
                except OSError:
                    continue
                try:
                    os.fdatasync(fd)
                    os.posix_fadvise(fd, 0, 0, os.POSIX_FADV_DONTNEED)
                finally:
                    os.close(fd)


def table(title, commands, rounds, entries, references, warm_up, cold=None):
    """Runs every command once per round, in turn; prints min and median
    wall time, each median over the references' medians, and peak RSS."""
    measure(warm_up)
    results = {label: [] for label, _ in commands}
    loads = []
    for _ in range(rounds):
        for label, command in commands:
            if cold:
                evict(cold)
            results[label].append(measure(command))
        loads.append(os.getloadavg()[0])
    medians = {label: statistics.median(r[0] for r in results[label]) for label, _ in commands}
    print(f"\n### {title}: {entries:,} entries listed in all, {rounds} rounds, "
          f"load average (1 min) after each round: {' '.join(f'{l:.1f}' for l in loads)}\n")
    heads = "".join(f" median / {short} |" for short, _ in references)
    print(f"| command | min s | median s |{heads} median CPU s | peak RSS MB | bytes per entry |")
    print("|---|---|---|" + "---|" * len(references) + "---|---|---|")
    for label, _ in commands:
        times = [r[0] for r in results[label]]
        peak = max(r[1] for r in results[label])
        cpu = statistics.median(r[2] for r in results[label])
        ratios = "".join(f" {medians[label] / medians[ref]:.2f} |" for _, ref in references)
        print(f"| {label} | {min(times):.2f} | {medians[label]:.2f} |{ratios} {cpu:.2f} | "
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
    parser.add_argument("--one-call-at-a-time", action="store_true",
                        help="also run the comparison with RAVELMOOR_IO_URING=0")
    parser.add_argument("--cold", action="store_true",
                        help="crc: drop the files from the page cache before every command")
    parser.add_argument("sizes", type=int, nargs="+")
    args = parser.parse_args()
    build = build_dir()
    ravelmoor = args.program or os.path.join(build, "src", "ravelmoor")
    befores = [item.split("=", 1) for item in args.before]
    threads = [int(n) for n in args.threads.split(",") if n]

    def ours(label, options, src, tgt):
        """The program's rows: each thread count, one call at a time, then
        each build before."""
        rows = []
        for n in threads or [None]:
            env = [{"RAVELMOOR_THREADS": str(n)}] if n else []
            suffix = f", {n} threads" if n else ""
            rows.append((label + suffix, env + [ravelmoor, "compare"] + options + [src, tgt]))
        if args.one_call_at_a_time:
            rows.append((label + ", one call at a time",
                         [{"RAVELMOOR_IO_URING": "0"}, ravelmoor, "compare"] + options + [src, tgt]))
        for name, binary in befores:
            rows.append((f"{label} ({name})", [binary, "compare"] + options + [src, tgt]))
        return rows
    ffs = FreeFileSync() if args.ffs else None
    generator = os.path.join(build, "bench", "make_bench_tree")
    walker = os.path.join(build, "bench", "walk_floor")
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
            find = ["find", src, tgt, "-printf", r"%s %T@ %p\n"]
            commands = [
                ("find SRC TGT -printf", find),
                ("C walker, 2 threads", [walker, "list", "2", src, tgt]),
                *ours("ravelmoor compare -r", ["-r", "--format", "tsv"], src, tgt),
                ("rsync -an --delete -i", ["rsync", "-an", "--delete", "-i", src + "/", tgt + "/"]),
            ]
            if ffs:
                commands += ffs.rows("FreeFileSync (batch, compare only)", src, tgt, "TimeAndSize")
            entries = count_entries(tree, ("src",) if args.empty_target else ("src", "tgt"))
            table(title, commands, args.rounds, entries,
                  [("find", "find SRC TGT -printf"), ("C walker", "C walker, 2 threads")], find)
        else:
            tree = make_tree(generator, args.data, files, args.mean_size)
            src, tgt = os.path.join(tree, "src"), os.path.join(tree, "tgt")
            commands = [
                ("ravelmoor compare -r (size-time)",
                 [ravelmoor, "compare", "-r", "--format", "tsv", src, tgt]),
                *ours("ravelmoor compare -r --method crc",
                      ["-r", "--method", "crc", "--format", "tsv"], src, tgt),
                # Listing, reading and a CRC of every file on one thread.
                ("C walker, list, read and sum, 1 thread (floor)", [walker, "sum", src, tgt]),
                ("find -exec cksum",
                 ["sh", "-c", f"find {src} {tgt} -type f -exec cksum {{}} + "]),
                ("diff -rq", ["diff", "-rq", src, tgt]),
                ("rsync -anc --delete -i", ["rsync", "-anc", "--delete", "-i", src + "/", tgt + "/"]),
            ]
            if ffs:
                commands += ffs.rows("FreeFileSync (batch, content)", src, tgt, "Content")
            title = f"Content (CRC), {files:,} files per side"
            table(title + (", data from the disk" if args.cold else ""), commands, args.rounds,
                  count_entries(tree),
                  [("floor", "C walker, list, read and sum, 1 thread (floor)"),
                   ("diff", "diff -rq")],
                  [walker, "sum", src, tgt], [src, tgt] if args.cold else None)
    if ffs:
        ffs.close()


if __name__ == "__main__":
    main()
