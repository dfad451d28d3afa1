"""Control verbs for net jobs, chunks and client pools against the simulated
farm: the lines the user sees and the messages the farm received."""

import time

import kfharness as kh
from farmcase import FarmCase


def controls(sim):
    return [(m["kind"], m["target"], m["code"], m["number"], m["argument"])
            for m in sim.messages("ServerControl")]


class ControlTest(FarmCase):
    # Every test changes the farm: each gets a fresh one.
    def test_pause_two_net_jobs(self):
        # What names no net job and no known verb is passed over.
        r = self.run_ok(["-control_nj", "PAUSE:42,x,43;freeze:42;;remove", "-compact"])
        self.assertEqual(r.out, "Net job 0042: Pausing... Done\nNet job 0043: Pausing... Done\n")
        self.assertEqual(controls(self.sim), [(3, "42", 205, 0, ""), (3, "43", 205, 0, "")])
        self.assertEqual(self.sim.jobs[42]["state"], "paused")
        # Control needs no renderer definitions.
        self.assertEqual(self.sim.requests(22), [])

    def test_pause_prints_the_ids_with_four_digits(self):
        r = self.run_ok(["-control_nj", "pause:12,13", "-compact"])
        # The demo farm holds no such jobs: both lines carry its reason.
        self.assertEqual(r.out, "Net job 0012: Pausing... \n  Net job 12 does not exist\n"
                                "Net job 0013: Pausing... \n  Net job 13 does not exist\n")
        self.sim.farm.jobs[12] = dict(self.sim.farm.jobs[42], id=12, state="waiting")
        self.sim.farm.jobs[13] = dict(self.sim.farm.jobs[42], id=13, state="waiting")
        r = self.run_ok(["-control_nj", "pause:12,13"])
        self.assertTrue(r.out.endswith("Net job 0012: Pausing... Done\n"
                                       "Net job 0013: Pausing... Done\n"), r)

    def test_chunk_ranges(self):
        r = self.run_ok(["-control_chunk", "restart:1-3,7@42", "-compact"])
        self.assertEqual(controls(self.sim), [(5, "42", 401, 0, "1|"), (5, "42", 401, 0, "2|"),
                                              (5, "42", 401, 0, "3|"), (5, "42", 401, 0, "7|")])
        self.assertEqual(r.out, "".join("Net job 0042, Chunk %03d: Restarting... Done\n" % c
                                        for c in (1, 2, 3, 7)))
        # A backward range with blanks is ordered; an entry without its net job is passed over.
        r = self.run_ok(["-control_chunk", "skip: 9-8 @42;skip:3", "-compact"])
        self.assertEqual(controls(self.sim)[4:], [(5, "42", 400, 0, "8|"), (5, "42", 400, 0, "9|")])
        self.assertEqual(r.out, "Net job 0042, Chunk 008: Skipping... Done\n"
                                "Net job 0042, Chunk 009: Skipping... \n"
                                "  Chunk 9 of net job 42 does not exist\n")

    def test_refusal_capitals_and_unknown_verbs(self):
        # 43 is paused: unpausing works, and a second time the farm refuses.
        r = self.run_ok(["-control_nj", "UNPAUSE:43;Freeze:42;unpause:43",
                         "-control_pool", "Stop:Lighting;explode:Main", "-compact"])
        self.assertEqual(r.out, "Net job 0043: Unpausing... Done\n"
                                "Net job 0043: Unpausing... \n  Net job 43 is not paused\n"
                                "Pool 'Lighting': Stopping... Done\n")
        self.assertEqual(controls(self.sim), [(3, "43", 206, 0, ""), (3, "43", 206, 0, ""),
                                              (2, "14", 101, 0, "")])

    def test_order_and_pool_lookup(self):
        # Pools before chunks on the command line; net jobs, chunks, pools on the wire.
        r = self.run_ok(["-control_pool", "start:Prévis Ü,Night shift,main",
                         "-control_chunk", "skip:8@42", "-control_nj", "cancel:43", "-compact"])
        self.assertEqual(r.out, "Net job 0043: Cancelling... Done\n"
                                "Net job 0042, Chunk 008: Skipping... Done\n"
                                "Pool 'Prévis Ü': Starting... Done\n"
                                "Pool 'Night shift': Starting... \n  Pool not found\n"
                                "Pool 'main': Starting... \n  Pool not found\n")
        self.assertEqual(controls(self.sim), [(3, "43", 201, 0, ""), (5, "42", 400, 0, "8|"),
                                              (2, "17", 100, 0, "")])

    def test_a_silent_server_times_out(self):
        self.sim.set_faults({"silent": 15})
        start = time.monotonic()
        r = self.run_ok(["-control_nj", "remove:42", "-compact"])
        self.assertGreaterEqual(time.monotonic() - start, 29.5)
        self.assertEqual(r.out, "Net job 0042: Removing... \n  Timed out\n")


if __name__ == "__main__":
    kh.main()
