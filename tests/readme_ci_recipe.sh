#!/usr/bin/env bash
# Runs the CI recipe of the README, taken from it word for word: readme_ci_recipe.sh UNITCHECK README
#
# The recipe must pass on a data directory without faults, and fail on one with a single fault,
# on a missing data directory and on an unreadable part list, both as a script's last command
# and in the middle of a script run with set -e.
set -u
exe=$1
readme=$2
recipe=$(sed -n '/^## Using it in CI$/,/^## /p' "$readme" | grep -m1 '^unitcheck data ')
if [ -z "$recipe" ]; then
  echo "no recipe line beginning 'unitcheck data ' under '## Using it in CI' in $readme"
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/unitcheck-recipe.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/home"
ln -s "$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")" "$work/bin/unitcheck"

# make_data KIND: a data directory "data" in a fresh working folder; prints the folder.
# The working folder lies two levels down, so the relative candidates stay inside $work.
make_data() {
  local dir="$work/$1/w/x"
  mkdir -p "$dir"
  if [ "$1" != missing ]; then
    mkdir -p "$dir/data/units/fighter"
    printf 'file,categoryname\nLaser,Weapons/Guns\n' >"$dir/data/master_part_list.csv"
    # A faultless line has all 116 cells: five filled, 111 empty ones after them.
    local empty_cells
    empty_cells=$(printf '%.0s,' $(seq 111))
    {
      printf 'Key,Directory,Name,Use_BSP,Cargo\ntypes\n'
      printf 'Arrow,fighter,Arrow,true,{Laser;Weapons/Guns;1;1;1;1;1;1;d;0}%s\n' "$empty_cells"
    } >"$dir/data/units/units.csv"
  fi
  case $1 in
    one-fault) printf 'Hornet,fighter,Hornet,yes,%s\n' "$empty_cells" >>"$dir/data/units/units.csv" ;;
    unreadable) rm "$dir/data/master_part_list.csv" ;;
  esac
  echo "$dir"
}

failures=0
# expect KIND STATUS WHERE: runs the recipe on data of KIND, as the last command of a script or
# in the middle of a set -e script, and compares its status (0 or not 0).
expect() {
  local kind=$1 want=$2 where=$3 dir status
  dir=$(make_data "$kind")
  local script=$recipe
  [ "$where" = middle ] && script=$'set -e\n'"$recipe"$'\necho "recipe passed"'
  (cd "$dir" && HOME="$work/home" PATH="$work/bin:$PATH" bash -c "$script") >"$dir/log" 2>&1
  status=$?
  if { [ "$want" = 0 ] && [ $status != 0 ]; } || { [ "$want" != 0 ] && [ $status = 0 ]; }; then
    echo "recipe on $kind data ($where of a script): status $status, expected $want"
    cat "$dir/log"
    failures=$((failures + 1))
  fi
  # The report stays for the job's log, the fault included.
  if [ "$kind" = one-fault ] && ! grep -qx 'row 4 column 4 - Use_BSP yes <> Boolean?' \
    "$dir/report.txt"; then
    echo "report.txt of the one-fault data lacks its fault line"
    failures=$((failures + 1))
  fi
}

for where in last middle; do
  expect faultless 0 $where
  expect one-fault 1 $where
  expect missing 1 $where
  expect unreadable 1 $where
done
[ $failures = 0 ]
