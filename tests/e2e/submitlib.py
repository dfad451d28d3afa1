"""Shared steps of the net job submission tests: run a submission against the farm
simulator and read back the packet it received."""

from farmcase import FarmCase

RENDERER = ['-nj_renderer', 'Maya']
CMDLINE_ERROR = 'ERROR! Command-line error:\n%s [switch=%s]\n'


def submit(prog, args, renderer=True):
    """Runs a submission; the renderer switch is added unless told otherwise."""
    return prog.run((RENDERER if renderer else []) + list(args))


def packet(sim):
    """The last net job packet the simulator decoded, or None."""
    return sim.last('NetJobPacket')


class SubmitCase(FarmCase):
    """One simulator and program directory per test, with submission steps."""

    def submit_ok(self, args, renderer=True):
        r = submit(self.prog, args, renderer)
        self.assertEqual(r.code, 0, r)
        self.assertIn('Job submission succeeded [ID=', r.out, r)
        p = packet(self.sim)
        self.assertIsNotNone(p, r)
        return p, r

    def submit_refused(self, args, message, switch, renderer=True):
        """A command-line error: its report, the failure report with code 7, no packet."""
        before = len(self.sim.messages('NetJobPacket'))
        r = submit(self.prog, args, renderer)
        self.assertEqual(r.code, 7, r)
        self.assertIn(CMDLINE_ERROR % (message, switch), r.out, r)
        self.assertIn('Job submission failed [code=7]:\n'
                      'The passed command-line is invalid or incomplete.', r.out, r)
        self.assertEqual(len(self.sim.messages('NetJobPacket')), before, r)
        return r
