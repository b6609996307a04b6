#!/usr/bin/env python3
"""The server's peak memory on a unit table of one long line: the sample's header and first
unit line, that line padded to MEGABYTES, opened and then edited inside the line EDITS times.
Prints the time to the diagnostics of the opening and of the last edit, and the peak resident
memory (VmHWM) after each against the table's size.

usage: lsp_long_line.py UNITLINT SAMPLE_DATA_DIR WORK_DIR [MEGABYTES] [EDITS]"""
import shutil
import sys
from pathlib import Path

from lsp_bench import open_table, start


def main():
    unitlint, sample, work = sys.argv[1], Path(sys.argv[2]), Path(sys.argv[3]).resolve()
    megabytes = int(sys.argv[4]) if len(sys.argv) > 4 else 50
    edits = int(sys.argv[5]) if len(sys.argv) > 5 else 4
    shutil.rmtree(work, ignore_errors=True)
    shutil.copytree(sample, work)
    table = work / "units" / "units.csv"
    lines = table.read_text(encoding="utf-8").split("\n")
    text = lines[0] + "\n" + lines[1] + "\n" + lines[2][:40] + "x" * (megabytes << 20) + "\n"
    table.write_text(text, encoding="utf-8")
    server = start(unitlint, work)
    opened, _ = open_table(server, table.as_uri(), text)
    open_peak = server.peak_kb()
    edited = 0.0
    for version in range(2, edits + 2):
        at = 1000 + version
        change = {"range": {"start": {"line": 2, "character": at},
                            "end": {"line": 2, "character": at + 1}}, "text": "y"}
        edited, _ = server.timed_diagnostics(
            "textDocument/didChange",
            {"textDocument": {"uri": table.as_uri(), "version": version},
             "contentChanges": [change]}, version)
    edit_peak = server.peak_kb()
    server.close()
    size = len(text.encode())
    print(f"one line of {size / 1e6:.1f} MB: open {opened * 1e3:.0f} ms, peak "
          f"{open_peak / 1024:.0f} MB = {open_peak * 1024 / size:.2f} x; after {edits} edits "
          f"(the last {edited * 1e3:.0f} ms) peak {edit_peak / 1024:.0f} MB = "
          f"{edit_peak * 1024 / size:.2f} x")


if __name__ == "__main__":
    main()
