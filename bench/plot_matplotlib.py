# The sample's picture drawn with matplotlib, for bench/plot.sh to time
# against xpcorr-plot: the same table read from its YAML, the first
# dependent variable as markers in its bins with statistical and total
# error bars, on a logarithmic y axis, 16 by 12 cm at 200 dots an inch.
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt
import yaml

table, out = sys.argv[1], sys.argv[2]
with open(table) as f:
    t = yaml.safe_load(f)
x = t["independent_variables"][0]
y = t["dependent_variables"][0]
lows = [float(v["low"]) for v in x["values"]]
highs = [float(v["high"]) for v in x["values"]]
centres = [(a + b) / 2 for a, b in zip(lows, highs)]
values = [float(v["value"]) for v in y["values"]]
stat = [float(v["errors"][0]["symerror"]) for v in y["values"]]
total = [sum(float(e["symerror"]) ** 2 for e in v["errors"]) ** 0.5 for v in y["values"]]
halves = [(b - a) / 2 for a, b in zip(lows, highs)]

fig, ax = plt.subplots(figsize=(16 / 2.54, 12 / 2.54))
ax.errorbar(centres, values, yerr=total, xerr=halves, fmt="none", ecolor="C0", elinewidth=1)
ax.errorbar(centres, values, yerr=stat, fmt="o", color="C0", elinewidth=2.5, label="sample fits")
ax.set_yscale("log")
ax.set_xlabel(x["header"]["name"])
ax.set_ylabel(y["header"]["name"])
ax.legend()
fig.tight_layout()
fig.savefig(out, dpi=200)
