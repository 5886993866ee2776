#!/bin/sh
# Prints the summary window end to end: starts a print server of its own
# (cupsd on a socket in a temporary folder, with its own configuration,
# spool, cache and logs, so neither /etc/cups nor a running server is
# touched), adds a queue whose device writes each job unchanged to a file,
# and runs the summary window test's print job against it, which reads the
# job back from the server and the file.
#
# usage: print-through-cups.sh <summary window test program>
# Exits 77 (skipped) when not root or when the print server's tools are
# missing; whatever happens, the server is stopped and the folder removed.
set -u
program=$1
skip=77

if [ "$(id -u)" -ne 0 ]; then
  echo "skipped: the print server needs root to start (cupsd and its file queues)"
  exit $skip
fi
for tool in /usr/sbin/cupsd /usr/sbin/lpadmin /usr/bin/lpstat /usr/lib/cups/filter/gziptoany /usr/bin/pdftotext; do
  if [ ! -x "$tool" ]; then
    echo "skipped: $tool is not installed (packages cups-daemon, cups-client, cups-core-drivers, poppler-utils)"
    exit $skip
  fi
done

dir=$(mktemp -d "${TMPDIR:-/tmp}/torvex-print.XXXXXX") || exit 1
daemon=""
tester=""
stop() {
  [ -z "$tester" ] || kill -TERM "$tester" 2>/dev/null
  if [ -n "$daemon" ]; then
    kill -TERM "$daemon" 2>/dev/null
    # cupsd stops within a second; it is killed if it has not after 10.
    i=0
    while kill -0 "$daemon" 2>/dev/null && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
    kill -KILL "$daemon" 2>/dev/null
    wait "$daemon" 2>/dev/null
    daemon=""
  fi
  rm -rf "$dir"
}
trap stop EXIT
trap 'exit 1' INT TERM HUP

# The server's filters run as an unprivileged user, who must be able to
# reach the folder.
chmod 755 "$dir"
mkdir "$dir/spool" "$dir/cache" "$dir/state" "$dir/log" "$dir/tmp" "$dir/out"
socket=$dir/cups.sock
cat >"$dir/cupsd.conf" <<EOF
Listen $socket
LogLevel warn
Browsing No
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
EOF
cat >"$dir/cups-files.conf" <<EOF
FileDevice Yes
ServerRoot $dir
RequestRoot $dir/spool
CacheDir $dir/cache
StateDir $dir/state
TempDir $dir/tmp
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
Printcap $dir/printcap
EOF

/usr/sbin/cupsd -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" &
daemon=$!
export CUPS_SERVER=$socket

# Ready when it answers on its socket: at most 10 seconds.
i=0
until timeout 5 /usr/bin/lpstat -r 2>/dev/null | grep -q '^scheduler is running'; do
  if ! kill -0 "$daemon" 2>/dev/null || [ $i -ge 100 ]; then
    echo "the print server did not start:"
    cat "$dir/log/error_log" 2>/dev/null
    exit 1
  fi
  sleep 0.1
  i=$((i + 1))
done

queue=Torvex_File
output=$dir/out/job.prn
# The server writes a file device only through a filter (a raw queue's jobs
# complete without writing anything), so the queue's description names one
# that passes the document on unchanged: the file is exactly what the
# program sent.
cat >"$dir/passthrough.ppd" <<'EOF'
*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "TORVEXPT.PPD"
*Manufacturer: "Torvex"
*Product: "(Torvex file queue)"
*ModelName: "Torvex file queue"
*ShortNickName: "Torvex file queue"
*NickName: "Torvex file queue"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: True
*DefaultColorSpace: RGB
*FileSystem: False
*Throughput: "1"
*TTRasterizer: Type42
*cupsVersion: 2.4
*cupsFilter: "application/pdf 0 gziptoany"
*cupsFilter: "application/postscript 0 gziptoany"
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: A4
*PageSize A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: A4
*PageRegion A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: A4
*ImageableArea A4/A4: "0 0 595 842"
*DefaultPaperDimension: A4
*PaperDimension A4/A4: "595 842"
EOF
# (lpadmin warns on every queue with a description that such queues are on
# their way out; only its failure is shown.)
if ! timeout 30 /usr/sbin/lpadmin -p "$queue" -E -v "file://$output" -P "$dir/passthrough.ppd" \
     2>"$dir/lpadmin.log"; then
  echo "the file queue could not be made:"
  cat "$dir/lpadmin.log"
  exit 1
fi

log=$dir/test.log
# Bounded, so that a print job that never finishes fails the test instead
# of outliving it; waited for in the background, so that a signal stops the
# test and the server at once.
QT_QPA_PLATFORM=offscreen TORVEX_TEST_CUPS_PRINTER=$queue TORVEX_TEST_CUPS_OUTPUT=$output \
  timeout -k 5 120 "$program" aPrintJobLandsInACupsQueueWithItsTitleAndText >"$log" 2>&1 &
tester=$!
wait "$tester"
status=$?
tester=""
cat "$log"
if [ $status -ne 0 ]; then
  echo "--- the print server's log:"
  cat "$dir/log/error_log" 2>/dev/null
  exit $status
fi
# The queue is there, so the test must have run it, not skipped it.
if grep -q '^SKIP' "$log"; then
  echo "the print test skipped although the queue was made"
  exit 1
fi
exit 0
