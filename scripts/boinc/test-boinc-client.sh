#!/bin/sh
# End-to-end test of the BOINC application under Debian's BOINC client, with no project server:
# the client's data directory is laid out as if it had been attached to a project and handed
# one work unit (an account file, a client_state.xml with the application, its version, the
# unit and its result, and the files in the project directory). The client runs in a network
# namespace of its own that only has its loopback, so nothing leaves the machine. The test
# suspends and resumes the task, stops the client (which asks the application to quit),
# starts it again, and checks that the unit finishes with the results of one command-line run,
# accepted by the validator.
#
#   sh scripts/boinc/test-boinc-client.sh BUILD_DIR     (as root; BUILD_DIR built with AEQUA_BOINC)
set -eu
cd "$(dirname "$0")/../.."
build="$(realpath "${1:?usage: test-boinc-client.sh BUILD_DIR}")"
aequa="$build/shell/aequa"
app="$build/boinc/aequa-boinc"
validate="$build/boinc/aequa-validate"
[ "$(id -u)" -eq 0 ] || { echo "test-boinc-client: run as root (it makes a network namespace)" >&2; exit 1; }
if ! dpkg -s boinc-client >/dev/null 2>&1; then
  # The package's service must not start: the test runs a client of its own, off the network.
  policy=""
  if [ ! -e /usr/sbin/policy-rc.d ]; then
    printf '#!/bin/sh\nexit 101\n' > /usr/sbin/policy-rc.d
    chmod 755 /usr/sbin/policy-rc.d
    policy=/usr/sbin/policy-rc.d
  fi
  apt-get update
  env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends boinc-client
  [ -n "$policy" ] && rm -f "$policy"
fi

