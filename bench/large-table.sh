#!/bin/sh
# Writes a large HEPData data table to standard output, of the size of the
# largest tables HEPData publishes (about 1.2 MB with the default 2200
# points): one binned independent variable, three dependent variables with
# qualifiers, each value with a statistical error, an asymmetric systematic
# one and a percentage, in the block style HEPData's own files use. The
# numbers are made up, the same on every run.
#
#   bench/large-table.sh [POINTS] > table.yaml
set -eu
points=${1:-2200}
awk -v n="$points" 'BEGIN {
  srand(20261209)
  print "independent_variables:"
  print "- header: {name: \x27$p_{T}$\x27, units: GEV}"
  print "  values:"
  for (i = 0; i < n; i++) printf "  - {low: %.3f, high: %.3f}\n", i * 0.25, (i + 1) * 0.25
  print "dependent_variables:"
  split("D2(SIG)/DPT/DYRAP,RATIO,ASYMMETRY", names, ",")
  for (k = 1; k <= 3; k++) {
    print "- header: {name: \x27" names[k] "\x27, units: PB/GEV}"
    print "  qualifiers:"
    print "  - {name: RE, value: P P --> JET X}"
    print "  - {name: SQRT(S), units: GEV, value: 13000}"
    printf "  - {name: ABS(YRAP), value: \x27%.1f-%.1f\x27}\n", k - 1, k
    print "  values:"
    for (i = 0; i < n; i++) {
      v = exp(-i / 600.0) * (1000 + 100 * rand())
      printf "  - value: %.6g\n", v
      print "    errors:"
      printf "    - {symerror: %.4g, label: stat}\n", v * 0.02 * (1 + rand())
      printf "    - {asymerror: {minus: %.4g, plus: %.4g}, label: \x27sys,jes\x27}\n", -v * 0.05 * rand(), v * 0.05 * rand()
      printf "    - {symerror: %.1f%%, label: lumi}\n", 1 + rand()
    }
  }
}'
