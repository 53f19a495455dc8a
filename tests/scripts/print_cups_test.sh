#!/usr/bin/env bash
# Prints through a real CUPS queue: a cups-pdf printer on a cupsd started here.
# Usage: print_cups_test.sh ZELK_BINARY TEST_DATA_DIR
# Skipped (exit 77) only when cupsd cannot start. Needs root for the packages, the
# daemon and the queue; stops the daemon it started and deletes its queue at the end.
set -uo pipefail

zelk=$1
queue=ZelkTestPDF
outdir=/root/PDF
spool=/var/spool/cups
started_cupsd=0
cupsd_pid=
work=$(mktemp -d)

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cleanup() {
  lpadmin -x "$queue" 2>/dev/null
  if [ "$started_cupsd" = 1 ]; then
    [ -n "$cupsd_pid" ] && kill "$cupsd_pid" 2>/dev/null
    for _ in $(seq 40); do lpstat -r 2>/dev/null | grep -q 'is running' || break; sleep 0.25; done
  fi
  rm -rf "$work"
}
trap cleanup EXIT

[ "$(id -u)" = 0 ] || { echo "SKIP: needs root to run cupsd"; exit 77; }

missing=()
for p in cups cups-client printer-driver-cups-pdf poppler-utils; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" \
    >/dev/null || fail "cannot install ${missing[*]}"
fi

mkdir -p /run/cups
if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
  /usr/sbin/cupsd || { echo "SKIP: cupsd cannot start"; exit 77; }
  started_cupsd=1
fi
for _ in $(seq 40); do lpstat -r 2>/dev/null | grep -q 'is running' && break; sleep 0.25; done
lpstat -r 2>/dev/null | grep -q 'is running' || { echo "SKIP: cupsd did not come up"; exit 77; }
# No cupsd ran before, so the one running now is ours.
[ "$started_cupsd" = 1 ] && cupsd_pid=$(pgrep -x -o cupsd)

# The output file is named after the job title.
sed -i 's/^#\?TitlePref.*/TitlePref 1/' /etc/cups/cups-pdf.conf
lpadmin -p "$queue" -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -o PageSize=A4 ||
  fail "lpadmin could not add the cups-pdf queue"
mkdir -p "$outdir"

# Newest job id of the queue, or 0.
last_job() {
  lpstat -W all -o "$queue" 2>/dev/null | sed -n "s/^$queue-\([0-9]*\).*/\1/p" | sort -n | tail -1
}

# Waits (bounded) for a new PDF in cups-pdf's output folder; prints its path.
wait_for_pdf() {
  local marker=$1
  for _ in $(seq 120); do
    f=$(find "$outdir" -maxdepth 1 -name '*.pdf' -newer "$marker" 2>/dev/null | head -1)
    if [ -n "$f" ] && ! lpstat -o "$queue" 2>/dev/null | grep -q .; then
      echo "$f"
      return 0
    fi
    sleep 0.25
  done
  return 1
}

# print_and_check NAME [zelk options...]: prints, then checks cups-pdf's output and the
# document as CUPS spooled it. Captions to look for are in $expect_text.
print_and_check() {
  local name=$1
  shift
  local marker=$work/$name.marker
  touch "$marker"
  sleep 1  # -newer compares whole seconds on some file systems
  QT_QPA_PLATFORM=offscreen "$zelk" print --printer "$queue" "$@" ||
    fail "$name: zelk print exited with $?"
  local job
  job=$(last_job)
  [ -n "$job" ] || fail "$name: the queue shows no job"
  local pdf
  pdf=$(wait_for_pdf "$marker") || fail "$name: no PDF appeared in $outdir within 30 s"
  case "$(basename "$pdf")" in
    *345_215_260_*) ;;  # 印, as cups-pdf spells the title's bytes
    *) fail "$name: output $pdf is not named after the job title" ;;
  esac
  local info
  info=$(pdfinfo "$pdf") || fail "$name: pdfinfo cannot read $pdf"
  echo "$info" | grep -q '^Pages: *1$' || fail "$name: expected one page: $info"
  echo "$info" | grep -Eq '^Page size: *(595(\.[0-9]+)? x 841|595(\.[0-9]+)? x 842|841(\.[0-9]+)? x 595|842(\.[0-9]+)? x 595)' ||
    fail "$name: expected A4: $info"

  local spooled
  spooled=$(printf '%s/d%05d-001' "$spool" "$job")
  [ -f "$spooled" ] || fail "$name: the spooled document $spooled is missing"
  pdfinfo "$spooled" | grep -q '^Title: *印刷プレビュー$' ||
    fail "$name: spooled document has not the title 印刷プレビュー: $(pdfinfo "$spooled" | grep Title)"
  local text
  text=$(pdftotext "$spooled" - | tr -d ' \n')
  for t in ${expect_text:-}; do
    echo "$text" | grep -q "$t" || fail "$name: caption '$t' not found in the spooled text: $text"
  done
  rm -f "$pdf"
  echo "ok: $name (job $job)"
}

expect_text="" print_and_check default
expect_text="原稿用紙 山田太郎" print_and_check vertical \
  --set Tategaki=1 --set CenterCaption=原稿用紙 --set BottomCaption=山田太郎
echo "PASS"
