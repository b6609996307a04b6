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
