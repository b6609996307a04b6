#!/usr/bin/env python3
"""Plays one scripted editor conversation against `unitlint --lsp` over pipes:
run_lsp_case.py UNITLINT CASE_DIR SAMPLE_DATA_DIR

A case folder holds `conversation`, a script of steps, and optionally `tree/`, a data directory.
A step is one line; an indented line continues the one above; `#` starts a comment line.
JSON arguments are JSON objects or values, with two shorthands for reading ease:
  "<units/units.csv>"      a string (or key) that is a path in angle brackets: that file's URI
  "range": "3:318-323"     a range on one line (line:from-to, both 0-based, as the protocol
  "range": "3:318-4:2"     counts), or across lines; any key that ends in "range"/"Range"
  "position": "3:318"      a position
The steps:
  data sample | data tree  the data directory, copied to a temporary folder: the sample data
                           or the case's tree/ (first step; the server starts after it)
  initialize [ENC...] [CAPABILITIES]
                           initialize offering these position encodings (none: the field is
                           left out) and these client capabilities besides (a JSON object;
                           its key "initializationOptions", if any, goes beside them as the
                           params' own), wait for the answer, send initialized
  open PATH [VERSION]      didOpen of the file as it is on disk (version 1 unless given)
  change PATH VERSION RANGE "OLD" -> "NEW" [; RANGE "OLD" -> "NEW" ...]
                           didChange, incremental: RANGE (in the agreed encoding) of the text
                           as the client holds it must read OLD; it is replaced by NEW. Several
                           edits go in one message, each on the text the one before left;
                           `* -> "NEW"` replaces the whole text
  apply ID PATH VERSION    apply the preferred quick fix of request ID's answer to the held
                           text, and send it as that document's didChange of VERSION
  save PATH                didSave (the text is not sent)
  request ID METHOD PARAMS send a request
  => PATTERN               the answer of the request above matches PATTERN
  notify METHOD [PARAMS]   send a notification
  body "TEXT"              send TEXT as a message's body, framed but as it is
  bytes "TEXT"             send TEXT as it is, headers and all (its characters as UTF-8)
  expect PATTERN           a message from the server matches PATTERN
  next PATTERN             the first message not yet taken matches PATTERN (nothing came
                           before it)
  disk-write PATH "TEXT"   write a file in the data directory
  disk-replace PATH "OLD" "NEW"
                           replace the first OLD in a file in the data directory
  disk-remove PATH         remove a file of the data directory
  close                    close the server's input
  status N                 the server has ended with exit status N
A PATTERN matches a message when every key of an object matches the message's value for it
(other keys are free), a list matches a list of the same length item by item, a list that
starts with "..." matches a list that holds its other items in that order among others, and
anything else is equal. The server's messages wait in arrival order; `expect` and `=>` take the
first that matches, waiting for more up to the timeout (LSP_CASE_TIMEOUT seconds, 20 by
default), and the messages no step asks for are let be. A request from the server (such as
client/registerCapability) is answered at once with a null result, as editors do, and waits
like the others. Each step is reported as it passes; with LSP_CASE_TRACE=1 every message from
the server is shown as it arrives."""
import json
import os
import queue
import re
import shutil
import subprocess
import sys
import tempfile
import threading
from pathlib import Path

TIMEOUT = float(os.environ.get("LSP_CASE_TIMEOUT", "20"))
TRACE = os.environ.get("LSP_CASE_TRACE") == "1"
RANGE = re.compile(r"^(\d+):(\d+)-(?:(\d+):)?(\d+)$")
POSITION = re.compile(r"^(\d+):(\d+)$")
PATH = re.compile(r"^<([^<>\s]+)>$")


class CaseFailed(Exception):
    pass


def expand(value, data):
    """The JSON of a step with its shorthands expanded."""
    if isinstance(value, dict):
        return {expand(key, data): expand_field(key, item, data) for key, item in value.items()}
    if isinstance(value, list):
        return [expand(item, data) for item in value]
    if isinstance(value, str) and PATH.match(value):
        return (data / PATH.match(value).group(1)).as_uri()
    return value


