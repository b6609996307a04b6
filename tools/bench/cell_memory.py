#!/usr/bin/env python3
"""Peak memory of one huge cell in every column and every nested field, per front end.

Usage: cell_memory.py BUILD_DIR [MEGABYTES] [COLUMN...]

For each column of the unit table (and each field of the seven nested lists, as the only value
of one group), writes a data directory whose one unit line holds a cell of MEGABYTES (20 by
default) of 'x' there, under a header naming every column in schema order (its unit directory
exists, so that mesh cells are tested), and runs unitcheck and unitlint in each form on it
with /usr/bin/time. Prints the peak resident memory of each run as it ends, less that of the
same run on a cell of one byte, as a multiple of the cell; then the worst first, and ends with
status 1 when one exceeds 3.
"""
import json
import os
import subprocess
import sys
import tempfile

BOUND = 3.0


def peak_kib(command, out):
    result = subprocess.run(["/usr/bin/time", "-f", "%M"] + command, stdout=out,
                            stderr=subprocess.PIPE, text=True)
    return int(result.stderr.strip().splitlines()[-1])


def main():
    build = sys.argv[1]
    megabytes = int(sys.argv[2]) if len(sys.argv) > 2 else 20
    only = set(sys.argv[3:])
    unitcheck = os.path.join(build, "unitcheck")
    unitlint = os.path.join(build, "unitlint")
    schema = json.loads(subprocess.run([unitlint, "--schema", "--format", "json"],
                                       capture_output=True, text=True, check=True).stdout)
    columns = schema["units"]
    nested_fields = {n["table"]: n["fields"] for n in schema["nested_lists"]}
    names = [c["name"] for c in columns]
    size = megabytes * 1000 * 1000
    big = "x" * size
    cells = []  # (label, column position, cell text), the big text made when written
    for at, column in enumerate(columns):
        cells.append((column["name"], at, None))
        nested = column.get("nested_list")
        if nested:
            for field_at, field in enumerate(nested_fields[nested]):
                cells.append((f"{column['name']}.{field['name']}", at, field_at))
    results = []
    runs = [("unitcheck", [unitcheck])] + [
        (f"unitlint {form}", [unitlint, "--format", form])
        for form in ("text", "json", "sarif", "github", "html")]
    with tempfile.TemporaryDirectory() as work, open(os.devnull, "w") as null:
        data = os.path.join(work, "data")
        os.makedirs(os.path.join(data, "units", "u"))
        with open(os.path.join(data, "master_part_list.csv"), "w") as f:
            f.write("file,categoryname\nLaser,Weapons/Guns\n")
        baseline = {}
        for label, at, text in [("baseline", 1, "x")] + cells:
            if only and label != "baseline" and label not in only and label.split(".")[0] not in only:
                continue
            if text is None:
                text = big
            elif isinstance(text, int):
                text = "{" + ";" * text + big + "}"
            row = [""] * len(names)
            row[0] = "unit"
            if at != 1:
                row[1] = "u"
            row[at] = text
            with open(os.path.join(data, "units", "units.csv"), "w") as f:
                f.write("Key," + ",".join(names[1:]) + "\n\n" + ",".join(row) + "\n")
            for run_name, command in runs:
                kib = peak_kib(command + [data], null)
                if label == "baseline":
                    baseline[run_name] = kib
                    continue
                ratio = (kib - baseline[run_name]) * 1024 / size
                results.append((ratio, label, run_name, kib))
                print(f"{ratio:5.2f}  {kib / 1024:8.1f} MiB  {run_name:16}  {label}", flush=True)
    results.sort(reverse=True)
    print("worst first:")
    for ratio, label, run_name, kib in results:
        print(f"{ratio:5.2f}  {kib / 1024:8.1f} MiB  {run_name:16}  {label}")
    worst = results[0][0] if results else 0
    print(f"worst {worst:.2f} times a cell of {megabytes} MB over {len(results)} runs")
    return 1 if worst > BOUND else 0


if __name__ == "__main__":
    sys.exit(main())
