#!/usr/bin/env bash
# Breaks each guard of the motion blur's fast path in turn, on a copy of the sources, and
# expects the native motion blur test to fail: every shortcut the filter takes must be pinned by
# some test. One sanitized build per mutation, so it takes minutes; run it by hand after
# changing the filter or its tests (it is not part of `make test`).
#   tests/mutation/motion-blur-guards.sh [NAME-FILTER]
source "$(dirname "$0")/guards.sh"

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

run_mutations test_motion_blur_filter
