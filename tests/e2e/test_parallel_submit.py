"""Twenty submissions started at the same moment from one program directory.

They share the renderer cache, the log file and the machine environment file. Every run must
succeed with an ID of its own, a reader must never find one of the shared files half written,
and what is left behind must be whole: a cache that the next run loads, and a log that is the
transcript of one run.
"""

import os
import re
import threading
import time
import unittest
import xml.etree.ElementTree as ET

import kfharness as kh

RUNS = 20
HANG_GUARD = 240
SUBMIT = ['-nj_renderer', 'Maya', '-log', 'shot.ma']
SUCCESS = re.compile(r'^Job submission succeeded \[ID=(\d{4,})\]$', re.M)


class Watcher(threading.Thread):
    """Reads the shared files over and over while the runs go on; keeps what was wrong."""

    def __init__(self, prog):
        super().__init__(daemon=True)
        self.prog = prog
        self.stop = threading.Event()
        self.problems = []
        self.reads = 0

    def check(self, path, whole):
        try:
            with open(path, 'rb') as fh:
                data = fh.read()
        except FileNotFoundError:
            return
        self.reads += 1
        if not whole(data):
            self.problems.append('%s: %d bytes: %r ... %r' % (
                os.path.basename(path), len(data), data[:60], data[-60:]))

    def run(self):
        expected_env = ('KF_CMDRC_DIR=%s/\n' % self.prog.path).encode()
        while not self.stop.is_set():
            self.check(self.prog.file('Renderers/Renderers.kren'), xml_whole)
            self.check(self.prog.file('Renderers/Pool.xml'), xml_whole)
            self.check(self.prog.machine_env, lambda data: data == expected_env)
            # A log is written while its run goes on; it must never hold another run's bytes.
            self.check(self.prog.file('KfRcCmd.log'),
                       lambda data: b'\0' not in data and data.count(b'Remote Controller - ') <= 1)
            time.sleep(0.002)


def xml_whole(data):
    try:
        ET.fromstring(data)
        return True
    except ET.ParseError:
        return False


class ParallelSubmissions(unittest.TestCase):
    def run_all(self, prog, args):
        """RUNS runs of `args` started together; their results once all have ended."""
        procs = [prog.popen(args) for _ in range(RUNS)]
        outputs = [p.communicate(timeout=HANG_GUARD) for p in procs]
        return [kh.Result(p.args, p.returncode, *o) for p, o in zip(procs, outputs)]

    def test_twenty_at_once_then_one_more(self):
        with kh.FarmSim() as sim, kh.ProgramDir(sim) as prog:
            watcher = Watcher(prog)
            watcher.start()
            ids = []
            try:
                # First with no cache, so that every run writes it; then with a new data stamp,
                # so that early runs replace the cache while later ones read it.
                for stamp in (42, 43):
                    sim.farm.data_stamp = stamp
                    for r in self.run_all(prog, SUBMIT):
                        self.assertEqual((r.code, r.err), (0, ''), r)
                        found = SUCCESS.findall(r.out)
                        self.assertEqual(len(found), 1, r)
                        ids.append(int(found[0]))
            finally:
                watcher.stop.set()
                watcher.join()
            self.assertEqual(watcher.problems, [])
            self.assertGreater(watcher.reads, 0)
            self.assertEqual(len(set(ids)), 2 * RUNS, ids)
            self.assertEqual(set(ids), set(sim.jobs) - {42, 43})

            # What is left is whole: no temporary files, the index of the last stamp, a log
            # that is the transcript of exactly one run.
            self.assertEqual([n for n in os.listdir(prog.file('Renderers')) if '.tmp' in n], [])
            self.assertEqual([n for n in os.listdir(prog.path) if '.tmp' in n], [])
            self.assertIn('<UpdateIndex>43</UpdateIndex>', prog.read_file('Renderers/Pool.xml'))
            log = prog.log()
            self.assertEqual(log.count('Kilnforge V2 Remote Controller - '), 1, log)
            self.assertEqual(len(SUCCESS.findall(log)), 1, log)
            self.assertTrue(log.rstrip('\n').endswith('Destroying remote controller core...'), log)

            # The next run loads the cache instead of downloading the definitions.
            full = sim.downloads()
            r = prog.run(['-listrenderers', '-compact'])
            self.assertEqual((r.code, r.err), (0, ''), r)
            self.assertIn('Maya', r.out)
            self.assertEqual(sim.downloads(), full)


if __name__ == '__main__':
    kh.main()