def expand_field(key, value, data):
    if isinstance(value, str) and key.lower().endswith("range") and RANGE.match(value):
        line, start, end_line, end = RANGE.match(value).groups()
        end_line = end_line if end_line is not None else line
        return {"start": position(line, start), "end": position(end_line, end)}
    if isinstance(value, str) and key == "position" and POSITION.match(value):
        return position(*POSITION.match(value).groups())
    return expand(value, data)


def position(line, character):
    return {"line": int(line), "character": int(character)}


def matches(pattern, value):
    if isinstance(pattern, dict):
        return isinstance(value, dict) and all(
            key in value and matches(item, value[key]) for key, item in pattern.items())
    if isinstance(pattern, list) and pattern[:1] == ["..."]:
        rest = iter(value) if isinstance(value, list) else iter(())
        return isinstance(value, list) and all(
            any(matches(p, v) for v in rest) for p in pattern[1:])
    if isinstance(pattern, list):
        return isinstance(value, list) and len(pattern) == len(value) and all(
            matches(p, v) for p, v in zip(pattern, value))
    return pattern == value and type(pattern) is type(value)


def offset(text, where, encoding):
    """The index in `text` of a protocol position counted in `encoding`."""
    lines = text.split("\n")
    if where["line"] >= len(lines):
        raise CaseFailed(f"position {where} is past the text's end")
    start = sum(len(line) + 1 for line in lines[:where["line"]])
    line, units, index = lines[where["line"]], 0, 0
    while units < where["character"] and index < len(line):
        char = line[index]
        units += len(char.encode("utf-8")) if encoding == "utf-8" else (
            2 if ord(char) > 0xFFFF else 1)
        index += 1
    if units != where["character"]:
        raise CaseFailed(f"position {where} is not at a character of line {line!r}")
    return start + index


def splice(text, span, new_text, encoding):
    return (text[:offset(text, span["start"], encoding)] + new_text +
            text[offset(text, span["end"], encoding):])


