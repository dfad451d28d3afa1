"""A server that stays connected and never answers one step.

Each such step waits 30 s for its answer, so the cases run side by side against their own
simulators: the whole batch takes one time-out. Each run must give up by itself (the server sees
the client hang up), report the failed step with its exit status, and print nothing on stderr.
The run time-out is only the hang guard.
"""

import time

import kfharness as kh
from kfharness import SUBMIT
from farmcase import Checks

HANG_GUARD = 120


class Case:
    def __init__(self, faults, args, code, text=None):
        self.faults, self.args, self.code, self.text = faults, args, code, text
        self.sim = kh.FarmSim(faults=faults).start()
        self.prog = kh.ProgramDir(self.sim)
        self.started = time.monotonic()
        self.proc = self.prog.popen(args)
        self.result = self.seconds = None

    def finish(self):
        out, err = self.proc.communicate(timeout=HANG_GUARD)
        self.seconds = time.monotonic() - self.started
        self.result = kh.Result(self.args, self.proc.returncode, out, err)
        return self.result

    def hung_up_by_client(self):
        # The simulator's thread notes the end of the connection a moment after the exit.
        return kh.wait_for(lambda: any(e['text'] == 'peer closed the connection'
                                       for e in self.sim.server.events))

    def close(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        self.prog.cleanup()
        self.sim.stop()


class SilentServer(Checks):
    def test_each_unanswered_step_times_out_with_its_report(self):
        cases = []
        try:
            # The control case comes first: it is finished first, so its run time is its own.
            for faults, args, code, text in [
                    ({'silent': 15}, ['-control_nj', 'remove:42', '-compact'], 0, None),
                    ({'silent': 1}, SUBMIT, 4, kh.CHALLENGE_FAILED),
                    ({'silent': 7}, SUBMIT, 5, 'Unable to login (message timeout).'),
                    ({'silent': 'request:22:1'}, SUBMIT, 6, kh.DOWNLOAD_FAILED),
                    # The second frame of the definitions carries a wrong part index: it is
                    # dropped and the message never completes.
                    ({'wrong_part_index': 'request:22:1'}, SUBMIT, 6, kh.DOWNLOAD_FAILED),
                    ({'silent': 'request:9'}, ['-listpools'], 6, kh.USER_DATA_FAILED),
                    ({'silent': 'request:24'}, ['-query', 'whoami', '-log'], 0, None)]:
                cases.append(Case(faults, args, code, text))
            for case in cases:
                r = case.finish()
                if case.text:
                    self.assert_failed(r, case.code, case.text, case.prog, case.faults)
                else:
                    self.assertEqual((r.code, r.err), (0, ''), (case.faults, r))
                self.assertTrue(case.hung_up_by_client(), (case.faults, r))
            for case in cases[3:5]:  # the renderer downloads
                self.assertFalse(case.prog.exists('Renderers/Renderers.kren'), case.faults)
            control, query = cases[0], cases[6]
            # A control verb waits the whole 30 s for its answer.
            self.assertGreaterEqual(control.seconds, 29.5)
            self.assertEqual(control.result.out, 'Net job 0042: Removing... \n  Timed out\n')
            self.assertNotIn('Job submission failed', query.result.out)
            self.assertIn('ERROR! Failed to query the server\n', query.result.out)
            self.assertIn('ERROR! Failed to query the server\n', query.prog.log())
        finally:
            for case in cases:
                case.close()


if __name__ == '__main__':
    kh.main()
