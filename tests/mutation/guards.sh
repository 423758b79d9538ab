# Sourced by the *-guards.sh scripts: each declares `mutation NAME FILE FROM TO` lines, then calls
# `run_mutations TEST-TARGET`, which breaks a copy of the sources one mutation at a time and
# expects the sanitized test to fail. One line per mutation; exits 1 when one survives, fails to
# apply or the unchanged sources fail. A script's argument picks the mutations naming it.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
only=${1:-}
for tool in cmake perl timeout; do
  command -v "$tool" >/dev/null || { echo "error: $tool is missing" >&2; exit 2; }
done

names=() files=() froms=() tos=()
mutation() { names+=("$1"); files+=("$2"); froms+=("$3"); tos+=("$4"); }

run_mutations() {
  local target=$1
  work=$(mktemp -d "${TMPDIR:-/tmp}/$target-guards.XXXXXX")
  trap 'rm -rf "$work"' EXIT
  # A copy of the sources as they are now, committed or not, without build trees.
  mkdir -p "$work/src"
  tar -C "$root" --exclude=./build --exclude=./out --exclude=./.git -cf - . | tar -C "$work/src" -xf -
  cmake -S "$work/src" -B "$work/build" -DCMAKE_BUILD_TYPE=Debug -DQUILLET_SANITIZE=ON \
    >"$work/cmake.log" 2>&1 || { cat "$work/cmake.log"; exit 2; }

  # Builds and runs the test; prints passed, failed, timeout or "does not build".
  run_test() {
    cmake --build "$work/build" --target "$target" -j"$(nproc)" >"$work/build.log" 2>&1 ||
      { echo "does not build"; return; }
    timeout 600 "$work/build/tests/$target" >"$work/test.log" 2>&1
    case $? in 0) echo passed ;; 124) echo timeout ;; *) echo failed ;; esac
  }

  local baseline caught=0 faults=0 tried=0 i file result by
  baseline=$(run_test)
  [ "$baseline" = passed ] || {
    echo "the unchanged sources give: $baseline"; cat "$work/build.log" "$work/test.log" | tail -40
    exit 1
  }

  for i in "${!names[@]}"; do
    [ -n "$only" ] && [[ ${names[$i]} != *"$only"* ]] && continue
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
    case $result in
      failed | timeout)
        caught=$((caught + 1))
        by=$(grep -m1 -oE 'TEST CASE: .*|AddressSanitizer: [a-z-]+' "$work/test.log")
        printf '%-52s caught (%s) by %s\n' "${names[$i]}" "$result" "${by:-a crash}" ;;
      passed) faults=$((faults + 1)); printf '%-52s SURVIVED\n' "${names[$i]}" ;;
      *) faults=$((faults + 1)); printf '%-52s BROKEN (%s)\n' "${names[$i]}" "$result" ;;
    esac
  done
  echo "$tried mutations, $caught caught"
  [ "$faults" -eq 0 ]
}
