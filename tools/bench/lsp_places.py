#!/usr/bin/env python3
"""Times unitlint --lsp's answers about places of a unit table: hover on random cells and on
Name cells, completion in Directory, boolean and cargo cells, and the outline. The clock starts
when the request is written and stops when its reply has been read (before the client parses
it: a 5 MB outline takes the client longer to parse than the server to write).

usage: lsp_places.py UNITLINT DATA_DIR [utf-8|utf-16]
DATA_DIR as unitcheck-gen makes it (its cells have no quotes before the cargo columns)."""
import json
import random
import statistics
import sys
import time
from pathlib import Path

from lsp_bench import Server


def receive(server):
    """The next message and the moment its body was read."""
    body = server.receive_body()
    return time.perf_counter(), json.loads(body)


def main():
    unitlint, data = sys.argv[1], Path(sys.argv[2])
    encoding = sys.argv[3] if len(sys.argv) > 3 else "utf-16"
    table = data / "units" / "units.csv"
    raw = table.read_bytes()
    lines = raw.split(b"\n")
    column = {name.decode(): i for i, name in enumerate(lines[0].split(b","))}

    def cell_start(line, index):  # -1 for a line with fewer cells
        at = 0
        for _ in range(index):
            at = line.find(b",", at) + 1
            if at == 0:
                return -1
        return at

    def places(column_name, offset, count):
        found = [(r, cell_start(lines[r], column[column_name])) for r in rows[:count]]
        return [(r, at + offset) for r, at in found if at >= 0]

    server = Server(unitlint)
    capabilities = {
        "general": {"positionEncodings": [encoding]},
        "textDocument": {"hover": {"contentFormat": ["markdown"]},
                         "documentSymbol": {"hierarchicalDocumentSymbolSupport": True}}}
    server.send({"jsonrpc": "2.0", "id": 0, "method": "initialize",
                "params": {"processId": None, "capabilities": capabilities}})
    receive(server)
    uri = table.resolve().as_uri()
    server.send({"jsonrpc": "2.0", "method": "textDocument/didOpen",
                "params": {"textDocument": {"uri": uri, "languageId": "csv", "version": 1,
                                            "text": raw.decode("utf-8", "replace")}}})
    while receive(server)[1].get("method") != "textDocument/publishDiagnostics":
        pass
    ids = iter(range(1, 1 << 30))

    def ask(method, params):
        request_id = next(ids)
        params["textDocument"] = {"uri": uri}
        start = time.perf_counter()
        server.send({"jsonrpc": "2.0", "id": request_id, "method": method, "params": params})
        while True:
            done, reply = receive(server)
            if reply.get("id") == request_id:
                return (done - start) * 1000, reply

    def bench(name, method, places):
        times, largest = [], 0
        for line, character in places:
            params = {} if line is None else {"position": {"line": line, "character": character}}
            took, reply = ask(method, params)
            times.append(took)
            largest = max(largest, len(json.dumps(reply)))
        times.sort()
        print("%-24s %4d  median %7.2f ms  p95 %7.2f ms  largest reply %8d bytes" % (
            name, len(times), statistics.median(times), times[max(0, int(len(times) * 0.95) - 1)],
            largest))

    pick = random.Random(5)
    rows = [pick.randrange(2, len(lines) - 1) for _ in range(200)]
    bench("hover, any cell", "textDocument/hover",
          [(r, pick.randrange(0, len(lines[r]))) for r in rows])
    bench("hover, Name", "textDocument/hover", places("Name", 1, 50))
    bench("completion, Directory", "textDocument/completion", places("Directory", 1, 50))
    bench("completion, Use_BSP", "textDocument/completion", places("Use_BSP", 0, 50))
    cargo = [(r, at) for r, at in places("Cargo", 1, 100) if lines[r][at - 1:at] == b"{"]
    bench("completion, cargo part", "textDocument/completion", cargo)
    bench("documentSymbol", "textDocument/documentSymbol", [(None, None)] * 10)
    server.send({"jsonrpc": "2.0", "id": 0, "method": "shutdown"})
    receive(server)
    server.send({"jsonrpc": "2.0", "method": "exit"})
    server.proc.wait()


if __name__ == "__main__":
    main()
