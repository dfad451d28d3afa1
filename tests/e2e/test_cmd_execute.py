"""-execute: a command line run on render clients and client pools, only
with the user's right for remote execution."""


import kfharness as kh
from farmcase import SharedFarmCase


class ExecuteTest(SharedFarmCase):
    def sent_since(self, count):
        return self.sim.messages("ServerControl")[count:]

    def test_without_the_right_nothing_is_sent(self):
        before = len(self.sim.messages("ServerControl"))
        with kh.ProgramDir(self.sim, user="ben") as prog:
            r = prog.run(["-compact", "-execute", "node01", "hostname"], code=0)
        self.assertEqual(r.out,
                         "You do not have the proper user right to perform remote execution!\n")
        self.assertEqual(self.sent_since(before), [])

    def test_client_and_pool(self):
        before = len(self.sim.messages("ServerControl"))
        r = self.run_ok(["-compact", "-execute_idleonly", "-execute", "node01;pool:Main",
                         "render", "scene one.ma", "fast"])
        self.assertEqual(r.out, "Executing render on node01... Done\n"
                                "Executing render on Main... Done\n")
        sent = [(m["kind"], m["target"], m["code"], m["number"], m["argument"])
                for m in self.sent_since(before)]
        self.assertEqual(sent, [(1, "node01", 14, 1, 'render\n"scene one.ma" fast'),
                                (2, "12", 110, 1, 'render\n"scene one.ma" fast')])

    def test_refusals_and_missing_parts(self):
        r = self.run_ok(["-compact", "-execute", "node99;pool:Night shift", "uptime"])
        self.assertEqual(r.out, "Executing uptime on node99... \n  Client node99 is not connected\n"
                                "Executing uptime on Night shift... \n  Pool not found\n")
        self.assertEqual(self.sim.last("ServerControl")["number"], 0)
        r = self.run_ok(["-compact", "-execute", "node01"])
        self.assertEqual(r.out, "No command-line to execute supplied!\n")


if __name__ == "__main__":
    kh.main()
