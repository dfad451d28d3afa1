"""A server that drops the connection or sends what cannot be read, at each step of a run.

Every case must end with the failure report and the exit status of the step that failed, with
nothing on stderr, and at once: once the connection is gone no answer can come, so no wait may
run on to its time-out. The run time-out of each case is the hang guard; it lies well below the
30 s that a request waits for its answer.
"""

import os
import random
import string
import struct
import tempfile

import kfharness as kh
from kfharness import (CACHE, CHALLENGE_FAILED, DOWNLOAD_FAILED, POOL, SUBMIT,
                       USER_DATA_FAILED)
from farmcase import FarmCase


HANG_GUARD = 20   # seconds; less than any time-out the program has

LOGIN_TIMEOUT = 'Unable to login (message timeout).'
SUBMIT_TIMEOUT = 'Submitting net job "%s" failed (message timeout).'


def many_scenes(count=900, seed=10):
    """Scene names that compress badly: the packet needs several frames."""
    rnd = random.Random(seed)
    alphabet = string.ascii_letters + string.digits
    return ['big.ma'] + ['/p/%s.ma' % ''.join(rnd.choice(alphabet) for _ in range(30))
                         for _ in range(count)]


class FaultCase(FarmCase):
    def run_with(self, faults, code, text, args=SUBMIT):
        """One run under the given fault switches; checks the report, the status and stderr."""
        self.sim.set_faults(faults)
        r = self.prog.run(args, timeout=HANG_GUARD)
        return self.assert_failed(r, code, text, self.prog, faults)

    def test_closed_at_each_log_on_step(self):
        # The challenge arrives and the server hangs up without answering it.
        self.run_with({'close_on': 1}, 4, CHALLENGE_FAILED)
        self.assertEqual(self.sim.messages('Login'), [])
        # Right after an accepted challenge (on the client's peer information), on the login,
        # then on the first request after an accepted login.
        self.run_with({'close_on': 2}, 5, LOGIN_TIMEOUT)
        r = self.run_with({'close_on': 7}, 5, LOGIN_TIMEOUT)
        self.assertNotIn('Downloading renderers', r.out)
        self.run_with({'close_on': 'request:22:0'}, 6, DOWNLOAD_FAILED)
        # Half of the renderer definitions arrive, then the connection ends: no cache is kept.
        self.run_with({'close_mid_message': 'request:22:1'}, 6, DOWNLOAD_FAILED)
        self.assertFalse(self.prog.exists(CACHE))
        self.assertFalse(self.prog.exists(POOL))
        # The user data.
        r = self.run_with({'close_on': 'request:9'}, 6, USER_DATA_FAILED)
        self.assertTrue(self.prog.exists(CACHE), r)
        # The same failure ends a listing with the same report, in compact form too.
        r = self.run_with({'close_on': 'request:8'}, 6, USER_DATA_FAILED,
                          ['-listpools', '-compact'])
        self.assertTrue(r.out.startswith('ERROR! Job submission failed'), r)
        # With -retnjid a failed run ends with -1.
        self.sim.set_faults({'close_on': 7})
        r = self.prog.run(['-retnjid'] + SUBMIT, timeout=HANG_GUARD)
        self.assertEqual((r.code, r.err), (255, ''), r)
        self.assertEqual(self.sim.jobs.keys() - {42, 43}, set())

    def test_closed_during_and_after_the_submission(self):
        # The server takes the first frame of a long packet and hangs up.
        scenes = many_scenes()
        self.run_with({'close_mid_receive': 14}, 9, SUBMIT_TIMEOUT % 'Unnamed job - big.ma',
                      ['-nj_renderer', 'Maya'] + scenes)
        self.assertEqual(self.sim.messages('NetJobPacket'), [])
        # The whole packet arrives and the server hangs up before acknowledging it.
        self.run_with({'close_on': 14}, 9, SUBMIT_TIMEOUT % 'Unnamed job - shot.ma')
        self.assertEqual(len(self.sim.messages('NetJobPacket')), 1)
        self.assertEqual(self.sim.jobs.keys() - {42, 43}, set())
        # Without faults the long packet goes through, in several frames.
        self.sim.set_faults({})
        self.run_ok(['-nj_renderer', 'Maya'] + scenes, timeout=60)
        self.assertEqual(self.sim.last('NetJobPacket')['render_set']['values']['scene'], scenes)

    def test_late_answers_in_tiny_frames_still_log_on_and_submit(self):
        # Every server message cut into 7-byte pieces, the login and the user data answered
        # late: nothing is lost and nothing gives up early.
        self.sim.set_faults({'frame_payload': 7, 'delay': {'7': 1.5, 'request:9': 1}})
        r = self.run_ok(SUBMIT, timeout=HANG_GUARD)
        self.assertIn('Job submission succeeded [ID=0100]', r.out)
        self.assertTrue(self.prog.exists(CACHE))
        # Every message the client sent, the packet too, has a serial of its own, in order.
        serials = [e['serial'] for e in self.sim.journal()]
        self.assertEqual(serials, list(range(1, len(serials) + 1)))

    def test_commands_report_and_end_with_0(self):
        # Each control verb reports its own failure; the second is not even sent.
        self.sim.set_faults({'close_on': 15})
        r = self.run_ok(['-control_nj', 'pause:42,43', '-compact'], timeout=HANG_GUARD)
        self.assertEqual(r.out, 'Net job 0042: Pausing... \n  Timed out\n'
                                'Net job 0043: Pausing... \n  Timed out\n')
        self.assertEqual(len(self.sim.messages('ServerControl')), 1)
        self.assertEqual(self.sim.jobs[42]['state'], 'rendering')
        # A query prints no answer; the log says why.
        self.sim.set_faults({'close_on': 'request:24'})
        r = self.prog.run(['-query', 'whoami', '-compact', '-log'], timeout=HANG_GUARD)
        self.assertEqual((r.code, r.out, r.err), (0, 'ERROR! Failed to query the server\n', ''), r)
        self.assertIn('ERROR! Failed to query the server\n', self.prog.log())

    def test_garbage_instead_of_an_answer(self):
        for kind in ('noise', 'oversize', 'undersize',
                     # a frame announcing 20 bytes whose part count is 0
                     'hex:14000000' '09000000' '00000000' '00000000' 'abcd0000'):
            self.run_with({'garbage': {'on': 7, 'kind': kind, 'close': True}}, 5, LOGIN_TIMEOUT)
        # A frame announcing more than the limit, or less than its header, ends the connection
        # even when the server stays connected.
        for kind in ('oversize', 'undersize'):
            self.run_with({'garbage': {'on': 7, 'kind': kind}}, 5, LOGIN_TIMEOUT)
        # A compressed body that claims to unpack to 4 GiB is not unpacked.
        self.run_with({'garbage': {'on': 'request:9', 'kind': 'hugeul'}}, 6, USER_DATA_FAILED)
        # A compressed body that does not inflate reads as zeros: a pool list of none.
        self.run_with({'garbage': {'on': 'request:9', 'kind': 'badzlib'}}, 8,
                      'There are no client pools assigned to your user account.\n'
                      'Adding net jobs is not possible without at least one pool.')

    def test_answers_beyond_the_memory_budget_fail_their_step(self):
        """Answers that keep every protocol limit but would make the client hold far more than
        they weigh on the wire: each is the failure of its step (scaled down here; the full
        sizes are measured by bench/hostile_server.py)."""
        with tempfile.TemporaryDirectory(prefix='kfhostile-') as folder:
            # One renderer record of 50 MiB of text (about 50 KB on the wire): weighed before
            # it is converted, so the download fails.
            body = os.path.join(folder, 'records')
            with open(body, 'wb') as fh:
                fh.write(struct.pack('<iIii', 42, 1, 1, 2) + b'Maya\0<Renderer>')
                fh.write(b'x' * (50 << 20) + b'</Renderer>\0')
            self.run_with({'body': {'on': 'request:22:1', 'file': body}}, 6, DOWNLOAD_FAILED)
            self.assertFalse(self.prog.exists(CACHE))
            # A pool list announcing 0xFFFFFFFF pools followed by 80 MiB of zeros: about
            # 1.6 million empty pools, more than the list may hold.
            self.run_with({'body': {'on': 'request:9', 'hex': '00ffffffff', 'zeros': 80 << 20}},
                          6, USER_DATA_FAILED)
        # The same server, well-behaved again, is served as before.
        self.sim.set_faults({})
        self.run_ok(SUBMIT, timeout=HANG_GUARD)


if __name__ == '__main__':
    kh.main()
