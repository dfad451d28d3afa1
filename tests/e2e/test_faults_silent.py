"""A server that stays connected and never answers one step.

Each such step waits 30 s for its answer, so the cases run side by side against their own
simulators: the whole batch takes one time-out. Each run must give up by itself (the server sees
the client hang up), report the failed step with its exit status, and print nothing on stderr.
The run time-out is only the hang guard.
"""

import os
import subprocess
import time
import unittest

import kfharness as kh

report = kh.failure_report

HANG_GUARD = 120
SUBMIT = ['-nj_renderer', 'Maya', 'shot.ma']


class Case:
    def __init__(self, faults, args, code, text=None):
        self.faults, self.args, self.code, self.text = faults, args, code, text
        self.sim = kh.FarmSim(faults=faults).start()
        self.prog = kh.ProgramDir(self.sim)
        env = dict(os.environ, KF_MACHINE_ENV_FILE=self.prog.machine_env)
        self.proc = subprocess.Popen([self.prog.binary] + args, cwd=self.prog.root, env=env,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.result = None

    def finish(self):
        out, err = self.proc.communicate(timeout=HANG_GUARD)
        self.result = kh.Result(self.args, self.proc.returncode, out.decode('utf-8', 'replace'),
                                err.decode('utf-8', 'replace'))
        return self.result

    def hung_up_by_client(self):
        # The simulator's thread notes the end of the connection a moment after the exit.
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            if any(e['text'] == 'peer closed the connection' for e in self.sim.server.events):
                return True
            time.sleep(0.05)
        return False

    def close(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        self.prog.cleanup()
        self.sim.stop()


class SilentServer(unittest.TestCase):
    def test_each_unanswered_step_times_out_with_its_report(self):
        cases = []
        try:
            for faults, args, code, text in [
                    ({'silent': 1}, SUBMIT, 4, 'Challenging the target server failed.'),
                    ({'silent': 7}, SUBMIT, 5, 'Unable to login (message timeout).'),
                    ({'silent': 'request:22:1'}, SUBMIT, 6,
                     'Unable to download the renderers from the server.'),
                    # The second frame of the definitions carries a wrong part index: it is
                    # dropped and the message never completes.
                    ({'wrong_part_index': 'request:22:1'}, SUBMIT, 6,
                     'Unable to download the renderers from the server.'),
                    ({'silent': 'request:9'}, ['-listpools'], 6,
                     'Unable to retrieve the necessary user data.'),
                    ({'silent': 'request:24'}, ['-query', 'whoami', '-log'], 0, None),
                    ({'silent': 15}, ['-control_nj', 'pause:42', '-compact'], 0, None)]:
                cases.append(Case(faults, args, code, text))
            for case in cases:
                r = case.finish()
                self.assertEqual(r.code, case.code, (case.faults, r))
                self.assertEqual(r.err, '', (case.faults, r))
                if case.text:
                    self.assertIn(report(case.code, case.text, case.prog), r.out, (case.faults, r))
                self.assertTrue(case.hung_up_by_client(), (case.faults, r))
            by_faults = {str(c.faults): c for c in cases}
            for key in ("{'silent': 'request:22:1'}", "{'wrong_part_index': 'request:22:1'}"):
                self.assertFalse(by_faults[key].prog.exists('Renderers/Renderers.kren'), key)
            query = by_faults["{'silent': 'request:24'}"]
            self.assertNotIn('Job submission failed', query.result.out)
            self.assertIn('ERROR! Failed to query the server\n', query.result.out)
            self.assertIn('ERROR! Failed to query the server\n', query.prog.log())
            control = by_faults["{'silent': 15}"].result
            self.assertIn('Net job 0042: ', control.out)
            self.assertIn('\n  Timed out\n', control.out, control)
        finally:
            for case in cases:
                case.close()


if __name__ == '__main__':
    kh.main()
