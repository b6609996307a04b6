#!/usr/bin/env python3
"""Times unitlint --lsp as an editor meets it, on a generated data directory:
(a) didOpen of units/units.csv to its diagnostics, beside unitlint --format json on the same
    directory (the median of RUNS each, a new server each time);
(b) one-line edits, a cell of a random data line made faulty and valid again in turn, each to
    its diagnostics: median and 95th percentile;
(c) the server's peak resident memory (VmHWM) against the table's and the part list's bytes.
Each clock starts when the client begins to write its message and stops when the body of the
diagnostics has been read.

usage: lsp_bench.py UNITLINT DATA_DIR [EDITS] [RUNS]"""
import json
import os
import random
import statistics
import subprocess
import sys
import time
from pathlib import Path


def notification(method, params):
    return {"jsonrpc": "2.0", "method": method, "params": params}


class Server:
    def __init__(self, unitlint):
        self.proc = subprocess.Popen([unitlint, "--lsp"], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.next_id = 0

    def send(self, message):
        self.send_body(json.dumps(message, ensure_ascii=False).encode())

    def send_body(self, body):
        self.proc.stdin.write(b"Content-Length: %d\r\n\r\n" % len(body))
        self.proc.stdin.write(body)
        self.proc.stdin.flush()

    def receive_body(self):
        length = None
        while True:
            line = self.proc.stdout.readline()
            if not line:
                raise SystemExit("the server closed its output")
            if line in (b"\r\n", b"\n"):
                break
            name, _, value = line.decode().partition(":")
            if name.lower() == "content-length":
                length = int(value)
        return self.proc.stdout.read(length)

    def request(self, method, params):
        self.next_id += 1
        self.send({"jsonrpc": "2.0", "id": self.next_id, "method": method, "params": params})
        while True:
            message = json.loads(self.receive_body())
            if message.get("id") == self.next_id:
                return message

    def notify(self, method, params):
        self.send(notification(method, params))

    # Sends a notification and waits for the diagnostics of version; returns the seconds from
    # the first byte written to the last byte of their body read, and the diagnostics.
    def timed_diagnostics(self, method, params, version):
        # The client's own encoding is not the server's time.
        body = json.dumps(notification(method, params), ensure_ascii=False).encode()
        start = time.perf_counter()
        self.send_body(body)
        while True:
            body = self.receive_body()
            stop = time.perf_counter()
            if b'"textDocument/publishDiagnostics"' not in body[:200]:
                continue
            message = json.loads(body)
            if message["params"].get("version") == version:
                return stop - start, message["params"]["diagnostics"]

    def peak_kb(self):
        for line in Path(f"/proc/{self.proc.pid}/status").read_text().splitlines():
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
        return 0

    def close(self):
        self.request("shutdown", None)
        self.notify("exit", None)
        self.proc.wait(timeout=60)


def start(unitlint, root):
    server = Server(unitlint)
    server.request("initialize", {"processId": os.getpid(), "rootUri": root.as_uri(),
                                  "capabilities": {"general": {"positionEncodings": ["utf-8"]}}})
    server.notify("initialized", {})
    return server


def open_table(server, uri, text):
    params = {"textDocument": {"uri": uri, "languageId": "csv", "version": 1, "text": text}}
    return server.timed_diagnostics("textDocument/didOpen", params, 1)


def main():
    unitlint, data = sys.argv[1], Path(sys.argv[2]).resolve()
    edits = int(sys.argv[3]) if len(sys.argv) > 3 else 200
    runs = int(sys.argv[4]) if len(sys.argv) > 4 else 5
    table = data / "units" / "units.csv"
    raw = table.read_bytes()
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError:
        raise SystemExit("the table is not UTF-8: a client could not send it")
    uri = table.as_uri()
    part_bytes = (data / "master_part_list.csv").stat().st_size

    json_times = []
    for _ in range(runs):
        start_time = time.perf_counter()
        subprocess.run([unitlint, "--format", "json", str(data)], stdout=subprocess.DEVNULL)
        json_times.append(time.perf_counter() - start_time)
    open_times = []
    for _ in range(runs):
        server = start(unitlint, data)
        seconds, diagnostics = open_table(server, uri, text)
        open_times.append(seconds)
        server.close()

    # The edits go to one server: a float column's cell made "12.5x" and "12.5" in turn.
    server = start(unitlint, data)
    _, first = open_table(server, uri, text)
    lines = text.split("\n")
    header = lines[0].split(",")
    column = header.index("Mass")
    chooser = random.Random(1)
    edit_times = []
    counts = []
    version = 1
    line = 2
    for k in range(edits):
        # A new line is made faulty, and then valid again.
        if k % 2 == 0:
            line = chooser.randrange(2, len(lines) - 1)
        cells = lines[line].split(",")
        if column >= len(cells):
            continue
        # Cells before the column hold no comma of a nested list in generated tables; the
        # byte offset is the UTF-8 column the server agreed to.
        begin = len(",".join(cells[:column]).encode()) + (1 if column else 0)
        end = begin + len(cells[column].encode())
        value = "12.5x" if k % 2 == 0 else "12.5"
        cells[column] = value
        lines[line] = ",".join(cells)
        version += 1
        change = {"range": {"start": {"line": line, "character": begin},
                            "end": {"line": line, "character": end}}, "text": value}
        seconds, diagnostics = server.timed_diagnostics(
            "textDocument/didChange",
            {"textDocument": {"uri": uri, "version": version}, "contentChanges": [change]},
            version)
        edit_times.append(seconds)
        counts.append(len(diagnostics))
    peak = server.peak_kb()
    server.close()

    size = len(raw)
    edit_times.sort() if edit_times else edit_times.append(0.0)
    p95 = edit_times[min(len(edit_times) - 1, int(0.95 * len(edit_times)))]
    json_median = statistics.median(json_times)
    open_median = statistics.median(open_times)
    print(f"{table}: {size / 1e6:.1f} MB, part list {part_bytes / 1e6:.2f} MB, "
          f"{len(first)} diagnostics on opening")
    print(f"  (a) didOpen to diagnostics {open_median * 1e3:.0f} ms; unitlint --format json "
          f"{json_median * 1e3:.0f} ms; ratio {open_median / json_median:.2f}")
    print(f"  (b) {len(edit_times)} one-line edits: p50 {statistics.median(edit_times) * 1e3:.2f} ms,"
          f" p95 {p95 * 1e3:.2f} ms, max {edit_times[-1] * 1e3:.2f} ms "
          f"({min(counts, default=0)} to {max(counts, default=0)} diagnostics)")
    print(f"  (c) server peak memory {peak / 1024:.1f} MB = "
          f"{peak * 1024 / (size + part_bytes):.2f} x (table + part list)")


if __name__ == "__main__":
    main()
