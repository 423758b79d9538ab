#!/usr/bin/env bash
# Breaks the lens flare's fast path one way at a time, on a copy of the sources, and expects the
# native lens flare test to fail: each clip, threshold, skip and order the renderer relies on
# must be pinned by some test. One sanitized build per mutation, minutes in all; run by hand
# after changing the renderer or its tests (not part of `make test`):
#   tests/mutation/lens-flare-guards.sh [NAME-FILTER]
source "$(dirname "$0")/guards.sh"

R=filter/FlareDiscRaster.cpp
F=filter/LensFlareRender.cpp
mutation "clip ends a column early, centre before" $R 'end - 1 - centre;' 'end - 2 - centre;'
mutation "clip starts a column late, centre before" $R 'first - centre;' 'first - centre + 1;'
mutation "clip starts a column late, centre beyond" $R '(end - 1);' '(end - 2);'
mutation "clip ends a column early, centre inside" $R 'end - 1 - centre);' 'end - 2 - centre);'
mutation "clip refuses offsets at the radius" $R 'lo > limit)' 'lo >= limit)'
mutation "colour skipped for discs that show" $R 'radius, &lo, &hi) &&' 'radius - 1, &lo, &hi) &&'
mutation "disc keep above 1 not clamped" $R 'keep > 1.0f ? 1.0f : keep)' 'keep)'
mutation "inside below R^2 exactly" $R \
  'insideBelow_ = FirstSquare(' 'insideBelow_ = square; (void)FirstSquare('
mutation "rim stops short of R + 1" $R 'radius) > 1.0f;' 'radius) > 0.9f;'
mutation "rim keep factor not clamped" $R 'if (k > 1.0f)' 'if (k > 2.0f)'
mutation "scans begin a column too far in" $R 'FloorRoot(rest),' 'FloorRoot(rest) - 1,'
mutation "side caps end a column early" $R 'std::max(r / 2, xLow_)' 'std::max(r / 2 + 1, xLow_)'
mutation "column chord taken at the column itself" $R 'HalfChord(r, x + 1)' 'HalfChord(r, x)'
mutation "row chord taken at the row itself" $R 'HalfChord(r, row + 1)' 'HalfChord(r, row)'
mutation "unfilled columns given up one early" $R 'start > yHigh_' 'start >= yHigh_'
mutation "centre block a row short" $R 'lastCapRow_ + 1, yHigh_' 'lastCapRow_, yHigh_'
mutation "fourth byte left as it was" filter/FlareBlend.h 'p[3] = 0;' 'p[3] = p[3];'
mutation "line blends its first column twice" $F 'std::max(x0 + 1, 0)' 'std::max(x0, 0)'
mutation "line stops a column early" $F 'std::min(x1, canvas' 'std::min(x1 - 1, canvas'
mutation "mirrored keep above 1 not clamped" filter/LensFlareFilter.cpp 'keep > 1.0f ? 1.0f : keep)' 'keep)'
mutation "glow outlines drawn outside in" $F \
  'for (int k = 0; k < radius; ++k) {' 'for (int k = radius - 1; k >= 0; --k) {'
mutation "glow ramps drawn in the other order" $F \
  'ramp(pointX(0.625f), pointY(0.625f), r0 / 10, h100, 30.0f);
    ramp(pointX(0.75f), pointY(0.75f), r0 / 8, h200, 100.0f);' \
  'ramp(pointX(0.75f), pointY(0.75f), r0 / 8, h200, 100.0f);
    ramp(pointX(0.625f), pointY(0.625f), r0 / 10, h100, 30.0f);'
mutation "ring outline of radius 1 left out" $F 'radius - width, 1)' 'radius - width, 2)'
mutation "halo a circle short" $F 'outer - haloCount, 1)' 'outer - haloCount + 1, 1)'
mutation "source glow from radius 2" $F 'for (int k = 1; k < g; ++k)' 'for (int k = 2; k < g; ++k)'
mutation "rays' mirror halves left out" $F 'FlareLine(canvas, x - rx, y - ry, x, y, white);' ';'

run_mutations test_lens_flare
