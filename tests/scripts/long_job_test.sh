#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Long jobs of the command line: progress on standard error when it is a terminal (and
# never when it is not, or with --quiet), and a job stopped by SIGINT or SIGTERM half way
# leaves the old output byte for byte, no temporary file, and an exit status of 128 plus
# the signal. The terminal is a pseudo-terminal of the test's own; the signal is sent
# once the progress shows the job half way, to the job's own PID.
# Usage: long_job_test.sh ZELK_BINARY TEST_DATA_DIR
set -uo pipefail

zelk=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/zelk-long-job.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

python3 - <<'PY'
pages = ['第%d頁 吾輩は猫である。名前はまだ無い。' % (i + 1) for i in range(400)]
open('novel.txt', 'w').write('\n［＃改ページ］\n'.join(pages) + '\n')
PY

# on_terminal SIGNAL WAIT_FOR ARGS...: runs zelk ARGS on a pseudo-terminal; once its
# output holds WAIT_FOR, sends SIGNAL (or nothing for "-") to it. Prints the exit status,
# then the output.
on_terminal() {
  python3 - "$zelk" "$@" <<'PY'
import os, pty, signal, sys
zelk, sig, wait_for, args = sys.argv[1], sys.argv[2], sys.argv[3].encode(), sys.argv[4:]
pid, fd = pty.fork()
if pid == 0:
    os.execv(zelk, [zelk] + args)
out, sent = b'', False
while True:
    try:
        data = os.read(fd, 4096)
    except OSError:
        break
    if not data:
        break
    out += data
    if sig != '-' and not sent and wait_for in out:
        os.kill(pid, getattr(signal, sig))
        sent = True
_, status = os.waitpid(pid, 0)
print(os.waitstatus_to_exitcode(status))
sys.stdout.write(out.decode('utf-8', 'replace'))
PY
}

# A job stopped half way, for each command and signal that stop it.
for row in "compose SIGINT 130" "print SIGTERM 143"; do
  set -- $row
  rm -rf out && mkdir out && printf 'the old PDF' >out/novel.pdf
  if [ "$1" = compose ]; then
    args=(compose novel.txt --printer PDF -o out/novel.pdf)
  else
    args=(print --text novel.txt --printer PDF -o out/novel.pdf)
  fi
  result=$(on_terminal "$2" "50 / 400 ページ" "${args[@]}")
  [ "$(head -1 <<<"$result")" = "$3" ] || fail "$1 stopped by $2: exit status $(head -1 <<<"$result"), not $3: $result"
  grep -q '中断しました' <<<"$result" || fail "$1 stopped by $2 said nothing: $result"
  [ "$(cat out/novel.pdf)" = "the old PDF" ] || fail "$1 stopped by $2 changed the old file"
  [ "$(ls -A out)" = novel.pdf ] || fail "$1 stopped by $2 left files behind: $(ls -A out)"
  echo "ok: $1 stopped by $2"
done

# The whole job on a terminal: every page counted, the last one 400 / 400; --quiet shows
# none; not on a terminal, nothing but the output.
result=$(on_terminal - - compose novel.txt --printer PDF -o out/novel.pdf)
[ "$(head -1 <<<"$result")" = 0 ] || fail "compose on a terminal failed: $result"
grep -q '400 / 400 ページ' <<<"$result" || fail "no progress on a terminal: $result"
[ "$(tr '\r' '\n' <<<"$result" | grep -c ' / 400 ページ')" = 400 ] ||
  fail "the progress did not count every page once"
pdfinfo out/novel.pdf | grep -q '^Pages: *400$' || fail "the finished PDF is not whole"
result=$(on_terminal - - compose novel.txt --printer PDF --quiet -o out/quiet.pdf)
[ "$(head -1 <<<"$result")" = 0 ] && ! grep -q 'ページ' <<<"$result" ||
  fail "--quiet showed progress: $result"
"$zelk" print --text novel.txt --printer PDF -o out/plain.pdf 2>err.txt || fail "print failed"
[ ! -s err.txt ] || fail "progress written to a standard error that is no terminal: $(cat err.txt)"
echo "ok: progress"
