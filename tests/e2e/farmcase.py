"""Test cases on the demo farm: a simulator and a program directory for the
user `user`, made anew for every test (FarmCase, for tests that change the
farm) or once for the whole class (SharedFarmCase, for tests that only read)."""

import unittest

import kfharness as kh

BANNER = ("Kilnforge V2 Remote Controller - command-line job submission and farm control\n"
          "Version 2.14.1.1900 (Built: 07.11.2016)\n" + "=" * 75 + "\n\n")


def _open(case):
    case.sim = kh.FarmSim(overrides=case.overrides, faults=case.faults).start()
    case.prog = kh.ProgramDir(case.sim, user=case.user)


def _close(case):
    case.prog.cleanup()
    case.sim.stop()


class Checks(unittest.TestCase):
    def assert_failed(self, r, code, text, prog, what=None):
        """Exit status `code`, the failure report with `text`, nothing on stderr; `what` names
        the case in a failure."""
        seen = (what, r) if what is not None else r
        self.assertEqual(r.code, code, seen)
        self.assertIn(kh.failure_report(code, text, prog), r.out, seen)
        self.assertEqual(r.err, '', seen)
        return r


class FarmCase(Checks):
    user = 'anna'
    overrides = None
    faults = None

    def setUp(self):
        _open(self)

    def tearDown(self):
        _close(self)

    def run_ok(self, args, **run_args):
        """Runs the program; it must succeed without a word on stderr."""
        r = self.prog.run(args, **run_args)
        self.assertEqual(r.code, 0, r)
        self.assertEqual(r.err, '', r)
        return r


class SharedFarmCase(FarmCase):
    @classmethod
    def setUpClass(cls):
        _open(cls)

    @classmethod
    def tearDownClass(cls):
        _close(cls)

    def setUp(self):
        pass

    def tearDown(self):
        pass
