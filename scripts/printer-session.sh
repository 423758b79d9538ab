#!/usr/bin/env bash
# Runs a command with a real printer: a private CUPS server (its own configuration, spool and
# socket; its logs under build/printer/log) with one PDF queue, QuilletPDF, as the default. Every
# document printed to it becomes a PDF in a fresh folder, exported as QUILLET_PDF_DIR;
# CUPS_SERVER points at the private server, so wine (which reads the CUPS queues at each
# process start and takes the CUPS default as its own) prints there. The server is stopped
# and its files removed when the command ends, also on failure. Needs root: the PDF backend reads its per-queue
# settings from /etc/cups only.
#   scripts/printer-session.sh COMMAND...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

fail() { echo "error: printer session: $*" >&2; exit 1; }
for tool in cupsd lpadmin lpstat; do
  command -v "$tool" >/dev/null || fail "$tool is missing (run scripts/install-deps.sh)"
done
backend=/usr/lib/cups/backend/cups-pdf
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd
[ -x "$backend" ] && [ -r "$ppd" ] || fail "the cups-pdf backend or its PPD is missing"
[ "$(id -u)" -eq 0 ] || fail "must run as root (the PDF backend's settings live in /etc/cups)"

# The PDFs and the logs go under build/printer. The server's own files go to a folder of their
# own under /tmp: its filters run as lp, which cannot reach into a checkout under /root.
out="$root/build/printer"
rm -rf "$out"
mkdir -p "$out"/{pdf,log}
state=$(mktemp -d "${TMPDIR:-/tmp}/quillet-cups.XXXXXX")
mkdir -p "$state"/{conf/ppd,spool/tmp,cache,run}
chmod 755 "$state" "$state"/*
chmod 1777 "$state/spool/tmp"
# The backend finds its settings by the device's name; a name of this run's own keeps
# sessions of other checkouts from writing into each other's folders.
instance="quillet-$$"
backend_conf="/etc/cups/cups-pdf-$instance.conf"

cupsd_pid=
cleanup() {
  if [ -n "$cupsd_pid" ]; then
    kill "$cupsd_pid" 2>/dev/null || true
    wait "$cupsd_pid" 2>/dev/null || true
  fi
  rm -f "$backend_conf"
  rm -rf "$state"
}
trap cleanup EXIT
# A session stopped from outside (a timeout) still stops its server.
trap 'exit 143' TERM
trap 'exit 130' INT

cat >"$state/conf/cupsd.conf" <<EOF
Listen $state/run/cups.sock
LogLevel info
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
cat >"$state/conf/cups-files.conf" <<EOF
ServerRoot $state/conf
RequestRoot $state/spool
TempDir $state/spool/tmp
CacheDir $state/cache
StateDir $state/run
Printcap $state/run/printcap
ErrorLog $out/log/error_log
AccessLog $out/log/access_log
PageLog $out/log/page_log
Sandboxing Relaxed
SystemGroup root
EOF
# Label 1: every file is named after its job number, so copies of one document never
# overwrite each other.
cat >"$backend_conf" <<EOF
Out $out/pdf
AnonDirName $out/pdf
Log $out/log
Label 1
EOF

cupsd -f -c "$state/conf/cupsd.conf" -s "$state/conf/cups-files.conf" >"$out/log/cupsd.out" 2>&1 &
cupsd_pid=$!
export CUPS_SERVER="$state/run/cups.sock"
for _ in $(seq 100); do
  [ -S "$CUPS_SERVER" ] && lpstat -r >/dev/null 2>&1 && break
  kill -0 "$cupsd_pid" 2>/dev/null || break
  sleep 0.1
done
if ! lpstat -r >/dev/null 2>&1; then
  cat "$out/log/cupsd.out" "$out/log/error_log" >&2 2>/dev/null || true
  fail "cupsd did not start"
fi
# A4 whatever the machine's locale or paper setting: the tests know the page they print on.
lpadmin -p QuilletPDF -v "cups-pdf:/$instance" -P "$ppd" -o PageSize=A4 -E 2>"$out/log/lpadmin.log" ||
  { cat "$out/log/lpadmin.log" >&2; fail "cannot add the QuilletPDF queue"; }
lpadmin -d QuilletPDF
export QUILLET_PDF_DIR="$out/pdf"

status=0
"$@" || status=$?
exit $status
