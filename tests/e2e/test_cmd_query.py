"""-query: the texts of every -query joined into one data query, the answer
shown on the console or written to the file named by the first free
argument, and a refused query kept off the console."""

import os
import stat

import kfharness as kh
from farmcase import SharedFarmCase


class QueryTest(SharedFarmCase):
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


if __name__ == "__main__":
    kh.main()
