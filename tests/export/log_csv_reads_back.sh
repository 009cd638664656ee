#!/bin/sh
# A log export whose user names and details hold commas, quotes and line
# breaks, read back by Python's csv module: one row per entry after the
# title row, every field whole.
# Usage: log_csv_reads_back.sh BUILD_BIN_DIR
set -eu
. "$(dirname "$0")/../support/demo_login.sh"
bin=$1
here=$(cd "$(dirname "$0")" && pwd)
count=240
root=$(mktemp -d)
mkdir -p "$root/var/run" "$root/mnt/nand/app" "$root/dev/shm" "$root/tmp/log" "$root/opt/app/www/webfile/json"
printf 'reply 3494 8494 i32:0 str:64:/tmp/log/result.dat\n' >"$root/core.script"
NVR_ROOT="$root" "$bin/coresim" --script "$root/core.script" --ready "$root/ready" >/dev/null 2>&1 &
coresim=$!
trap 'kill $coresim 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$root"' EXIT
wait_ready "$root/ready"

printf '{//logtext.json\n"3": "Operation",\n"204": "Settings, changed",\n"909": "Say \\"motion\\""\n}//logtext.json\n' \
    >"$root/opt/app/www/webfile/json/en.json"
python3 "$here/log_export_file.py" $count "$root/tmp/log/result.dat"
session=$(root_login "$root" "$bin" export)
[ -n "$session" ] || { echo "the login failed" >&2; exit 1; }

printf '{"language": "en", "mainType": 4, "subTypeArr": [10], "startTime": "2026-01-01T00:00:00", "endTime": "2026-01-02T00:00:00", "curPageNum": 1}' |
    env TZ=UTC NVR_ROOT="$root" REQUEST_METHOD=POST PATH_INFO=/1003 CONTENT_TYPE=application/json \
        HTTP_COOKIE="userName=admin;sessionId=$session" "$bin/nvrweb.cgi" >"$root/download"

python3 - "$root/download" $count "$here" <<'PY'
import csv
import io
import sys
import time

sys.path.insert(0, sys.argv[3])
import log_export_file

data = open(sys.argv[1], "rb").read()
body = data[data.index(b"\r\n\r\n") + 4:].decode()
count = int(sys.argv[2])
rows = list(csv.reader(io.StringIO(body, newline="")))
assert rows[0] == ["Number", "Time", "Main", "Sub", "Parameter", "User", "Ip", "Channel", "Log information", ""], rows[0]
assert len(rows) == count + 1, "%d rows for %d entries" % (len(rows) - 1, count)
for number in range(1, count + 1):
    user, address, detail = log_export_file.entry(number)
    when = time.strftime("%Y-%m-%d %H:%M:%S", time.gmtime(1767225600 + 60 * number))
    expected = [str(number), when, "Operation", "Settings, changed", 'Say "motion"', user, address,
                str(number % 64), detail if detail else "N/A", ""]
    assert rows[number] == expected, "row %d: %r != %r" % (number, rows[number], expected)
print("%d rows read back whole" % count)
PY
