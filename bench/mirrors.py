#!/usr/bin/env python3
"""The time to the address behind mirrors that fail in the two ways a filter makes them fail, for
the Mirrors table of the README: "black-holed" (connection requests dropped: a listening socket
whose queue is full) and "silent" (the connection is taken, no answer ever comes). Each row puts
its dead entries before one good mirror that serves a signed address, on 127.0.0.1 only.

    bench/mirrors.py [--runs N] [--wine] PROGRAM

PROGRAM is linkvane-bench-mirrors (build/release/bench/, or build/windows/bench/ with --wine, run
through scripts/wine-run.sh). Each row runs a fresh process N times (default 5) and prints the
median and the range, unsigned and, with the demo key, signed."""

import argparse, functools, http.server, os, socket, statistics, subprocess, sys, tempfile, threading

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEMO_KEY = os.path.join(ROOT, "demo", "demo-signing")


def black_hole():
    """A port whose connection requests go unanswered: its queue of one is full."""
    server = socket.create_server(("127.0.0.1", 0), backlog=0)
    held = [server]
    for _ in range(8):
        client = socket.socket()
        client.settimeout(0.2)
        try:
            client.connect(server.getsockname())
            held.append(client)
        except OSError:
            break
    return server.getsockname()[1], held


def silent():
    """A port that takes connections (the kernel completes them) and never answers."""
    server = socket.create_server(("127.0.0.1", 0), backlog=64)
    return server.getsockname()[1], [server]


def good_mirror(folder):
    os.makedirs(os.path.join(folder, "ads"))
    link = os.path.join(folder, "ads", "link.txt")
    with open(link, "w") as out:
        out.write("http://127.0.0.1/site\r\n")
    subprocess.run(["minisign", "-S", "-s", DEMO_KEY + ".key", "-m", link], check=True,
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)

    class Quiet(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *args):
            pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=folder))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server.server_address[1]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("program")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--wine", action="store_true")
    args = parser.parse_args()
    prefix = [os.path.join(ROOT, "scripts", "wine-run.sh")] if args.wine else []
    key = open(DEMO_KEY + ".pub").read().splitlines()[1]
    with tempfile.TemporaryDirectory() as folder:
        good = good_mirror(folder)
        rows = [("black-holed", black_hole, n) for n in range(4)] + [("silent", silent, n) for n in (1, 2)]
        print("| dead entries before a good one | unsigned, ms | signed, ms |")
        print("|---|---|---|")
        for kind, make, count in rows:
            dead = [make() for _ in range(count)]
            servers = ";".join([f"127.0.0.1:{port}" for port, _ in dead] + [f"127.0.0.1:{good}"])
            cells = []
            for signed in (False, True):
                times = []
                for _ in range(args.runs):
                    command = prefix + [args.program, servers, "/ads/link.txt"] + ([key] if signed else [])
                    took, length = subprocess.run(command, check=True, capture_output=True, text=True).stdout.split()
                    if length == "0":
                        sys.exit(f"no address came through {servers}")
                    times.append(float(took))
                cells.append(f"{statistics.median(times):.0f} ({min(times):.0f}–{max(times):.0f})")
            print(f"| {count} {kind} | {cells[0]} | {cells[1]} |")
            for _, held in dead:
                for one in held:
                    one.close()


if __name__ == "__main__":
    main()
