"""Test cases on the demo farm: a simulator and a program directory for the
user `user`, made anew for every test (FarmCase, for tests that change the
farm) or once for the whole class (SharedFarmCase, for tests that only read);
SubmitCase adds the steps of a net job submission."""

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


RENDERER = ['-nj_renderer', 'Maya']
CMDLINE_ERROR = 'ERROR! Command-line error:\n%s [switch=%s]\n'


def submit(prog, args, renderer=True, **run_args):
    """Runs a submission; the renderer switch is added unless told otherwise."""
    return prog.run((RENDERER if renderer else []) + list(args), **run_args)


def packet(sim):
    """The last net job packet the simulator decoded, or None."""
    return sim.last('NetJobPacket')


class SubmitCase(FarmCase):
    """One simulator and program directory per test, with submission steps."""

    def submit_ok(self, args, renderer=True):
        r = submit(self.prog, args, renderer, code=0)
        self.assertIn('Job submission succeeded [ID=', r.out, r)
        p = packet(self.sim)
        self.assertIsNotNone(p, r)
        return p, r

    def submit_refused(self, args, message, switch, renderer=True):
        """A command-line error: its report, the failure report with code 7, no packet."""
        before = len(self.sim.messages('NetJobPacket'))
        r = submit(self.prog, args, renderer, code=7)
        self.assertIn(CMDLINE_ERROR % (message, switch), r.out, r)
        self.assertIn('Job submission failed [code=7]:\n'
                      'The passed command-line is invalid or incomplete.', r.out, r)
        self.assertEqual(len(self.sim.messages('NetJobPacket')), before, r)
        return r
