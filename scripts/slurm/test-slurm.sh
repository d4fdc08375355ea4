#!/bin/sh
# End-to-end test of the job-array script on a one-node Slurm cluster on this machine:
# installs Debian's slurm-wlm and munge when missing, starts munged, slurmctld and slurmd on
# 127.0.0.1 with a generated slurm.conf, runs an array of four parts of a small range of each
# search, cancels one task mid-run and requeues it, sends another the time-limit warning,
# merges each range and compares it with one uninterrupted run. Every daemon it started is
# stopped whatever happens; the whole test is bounded in time.
#
#   sh scripts/slurm/test-slurm.sh [path/to/aequa]     (run as root; default build/default)
set -eu
cd "$(dirname "$0")/../.."
root="$(pwd)"
aequa="$(realpath "${1:-build/default/shell/aequa}")"
[ -x "$aequa" ] || { echo "test-slurm: no aequa binary at $aequa" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || { echo "test-slurm: run as root (it starts slurmd)" >&2; exit 1; }

missing=""
for p in slurm-wlm munge; do dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"; done
if [ -n "$missing" ]; then
  apt-get update
  env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
fi

work="$(mktemp -d /tmp/aequa-slurm.XXXXXX)"
chmod 755 "$work"
export SLURM_CONF="$work/etc/slurm.conf"
started=""
# The step daemons of this cluster: they carry its configuration in their environment.
our_stepds() {
  for proc in /proc/[0-9]*; do
    case "$(cat "$proc/cmdline" 2>/dev/null | tr '\0' ' ')" in
      slurmstepd*)
        cat "$proc/environ" 2>/dev/null | tr '\0' '\n' | grep -qx "SLURM_CONF=$SLURM_CONF" \
          && echo "${proc#/proc/}" ;;
    esac
  done
}
cleanup() {
  status=$?
  if [ -n "$started" ]; then
    scancel --quiet --user=root 2>/dev/null || true
    i=0
    while [ "$i" -lt 60 ] && [ -n "$(squeue -h -o %i 2>/dev/null)" ]; do sleep 1; i=$((i + 1)); done
  fi
  for daemon in slurmd slurmctld munged; do
    pid="$(cat "$work/run/$daemon.pid" 2>/dev/null || true)"
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  done
  sleep 2
  for daemon in slurmd slurmctld munged; do
    pid="$(cat "$work/run/$daemon.pid" 2>/dev/null || true)"
    [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null || true
  done
  for pid in $(our_stepds); do kill -9 "$pid" 2>/dev/null || true; done
  if [ "$status" -ne 0 ]; then
    echo "test-slurm: FAILED; the daemons' logs:" >&2
    tail -n 30 "$work"/log/*.log >&2 2>/dev/null || true
  fi
  [ -n "${AEQUA_SLURM_KEEP:-}" ] && cp -r "$work/parts" "$AEQUA_SLURM_KEEP"
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

fail() { echo "test-slurm: $*" >&2; exit 1; }
note() { echo "test-slurm: $(date +%T) $*"; }
# Waits up to $1 seconds for the command that follows to succeed.
wait_for() {
  limit=$1; shift
  i=0
  while ! "$@" >/dev/null 2>&1; do
    i=$((i + 1))
    [ "$i" -le "$((limit * 2))" ] || return 1
    sleep 0.5
  done
}

mkdir -p "$work/etc" "$work/run" "$work/log" "$work/state" "$work/spool" "$work/munge"
host="$(hostname -s)"
# Ports away from Slurm's defaults, so that a cluster already on this machine is not met.
ctld_port=16817
slurmd_port=16818

# munged of its own: its own key and socket.
dd if=/dev/urandom of="$work/munge/munge.key" bs=1024 count=1 2>/dev/null
chmod 711 "$work/munge"
chmod 400 "$work/munge/munge.key"
munged --force --key-file="$work/munge/munge.key" --socket="$work/munge/munge.sock" \
  --pid-file="$work/run/munged.pid" --log-file="$work/log/munged.log" \
  --seed-file="$work/munge/munge.seed"
started="munged"

# The node as slurmd sees it (CPUs, memory), on the loopback address only.
node="$(slurmd -C | head -n 1 | sed "s/^NodeName=[^ ]*/NodeName=$host NodeAddr=127.0.0.1/")"
cat > "$SLURM_CONF" <<CONF
ClusterName=aequatest
SlurmctldHost=$host(127.0.0.1)
SlurmctldPort=$ctld_port
SlurmdPort=$slurmd_port
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
AuthInfo=socket=$work/munge/munge.sock
CredType=cred/munge
StateSaveLocation=$work/state
SlurmdSpoolDir=$work/spool
SlurmctldPidFile=$work/run/slurmctld.pid
SlurmdPidFile=$work/run/slurmd.pid
SlurmctldLogFile=$work/log/slurmctld.log
SlurmdLogFile=$work/log/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
MpiDefault=none
SchedulerType=sched/builtin
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
ReturnToService=2
JobRequeue=1
KillWait=30
MinJobAge=600
$node State=UNKNOWN
PartitionName=test Nodes=ALL Default=YES MaxTime=INFINITE State=UP
CONF

slurmctld -i
slurmd
started="$started slurmctld slurmd"
wait_for 60 sh -c "sinfo -h -N -o %t | grep -qE '^(idle|mix|alloc)'" \
  || fail "the node did not come up"

parts="$work/parts"
mkdir -p "$parts"
chmod 755 "$parts"
# Small ranges of each search, each with results in more than one part; an equal-sums part
# takes some seconds, so that its tasks can be caught mid-run. (Mode exact: in modes best and
# same a part does not know the results of the parts before it.)
set -- \
  "new:new 5 600 1400 1 4 --mode exact" \
  "compute:compute 3 1 3000 2" \
  "penta:penta 5 100 400 2"
for entry in "$@"; do
  name="${entry%%:*}"
  range="${entry#*:}"
  # shellcheck disable=SC2086
  "$aequa" split $range --parts 4 --into "$parts/$name" >/dev/null
  mkdir -p "$work/whole-$name"
  printf 'Priority=9\r\n' > "$work/whole-$name/aequo.ini"
done

note "cluster up; submitting the arrays"
begin=$(date +%s)
for entry in "$@"; do
  name="${entry%%:*}"
  sbatch --parsable --array=1-4 --chdir="$parts/$name" --output="$parts/$name/task-%a.out" \
    scripts/slurm/aequa-array.sbatch "$parts/$name" "$aequa" > "$work/$name.job"
done

# One equal-sums task is requeued mid-run (Slurm stops it with SIGTERM), another gets the
# time-limit warning: each must stop with its progress saved and finish after it is requeued.
# Slurm holds a requeued job back for a while; the test lets it start two seconds on. (At
# once is too soon: slurmd refuses a launch in the same second as the kill of the job's last
# run, "Job credential revoked", and the task would never run again.)
sums="$(cat "$work/new.job")"
running() { squeue -h -j "$1" -t R -o %i | grep -q .; }
held() { squeue -h -j "$1" -t PD -o %r | grep -q BeginTime; }
wait_for 120 running "${sums}_1" || fail "task 1 of the equal-sums array did not start"
wait_for 60 grep -q "Searching" "$parts/new/task-1.out" || fail "task 1 did not search"
note "requeueing task 1 of the equal-sums array"
scontrol requeue "${sums}_1"
wait_for 60 held "${sums}_1" && scontrol update JobId="${sums}_1" StartTime=now+2
wait_for 120 running "${sums}_2" || fail "task 2 of the equal-sums array did not start"
wait_for 60 grep -q "Searching" "$parts/new/task-2.out" || fail "task 2 did not search"
note "warning task 2 of the equal-sums array of its time limit"
# scancel may wait long for its answer once the job is requeued; its effect is what counts.
timeout 15 scancel --batch --signal=USR1 "${sums}_2" || true
wait_for 60 grep -q "requeueing task 2" "$parts/new/task-2.out" || fail "task 2 did not take the warning"
wait_for 60 held "${sums}_2" && scontrol update JobId="${sums}_2" StartTime=now+2
note "waiting for the arrays to finish"

# Meanwhile the uninterrupted runs.
for entry in "$@"; do
  name="${entry%%:*}"
  range="${entry#*:}"
  # shellcheck disable=SC2086
  "$aequa" --dir "$work/whole-$name" $range >/dev/null
done

all_done() {
  for entry in "$@"; do
    job="$(cat "$work/${entry%%:*}.job")"
    [ -z "$(squeue -h -j "$job" -o %i)" ] || return 1
  done
}
wait_for 600 all_done "$@" || fail "the arrays did not finish within 10 minutes"
elapsed=$(( $(date +%s) - begin ))

for task in 1 2; do
  out="$parts/new/task-$task.out"
  grep -q "Execution halted." "$out" || fail "task $task did not stop"
  grep -q "restart 1" "$out" || fail "task $task did not run again"
  grep -q "Computation finished." "$out" || fail "task $task did not finish"
done
grep -q "requeueing task 2" "$parts/new/task-2.out" || fail "the warned task did not requeue"

for entry in "$@"; do
  name="${entry%%:*}"
  whole_line="$(grep '^Range=' "$parts/$name/part-0001/part.ini" | sed 's/^Range=//; s/\r$//')"
  "$aequa" merge --output "$work/$name-merged.txt" "$parts/$name"/part-* > "$work/$name-merge.out" \
    || { cat "$work/$name-merge.out" >&2; fail "$name: merge does not find the range covered"; }
  "$aequa" merge --range "$whole_line" --output "$work/$name-whole.txt" \
    "$work/whole-$name/SOLUTION.TXT" > /dev/null || fail "$name: the uninterrupted run is not covered"
  grep -v ' done in ' "$work/$name-merged.txt" > "$work/$name-merged.results" || true
  grep -v ' done in ' "$work/$name-whole.txt" > "$work/$name-whole.results" || true
  [ -s "$work/$name-whole.results" ] || fail "$name: the range found no results"
  cmp -s "$work/$name-merged.results" "$work/$name-whole.results" \
    || { diff "$work/$name-merged.results" "$work/$name-whole.results" >&2; fail "$name: results differ"; }
  echo "test-slurm: $name: 4 parts merged, $(wc -l < "$work/$name-whole.results") results as one run"
done
echo "test-slurm: 12 tasks (one requeued, one warned and requeued) in ${elapsed} s"
