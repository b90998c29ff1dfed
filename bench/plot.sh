#!/bin/sh
# The sample's picture: xpcorr-plot (the README's build, build/) against
# matplotlib (Debian's python3-matplotlib, bench/plot_matplotlib.py) drawing
# the same table to a PNG of the same size; the best wall time of five runs
# of each, the whole process from start to exit. The target: xpcorr-plot
# under a tenth of matplotlib's time.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
sh "$root/scripts/install-missing.sh" python3-matplotlib python3-yaml >&2
(cd "$root" && cmake --preset default >/dev/null && cmake --build --preset default >/dev/null)
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
(cd "$root/examples/sample" && "$root/build/xpcorr" --table "$tmp/sample.yaml" >/dev/null)

# The least of five runs of a command: wall time and processor time (user
# and system), in seconds. On a machine shared with other work the
# processor time is the steadier of the two.
best() {
  w='' c=''
  for _ in 1 2 3 4 5; do
    /usr/bin/time -f '%e %U %S' -o "$tmp/t" "$@" >/dev/null 2>&1
    read -r e u s <"$tmp/t"
    w=$(awk -v t="$e" -v b="$w" 'BEGIN{if (b=="" || t<b) b=t; printf "%.3f", b}')
    c=$(awk -v t="$(awk -v u="$u" -v s="$s" 'BEGIN{print u+s}')" -v b="$c" \
      'BEGIN{if (b=="" || t<b) b=t; printf "%.3f", b}')
  done
  echo "$w $c"
}

# shellcheck disable=SC2046  # two numbers, one word each
set -- $(best "$root/build/xpcorr-plot" "$tmp/sample.yaml" -o "$tmp/ours.png" -l "sample fits")
ours_wall=$1 ours_cpu=$2
# shellcheck disable=SC2046
set -- $(best /usr/bin/python3 "$root/bench/plot_matplotlib.py" "$tmp/sample.yaml" "$tmp/mpl.png")
theirs_wall=$1 theirs_cpu=$2
printf '%-34s %10s %10s %10s\n' measure xpcorr-plot matplotlib ratio
awk -v a="$ours_wall" -v b="$theirs_wall" 'BEGIN{printf "%-34s %10.3f %10.3f %10.3f\n", "wall time, sample PNG (s)", a, b, a/b}'
awk -v a="$ours_cpu" -v b="$theirs_cpu" 'BEGIN{printf "%-34s %10.3f %10.3f %10.3f\n", "processor time, sample PNG (s)", a, b, a/b}'
echo "target: xpcorr-plot under a tenth of matplotlib's time"
