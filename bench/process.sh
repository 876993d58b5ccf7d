#!/usr/bin/env bash
# Whole-process timing: the conversation of bench_conversation (electrical report for N = 40, a
# microstrip pass, a stripline pass, exit) run as a command, build/quendrix in a temporary folder
# holding a copy of Quendrix.DEF with the answers on standard input; against the start-up of
# bench_empty_main (int main() { return 0; }), built by the same build with the same compiler,
# flags and link, run the same way.
#
#   bench/process.sh [BUILD_DIR] [RUNS]
#
# BUILD_DIR defaults to build-bench beside this folder, RUNS to 500. Each program is timed with
# its standard output sent three ways, side by side:
#   pipe   a pipe that the timer drains, the way a script reads the conversation;
#   file   a regular file, truncated before every run;
#   null   /dev/null.
# A python loop starts each run with posix_spawn (vfork-based, so the timer's own cost per run
# stays small), reads the monotonic clock around it and waits for the exit; 50 warm-up runs
# come first. It prints median, mean, minimum and spread per program and mode, and the ratio
# quendrix / empty_main of the medians and of the means per mode.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=$(cd "${1:-$root/build-bench}" && pwd)
runs=${2:-500}
quendrix=$build/quendrix
empty=$build/bench/bench_empty_main
for exe in "$quendrix" "$empty"; do
  [[ -x $exe ]] || { echo "process.sh: $exe not built (cmake --build $build)" >&2; exit 1; }
done
command -v python3 > /dev/null || { echo "process.sh: python3 is needed for the timer" >&2; exit 1; }

tmp=$(mktemp -d "${TMPDIR:-/tmp}/quendrix-process-XXXXXX")
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/run"
cp "$root/Quendrix.DEF" "$tmp/run/"
script=$tmp/answers.txt
# One answer a line, blank = default: 5 defaults, N = 40, Zo default, no storage; menu 1;
# microstrip with the file's substrate, no storage; menu 3; stripline with the file's board,
# no storage; menu 4 (exit).
printf '\n\n\n\n\n40\n\n\n1\n1\n\n\n\n\n3\n2\n\n\n\n\n4\n' > "$script"

# The conversation must give its three reports and store nothing.
cd "$tmp/run"
"$quendrix" < "$script" > "$tmp/transcript.txt"
headers=$(grep -c 'Quendrix (v. 1.0)                    Date:' "$tmp/transcript.txt" || true)
micro=$(grep -c 'Construction = Microstrip' "$tmp/transcript.txt" || true)
strip=$(grep -c 'Construction = Stripline' "$tmp/transcript.txt" || true)
files=$(ls -A | tr '\n' ' ')
if [[ $headers != 3 || $micro != 1 || $strip != 1 || $files != "Quendrix.DEF " ]]; then
  echo "process.sh: the conversation did not give its three reports" \
       "(headers $headers, microstrip $micro, stripline $strip, folder: $files)" >&2
  exit 1
fi
echo "conversation checked: 3 reports, $(wc -c < "$tmp/transcript.txt") bytes of output, no file stored"
echo "runs: $runs each, in a temporary folder"
echo

python3 - "$runs" "$script" "$tmp/out.txt" "$empty" "$quendrix" <<'EOF'
import os, statistics, sys, time

runs, script, outfile = int(sys.argv[1]), sys.argv[2], sys.argv[3]
progs = {"empty_main": sys.argv[4], "quendrix": sys.argv[5]}


def once(prog, mode):
    actions = [(os.POSIX_SPAWN_OPEN, 0, script, os.O_RDONLY, 0)]
    r = w = None
    if mode == "pipe":
        r, w = os.pipe()
        actions.append((os.POSIX_SPAWN_DUP2, w, 1))
    elif mode == "file":
        actions.append((os.POSIX_SPAWN_OPEN, 1, outfile, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644))
    else:
        actions.append((os.POSIX_SPAWN_OPEN, 1, "/dev/null", os.O_WRONLY, 0))
    t0 = time.monotonic_ns()
    pid = os.posix_spawn(prog, [prog], os.environ, file_actions=actions)
    if w is not None:
        os.close(w)
        while os.read(r, 1 << 16):
            pass
        os.close(r)
    _, status = os.waitpid(pid, 0)
    t = time.monotonic_ns() - t0
    if status != 0:
        sys.exit(f"process.sh: {prog} ended with status {status}")
    return t / 1000.0


for mode in ("pipe", "file", "null"):
    med = {}
    mean = {}
    for name, prog in progs.items():
        for _ in range(50):
            once(prog, mode)  # warm-up
        t = sorted(once(prog, mode) for _ in range(runs))
        med[name] = statistics.median(t)
        mean[name] = statistics.fmean(t)
        print(f"{mode:5} {name:11} median {med[name]:7.1f} us  mean {mean[name]:7.1f} us  "
              f"min {t[0]:7.1f} us  sd {statistics.stdev(t):6.1f} us")
    print(f"{mode:5} ratio quendrix / empty_main = {med['quendrix'] / med['empty_main']:.2f} on the medians, "
          f"{mean['quendrix'] / mean['empty_main']:.2f} on the means")
    print()
EOF
