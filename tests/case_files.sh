# Sourced by the scripts that run a case's data: make_case_files CASE_DIR NAME builds the case's
# files in a fresh temporary root (its tree/ copied, then its setup run there) and enters the
# working directory. Sets work (the root, removed on exit) and cwd ($work/w/x, so that relative
# candidates that climb two levels stay inside the root). The setup sees CASE and WORK.
make_case_files() {
  local case_dir=$1
  work=$(mktemp -d "${TMPDIR:-/tmp}/$2.XXXXXX")
  trap 'chmod -R u+rwx "$work" 2>/dev/null; rm -rf "$work"' EXIT
  cwd="$work/w/x"
  mkdir -p "$cwd"
  [ -d "$case_dir/tree" ] && cp -R "$case_dir/tree/." "$cwd/"
  cd "$cwd" || exit 1
  if [ -f "$case_dir/setup" ]; then
    CASE="$case_dir" WORK="$work" bash -e "$case_dir/setup" || {
      echo "setup of $case_dir failed"
      exit 1
    }
  fi
}
