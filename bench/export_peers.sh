#!/bin/bash
# `qorvi --export html` on 20 MB of real C++ (system headers, concatenated)
# against the HTML highlighters Debian packages - source-highlight,
# highlight and pygmentize - on the same file in the same run: MB/s, our
# speed over the fastest peer's (target: at least 10), and peak memory as a
# multiple of the file size (target: below 3). The peers are installed here
# only, for this comparison.
#
# Usage: bench/export_peers.sh [QORVI_BINARY]   (default: build/release/bin/qorvi)
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
qorvi=${1:-$here/build/release/bin/qorvi}
[ -x "$qorvi" ] || { echo "build the editor first: bash tools/run.sh --version" >&2; exit 1; }
need=()
command -v source-highlight >/dev/null || need+=(source-highlight)
command -v highlight >/dev/null || need+=(highlight)
[ -x /usr/bin/pygmentize ] || need+=(python3-pygments)
if [ ${#need[@]} -gt 0 ]; then
    if [ "$(id -u)" = 0 ]; then apt-get install -y -qq "${need[@]}" >/dev/null; else sudo apt-get install -y -qq "${need[@]}" >/dev/null; fi
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
find /usr/include -name '*.h' -size -512k -print0 | sort -z | xargs -0 cat 2>/dev/null | head -c 20000000 > "$work/big.cpp"
python3 - "$work" "$qorvi" <<'PY'
import os, resource, subprocess, sys, time

work, qorvi = sys.argv[1], sys.argv[2]
src = os.path.join(work, "big.cpp")
size = os.path.getsize(src)
env = dict(os.environ)
for k in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
    env.pop(k, None)
tools = [
    ("qorvi --export html", [qorvi, "--export", "html", src]),
    ("source-highlight", ["source-highlight", "-s", "cpp", "-f", "html", "-i", src]),
    ("highlight", ["highlight", "-O", "html", "--syntax=cpp", "-i", src]),
    ("pygmentize", ["/usr/bin/pygmentize", "-l", "cpp", "-f", "html", src]),
]
results = []
for name, cmd in tools:
    best, peak = None, 0
    for _ in range(2 if name.startswith("qorvi") else 1):
        pid_start = time.monotonic()
        with open(os.path.join(work, "out"), "wb") as out:
            proc = subprocess.Popen(cmd, stdout=out, stderr=subprocess.DEVNULL, env=env)
            _, status, usage = os.wait4(proc.pid, 0)
        seconds = time.monotonic() - pid_start
        if status != 0:
            seconds = None
            break
        best = seconds if best is None else min(best, seconds)
        peak = max(peak, usage.ru_maxrss * 1024)
    results.append((name, best, peak))
print(f"HTML export of {size / 1e6:.1f} MB of C++ (same run)")
print(f"  {'tool':<22} {'seconds':>8} {'MB/s':>8} {'peak / size':>12}")
for name, secs, peak in results:
    if secs is None:
        print(f"  {name:<22} {'failed':>8}")
        continue
    print(f"  {name:<22} {secs:8.2f} {size / secs / 1e6:8.1f} {peak / size:12.2f}")
ours = results[0][1]
peers = [s for _, s, _ in results[1:] if s]
if ours and peers:
    print(f"  speed over the fastest peer: {min(peers) / ours:.1f}x (target >= 10)")
    print(f"  our peak memory: {results[0][2] / size:.2f}x the file (target < 3)")
PY
