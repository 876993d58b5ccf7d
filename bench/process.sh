#!/usr/bin/env bash
# Whole-process timing: the conversation of bench_conversation (electrical report for N = 40, a
# microstrip pass, a stripline pass, exit) run as a command, build/quendrix in a temporary folder
# holding a copy of Quendrix.DEF, the answers on standard input and standard output sent to
# /dev/null; against the start-up of bench_empty_main (int main() { return 0; }), built by the
# same build with the same compiler and flags, run the same way.
#
#   bench/process.sh [--breakdown] [BUILD_DIR] [RUNS]
#
# BUILD_DIR defaults to build-bench beside this folder, RUNS to 500. With hyperfine on the PATH
# it does the timing (shell start-up subtracted, 50 warm-up runs); without it, or with
# QUENDRIX_TIMER=loop, a perl loop forks and execs each run directly and reads the monotonic
# clock around it. Either way it prints mean and spread of both commands and their ratio.
#
# --breakdown (hyperfine only) adds three runs that tell where the difference goes:
#   empty_main+libs      the empty program with the shared libraries quendrix loads beyond libc
#                        preloaded (the cost of loading and relocating them);
#   quendrix_eof         quendrix with an empty standard input: start-up, defaults file, banner
#                        and the end-of-file stop at the first question (exit status 2);
#   quendrix_to_file     the conversation with standard output to a regular file, which the
#                        text layer writes in blocks instead of one write per record.
set -euo pipefail

breakdown=0
if [[ ${1:-} == --breakdown ]]; then breakdown=1; shift; fi
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=$(cd "${1:-$root/build-bench}" && pwd)
runs=${2:-500}
quendrix=$build/quendrix
empty=$build/bench/bench_empty_main
for exe in "$quendrix" "$empty"; do
  [[ -x $exe ]] || { echo "process.sh: $exe not built (cmake --build $build)" >&2; exit 1; }
done

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
echo "runs: $runs each, in $tmp/run"
echo

if [[ ${QUENDRIX_TIMER:-} != loop ]] && command -v hyperfine > /dev/null; then
  extra=()
  if ((breakdown)); then
    libs=$({ ldd "$quendrix" 2> /dev/null || true; } | awk '$2 == "=>" && $3 ~ /^\// && $1 !~ /^libc\.so/ { print $3 }' | paste -sd: -)
    echo "libraries loaded by quendrix beyond libc: ${libs:-none}"
    extra=(-n empty_main+libs "LD_PRELOAD='$libs' '$empty' < '$script' > /dev/null"
           -n quendrix_eof "'$quendrix' < /dev/null > /dev/null 2>&1"
           -n quendrix_to_file "'$quendrix' < '$script' > '$tmp/out.txt'")
  fi
  hyperfine --warmup 50 --runs "$runs" -i --export-json "$tmp/times.json" \
    -n empty_main "'$empty' < '$script' > /dev/null" \
    -n quendrix "'$quendrix' < '$script' > /dev/null" "${extra[@]}"
  # Mean and standard deviation of each, from hyperfine's own figures.
  perl -0777 -ne '
    my (%m, %s, %med, %min, @names);
    while (/"command":\s*"([^"]+)",\s*"mean":\s*([0-9.eE+-]+),\s*"stddev":\s*([0-9.eE+-]+),\s*"median":\s*([0-9.eE+-]+).*?"min":\s*([0-9.eE+-]+)/sg) {
      push @names, $1; $m{$1} = $2; $s{$1} = $3; $med{$1} = $4; $min{$1} = $5;
    }
    print "\n";
    printf "%-17s mean %8.1f us  sd %7.1f us  median %8.1f us  min %8.1f us\n",
      $_, 1e6*$m{$_}, 1e6*$s{$_}, 1e6*$med{$_}, 1e6*$min{$_} for @names;
    my $r = $m{quendrix} / $m{empty_main};
    printf "ratio quendrix / empty_main = %.2f on the means, %.2f on the medians (target <= 2: %s)\n",
      $r, $med{quendrix} / $med{empty_main}, $r <= 2 ? "met" : "missed";
  ' "$tmp/times.json"
else
  # posix_spawn (vfork-based) keeps the cost of starting each run small beside the run itself.
  loop_py='
import os, statistics, sys, time
runs, script, progs = int(sys.argv[1]), sys.argv[2], sys.argv[3:]
def once(prog):
    fa = [(os.POSIX_SPAWN_OPEN, 0, script, os.O_RDONLY, 0),
          (os.POSIX_SPAWN_OPEN, 1, "/dev/null", os.O_WRONLY, 0)]
    t0 = time.monotonic_ns()
    pid = os.posix_spawn(prog, [prog], os.environ, file_actions=fa)
    _, status = os.waitpid(pid, 0)
    t = time.monotonic_ns() - t0
    if status != 0:
        sys.exit(f"{prog} ended with status {status}")
    return t / 1000.0
mean = {}
for prog in progs:
    for _ in range(50):
        once(prog)  # warm-up
    t = sorted(once(prog) for _ in range(runs))
    name = os.path.basename(prog)
    mean[name] = statistics.fmean(t)
    print(f"{name:17} mean {mean[name]:8.1f} us  sd {statistics.stdev(t):7.1f} us  "
          f"median {statistics.median(t):8.1f} us  min {t[0]:8.1f} us  max {t[-1]:8.1f} us")
r = mean["quendrix"] / mean["bench_empty_main"]
verdict = "met" if r <= 2 else "missed"
print(f"ratio quendrix / empty_main = {r:.2f} (target <= 2: {verdict})")
'
  if command -v python3 > /dev/null; then
    echo "timer: posix_spawn loop, monotonic clock"
    python3 -c "$loop_py" "$runs" "$script" "$empty" "$quendrix"
  else
    echo "timer: perl fork loop, monotonic clock (the fork of perl itself adds to every run)"
    perl -MTime::HiRes=clock_gettime,CLOCK_MONOTONIC -e '
      my ($runs, $script, @progs) = @ARGV;
      sub once {
        my ($prog) = @_;
        my $t0 = clock_gettime(CLOCK_MONOTONIC);
        my $pid = fork() // die "fork: $!";
        if ($pid == 0) {
          open(STDIN, "<", $script) or die; open(STDOUT, ">", "/dev/null") or die;
          exec($prog) or die "exec $prog: $!";
        }
        waitpid($pid, 0);
        die "$prog ended with status $?\n" if $?;
        return clock_gettime(CLOCK_MONOTONIC) - $t0;
      }
      my %mean;
      for my $prog (@progs) {
        once($prog) for 1 .. 50;  # warm-up
        my @t = map { once($prog) } 1 .. $runs;
        @t = sort { $a <=> $b } @t;
        my $m = 0; $m += $_ for @t; $m /= @t;
        my $v = 0; $v += ($_ - $m) ** 2 for @t; my $sd = sqrt($v / (@t - 1));
        (my $name = $prog) =~ s{.*/}{};
        $mean{$name} = $m;
        printf "%-17s mean %8.1f us  sd %7.1f us  min %8.1f us  median %8.1f us  max %8.1f us\n",
          $name, 1e6*$m, 1e6*$sd, 1e6*$t[0], 1e6*$t[@t/2], 1e6*$t[-1];
      }
      my $r = $mean{quendrix} / $mean{bench_empty_main};
      printf "ratio quendrix / empty_main = %.2f (target <= 2: %s)\n", $r, $r <= 2 ? "met" : "missed";
    ' "$runs" "$script" "$empty" "$quendrix"
  fi
fi
