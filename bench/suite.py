#!/usr/bin/env python3
"""The benchmark suite: every figure in one table.

    python3 bench/suite.py [--build build] [--runs 5] [--callgrind] [--only NAME,...]

Whole-process figures run the real binary from a throw-away program directory against the farm
simulator (a process of its own on a free loopback port, demo farm): wall time from the start of
the process to its exit, CPU time and peak memory of that process alone (wait4 in the small
bench/peak_rss launcher, since a process's peak counts the process it was forked from). Each is the
median of --runs runs. The in-process figures come from the bench_* programs next to the binary.
--callgrind adds the instruction counts of the start-up and the warm submission, which stay the
same however loaded the machine is: compare those when other work runs at the same time.
"""

import argparse
import json
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(HERE)
FARMSIM = os.path.join(SOURCE, 'tools', 'farmsim', 'farmsim.py')
DEMO_FARM = os.path.join(SOURCE, 'tools', 'farmsim', 'demo', 'farm.json')
TWO_SCENES = ['-nj_renderer', 'Maya', 'scenes/one.ma', 'scenes/two.ma']


class Figure:
    def __init__(self, name, value, unit, reference='', ratio=None, target=''):
        self.name, self.value, self.unit = name, value, unit
        self.reference, self.ratio, self.target = reference, ratio, target


class Run:
    """One finished process: wall seconds, CPU seconds, peak memory in MB, exit status, output."""

    def __init__(self, wall, cpu, peak_mb, code, out):
        self.wall, self.cpu, self.peak_mb, self.code, self.out = wall, cpu, peak_mb, code, out


def run_process(argv, cwd, env, timeout=600):
    with tempfile.TemporaryFile() as out:
        start = time.perf_counter()
        proc = subprocess.Popen(argv, cwd=cwd, env=env, stdin=subprocess.DEVNULL, stdout=out,
                                stderr=subprocess.STDOUT)
        timer = threading.Timer(timeout, proc.kill)
        timer.start()
        try:
            _, status, usage = os.wait4(proc.pid, 0)
        finally:
            timer.cancel()
        wall = time.perf_counter() - start
        proc.returncode = os.waitstatus_to_exitcode(status)
        out.seek(0)
        text = out.read().decode('utf-8', 'replace')
    return Run(wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss / 1024.0, proc.returncode,
               text)


