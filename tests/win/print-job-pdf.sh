#!/usr/bin/env bash
# The print job's tests. They print to the PDF printer of scripts/printer-session.sh, and a wine
# program cannot run pdfinfo or pdftoppm, so this script runs test_print_dialog one group of
# cases at a time and checks what each group left in the printer's folder: the number of PDFs,
# one page each. The page printed without the printer dialog, and the one printed at 2400 dpi,
# are rendered to a PPM at 60 dpi, which the program's "[page check]" case reads back to sample
# its pixels.
#   print-job-pdf.sh TEST_PROGRAM
set -euo pipefail
program=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -n "${QUILLET_PDF_DIR:-}" ] && [ -n "${CUPS_SERVER:-}" ] ||
  fail "run inside scripts/printer-session.sh (QUILLET_PDF_DIR, CUPS_SERVER unset)"

check=$(mktemp -d "${TMPDIR:-/tmp}/quillet-print-check.XXXXXX")
trap 'rm -rf "$check"' EXIT
export QUILLET_PRINT_CHECK="Z:$check"

run() { "$root/scripts/wine-exec.sh" "$program" --no-skip "$@" || fail "test_print_dialog $*"; }
# Waits until the server has written every job it was given.
settle() {
  for _ in $(seq 600); do
    [ -z "$(lpstat -o 2>/dev/null)" ] && return 0
    sleep 0.1
  done
  fail "print jobs still pending after 60 s: $(lpstat -o)"
}
pdfs() { find "$QUILLET_PDF_DIR" -maxdepth 1 -name '*.pdf' | sort; }
expect_pdfs() { # COUNT WHAT
  settle
  local files count
  files=$(pdfs)
  count=$(grep -c . <<<"$files" || true)
  [ "$count" -eq "$1" ] || fail "$2: $count PDFs where $1 belong: $files"
  for file in $files; do
    pages=$(pdfinfo "$file" | sed -n 's/^Pages: *//p')
    [ "$pages" = 1 ] || fail "$2: $file has $pages pages"
  done
}
clear() { settle; find "$QUILLET_PDF_DIR" -maxdepth 1 -name '*.pdf' -delete; }
page_check() { pdftoppm -r 60 -singlefile "$(pdfs)" "$check/page" && run -tc='[page check]*'; }

clear
run -tc='[one page]*'
expect_pdfs 1 "one page without the printer dialog"
# The document is named after the picture's file.
title=$(pdfinfo "$(pdfs)" | sed -n 's/^Title: *//p')
[ "$title" = 'C:\pictures\quarters.png' ] || fail "the document is called \"$title\""
page_check

clear
run -tc='[large page]*'
expect_pdfs 1 "one page at 2400 dpi"
# The job as the server received it: some 4 bytes a pixel of the copy, not of the page.
bytes=$(sed -n 's/.* \([0-9]*\) Send-Document .*/\1/p' "$QUILLET_PDF_DIR"/../log/access_log | tail -n1)
[ "${bytes:-0}" -gt 0 ] && [ "$bytes" -lt 8000000 ] || fail "the page at 2400 dpi: ${bytes:-no} bytes"
page_check

clear
run -tce='[*'
expect_pdfs 6 "three copies, two pages without room, one held by the box's caption; none cancelled"

clear
# Wine reads the queues from the server CUPS_SERVER names when a program starts: one that does
# not exist leaves a machine without printers.
CUPS_SERVER="$check/no-server" run -tc='[no printer]*'
expect_pdfs 0 "no printer"
echo "print job: every group passed"
