"""Validates a SARIF log against the SARIF 2.1.0 JSON Schema: validate_sarif.py SCHEMA LOG.

Prints every violation and exits 1 when there is one; a log without results fails too, so that
an empty run cannot pass for a checked one.
"""
import json
import sys

import jsonschema


def main(schema_path, log_path):
    with open(schema_path, encoding="utf-8") as f:
        schema = json.load(f)
    with open(log_path, encoding="utf-8") as f:
        log = json.load(f)
    validator = jsonschema.Draft4Validator(schema, format_checker=jsonschema.FormatChecker())
    errors = sorted(validator.iter_errors(log), key=lambda e: list(e.path))
    for error in errors:
        print("/".join(str(p) for p in error.path) + ": " + error.message)
    results = sum(len(run.get("results", [])) for run in log.get("runs", []))
    if results == 0:
        print("the log holds no result")
    return 1 if errors or results == 0 else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
