#!/usr/bin/env bash
# Breaks each guard of the motion blur's fast path in turn, on a copy of the sources, and
# expects the native motion blur test to fail: every shortcut the filter takes must be pinned by
# some test. One sanitized build per mutation, so it takes minutes; run it by hand after
# changing the filter or its tests (it is not part of `make test`).
#   tests/mutation/motion-blur-guards.sh [NAME-FILTER]
# Prints one line per mutation and exits 1 when one survives, fails to apply or the unchanged
# sources fail.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
only=${1:-}
work=$(mktemp -d "${TMPDIR:-/tmp}/motion-blur-guards.XXXXXX")
trap 'rm -rf "$work"' EXIT
for tool in cmake perl timeout; do
  command -v "$tool" >/dev/null || { echo "error: $tool is missing" >&2; exit 2; }
done

names=() files=() froms=() tos=()
mutation() { names+=("$1"); files+=("$2"); froms+=("$3"); tos+=("$4"); }

plan=filter/MotionBlurPlan.cpp
pass=filter/MotionBlurPass.cpp
mutation "16-bit sums allowed up to 2^20" $plan \
  'kLargestSixteenBitSum = 65535;' 'kLargestSixteenBitSum = 1 << 20;'
mutation "16-bit sums allowed one past 65535" $plan \
  'largestSum <= kLargestSixteenBitSum' 'largestSum <= kLargestSixteenBitSum + 1'
mutation "largest sum read at byte 254" $plan \
  'largestSum += entries[255];' 'largestSum += entries[254];'
mutation "taps left out unless they can add a whole unit" $plan \
  'if (!(tap * 255.0 > kNearOne))' 'if (!(tap * 255.0 >= 1.0))'
mutation "taps left out one bit closer to 1" $plan \
  'if (!(tap * 255.0 > kNearOne))' 'if (!(tap * 255.0 > 1.0 - 1.0 / 70368744177664.0))'
mutation "no tap left out" $plan \
  'if (!(tap * 255.0 > kNearOne))' 'if (false)'
mutation "fractions under a whole number not checked" $plan \
  'product >= 256.0 || product - whole > kNearOne' 'product >= 256.0'
mutation "fractions checked one bit closer to 1" $plan \
  'product - whole > kNearOne' 'product - whole > 1.0 - 1.0 / 70368744177664.0'
mutation "a product of 256 put in the table" $plan \
  'product >= 256.0' 'product > 256.0'
mutation "every tap runs as written" $plan \
  'Step how = Step::Table;' 'Step how = Step::Exact;'
mutation "exact steps allowed in the summed pass" $plan \
  'summed = !anyExact && largestSum' 'summed = !(anyExact && false) && largestSum'
mutation "multiplier may be 65536" $plan \
  'high = 65535;' 'high = 65536;'
mutation "multiplier search rounds down" $plan \
  'low = std::max(low, (e * 65536 + b - 1) / b);' 'low = std::max(low, (e * 65536) / b);'
mutation "reach stops one tap short" $plan \
  'std::abs(du) >= width ||' 'std::abs(du) >= width - 1 ||'
mutation "exact steps read from the table" $pass \
  'if (steps[i] == Step::Exact) {' 'if (steps[i] == Step::Exact && false) {'
mutation "reach prefix one pixel too long" $pass \
  'if (at >= 0 && at < limit)' 'if (at >= 0 && at <= limit)'
mutation "a pixel takes the longer of its row and column reach" $pass \
  'std::min(rowReach, columnReach[x])' 'std::max(rowReach, columnReach[x])'
mutation "summed row range one pixel too long" $pass \
  'std::min(width_, width_ - du)' 'std::min(width_, width_ - du + 1)'
mutation "multiplied bytes added as signed" $pass \
  '_mm_mulhi_epu16(_mm_unpacklo_epi8(in, zero), factor)' '_mm_mulhi_epi16(_mm_unpacklo_epi8(in, zero), factor)'

# A copy of the sources as they are now, committed or not, without build trees.
mkdir -p "$work/src"
tar -C "$root" --exclude=./build --exclude=./out --exclude=./.git -cf - . | tar -C "$work/src" -xf -
cmake -S "$work/src" -B "$work/build" -DCMAKE_BUILD_TYPE=Debug -DQUILLET_SANITIZE=ON \
  >"$work/cmake.log" 2>&1 || { cat "$work/cmake.log"; exit 2; }

# Builds and runs the test; prints passed, failed, timeout or "does not build".
run_test() {
  cmake --build "$work/build" --target test_motion_blur_filter -j"$(nproc)" >"$work/build.log" 2>&1 ||
    { echo "does not build"; return; }
  timeout 600 "$work/build/tests/test_motion_blur_filter" >"$work/test.log" 2>&1
  case $? in
    0) echo passed ;;
    124) echo timeout ;;
    *) echo failed ;;
  esac
}

baseline=$(run_test)
if [ "$baseline" != passed ]; then
  echo "the unchanged sources give: $baseline"
  cat "$work/build.log" "$work/test.log" | tail -40
  exit 1
fi

caught=0 faults=0 tried=0
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
