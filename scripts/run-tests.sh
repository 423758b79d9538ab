#!/usr/bin/env bash
# Every test: the native suites under AddressSanitizer/UBSan, the fuzz harnesses replaying their
# seeds plus a fixed number of mutations, then the Windows suites under wine in one Xvfb and
# wine-server session. Ends with one summary line.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mkdir -p build

summary() { # ctest log -> "passed failed"
  local line total failed
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
  if [ -z "$line" ]; then echo "0 1"; return; fi
  failed=$(sed -E 's/.*, ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.*failed out of ([0-9]+).*/\1/' <<<"$line")
  echo "$((total - failed)) $failed"
}

echo "== native tests (AddressSanitizer, UBSan)"
ctest --test-dir build/asan --output-on-failure 2>&1 | tee build/ctest-native.log
native_status=${PIPESTATUS[0]}

echo "== fuzz harnesses (libFuzzer, ASan, UBSan): seeds and a fixed number of runs"
ctest --test-dir build/fuzz --output-on-failure 2>&1 | tee build/ctest-fuzz.log
fuzz_status=${PIPESTATUS[0]}

echo "== Windows tests (wine, Xvfb, a private CUPS server with a PDF printer)"
scripts/printer-session.sh scripts/wine-session.sh ctest --test-dir build/win --output-on-failure >build/ctest-win.log 2>&1
win_status=$?
cat build/ctest-win.log

read -r native_passed native_failed < <(summary build/ctest-native.log)
read -r fuzz_passed fuzz_failed < <(summary build/ctest-fuzz.log)
read -r win_passed win_failed < <(summary build/ctest-win.log)
passed=$((native_passed + fuzz_passed + win_passed))
failed=$((native_failed + fuzz_failed + win_failed))
if [ $native_status -ne 0 ] || [ $fuzz_status -ne 0 ] || [ $win_status -ne 0 ]; then
  [ $failed -eq 0 ] && failed=1
fi
echo
echo "native: $native_passed passed, $native_failed failed; fuzz: $fuzz_passed passed," \
     "$fuzz_failed failed; windows: $win_passed passed, $win_failed failed"
echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
