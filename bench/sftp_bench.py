#!/usr/bin/env python3
"""Times listing a tree over SFTP and through the listing agent on loopback.

Starts its own sshd on 127.0.0.1 (a fresh host key and user key in a temp
folder, as the tests' SshTestServer does) and times, alternating round by
round with a warm cache:

  listing   local (the engine's scan), plain SFTP, the agent, `rsync -an` over SSH
  content   the agent (both sides summed, the far one by the agent),
            local, `rsync -anc` over SSH

With --uploads it times uploads instead, each into an emptied folder on the
server: one 50 MB file and 1,000 files of 4 KiB, by `ravelmoor sync --method
force` to an "(sftp) NAME" side, by `scp -r` (SFTP underneath) and by `rsync`
over SSH. --delay MS puts a proxy between them and the server that holds
every byte back MS milliseconds each way, as a network farther away would.

    bench/sftp_bench.py [--rounds N] [--data DIR] [--files N] [--mean-size B]
    bench/sftp_bench.py --uploads [--rounds N] [--delay MS]

The tree is bench/make_bench_tree's (Source and Target), made once under DIR
(default /var/tmp/ravelmoor-bench). Uses build/release if it exists, else
build/dev; needs bench/sftp_bench built.
"""
import argparse
import getpass
import os
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from compare_bench import build_dir, make_tree, measure  # noqa: E402


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def start_sshd(folder):
    for name in ("host_key", "user_key"):
        subprocess.run(["ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f",
                        os.path.join(folder, name)], check=True)
    with open(os.path.join(folder, "user_key.pub")) as key, \
            open(os.path.join(folder, "authorized_keys"), "w") as keys:
        keys.write(key.read())
    port = free_port()
    config = os.path.join(folder, "sshd_config")
    with open(config, "w") as out:
        out.write(f"Port {port}\nListenAddress 127.0.0.1\n"
                  f"HostKey {folder}/host_key\nAuthorizedKeysFile {folder}/authorized_keys\n"
                  f"PidFile {folder}/sshd.pid\nStrictModes no\nUsePAM no\n"
                  "PasswordAuthentication no\nKbdInteractiveAuthentication no\n"
                  f"PermitRootLogin prohibit-password\nAllowUsers {getpass.getuser()}\n"
                  "Subsystem sftp internal-sftp\n")
    if os.getuid() == 0:
        os.makedirs("/run/sshd", exist_ok=True)
    server = subprocess.Popen(["/usr/sbin/sshd", "-D", "-e", "-f", config],
                              stderr=open(os.path.join(folder, "sshd.log"), "w"))
    for _ in range(300):
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            return server, port
        except OSError:
            time.sleep(0.02)
    sys.exit("sshd did not start")


def table(title, commands, rounds, base):
    times = {name: [] for name, _ in commands}
    rss = {name: 0 for name, _ in commands}
    for _ in range(rounds):
        for name, command in commands:
            seconds, kib = measure(command)
            times[name].append(seconds)
            rss[name] = max(rss[name], kib)
    medians = {name: statistics.median(values) for name, values in times.items()}
    print(f"\n{title}\n")
    print(f"| command | min s | median s | × {base} | peak RSS MiB (client) |")
    print("|---|---|---|---|---|")
    for name, _ in commands:
        print(f"| {name} | {min(times[name]):.2f} | {medians[name]:.2f} | "
              f"{medians[name] / medians[base]:.2f} | {rss[name] // 1024} |")
    return medians


def start_delay(port, delay):
    """A TCP proxy on 127.0.0.1 to `port` that hands every byte on `delay`
    seconds after it came, in order, both ways. Returns its port."""
    import asyncio
    import threading

    async def pipe(reader, writer):
        queue = asyncio.Queue()

        async def later():
            while True:
                due, data = await queue.get()
                await asyncio.sleep(max(0, due - time.monotonic()))
                if not data:
                    writer.close()
                    return
                writer.write(data)
                await writer.drain()

        sender = asyncio.ensure_future(later())
        while True:
            data = await reader.read(65536)
            queue.put_nowait((time.monotonic() + delay, data))
            if not data:
                break
        await sender

    async def serve(client_reader, client_writer):
        server_reader, server_writer = await asyncio.open_connection("127.0.0.1", port)
        await asyncio.gather(pipe(client_reader, server_writer),
                             pipe(server_reader, client_writer), return_exceptions=True)

    ready = threading.Event()
    listening = {}

    def run():
        loop = asyncio.new_event_loop()
        server = loop.run_until_complete(asyncio.start_server(serve, "127.0.0.1", 0))
        listening["port"] = server.sockets[0].getsockname()[1]
        ready.set()
        loop.run_forever()

    threading.Thread(target=run, daemon=True).start()
    ready.wait()
    return listening["port"]


