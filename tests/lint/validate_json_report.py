#!/usr/bin/env python3
"""Validates unitlint --format json reports against docs/unitlint.schema.json:
validate_json_report.py SCHEMA REPORT...
An empty file (a run that wrote nothing, as on bad usage) is passed over; anything else must
be a whole JSON document that the schema accepts."""
import json
import sys

import jsonschema

schema_path, *reports = sys.argv[1:]
with open(schema_path, encoding="utf-8") as f:
    schema = json.load(f)
jsonschema.Draft202012Validator.check_schema(schema)
validator = jsonschema.Draft202012Validator(schema)
faults = 0
for path in reports:
    with open(path, "rb") as f:
        data = f.read()
    if not data:
        continue
    try:
        document = json.loads(data)
    except ValueError as error:
        print(f"{path}: not a JSON document: {error}")
        faults += 1
        continue
    for error in sorted(validator.iter_errors(document), key=lambda e: list(e.absolute_path))[:5]:
        where = "/".join(str(p) for p in error.absolute_path)
        print(f"{path}: at /{where}: {error.message[:300]}")
        faults += 1
sys.exit(1 if faults else 0)
