"""Commands that act on the farm, with the lines the user sees and the messages the farm received:
control verbs for net jobs, chunks and client pools; -query, the texts of every -query joined into
one data query, the answer shown on the console or written to the file named by the first free
argument, and a refused query kept off the console; -execute, a command line run on render
clients and client pools, only with the user's right for remote execution."""

import os
import stat

import kfharness as kh
from farmcase import FarmCase, SharedFarmCase


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


class QueryAndExecuteTest(SharedFarmCase):
    def test_two_queries_go_as_one_text(self):
        r = self.prog.run(["-query", "whoami", "-query", "jobstate 43", "-compact"], code=0)
        self.assertEqual(r.out, "anna\npaused\n")
        query = self.sim.requests(24)[-1]
        self.assertEqual(query["text2"], "whoami;jobstate 43")
        self.assertEqual(query["mode"], 1)
        # A query needs no renderer definitions.
        self.assertEqual([q for q in self.sim.requests(22) if q["conn"] == query["conn"]], [])

    def test_answer_into_a_file(self):
        target = self.prog.file("answer.txt")
        self.prog.write_file("answer.txt", "older and longer content\n" * 10)
        r = self.prog.run(["-query", "pools", target], code=0)
        self.assertNotIn("Main", r.out)
        r = self.prog.run(["-query", "whoami", target, "-compact"])
        self.assertEqual(r.out, "anna\n", r)
        self.assertEqual(self.prog.read_file("answer.txt"), "12|Main|started\n14|Lighting|started\n"
                         "17|Prévis Ü|started\n20|Night shift|started")
        fresh = self.prog.file("fresh.txt")
        old = os.umask(0)
        try:
            r = self.prog.run(["-compact", "-query", "echo Grüße", fresh])
        finally:
            os.umask(old)
        self.assertEqual(r.out, "", r)
        self.assertEqual(self.prog.read_file("fresh.txt"), "Grüße")
        self.assertEqual(stat.S_IMODE(os.stat(fresh).st_mode), 0o666)

    def test_refused_query_is_a_level_2_line_with_exit_code_0(self):
        r = self.prog.run(["-query", "nonsense", "-compact", "-log"])
        # A failure is told apart from an empty answer, also under -compact;
        # the exit code stays that of a listing.
        self.assertEqual((r.code, r.out, r.err), (0, "ERROR! Failed to query the server\n", ""), r)
        self.assertIn("ERROR! Failed to query the server\n", self.prog.log())
        # Only what follows the last switch is a file name; one that cannot be
        # written is skipped without a word.
        r = self.prog.run(["-compact", "-query", "whoami", "/nonexistent/dir/answer.txt"])
        self.assertEqual((r.code, r.out, r.err), (0, "", ""))

    def test_without_the_right_nothing_is_sent(self):
        before = len(self.sim.messages("ServerControl"))
        with kh.ProgramDir(self.sim, user="ben") as prog:
            r = prog.run(["-compact", "-execute", "node01", "hostname"], code=0)
        self.assertEqual(r.out,
                         "You do not have the proper user right to perform remote execution!\n")
        self.assertEqual(controls(self.sim)[before:], [])

    def test_client_and_pool(self):
        before = len(self.sim.messages("ServerControl"))
        r = self.run_ok(["-compact", "-execute_idleonly", "-execute", "node01;pool:Main",
                         "render", "scene one.ma", "fast"])
        self.assertEqual(r.out, "Executing render on node01... Done\n"
                                "Executing render on Main... Done\n")
        command = 'render\n"scene one.ma" fast'
        self.assertEqual(controls(self.sim)[before:], [(1, "node01", 14, 1, command),
                                                       (2, "12", 110, 1, command)])

    def test_refusals_and_missing_parts(self):
        r = self.run_ok(["-compact", "-execute", "node99;pool:Night shift", "uptime"])
        self.assertEqual(r.out, "Executing uptime on node99... \n  Client node99 is not connected\n"
                                "Executing uptime on Night shift... \n  Pool not found\n")
        self.assertEqual(self.sim.last("ServerControl")["number"], 0)
        r = self.run_ok(["-compact", "-execute", "node01"])
        self.assertEqual(r.out, "No command-line to execute supplied!\n")


if __name__ == "__main__":
    kh.main()
