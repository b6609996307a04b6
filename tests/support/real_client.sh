# Sourced by the tests that drive a real client (a browser, an editor) nobody here wrote.

# Ends the test when the client is missing: a skip (status 77), or in CI (CI=true), where
# tools/install-deps ci must have installed it, a failure. $1 names what is missing.
missing_client() {
  if [ "${CI:-}" = true ]; then
    echo "$1 is needed in CI (tools/install-deps ci installs it)"
    exit 1
  fi
  echo "SKIP: $1 is not installed (tools/install-deps ci installs it)"
  exit 77
}

# Sets work to a new temporary folder, removed at exit, holding a copy of the data directory $2
# as data; $1 names the folder.
copy_data_to_work() {
  work=$(mktemp -d "${TMPDIR:-/tmp}/$1.XXXXXX")
  trap 'rm -rf "$work"' EXIT
  cp -R "$2" "$work/data"
}

# Appends to the unit table of the data directory $1 a unit line whose name holds accented
# letters, a symbol, an emoji and CJK text before a faulty boolean: Hornet Militia's line (the
# fourth) with the key "elan" and the name "Élan Frégate ✈ 😀 日本". Its "flase" then lies at
# different columns in bytes, characters and UTF-16 units: a client that mixes them up misses it.
add_non_ascii_unit() {
  python3 - "$1/units/units.csv" <<'PY'
import sys
path = sys.argv[1]
text = open(path, encoding="utf-8", newline="").read()
militia = text.split("\n")[3]
assert militia.startswith("hornet.militia,hornet,Hornet Militia,")
line = militia.replace("hornet.militia,hornet,Hornet Militia,",
                       "elan,hornet,\u00c9lan Fr\u00e9gate \u2708 \U0001f600 \u65e5\u672c,", 1)
if not text.endswith("\n"):
    text += "\n"
open(path, "w", encoding="utf-8", newline="").write(text + line + "\n")
PY
}
