#!/usr/bin/env python3
"""Wall time of a complete log-on and log-off of the real binary against the farm simulator.

    python3 bench/logon_wall.py [--runs N] [--binary build/KfRcCmd]

Each run is `KfRcCmd -query farm` (log-on without renderers, query, log-off) for the
"no renderers" figure, and the plain log-on of a submission run with the renderer cache cold
(deleted before each run) and warm (kept). Prints the median and the best of N runs in ms.
"""

import argparse
import os
import statistics
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(SOURCE, 'tests', 'e2e'))
os.environ.setdefault('KF_SOURCE_DIR', SOURCE)
import kfharness as kh  # noqa: E402


def measure(prog, args, runs, before=None):
    times = []
    for _ in range(runs):
        if before:
            before()
        start = time.perf_counter()
        r = prog.run(args)
        times.append((time.perf_counter() - start) * 1000.0)
        if 'Logged on to server' not in r.out and 'Logged on to server' not in prog.read_file(
                'KfRcCmd.log'):
            raise SystemExit('log-on failed:\n%s' % r)
    return times


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--runs', type=int, default=15)
    parser.add_argument('--binary', default=os.path.join(SOURCE, 'build', 'KfRcCmd'))
    opts = parser.parse_args()
    os.environ['KFRCCMD'] = os.path.abspath(opts.binary)

    with kh.FarmSim() as sim, kh.ProgramDir(sim) as prog:
        cache = prog.file(os.path.join('Renderers', 'Renderers.kren'))

        def drop_cache():
            if os.path.exists(cache):
                os.remove(cache)

        # Start-up alone (banner and configuration, no connection) as the floor.
        floor = []
        for _ in range(opts.runs):
            start = time.perf_counter()
            prog.run(['-env', 'nothing'])
            floor.append((time.perf_counter() - start) * 1000.0)
        cold = measure(prog, ['-log', 'shot.blend'], opts.runs, before=drop_cache)
        warm = measure(prog, ['-log', 'shot.blend'], opts.runs)
        print('runs per figure: %d' % opts.runs)
        for name, times in (('process start, no connection', floor),
                            ('log-on + log-off, cache cold', cold),
                            ('log-on + log-off, cache warm', warm)):
            print('%-32s median %7.1f ms   best %7.1f ms' % (name, statistics.median(times),
                                                            min(times)))
        print('warm minus start-up (median): %.1f ms' % (statistics.median(warm) -
                                                         statistics.median(floor)))


if __name__ == '__main__':
    main()
