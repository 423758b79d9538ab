#!/usr/bin/env bash
# quillet-fx end to end on a 4000x3000 photo-like picture, in one run beside
#   - ImageMagick's -motion-blur with comparable parameters (target: quillet-fx blur at least
#     30x faster), and
#   - the PNG codec alone, decoding and encoding with quillet-fx's settings (target: the
#     sigma-0 run of quillet-fx within 1.5x of it), and
#   - quillet-fx flare with size 3000, brightness and intensity 100 (target: at most 2 s end
#     to end; shown beside the codecs alone, which it includes).
# Times are hyperfine medians; results go to out/bench/fx.json and out/bench/fx.txt.
# Installs nothing: make bench does (scripts/install-deps.sh --bench).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
fx=$root/build/native/quillet-fx
baseline=$root/build/native/bench/fx_codec_baseline
out=$root/out/bench
mkdir -p "$out"

fail() { echo "bench-fx: $*" >&2; exit 1; }
[ -x "$fx" ] && [ -x "$baseline" ] || fail "build/native is not built: run make bench"
# Another program may call itself convert and come first on PATH: take the one that is
# ImageMagick's.
magick=
for candidate in /usr/bin/convert $(type -ap convert); do
  if [ -x "$candidate" ] && "$candidate" -version 2>/dev/null | grep -q ImageMagick; then
    magick=$candidate
    break
  fi
done
[ -n "$magick" ] || fail "ImageMagick's convert is missing (Debian package imagemagick)"
command -v hyperfine >/dev/null || fail "hyperfine is missing (Debian package hyperfine)"
command -v jq >/dev/null || fail "jq is missing (Debian package jq)"
[ -x /usr/bin/time ] || fail "/usr/bin/time is missing (Debian package time)"

# The picture: fractal plasma at a quarter of the size, smoothed and enlarged (soft gradients
# like out-of-focus areas), three flat shapes with hard edges, and Gaussian grain over all,
# as a camera's sensor leaves it. Fixed seeds make it the same picture on every run; random
# noise alone would compress far worse than a photograph does. Kept between runs.
work=$root/build/native/fx-bench
mkdir -p "$work"
photo=$work/photo-4000x3000.png
if [ ! -s "$photo" ]; then
  echo "bench-fx: making the test picture"
  "$magick" -seed 7 -size 1000x750 plasma:fractal -blur 0x1 -resize '4000x3000!' \
    -fill '#d8c8a0' -draw 'circle 2600,900 2600,1300' \
    -fill '#203040' -draw 'rectangle 300,1800 1500,2900' \
    -fill '#a03020' -draw 'polygon 1800,2900 2400,1500 3000,2900' \
    -attenuate 0.4 +noise Gaussian -depth 8 -define png:color-type=2 "$photo.tmp.png"
  mv "$photo.tmp.png" "$photo"
fi

# Radius 0 lets both pick the kernel length from sigma; both blur along the rows.
blur="$fx blur $photo $work/blur.png --radius 0 --sigma 20 --angle 90"
noop="$fx blur $photo $work/noop.png --radius 0 --sigma 0 --angle 90"
codecs="$baseline $photo $work/codecs.png"
# The largest flare the dialog gives on this picture: the source glow alone reaches 30000
# pixels, the halo 9000.
flare="$fx flare $photo $work/flare.png --x 1200 --y 2000 --size 3000 --brightness 100 --hue 40 --intensity 100"
im="$magick $photo -motion-blur 0x20+0 $work/im.png"

hyperfine --style basic --warmup 1 --runs 7 --export-json "$work/fx.json" \
  -n quillet-fx-blur "$blur" -n quillet-fx-sigma0 "$noop" -n codecs-alone "$codecs" \
  -n quillet-fx-flare "$flare"
# ImageMagick takes tens of seconds a run: three runs give its median.
hyperfine --style basic --runs 3 --export-json "$work/im.json" -n imagemagick-motion-blur "$im"

# The sigma-0 run must give back the picture's pixels exactly.
"$(dirname "$magick")/compare" -metric AE "$photo" "$work/noop.png" null: 2>"$work/compare.txt" ||
  fail "the sigma-0 output differs from the input: $(cat "$work/compare.txt") pixels"

peak_kb() {
  /usr/bin/time -v "$@" 2>&1 >/dev/null | sed -n 's/.*Maximum resident set size (kbytes): //p'
}
blur_rss=$(peak_kb $blur)
noop_rss=$(peak_kb $noop)
codecs_rss=$(peak_kb $codecs)
flare_rss=$(peak_kb $flare)

jq -n --slurpfile fx "$work/fx.json" --slurpfile im "$work/im.json" \
  --argjson blur_rss "$blur_rss" --argjson noop_rss "$noop_rss" \
  --argjson codecs_rss "$codecs_rss" --argjson flare_rss "$flare_rss" '
  def median(name): ($fx[0].results + $im[0].results) | map(select(.command == name))[0].median;
  {
    picture: "4000x3000 RGB PNG, plasma, shapes and grain (scripts/bench-fx.sh)",
    seconds: {
      quillet_fx_blur: median("quillet-fx-blur"),
      quillet_fx_sigma0: median("quillet-fx-sigma0"),
      codecs_alone: median("codecs-alone"),
      quillet_fx_flare: median("quillet-fx-flare"),
      imagemagick_motion_blur: median("imagemagick-motion-blur")
    },
    imagemagick_over_blur: (median("imagemagick-motion-blur") / median("quillet-fx-blur")),
    blur_target_at_least: 30,
    sigma0_over_codecs: (median("quillet-fx-sigma0") / median("codecs-alone")),
    sigma0_target_at_most: 1.5,
    flare_target_seconds_at_most: 2,
    flare_over_codecs: (median("quillet-fx-flare") / median("codecs-alone")),
    peak_rss_mib: {
      quillet_fx_blur: ($blur_rss / 1024), quillet_fx_sigma0: ($noop_rss / 1024),
      codecs_alone: ($codecs_rss / 1024), quillet_fx_flare: ($flare_rss / 1024)
    }
  }' >"$out/fx.json"

jq -r '
  def verdict(ok): if ok then "target met" else "TARGET MISSED" end;
  "quillet-fx, 4000x3000 PNG (hyperfine medians)",
  "  blur sigma 20:          \(.seconds.quillet_fx_blur * 1000 | round) ms",
  "  ImageMagick blur:       \(.seconds.imagemagick_motion_blur * 1000 | round) ms",
  "  ImageMagick / blur:     \(.imagemagick_over_blur * 10 | round / 10)x (target >= 30x, \(verdict(.imagemagick_over_blur >= 30)))",
  "  sigma 0 (no-op):        \(.seconds.quillet_fx_sigma0 * 1000 | round) ms",
  "  codecs alone:           \(.seconds.codecs_alone * 1000 | round) ms",
  "  no-op / codecs:         \(.sigma0_over_codecs * 100 | round / 100)x (target <= 1.5x, \(verdict(.sigma0_over_codecs <= 1.5)))",
  "  flare size 3000:        \(.seconds.quillet_fx_flare * 1000 | round) ms, \(.flare_over_codecs * 100 | round / 100)x the codecs (target <= 2 s, \(verdict(.seconds.quillet_fx_flare <= 2)))",
  "  peak RSS blur / no-op / codecs / flare: \(.peak_rss_mib.quillet_fx_blur | round) / \(.peak_rss_mib.quillet_fx_sigma0 | round) / \(.peak_rss_mib.codecs_alone | round) / \(.peak_rss_mib.quillet_fx_flare | round) MiB"
' "$out/fx.json" | tee "$out/fx.txt"