def uploads(rounds, program, delay):
    """Uploads of a big file and of many small ones, each tool in turn into an
    emptied folder on the server, rounds interleaved; medians."""
    with tempfile.TemporaryDirectory() as folder:
        server, port = start_sshd(folder)
        if delay > 0:
            port = start_delay(port, delay / 1000)
        try:
            key = os.path.join(folder, "user_key")
            config = os.path.join(folder, "config")
            env = {"HOME": folder, "XDG_CONFIG_HOME": config,
                   "XDG_STATE_HOME": os.path.join(folder, "state"),
                   "DBUS_SESSION_BUS_ADDRESS": ""}
            ssh = (f"ssh -p {port} -i {key} -o UserKnownHostsFile={folder}/known_hosts "
                   "-o StrictHostKeyChecking=no -o BatchMode=yes")
            subprocess.run(ssh.split() + ["127.0.0.1", "true"], check=True)
            big, small = os.path.join(folder, "big"), os.path.join(folder, "small")
            os.makedirs(big)
            with open(os.path.join(big, "big.bin"), "wb") as out:
                out.write(os.urandom(50 << 20))
            os.makedirs(small)
            for i in range(1000):
                with open(os.path.join(small, f"f{i:04}.txt"), "wb") as out:
                    out.write(os.urandom(4096))
            target = os.path.join(folder, "target")
            subprocess.run([program, "sftp", "add", "--server", f"127.0.0.1:{port}",
                            "--user", getpass.getuser(), "--identity", key, "--dir", target,
                            "--name", "bench"], env=dict(os.environ, **env), check=True,
                           stdout=subprocess.DEVNULL)
            scp = ["scp", "-q", "-r", "-P", str(port), "-i", key, "-o",
                   f"UserKnownHostsFile={folder}/known_hosts", "-o", "BatchMode=yes"]
            for title, source in (("one 50 MB file", big), ("1,000 files of 4 KiB", small)):
                commands = [
                    ("ravelmoor sync", [env, program, "sync", "-r", "--method", "force", "--yes",
                                        "--accept-new-host-key", source, "(sftp) bench"]),
                    ("`scp -r`", scp + [source + "/.", f"127.0.0.1:{target}/"]),
                    ("`rsync -r` over SSH", ["rsync", "-e", ssh, "-r", "--times",
                                             source + "/", f"127.0.0.1:{target}/"]),
                ]
                times = {name: [] for name, _ in commands}
                for _ in range(rounds):
                    for name, command in commands:
                        shutil.rmtree(target, ignore_errors=True)
                        os.makedirs(target)
                        times[name].append(measure(command)[0])
                medians = {name: statistics.median(t) for name, t in times.items()}
                where = f"through {delay} ms each way" if delay else "on loopback"
                print(f"\nUpload of {title} {where}\n")
                print("| command | min s | median s | × `scp -r` |")
                print("|---|---|---|---|")
                for name, _ in commands:
                    print(f"| {name} | {min(times[name]):.2f} | {medians[name]:.2f} | "
                          f"{medians[name] / medians['`scp -r`']:.2f} |")
        finally:
            server.terminate()
            server.wait()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--uploads", action="store_true")
    parser.add_argument("--delay", type=int, default=0)
    parser.add_argument("--data", default="/var/tmp/ravelmoor-bench")
    parser.add_argument("--files", type=int, default=100000)
    parser.add_argument("--mean-size", type=int, default=512)
    args = parser.parse_args()
    build = build_dir()
    if args.uploads:
        uploads(args.rounds, os.path.join(build, "src", "ravelmoor"), args.delay)
        return
    bench = os.path.join(build, "bench", "sftp_bench")
    program = os.path.join(build, "src", "ravelmoor")
    os.makedirs(args.data, exist_ok=True)
    tree = make_tree(os.path.join(build, "bench", "make_bench_tree"), args.data, args.files,
                     args.mean_size)
    src, tgt = os.path.join(tree, "src"), os.path.join(tree, "tgt")
    with tempfile.TemporaryDirectory() as folder:
        server, port = start_sshd(folder)
        try:
            key = os.path.join(folder, "user_key")
            # known_hosts under a HOME of its own, for libssh and for ssh alike.
            env = {"HOME": folder}
            remote = ["--port", str(port), "--key", key]
            ssh = (f"ssh -p {port} -i {key} -o UserKnownHostsFile={folder}/known_hosts "
                   "-o StrictHostKeyChecking=no -o BatchMode=yes")
            rsync = ["rsync", "-e", ssh, "--delete", "-i", src + "/", f"127.0.0.1:{tgt}/"]
            # Accepts the host key once, outside the timings.
            subprocess.run([bench, "sftp", tgt] + remote, env=dict(os.environ, **env),
                           stdout=subprocess.DEVNULL, check=True)
            subprocess.run(["ssh"] + ssh.split()[1:] + ["127.0.0.1", "true"], check=True)
            table(f"Listing {args.files} files ({tgt})", [
                ("local listing (engine scan)", [env, bench, "local", tgt]),
                ("plain SFTP listing", [env, bench, "sftp", tgt] + remote),
                ("agent listing", [env, bench, "agent", tgt] + remote + ["--agent", program]),
                ("`rsync -an` over SSH", rsync[:1] + ["-an"] + rsync[1:]),
            ], args.rounds, "local listing (engine scan)")
            table(f"Content comparison, {args.files} files a side", [
                ("local, both sides summed", [env, bench, "local", tgt, "--crc", "--local", src]),
                ("agent, both sides summed",
                 [env, bench, "agent", tgt, "--crc", "--local", src] + remote +
                 ["--agent", program]),
                ("`rsync -anc` over SSH", rsync[:1] + ["-anc"] + rsync[1:]),
            ], args.rounds, "local, both sides summed")
        finally:
            server.terminate()
            server.wait()


if __name__ == "__main__":
    main()