class FarmSim:
    """The farm simulator as a process of its own, so that its work never runs in ours."""

    def __init__(self, farm=DEMO_FARM):
        self.farm = farm

    def __enter__(self):
        self.proc = subprocess.Popen([sys.executable, FARMSIM, '--farm', self.farm, '--port', '0'],
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        line = self.proc.stdout.readline()
        match = re.search(r'listening on 127\.0\.0\.1:(\d+)', line)
        if not match:
            self.proc.kill()
            raise SystemExit('the farm simulator did not start: %r' % line)
        self.port = int(match.group(1))
        return self

    def __exit__(self, *exc):
        self.proc.terminate()
        try:
            self.proc.wait(10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()


class ProgramDir:
    """A temporary program directory holding the binary and a configuration for the simulator."""

    def __init__(self, binary, port):
        # The small launcher next to the bench programs measures the run, so
        # that the driver's own size does not count as the program's peak.
        launcher = os.path.join(os.path.dirname(binary), 'bench', 'peak_rss')
        self.launcher = launcher if os.access(launcher, os.X_OK) else None
        self.root = tempfile.mkdtemp(prefix='kfbench-')
        self.path = os.path.join(self.root, 'prog')
        os.makedirs(self.path)
        self.binary = os.path.join(self.path, 'KfRcCmd')
        try:
            os.link(binary, self.binary)
        except OSError:
            shutil.copy2(binary, self.binary)
        conf = ('[RemoteController.General]\r\nAlias = \r\n'
                '[RemoteController.NetJobs]\r\nNetJobNameFormat = Unnamed job - $(scene)\r\n'
                '[RemoteController.Server]\r\nServerAddress = 127.0.0.1\r\nServerPort = %d\r\n'
                'UserName = anna\r\nUserPwd = anna123\r\n' % port)
        with open(os.path.join(self.path, 'KfRcCmd.conf'), 'w', encoding='utf-8') as fh:
            fh.write(conf)
        self.env = dict(os.environ)
        self.env['KF_MACHINE_ENV_FILE'] = os.path.join(self.root, 'machine-environment.conf')

    def run(self, args, prefix=()):
        if prefix or not self.launcher:
            return run_process(list(prefix) + [self.binary] + list(args), self.root, self.env)
        r = run_process([self.launcher, self.binary] + list(args), self.root, self.env)
        out, _, last = r.out.rstrip('\n').rpartition('\n')
        match = re.match(r'peak_rss: (\d+) ([\d.]+) ([\d.]+) (\d+)$', last)
        if not match:
            raise SystemExit('the launcher gave no figures:\n%s' % r.out)
        code, wall, cpu, rss = match.groups()
        return Run(float(wall), float(cpu), int(rss) / 1024.0, int(code), out + '\n')

    def drop_cache(self):
        shutil.rmtree(os.path.join(self.path, 'Renderers'), ignore_errors=True)

    def cleanup(self):
        shutil.rmtree(self.root, ignore_errors=True)


def submitted(run):
    return run.code == 0 and 'Job submission succeeded [ID=' in run.out


def repeat(prog, args, runs, before=None, check=submitted):
    results = []
    for _ in range(runs):
        if before:
            before()
        r = prog.run(args)
        if check and not check(r):
            raise SystemExit('run %r failed:\n%s' % (args, r.out))
        results.append(r)
    return results


def median(values):
    return statistics.median(values)


def whole_process(binary, runs, callgrind):
    figures = []
    with FarmSim() as sim:
        prog = ProgramDir(binary, sim.port)
        try:
            floor = median([r.wall for r in repeat(prog, ['-help'], runs, check=None)]) * 1000
            figures.append(Figure('start-up: KfRcCmd -help (floor)', floor, 'ms'))

            repeat(prog, TWO_SCENES, 1)  # fills the renderer cache
            warm = repeat(prog, TWO_SCENES, runs)
            warm_ms = median([r.wall for r in warm]) * 1000
            figures.append(Figure('two-scene submission, warm cache', warm_ms, 'ms', 'floor',
                                  warm_ms / floor, '< 3'))
            cold = repeat(prog, TWO_SCENES, runs, before=prog.drop_cache)
            cold_ms = median([r.wall for r in cold]) * 1000
            figures.append(Figure('two-scene submission, cold cache (demo farm)', cold_ms, 'ms',
                                  'floor', cold_ms / floor))
            figures.append(Figure('peak memory of a plain submission', median(
                [r.peak_mb for r in warm]), 'MB'))
            plain_cpu = median([r.cpu for r in warm])

            frames = {}
            for count in (100000, 200000):
                args = ['-nj_renderer', 'Maya',
                        '@/projects/show/seq010/shot_######[1-%d].ma' % count]
                frames[count] = repeat(prog, args, max(1, min(runs, 3)))
            f100 = median([r.cpu for r in frames[100000]])
            f200 = median([r.cpu for r in frames[200000]])
            figures.append(Figure('submission of a 100000-frame pattern (client CPU)', f100, 's',
                                  '200000 frames', (f200 - plain_cpu) / (f100 - plain_cpu), '~2'))
            figures.append(Figure('  the same, wall time with the simulator',
                                  median([r.wall for r in frames[100000]]), 's', '200000 frames',
                                  median([r.wall for r in frames[200000]])
                                  / median([r.wall for r in frames[100000]])))
            figures.append(Figure('  peak memory, 100000 frames',
                                  median([r.peak_mb for r in frames[100000]]), 'MB',
                                  '200000 frames',
                                  median([r.peak_mb for r in frames[200000]])
                                  / median([r.peak_mb for r in frames[100000]])))

            if callgrind:
                figures.extend(instruction_counts(prog))
        finally:
            prog.cleanup()
    return figures


def instruction_counts(prog):
    figures = []
    out = os.path.join(prog.root, 'callgrind.out')
    prefix = ['valgrind', '--tool=callgrind', '--callgrind-out-file=' + out]
    for name, args in (('instructions: KfRcCmd -help', ['-help']),
                       ('instructions: warm two-scene submission', TWO_SCENES)):
        r = prog.run(args, prefix=prefix)
        match = re.search(r'Collected : (\d+)', r.out)
        if not match:
            raise SystemExit('callgrind gave no count:\n%s' % r.out)
        figures.append(Figure(name, int(match.group(1)) / 1e6, 'M instr'))
    return figures


def bench_program(build, name, args=(), runs=1):
    path = os.path.join(build, 'bench', 'bench_' + name)
    outputs = []
    for _ in range(runs):
        r = run_process([path] + list(args), build, dict(os.environ))
        if r.code != 0:
            raise SystemExit('%s failed:\n%s' % (path, r.out))
        outputs.append(r.out)
    return outputs


def number(pattern, text):
    match = re.search(pattern, text)
    if not match:
        raise SystemExit('no %r in:\n%s' % (pattern, text))
    return float(match.group(1))


def ack_wait(build, runs):
    outs = bench_program(build, 'net_ack_wait', runs=runs)
    cpu = median([number(r'CPU of the waiting thread: ([\d.]+) s', o) for o in outs])
    wall = median([number(r'acknowledgement after ([\d.]+) s', o) for o in outs])
    return [Figure('CPU during a 10 s wait for a late acknowledgement', cpu * 1000, 'ms',
                   'the wait', cpu / wall * 100, '< 1 %')]


def transfer(build, runs):
    out = bench_program(build, 'net_transfer', [str(runs)])[0]
    t64 = number(r'64 MiB message[^:]*: ([\d.]+) s', out)
    t128 = number(r'128 MiB message: ([\d.]+) s', out)
    figures = [Figure('64 MiB message, frames and reassembly over loopback', 64 / t64 * 1.048576,
                      'MB/s', '128 MiB time', t128 / t64, '~2')]
    if 'client CPU' in out:
        c64 = number(r'64 MiB message.*client CPU ([\d.]+) s', out)
        c128 = number(r'128 MiB message.*client CPU ([\d.]+) s', out)
        figures.append(Figure('  client CPU of that message', c64, 's', '128 MiB', c128 / c64,
                              '~2'))
    return figures


def pool(build, runs):
    out = bench_program(build, 'rs_pool', ['200', '10', '40', str(runs)])[0]
    one, two = out.split('pool of 400 renderers')
    i1 = number(r'cache file -> pool \(import\)\s+([\d.]+) s', one)
    i2 = number(r'cache file -> pool \(import\)\s+([\d.]+) s', two)
    peak = r'peak memory of the import\s+([\d.]+) MB'
    base = r'MB\s+\(([\d.]+) MB before it\)'
    p1, p2 = number(peak, one), number(peak, two)
    growth = (p2 - number(base, two)) / (p1 - number(base, one))
    # The file size in the same unit as the peak (MiB), so that the ratio is that of bytes.
    file_mb = number(r'cache file\s+([\d.]+) MB', one)
    return [Figure('import of a 200x10x40 pool from the cache file', i1, 's', '400x10x40 pool',
                   i2 / i1, '~2'),
            Figure('  peak memory of that import (ratio: growth)', p1, 'MB', '400x10x40 pool',
                   growth, '~2'),
            Figure('  the same peak (ratio: to the cache file)', p1, 'MB', 'file %.0f MB' % file_mb,
                   p1 / file_mb, '< 2')]


QUERY_ANSWER_MIB = 32


def query_answer_text(size):
    """Job lines the way a farm lists them, varied enough not to compress to nothing."""
    lines, total, n = [], 0, 0
    while total < size:
        line = '%d|shot_%04d_lighting_v%03d|%s|user%02d|%d|Maya/2024|%d/%d' % (
            1000 + n, n % 9973, n % 251, ('waiting', 'rendering', 'done', 'paused')[n % 4], n % 37,
            n % 100, n % 17, 10 + n % 90)
        lines.append(line)
        total += len(line) + 1
        n += 1
    return '\n'.join(lines)[:size]


def query_answer(binary, runs):
    """A -query whose answer is 32 MiB of text, printed to standard output."""
    size = QUERY_ANSWER_MIB * 1024 * 1024
    with open(DEMO_FARM, encoding='utf-8') as fh:
        farm = json.load(fh)
    farm['renderers'] = os.path.join(os.path.dirname(DEMO_FARM), farm.get('renderers', 'renderers'))
    answer = query_answer_text(size)
    farm.setdefault('queries', {})['bench answer'] = answer
    folder = tempfile.mkdtemp(prefix='kfbench-farm-')
    try:
        farm_file = os.path.join(folder, 'farm.json')
        with open(farm_file, 'w', encoding='utf-8') as fh:
            json.dump(farm, fh)
        with FarmSim(farm_file) as sim:
            prog = ProgramDir(binary, sim.port)
            try:
                def answered(r):
                    return r.code == 0 and answer[-200:] in r.out and len(r.out) > size
                results = repeat(prog, ['-query', 'bench answer', '-compact'],
                                 max(1, min(runs, 3)), check=answered)
            finally:
                prog.cleanup()
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    peak = median([r.peak_mb for r in results])
    size_mb = float(QUERY_ANSWER_MIB)  # peak figures are in units of 1024 KiB too
    return [Figure('query answer %d MiB, wall time' % QUERY_ANSWER_MIB, median(
                [r.wall for r in results]), 's', '', None, '< 2'),
            Figure('  client CPU of that query', median([r.cpu for r in results]), 's'),
            Figure('  peak memory of that query (ratio: to the answer)', peak, 'MB', 'answer size',
                   peak / size_mb, '< 3')]


# Generated render systems: groups x renderers x versions x parameters, with the renderer cache
# size they come to.
WARM_CACHES = (('0.1 MB', (2, 2, 2, 10), '<= 1.5'), ('2 MB', (10, 4, 4, 10), ''),
               ('8 MB', (20, 5, 4, 20), '<= 3'))


def warm_cache_runs(binary, runs):
    """Warm submissions and listings against farms of generated render systems: CPU and peak
    memory as ratios to those of -help, measured against the same farm."""
    import render_systems
    figures = []
    for label, size, target in WARM_CACHES:
        folder = tempfile.mkdtemp(prefix='kfbench-farm-')
        try:
            farm_file = render_systems.write_farm(folder, *size)
            with FarmSim(farm_file) as sim:
                prog = ProgramDir(binary, sim.port)
                try:
                    helps = repeat(prog, ['-help'], runs, check=None)
                    help_cpu = median([r.cpu for r in helps])
                    help_peak = median([r.peak_mb for r in helps])
                    args = ['-nj_renderer', 'R%d_0' % (size[0] // 2), 'scenes/one.scn']
                    repeat(prog, args, 2)  # fills the cache, then its index
                    cache_mb = os.path.getsize(os.path.join(
                        prog.path, 'Renderers', 'Renderers.kren')) / 1e6
                    warm = repeat(prog, args, runs)
                    cpu = median([r.cpu for r in warm])
                    peak = median([r.peak_mb for r in warm])
                    name = 'warm submission, %s cache (%.2f MB), CPU' % (label, cache_mb)
                    figures.append(Figure(name, cpu * 1000, 'ms', '-help CPU', cpu / help_cpu,
                                          target))
                    figures.append(Figure('  peak memory of that submission', peak, 'MB',
                                          '-help peak', peak / help_peak,
                                          '<= 20 MB' if label == '8 MB' else ''))
                    if label == '8 MB':
                        listed = repeat(prog, ['-listrenderers'], runs,
                                        check=lambda r: r.code == 0 and 'R0_0/4.0 *' in r.out)
                        cpu = median([r.cpu for r in listed])
                        figures.append(Figure('-listrenderers, 8 MB cache, CPU', cpu * 1000, 'ms',
                                              '-help CPU', cpu / help_cpu, '< 50 ms'))
                finally:
                    prog.cleanup()
        finally:
            shutil.rmtree(folder, ignore_errors=True)
    return figures


def print_table(figures, load_before, load_after):
    print()
    print('%-52s %10s %-8s %-16s %7s  %s' % ('figure', 'value', 'unit', 'ratio to', 'ratio',
                                           'target'))
    print('-' * 108)
    for f in figures:
        value = '%.0f' % f.value if f.value >= 1000 else '%.3g' % f.value if f.value < 10 else \
            '%.1f' % f.value
        ratio = '%.2f' % f.ratio if f.ratio is not None else ''
        print('%-52s %10s %-8s %-16s %7s  %s' % (f.name, value, f.unit, f.reference, ratio,
                                               f.target))
    print('-' * 108)
    print('load average before %.2f %.2f %.2f, after %.2f %.2f %.2f; %d cores' % (
        load_before + load_after + (os.cpu_count(),)))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--build', default=os.path.join(SOURCE, 'build'))
    parser.add_argument('--runs', type=int, default=5)
    parser.add_argument('--callgrind', action='store_true')
    parser.add_argument('--only', default='',
                        help='comma-separated: process,wait,transfer,pool,query,warm')
    opts = parser.parse_args()
    build = os.path.abspath(opts.build)
    binary = os.path.join(build, 'KfRcCmd')
    only = set(filter(None, opts.only.split(',')))
    load_before = os.getloadavg()
    figures = []
    steps = (('process', lambda: whole_process(binary, opts.runs, opts.callgrind)),
             ('wait', lambda: ack_wait(build, max(1, min(opts.runs, 3)))),
             ('transfer', lambda: transfer(build, max(1, min(opts.runs, 3)))),
             ('pool', lambda: pool(build, max(1, min(opts.runs, 3)))),
             ('query', lambda: query_answer(binary, opts.runs)),
             ('warm', lambda: warm_cache_runs(binary, opts.runs)))
    for name, step in steps:
        if only and name not in only:
            continue
        print('running %s ...' % name, file=sys.stderr, flush=True)
        try:
            figures.extend(step())
        except SystemExit as failure:
            print('%s failed: %s' % (name, failure), file=sys.stderr, flush=True)
            figures.append(Figure('%s: FAILED' % name, 0, ''))
    print_table(figures, load_before, os.getloadavg())


if __name__ == '__main__':
    main()
