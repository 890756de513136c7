"""One million steam enthalpies four ways, side by side, in ns per state:
the vectorised pemar.steam.enthalpy, a Python loop over it with numbers,
and (with --cxx-bench BUILD/bench/steam_batch_bench) the C++ batch form and
a C++ loop of scalar calls on the same kinds of states.

Run by hand against an optimised build, for example:
    PYTHONPATH=build/release/python python3 python/bench/steam_bench.py \\
        --cxx-bench build/release/bench/steam_batch_bench
"""

import argparse
import json
import subprocess
import time

import numpy as np

import pemar

STATES = 1_000_000
KINDS = ["sub-region 1", "sub-region 2", "table"]


def states(kind):
    """The states of the C++ benchmark: random liquid, random steam, or a
    grid of 1000 temperatures each at 1000 pressures."""
    rng = np.random.default_rng(42)
    if kind == 0:
        return (280.0 + 320.0 * rng.random(STATES),
                25000.0 + 35000.0 * rng.random(STATES), "liquid")
    if kind == 1:
        return (650.0 + 400.0 * rng.random(STATES),
                1000.0 + 9000.0 * rng.random(STATES), "vapour")
    i = np.arange(STATES)
    return 650.0 + 0.4 * (i // 1000), 10.0 + 10.0 * (i % 1000), "vapour"


def best_ns(run, repeats):
    best = float("inf")
    for _ in range(repeats):
        start = time.perf_counter()
        run()
        best = min(best, time.perf_counter() - start)
    return best / STATES * 1e9


def cxx_figures(path, repeats):
    """The best of `repeats` runs of each C++ benchmark, as best_ns takes
    the best of the vectorised calls."""
    done = subprocess.run([path, "--benchmark_format=json",
                           f"--benchmark_repetitions={repeats}"],
                          check=True, capture_output=True, text=True)
    figures = {}
    for b in json.loads(done.stdout)["benchmarks"]:
        if b.get("run_type", "iteration") != "iteration":
            continue
        name, kind = b["name"].split("/")[:2]
        ns = 1e9 / b["items_per_second"]
        figures[(name, int(kind))] = min(ns, figures.get((name, int(kind)),
                                                         ns))
    return figures


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cxx-bench", help="the steam_batch_bench program")
    parser.add_argument("--loop-states", type=int, default=STATES,
                        help="states for the Python loop (default 1000000)")
    args = parser.parse_args()
    cxx = cxx_figures(args.cxx_bench, 5) if args.cxx_bench else {}
    print(f"{'states':<14}{'vectorised':>12}{'Python loop':>13}"
          f"{'C++ batch':>11}{'C++ loop':>10}   (ns per state)")
    for kind, label in enumerate(KINDS):
        t, p, phase = states(kind)
        vectorised = best_ns(lambda: pemar.steam.enthalpy(t, p, phase), 5)
        n = args.loop_states
        tl, pl = t[:n].tolist(), p[:n].tolist()
        start = time.perf_counter()
        for ti, pi in zip(tl, pl):
            pemar.steam.enthalpy(ti, pi, phase)
        loop = (time.perf_counter() - start) / n * 1e9
        batch = cxx.get(("BM_EnthalpyBatch", kind), float("nan"))
        scalar = cxx.get(("BM_EnthalpyScalarLoop", kind), float("nan"))
        print(f"{label:<14}{vectorised:12.1f}{loop:13.1f}{batch:11.1f}"
              f"{scalar:10.1f}")


if __name__ == "__main__":
    main()
