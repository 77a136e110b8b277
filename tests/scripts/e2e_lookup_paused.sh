#!/usr/bin/env bash
# End to end under openbox against the PostgreSQL test cluster: one lookup
# leaves a kept connection, then the cluster is paused (SIGSTOP on the server
# and its children). A clerk types a SKU, Enter, the rest of the row and
# saves it: the working list on disk must hold the row within 8 s while the
# server is still silent, and File > Exit must end the program within 2 s.
# The cluster is always resumed. Exit status 77: no cluster here (skipped).
#   e2e_lookup_paused.sh <build folder>
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export KESTRANE_BUILD=$1
if [ -z "${KESTRANE_PG_CONNECT:-}" ] || [ ! -f "${KESTRANE_PG_DIR:-}/data/postmaster.pid" ]; then
  echo "no PostgreSQL test cluster (source scripts/pg-cluster first)"
  [ "${CI:-}" = "true" ] && exit 1
  exit 77
fi
KESTRANE_WORK=$(mktemp -d)
export KESTRANE_WORK
# shellcheck source=../../scripts/lib-desktop.sh
. "$here/../../scripts/lib-desktop.sh"

cluster_pids() {
  local postmaster
  postmaster=$(head -n 1 "$KESTRANE_PG_DIR/data/postmaster.pid")
  # shellcheck disable=SC2046 # one word per process
  echo "$postmaster" $(pgrep -P "$postmaster" || true)
}
PAUSED_PIDS=
resume_cluster() {
  if [ -n "$PAUSED_PIDS" ]; then
    # shellcheck disable=SC2086 # one argument per process
    kill -CONT $PAUSED_PIDS 2>/dev/null || true
  fi
  PAUSED_PIDS=
}
trap 'resume_cluster; desktop_cleanup' EXIT

# A database of this test's own in the cluster, with two items.
field() { tr ';' '\n' <<<"$KESTRANE_PG_CONNECT" | sed -n "s/^$1=//Ip" | head -n 1; }
psql_bin="${KESTRANE_PG_BIN:-}/psql"
[ -x "$psql_bin" ] || psql_bin=psql
export PGPASSWORD
PGPASSWORD=$(field Pwd)
pg() { "$psql_bin" -q -X -v ON_ERROR_STOP=1 -h "$(field Server)" -p "$(field Port)" -U "$(field Uid)" "$@"; }
pg -d postgres -c 'DROP DATABASE IF EXISTS kestrane_e2e_paused' >/dev/null 2>&1
pg -d postgres -c 'CREATE DATABASE kestrane_e2e_paused' >/dev/null || fail "could not make the test database"
pg -d kestrane_e2e_paused >/dev/null <<'SQL' || fail "could not fill the test database"
CREATE TABLE inv ("1" VARCHAR(40), "10" VARCHAR(200), "48" NUMERIC(12,2), "54" NUMERIC(12,2),
                  "56" NUMERIC(12,2), "177" VARCHAR(200), "178" VARCHAR(200), "179" VARCHAR(200));
INSERT INTO inv VALUES ('100001', 'PAUSED CLAW HAMMER', 19.99, 8.10, 14.99, 'Steel', 'Oak', 'Heavy'),
                       ('100012', 'PAUSED WIRE NUTS', 0.99, 0.20, 0.79, '', '', '');
SQL
connect=$(sed 's/;Database=[^;]*/;Database=kestrane_e2e_paused/' <<<"$KESTRANE_PG_CONNECT")

desktop_start_x
desktop_start_openbox "$KESTRANE_WORK/openbox.log" || fail "openbox did not start"
desktop_demo_settings
desktop_set ODBCINV "\"$connect\""
desktop_set ODBCCIS '""'
worklist="$XDG_DATA_HOME/kestrane/worklist.txt"
listed() { tail -n +2 "$worklist" 2>/dev/null | cut -f1,2 | tr '\t\n' ': '; }

desktop_start_kestrane
desktop_type 100001
desktop_keys Return Return Return Return Return
sleep 1
listed | grep -q '100001:PAUSED CLAW HAMMER' || fail "the first lookup did not fill the row: $(listed)"

PAUSED_PIDS=$(cluster_pids)
# shellcheck disable=SC2086
kill -STOP $PAUSED_PIDS
start=$(date +%s%N)
desktop_type 100012
desktop_keys Return
desktop_type 4.99
desktop_keys Return
desktop_type "first line"
desktop_keys Return Return Return
saved=
while [ $(( ($(date +%s%N) - start) / 1000000 )) -lt 8000 ]; do
  if listed | grep -q '100012:'; then saved=1; break; fi
  sleep 0.1
done
[ -n "$saved" ] || fail "the row was not in the list within 8 s of the Enter: $(listed)"
grep '^100012' "$worklist" | grep -q '4\.99' || fail "the typed promotional price was lost"
grep '^100012' "$worklist" | grep -q 'first line' || fail "the typed bullet line was lost"

# Exit while the server is still silent.
desktop_menu f 12
asked=$(date +%s%N)
while kill -0 "$DESKTOP_APP_PID" 2>/dev/null; do
  [ $(( ($(date +%s%N) - asked) / 1000000 )) -lt 2000 ] || fail "the program did not end within 2 s of Exit"
  sleep 0.05
done
wait "$DESKTOP_APP_PID" || fail "the program ended with an error"
DESKTOP_APP_PID=
resume_cluster
echo "e2e ok: row saved and Exit done while the database server was paused"
