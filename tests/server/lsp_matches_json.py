#!/usr/bin/env python3
"""unitlint --lsp publishes, for an open unit table, the findings that --format json reports on
the same bytes: same lines, rules, messages and ranges (UTF-16 columns, equal to the code point
columns on the example's lines), a fix where the report has one; then shutdown and exit end the
server with status 0.

usage: lsp_matches_json.py UNITLINT EXAMPLE_DATA_DIR"""
import json
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

SEVERITY = {"error": 1, "warning": 2}


def send(proc, message):
    body = json.dumps(message).encode()
    proc.stdin.write(b"Content-Length: %d\r\n\r\n" % len(body) + body)
    proc.stdin.flush()


def receive(proc):
    length = None
    while True:
        line = proc.stdout.readline()
        if not line:
            raise SystemExit("the server closed its output before answering")
        if line in (b"\r\n", b"\n"):
            break
        name, _, value = line.decode().partition(":")
        if name.lower() == "content-length":
            length = int(value)
    return json.loads(proc.stdout.read(length))


def receive_until(proc, accept):
    while True:
        message = receive(proc)
        if accept(message):
            return message


def validate_report(report, path):
    """The report validates against the JSON Schema of --format json (with Debian's python3,
    which the tests' packages give jsonschema)."""
    here = Path(__file__).resolve().parent
    path.write_bytes(report)
    python = "/usr/bin/python3" if Path("/usr/bin/python3").exists() else sys.executable
    checked = subprocess.run([python, str(here.parent / "lint" / "validate_json_report.py"),
                              str(here.parents[1] / "docs" / "unitlint.schema.json"), str(path)],
                             capture_output=True, text=True)
    assert checked.returncode == 0, checked.stdout + checked.stderr


def main():
    unitlint, example = sys.argv[1], Path(sys.argv[2])
    compare(unitlint, example, keep_lines=None)
    # A table of its header alone, its first line keyless: the run's own finding, no unit checked.
    compare(unitlint, example, keep_lines=2)


def compare(unitlint, example, keep_lines):
    with tempfile.TemporaryDirectory() as temp:
        data = Path(temp) / "data"
        shutil.copytree(example, data)
        table = data / "units" / "units.csv"
        if keep_lines:
            header = table.read_bytes().split(b"\n")[0]
            table.write_bytes(header + b"\n,keyless\n")
        report = subprocess.run([unitlint, "--format", "json", str(data)], capture_output=True)
        validate_report(report.stdout, Path(temp) / "report.json")
        expected = json.loads(report.stdout)["findings"]
        assert expected, "the example has findings to compare"

        proc = subprocess.Popen([unitlint, "--lsp"], stdin=subprocess.PIPE,
                                stdout=subprocess.PIPE)
        send(proc, {"jsonrpc": "2.0", "id": 1, "method": "initialize",
                    "params": {"processId": None, "rootUri": None, "capabilities": {
                        "general": {"positionEncodings": ["utf-16"]}}}})
        init = receive_until(proc, lambda m: m.get("id") == 1)
        assert init["result"]["capabilities"].get("positionEncoding", "utf-16") == "utf-16", init
        send(proc, {"jsonrpc": "2.0", "method": "initialized", "params": {}})
        uri = table.as_uri()
        text = table.read_bytes().decode("utf-8")
        send(proc, {"jsonrpc": "2.0", "method": "textDocument/didOpen", "params": {
            "textDocument": {"uri": uri, "languageId": "csv", "version": 3, "text": text}}})
        published = receive_until(
            proc, lambda m: m.get("method") == "textDocument/publishDiagnostics")["params"]
        assert published["uri"] == uri and published.get("version") == 3, published
        diagnostics = published["diagnostics"]

        assert len(diagnostics) == len(expected), (len(diagnostics), len(expected))
        lines = text.split("\n")
        for got, want in zip(diagnostics, expected):
            place = f"line {want['line']} {want['rule']}"
            assert got["code"] == want["rule"], place
            assert got["source"] == "unitlint", place
            assert got["severity"] == SEVERITY[want["severity"]], place
            assert got["message"] == want["message"], (place, got["message"])
            start, end = got["range"]["start"], got["range"]["end"]
            assert start["line"] == end["line"] == want["line"] - 1, place
            if lines[want["line"] - 1].isascii():
                assert start["character"] == want["char_column"] - 1, place
                assert end["character"] == want["end_char_column"] - 1, place
        fixes = [want for want in expected if want["fix"]]
        assert fixes or keep_lines, "the example has a finding with a fix"
        for number, want in enumerate(fixes, start=10):
            line = want["line"] - 1
            span = {"start": {"line": line, "character": want["char_column"] - 1},
                    "end": {"line": line, "character": want["end_char_column"] - 1}}
            send(proc, {"jsonrpc": "2.0", "id": number, "method": "textDocument/codeAction",
                        "params": {"textDocument": {"uri": uri}, "range": span,
                                   "context": {"diagnostics": []}}})
            actions = receive_until(proc, lambda m, n=number: m.get("id") == n)["result"]
            edits = [edit for action in actions for edit in action["edit"]["changes"][uri]]
            assert {"range": span, "newText": want["fix"]["replacement"]} in edits, (want, actions)

        send(proc, {"jsonrpc": "2.0", "id": 2, "method": "shutdown"})
        receive_until(proc, lambda m: m.get("id") == 2)
        send(proc, {"jsonrpc": "2.0", "method": "exit"})
        proc.stdin.close()
        status = proc.wait(timeout=30)
        assert status == 0, status
    print(f"ok: {len(expected)} diagnostics match the JSON report")


if __name__ == "__main__":
    main()
