# Sourced by the *-guards.sh scripts: each declares `mutation NAME FILE FROM TO` lines, then calls
# `run_mutations TEST-TARGET`, which breaks a copy of the sources one mutation at a time and
# expects the sanitized test to fail. One line per mutation, naming the test cases that failed;
# exits 1 when one survives, fails to apply or the unchanged sources fail. A script's argument
# picks the mutations whose name contains it.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
only=${1:-}
for tool in cmake perl timeout; do
  command -v "$tool" >/dev/null || { echo "error: $tool is missing" >&2; exit 2; }
done
names=() files=() froms=() tos=()
mutation() { names+=("$1"); files+=("$2"); froms+=("$3"); tos+=("$4"); }

run_mutations() {
  local target=$1 caught=0 faults=0 tried=0 i file result by
  work=$(mktemp -d "${TMPDIR:-/tmp}/$target-guards.XXXXXX")
  trap 'rm -rf "$work"' EXIT
  # A copy of the sources as they are now, committed or not, without build trees.
  mkdir -p "$work/src"
  tar -C "$root" --exclude=./build --exclude=./out --exclude=./.git -cf - . | tar -C "$work/src" -xf -
  cmake -S "$work/src" -B "$work/build" -DCMAKE_BUILD_TYPE=Debug -DQUILLET_SANITIZE=ON \
    >"$work/cmake.log" 2>&1 || { cat "$work/cmake.log"; exit 2; }
  run_test() { # passed, failed, timeout or "does not build"
    cmake --build "$work/build" --target "$target" -j"$(nproc)" >"$work/build.log" 2>&1 ||
      { echo "does not build"; return; }
    timeout 600 "$work/build/tests/$target" >"$work/test.log" 2>&1
    case $? in 0) echo passed ;; 124) echo timeout ;; *) echo failed ;; esac
  }
  result=$(run_test)
  [ "$result" = passed ] ||
    { echo "the unchanged sources give: $result"; tail -40 "$work/build.log" "$work/test.log"; exit 1; }

  for i in "${!names[@]}"; do
    [[ ${names[$i]} == *"$only"* ]] || continue
    tried=$((tried + 1))
    file=$work/src/${files[$i]}
    cp "$root/${files[$i]}" "$file"
    if ! perl -0777 -i -pe 'BEGIN { $from = shift; $to = shift }
          my $n = () = /\Q$from\E/g; die "found $n times\n" unless $n == 1; s/\Q$from\E/$to/' \
        "${froms[$i]}" "${tos[$i]}" "$file" 2>"$work/perl.log"; then
      printf '%-52s NOT APPLIED (%s)\n' "${names[$i]}" "$(tr -d '\n' <"$work/perl.log")"
      faults=$((faults + 1))
      continue
    fi
    result=$(run_test)
    cp "$root/${files[$i]}" "$file"
    if [[ $result =~ failed|timeout ]]; then
      caught=$((caught + 1))
      by=$(grep -oE 'TEST CASE: .*|AddressSanitizer: [a-z-]+' "$work/test.log" | sort -u |
        sed 's/TEST CASE: *//' | paste -sd '|')
      printf '%-52s caught (%s) by %s\n' "${names[$i]}" "$result" "${by:-a crash}"
    else
      faults=$((faults + 1))
      printf '%-52s %s\n' "${names[$i]}" "$([ "$result" = passed ] && echo SURVIVED || echo "BROKEN ($result)")"
    fi
  done
  echo "$tried mutations, $caught caught"
  [ "$faults" -eq 0 ]
}