work="$(mktemp -d /tmp/aequa-boinc-client.XXXXXX)"
data="$work/data"
url="http://127.0.0.1/aequa/"
project="$data/projects/127.0.0.1_aequa"
task="unit_r0"
mkdir -p "$project"
holder=""
client=""
cleanup() {
  status=$?
  # A client still running is stopped as a volunteer stops it: it asks the application to
  # quit and waits for it. Then the namespace's holder goes.
  if [ -n "$client" ] && kill -0 "$client" 2>/dev/null; then
    kill -TERM "$client" 2>/dev/null || true
    i=0
    while kill -0 "$client" 2>/dev/null && [ "$i" -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
    kill -KILL "$client" 2>/dev/null || true
  fi
  [ -n "$holder" ] && kill "$holder" 2>/dev/null
  if [ "$status" -ne 0 ]; then
    echo "test-boinc-client: failed; the client's log:" >&2
    tail -n 40 "$work/client.log" >&2 2>/dev/null || true
    tail -n 20 "$data/slots/0/stderr.txt" >&2 2>/dev/null || true
  fi
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT INT TERM

range="new 5 600 900 1 4 --mode exact"
"$aequa" split $range --parts 1 --boinc --into "$work/parts" >/dev/null
cp "$work/parts/part-0001.in" "$project/unit_in"
cp "$app" "$project/aequa-boinc"
size() { stat -c %s "$1"; }
now=$(date +%s)

cat > "$data/account_127.0.0.1_aequa.xml" <<XML
<account>
  <master_url>$url</master_url>
  <authenticator>0123456789abcdef0123456789abcdef</authenticator>
  <project_name>Aequa test</project_name>
</account>
XML
cat > "$data/cc_config.xml" <<XML
<cc_config><options>
  <dont_contact_ref_site>1</dont_contact_ref_site>
  <skip_cpu_benchmarks>1</skip_cpu_benchmarks>
</options></cc_config>
XML
# Run whatever the machine's load; a checkpoint every second; suspend keeps the task in memory.
cat > "$data/global_prefs_override.xml" <<XML
<global_preferences>
  <run_if_user_active>1</run_if_user_active>
  <suspend_cpu_usage>0</suspend_cpu_usage>
  <cpu_usage_limit>100</cpu_usage_limit>
  <max_ncpus_pct>100</max_ncpus_pct>
  <disk_interval>1</disk_interval>
  <leave_apps_in_memory>1</leave_apps_in_memory>
</global_preferences>
XML
output_file() {
  cat <<XML
<file_info>
    <name>$1</name>
    <generated_locally/>
    <upload_when_present/>
    <max_nbytes>16000000</max_nbytes>
    <url>${url}cgi/file_upload_handler</url>
</file_info>
XML
}
{
  cat <<XML
<client_state>
<project>
    <master_url>$url</master_url>
    <project_name>Aequa test</project_name>
    <scheduler_url>${url}cgi/cgi</scheduler_url>
    <dont_request_more_work/>
    <min_rpc_time>$((now + 86400))</min_rpc_time>
</project>
<app>
    <name>aequa</name>
</app>
<file_info>
    <name>aequa-boinc</name>
    <nbytes>$(size "$project/aequa-boinc")</nbytes>
    <status>1</status>
    <executable/>
</file_info>
<app_version>
    <app_name>aequa</app_name>
    <version_num>330</version_num>
    <platform>x86_64-pc-linux-gnu</platform>
    <avg_ncpus>1</avg_ncpus>
    <flops>1e9</flops>
    <file_ref>
        <file_name>aequa-boinc</file_name>
        <main_program/>
    </file_ref>
</app_version>
<file_info>
    <name>unit_in</name>
    <nbytes>$(size "$project/unit_in")</nbytes>
    <status>1</status>
</file_info>
<workunit>
    <name>unit</name>
    <app_name>aequa</app_name>
    <version_num>330</version_num>
    <rsc_fpops_est>1e10</rsc_fpops_est>
    <rsc_fpops_bound>1e15</rsc_fpops_bound>
    <rsc_memory_bound>1e8</rsc_memory_bound>
    <rsc_disk_bound>1e8</rsc_disk_bound>
    <file_ref>
        <file_name>unit_in</file_name>
        <open_name>in</open_name>
    </file_ref>
</workunit>
XML
  output_file "${task}_0"
  output_file "${task}_1"
  cat <<XML
<result>
    <name>$task</name>
    <wu_name>unit</wu_name>
    <version_num>330</version_num>
    <platform>x86_64-pc-linux-gnu</platform>
    <report_deadline>$((now + 864000))</report_deadline>
    <received_time>$now</received_time>
    <state>2</state>
    <file_ref>
        <file_name>${task}_0</file_name>
        <open_name>results</open_name>
    </file_ref>
    <file_ref>
        <file_name>${task}_1</file_name>
        <open_name>part</open_name>
    </file_ref>
</result>
</client_state>
XML
} > "$data/client_state.xml"

# Namespaces kept by a sleeping holder, which the client and boinccmd join: a network with its
# loopback only, and a view of /tmp without the X servers' sockets (the client looks for idle
# time on every display it finds there, and waits on a busy one).
unshare -n -m --propagation private sh -c \
  'ip link set lo up; [ -d /tmp/.X11-unix ] && mount -t tmpfs tmpfs /tmp/.X11-unix; exec sleep 600' &
holder=$!
sleep 0.5
in_ns() { nsenter -t "$holder" -n -m --wd="$data" "$@"; }
start_client() {  # $client is the client's own process (nsenter execs it)
  (cd "$data" && exec nsenter -t "$holder" -n -m --wd="$data" boinc --dir "$data" --no_gpus --exit_after_finish \
     >> "$work/client.log" 2>&1) &
  client=$!
}
rpc() { (cd "$data" && in_ns boinccmd "$@"); }
stderr_txt="$data/slots/0/stderr.txt"
wait_for() {  # text in the application's stderr.txt, within 60 s
  i=0
  until grep -q "$1" "$stderr_txt" 2>/dev/null; do
    i=$((i + 1))
    [ "$i" -le 600 ] || { echo "test-boinc-client: no '$1' in stderr.txt" >&2; return 1; }
    sleep 0.1
  done
}

begin=$(date +%s)
start_client
wait_for "Checkpoint saved"
rpc --task "$url" "$task" suspend
wait_for "Suspended by the client."
rpc --task "$url" "$task" resume
wait_for "Resumed by the client."
# Stopping the client asks the application to quit; it saves and ends.
rpc --quit
wait "$client"
grep -q "Quitting; the part goes on later." "$stderr_txt"
[ ! -e "$project/${task}_0" ]
start_client
wait_for "Going on from the last checkpoint."
i=0
until [ -e "$data/slots/0/boinc_finish_called" ] || [ -e "$project/${task}_0" ] && ! kill -0 "$client" 2>/dev/null; do
  i=$((i + 1))
  [ "$i" -le 1200 ] || { echo "test-boinc-client: the unit did not finish" >&2; exit 1; }
  sleep 0.1
done
wait "$client" || true

# The unit's outputs: valid, and the result lines of one command-line run of the part.
"$validate" init "$project/${task}_0" "$project/${task}_1"
mkdir "$work/one"
printf 'Priority=9\r\n' > "$work/one/aequo.ini"
"$aequa" --dir "$work/one" $range >/dev/null
"$validate" compare "$project/${task}_0" "$project/${task}_1" \
  "$work/one/SOLUTION.TXT" "$project/${task}_1"
grep -q "<exit_status>0</exit_status>" "$data/client_state.xml"
echo "test-boinc-client: suspended, resumed, quit and restarted under the client; results as one run ($(( $(date +%s) - begin )) s)"