class Server:
    def __init__(self, unitlint, cwd):
        self.proc = subprocess.Popen([unitlint, "--lsp"], cwd=cwd, stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.inbox = queue.Queue()
        self.waiting = []  # messages read and not yet taken by a step
        self.log = []
        threading.Thread(target=self.read_messages, daemon=True).start()
        threading.Thread(target=self.read_log, daemon=True).start()

    def read_messages(self):
        out = self.proc.stdout
        try:
            while True:
                length = None
                while True:
                    line = out.readline()
                    if not line:
                        return
                    if line in (b"\r\n", b"\n"):
                        break
                    name, _, value = line.decode("ascii").partition(":")
                    if name.strip().lower() == "content-length":
                        length = int(value)
                body = out.read(length)
                self.inbox.put(json.loads(body))
        except Exception as error:  # a broken frame fails the step that waits for it
            self.inbox.put(error)
        finally:
            self.inbox.put(None)

    def read_log(self):
        for line in self.proc.stderr:
            self.log.append(line.decode("utf-8", "replace").rstrip("\n"))

    def send_body(self, body):
        self.proc.stdin.write(b"Content-Length: %d\r\n\r\n" % len(body) + body)
        self.proc.stdin.flush()

    def send(self, message):
        self.send_body(json.dumps({"jsonrpc": "2.0", **message}).encode())

    def take(self, pattern):
        """The first message waiting or to come that matches the pattern."""
        while True:
            for index, message in enumerate(self.waiting):
                if matches(pattern, message):
                    return self.waiting.pop(index)
            self.receive()

    def take_next(self):
        if not self.waiting:
            self.receive()
        return self.waiting.pop(0)

    def receive(self):
        """Waits for the server's next message and adds it to those waiting."""
        try:
            message = self.inbox.get(timeout=TIMEOUT)
        except queue.Empty:
            raise CaseFailed(f"nothing matched within {TIMEOUT:g} s") from None
        if message is None:
            self.inbox.put(None)
            raise CaseFailed("the server closed its output")
        if isinstance(message, Exception):
            raise CaseFailed(f"a message that does not parse: {message}")
        if TRACE:
            print("  <- " + json.dumps(message))
        if "method" in message and "id" in message:
            self.send({"id": message["id"], "result": None})
        self.waiting.append(message)


class Conversation:
    def __init__(self, unitlint, case, sample):
        self.unitlint, self.case, self.sample = unitlint, case, sample
        self.server = None
        self.data = None
        self.encoding = "utf-16"
        self.texts = {}  # path → text as the client holds it
        self.answers = {}  # request id → its answer
        self.requests = {}  # request id → method
        self.last_request = None

    def uri(self, path):
        return (self.data / path).as_uri()

    def json(self, text):
        return expand(json.loads(text), self.data) if text.strip() else {}

    def step(self, line):
        kind, _, rest = line.partition(" ")
        handler = getattr(self, "do_" + kind.replace("-", "_"), None)
        if kind == "=>":
            handler = self.do_answer
        if handler is None:
            raise CaseFailed(f"unknown step {kind!r}")
        if kind != "data" and self.server is None:
            raise CaseFailed("the first step names the data")
        handler(rest.strip())

    def do_data(self, which):
        source = {"sample": self.sample, "tree": self.case / "tree"}[which]
        self.temp = tempfile.TemporaryDirectory(prefix="unitlint-lsp-")
        self.data = Path(self.temp.name) / "data"
        shutil.copytree(source, self.data)
        self.server = Server(self.unitlint, self.temp.name)

    def do_initialize(self, rest):
        encodings, brace, more = rest.partition("{")
        capabilities = json.loads(brace + more) if brace else {}
        options = capabilities.pop("initializationOptions", None)
        if encodings.split():
            capabilities.setdefault("general", {})["positionEncodings"] = encodings.split()
        params = {"processId": None, "rootUri": None, "capabilities": capabilities}
        if options is not None:
            params["initializationOptions"] = options
        self.do_request("0 initialize " + json.dumps(params))
        self.do_answer('{"result": {"capabilities": {}}}')
        self.do_notify("initialized {}")

    def do_open(self, rest):
        path, _, version = rest.partition(" ")
        text = (self.data / path).read_bytes().decode("utf-8")
        self.texts[path] = text
        self.do_notify("textDocument/didOpen " + json.dumps({"textDocument": {
            "uri": self.uri(path), "languageId": "csv", "version": int(version or 1),
            "text": text}}))

    def do_change(self, rest):
        path, version, edits = (rest.split(" ", 2) + [""])[:3]
        decoder, text, changes = json.JSONDecoder(), self.texts[path], []
        while edits.strip():
            # RANGE "OLD" -> "NEW" or * -> "NEW"
            words = re.match(r'\s*;?\s*(\S+)\s+', edits)
            if not words:
                raise CaseFailed('change PATH VERSION RANGE "OLD" -> "NEW" [; ...]')
            span, edits = words.group(1), edits[words.end():]
            if span != "*":
                old, end = decoder.raw_decode(edits)
                edits = edits[end:]
            arrow = re.match(r'\s*->\s*', edits)
            if not arrow:
                raise CaseFailed('change PATH VERSION RANGE "OLD" -> "NEW" [; ...]')
            new, end = decoder.raw_decode(edits[arrow.end():])
            edits = edits[arrow.end() + end:]
            if span == "*":
                text = new
                changes.append({"text": new})
                continue
            span = expand({"range": span}, self.data)["range"]
            first, last = (offset(text, span[key], self.encoding) for key in ("start", "end"))
            if text[first:last] != old:
                raise CaseFailed(f"{span} holds {text[first:last]!r}, not {old!r}")
            text = text[:first] + new + text[last:]
            changes.append({"range": span, "text": new})
        self.texts[path] = text
        self.notify_change(path, int(version), changes)

    def notify_change(self, path, version, changes):
        self.do_notify("textDocument/didChange " + json.dumps({
            "textDocument": {"uri": self.uri(path), "version": version},
            "contentChanges": changes}))

    def do_apply(self, rest):
        number, path, version = rest.split()
        actions = self.answers[int(number)].get("result") or []
        preferred = [action for action in actions if action.get("isPreferred")]
        if not preferred:
            raise CaseFailed(f"request {number} offered no preferred quick fix: {actions}")
        edits = preferred[0]["edit"]["changes"][self.uri(path)]
        # Edits apply from the end of the text, so that each range still means what it said.
        edits = sorted(edits, key=lambda e: (e["range"]["start"]["line"],
                                             e["range"]["start"]["character"]), reverse=True)
        for edit in edits:
            self.texts[path] = splice(self.texts[path], edit["range"], edit["newText"],
                                      self.encoding)
        self.notify_change(path, int(version),
                           [{"range": e["range"], "text": e["newText"]} for e in edits])

    def do_save(self, path):
        self.do_notify("textDocument/didSave " +
                       json.dumps({"textDocument": {"uri": self.uri(path)}}))

    def do_request(self, rest):
        number, method, params = (rest.split(" ", 2) + ["", ""])[:3]
        message = {"id": int(number), "method": method}
        if params.strip():
            message["params"] = self.json(params)
        self.requests[int(number)] = method
        self.last_request = int(number)
        self.server.send(message)

    def do_answer(self, pattern):
        number = self.last_request
        answer = self.server.take({"id": number})
        self.answers[number] = answer
        if not matches(self.json(pattern), answer):
            raise CaseFailed(f"the answer to request {number} does not match:\n"
                             + json.dumps(answer, indent=1)[:4000])
        if self.requests.get(number) == "initialize" and "result" in answer:
            self.encoding = answer["result"]["capabilities"].get("positionEncoding", "utf-16")

    def do_notify(self, rest):
        method, _, params = rest.partition(" ")
        message = {"method": method}
        if params.strip():
            message["params"] = self.json(params)
        self.server.send(message)

    def do_body(self, text):
        self.server.send_body(json.loads(text).encode("utf-8"))

    def do_bytes(self, text):
        self.server.proc.stdin.write(json.loads(text).encode("utf-8"))
        self.server.proc.stdin.flush()

    def do_expect(self, pattern):
        self.server.take(self.json(pattern))

    def do_next(self, pattern):
        message = self.server.take_next()
        if not matches(self.json(pattern), message):
            raise CaseFailed("the next message does not match:\n" + json.dumps(message)[:4000])

    def do_disk_write(self, rest):
        path, text = rest.split(" ", 1)
        (self.data / path).parent.mkdir(parents=True, exist_ok=True)
        (self.data / path).write_text(json.loads(text), encoding="utf-8")

    def do_disk_replace(self, rest):
        path, strings = rest.split(" ", 1)
        decoder = json.JSONDecoder()
        old, end = decoder.raw_decode(strings)
        new = decoder.raw_decode(strings[end:].lstrip())[0]
        file = self.data / path
        text = file.read_text(encoding="utf-8")
        if old not in text:
            raise CaseFailed(f"{path} holds no {old!r}")
        file.write_text(text.replace(old, new, 1), encoding="utf-8")

    def do_disk_remove(self, path):
        (self.data / path).unlink()

    def do_close(self, _):
        self.server.proc.stdin.close()

    def do_status(self, want):
        try:
            status = self.server.proc.wait(timeout=TIMEOUT)
        except subprocess.TimeoutExpired:
            raise CaseFailed(f"the server still runs after {TIMEOUT:g} s") from None
        if status != int(want):
            raise CaseFailed(f"exit status {status}, expected {want}")


def steps(script):
    """The script's steps, each with the number of its first line."""
    current = None
    for number, line in enumerate(script.splitlines(), start=1):
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        if line[0].isspace() and current:
            current[1] += " " + line.strip()
            continue
        if current:
            yield current
        current = [number, line.strip()]
    if current:
        yield current


def main():
    unitlint, case, sample = os.path.abspath(sys.argv[1]), Path(sys.argv[2]), Path(sys.argv[3])
    conversation = Conversation(unitlint, case, sample)
    script = (case / "conversation").read_text(encoding="utf-8")
    try:
        for number, line in steps(script):
            try:
                conversation.step(line)
            except CaseFailed as failure:
                print(f"conversation:{number}: {line[:200]}\n  FAILED: {failure}")
                waiting = conversation.server.waiting if conversation.server else []
                for message in waiting[-10:]:
                    print("  waiting: " + json.dumps(message)[:600])
                if conversation.server:
                    print("\n".join("  server log: " + l for l in conversation.server.log[-10:]))
                return 1
            print(f"ok {number}: {line[:120]}")
    finally:
        if conversation.server and conversation.server.proc.poll() is None:
            conversation.server.proc.kill()
            conversation.server.proc.wait()
    return 0


if __name__ == "__main__":
    sys.exit(main())
