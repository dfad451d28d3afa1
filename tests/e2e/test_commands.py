"""Commands against the simulated farm, each with the whole text a user sees and the messages the
farm received: the listings of client pools, renderers (plain, compact and with capabilities) and
the render settings of one renderer; control verbs for net jobs, chunks and client pools; -query,
the texts of every -query joined into one data query, the answer shown on the console or written
to the file named by the first free argument, and a refused query kept off the console; -execute,
a command line run on render clients and client pools, only with the user's right for remote
execution."""

import os
import stat
import tempfile
import unittest

import kfharness as kh
from farmcase import BANNER, FarmCase, SharedFarmCase

RULE = "-" * 75 + "\n\n"
PAD = " " * 16

# The demo farm's available renderers: groups and renderers in name order
# with letter case ignored ("compositing" before "Lighting", "appleseed"
# before "Blender"), the default version first even when it is hidden (Kiln
# 2.0), hidden versions, renderers and groups left out.
DEMO_VERSIONS = [
    ("3D", "appleseed/2.1", True, 0),
    ("3D", "Blender/4.1", True, 3),
    ("3D", "Blender/3.6", False, 1),
    ("3D", "Maya/2024", True, 1),
    ("3D", "Maya/2023", False, 1),
    ("3D", "Maya/2025", False, 1),
    ("compositing", "Fusion/19", True, 4),
    ("compositing", "Fusion/18", False, 4),
    ("compositing", "Nuke/15.1", True, 4),
    ("compositing", "Nuke/14.0", False, 4),
    ("Lighting", "Kiln/2.0", True, 3),
    ("Lighting", "Kiln/1.9", False, 3),
    ("Lighting", "Kiln/2.1", False, 11),
    ("Simulation", "Houdini/20.0", True, 16),
    ("Simulation", "Houdini/19.5", False, 16),
]

RENDERER_FOOTER = ("\n* = Default version\n"
                   "Note: The group name and * are not part of the renderer ID\n")


# appleseed names no version: its default 2.1, whose "passes" is the renderer's; the renderer's
# other parameters come first.
APPLESEED_PARAMS = ("Parameters list for appleseed/2.1:\n" + RULE +
                    "frames          Frame list [Frame range]\n" +
                    PAD + "Frame list for an animation sequence\n"
                    "2|3|0|0.000|0.000||\n"
                    "outdir          Output directoy [Files and paths]\n" +
                    PAD + "The output directory\n"
                    "7|0|0|0.000|0.000||\n"
                    "outfile         Output file [Files and paths]\n" +
                    PAD + "The output filename\n"
                    "6|0|0|0.000|0.000||\n"
                    "passes          Passes (Default = 1) [Render settings]\n" +
                    PAD + "Render passes\n"
                    "1|0|1|1.000|64.000||\n"
                    "\n* denotes mandatory parameters\n")


def renderer_list(versions):
    lines = ["%s: %s%s\n" % (g, rid, " *" if default else "") for g, rid, default, _ in versions]
    return ("Renderer list (Group: Renderer/Version):\n" + RULE + "".join(lines) +
            RENDERER_FOOTER)


def controls(sim):
    return [(m["kind"], m["target"], m["code"], m["number"], m["argument"])
            for m in sim.messages("ServerControl")]


class SharedFarmTest(SharedFarmCase):
    def test_listings(self):
        lighting = [v for v in DEMO_VERSIONS if v[0] == "Lighting"]
        ids = [rid for _, rid, _, _ in DEMO_VERSIONS]
        pools = "Main\nLighting\nPrévis Ü\n\n"
        caps = "".join("%s/%s:%d\n" % (g, rid, caps) for g, rid, _, caps in DEMO_VERSIONS)
        for args, expected in [
                (["-listpools"], BANNER + "Client pool list:\n" + RULE + pools),
                (["-listpools", "-compact"], pools),
                (["-listrenderers"], BANNER + renderer_list(DEMO_VERSIONS)),
                (["-listrenderers", "-compact"], "".join(rid + "\n" for rid in ids)),
                # A group name ignores case.
                (["-listrenderers", "LIGHTING"], BANNER + renderer_list(lighting)),
                (["-listrenderers", "Archive", "-compact"], ""),
                (["-listrencaps"], BANNER + caps),
                (["-listrencaps", "compositing", "-compact"],
                 "compositing/Fusion/19:4\ncompositing/Fusion/18:4\n"
                 "compositing/Nuke/15.1:4\ncompositing/Nuke/14.0:4\n"),
                (["-listparams", "appleseed", "-subm"], BANNER + APPLESEED_PARAMS),
                # Without -subm there is no machine line.
                (["-listparams", "appleseed/2.1"], BANNER + "".join(
                    line + "\n" for line in APPLESEED_PARAMS.split("\n")[:-1] if "|" not in line)),
                (["-listparams", "Fusion/18", "-compact", "-subm"], "frames\noutdir\nquiet\n"),
                # An unknown renderer lists nothing.
                (["-listparams", "Nobody", "-compact"], ""),
                (["-listparams", "blender/4.1", "-compact"], ""),
                (["-listparams", "Blender/9.9", "-compact"], ""),
                # Directly followed by another switch: no group, so every group.
                (["-listrenderers", "-log"], BANNER + renderer_list(DEMO_VERSIONS))]:
            self.assertEqual(self.run_ok(args).out, expected, args)
        # The log of the last run keeps what quiet hid from the console.
        self.assertIn("Logged on to server", self.prog.log())
        # Each compact line is a whole renderer ID, the form -nj_renderer takes and the farm
        # checks a net job's render settings against.
        self.assertLessEqual(set(ids), set(self.sim.farm.renderers.version_ids()))

    def test_boolean_parameter_value_text(self):
        r = self.run_ok(["-listparams", "Blender", "-subm"])
        self.assertIn("denoise         Denoising (Default = on) [Render settings]\n" + PAD +
                      "Run the denoiser after rendering\n"
                      "3|0|0|0.000|0.000|engine;samples|True=on;False=off\n", r.out)
        self.assertTrue(r.out.startswith(BANNER + "Parameters list for Blender/4.1:\n"), r)

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


def group_file(name):
    return ("<RendererGroup>\n\t<Name>%s</Name>\n\t<Description></Description>\n"
            "\t<Visible>true</Visible>\n</RendererGroup>\n" % name)


class GroupOrderTest(unittest.TestCase):
    def test_alpha_sorts_before_Beta(self):
        # A farm of its own: groups "Beta" and "alpha", served in that order,
        # each with a copy of the demo's appleseed under another name.
        with tempfile.TemporaryDirectory(prefix="kfcmd-") as folder:
            farm = kh.renderer_farm(folder, {
                "1.xml": group_file("Beta"),
                "2.xml": group_file("alpha"),
                "3.xml": kh.appleseed("Beta", "zebra"),
                "4.xml": kh.appleseed("alpha", "Yak"),
                "5.xml": kh.appleseed("alpha", "xenon"),
                "6.xml": group_file("\u00e4rger"),
                "7.xml": kh.appleseed("\u00e4rger", "wolf"),
            })
            with kh.FarmSim(farm=farm) as sim, kh.ProgramDir(sim, user="ben") as prog:
                r = prog.run(["-listrenderers"], code=0)
                self.assertEqual(r.out, BANNER + renderer_list([
                    ("alpha", "xenon/2.1", True, 0), ("alpha", "Yak/2.1", True, 0),
                    ("Beta", "zebra/2.1", True, 0), ("\u00e4rger", "wolf/2.1", True, 0)]))
                r = prog.run(["-listrenderers", "ALPHA", "-compact"])
                self.assertEqual(r.out, "xenon/2.1\nYak/2.1\n", r)
                # Letters beyond ASCII fold too, also under the C locale.
                r = prog.run(["-listrenderers", "\u00c4RGER", "-compact"], env={"LC_ALL": "C"})
                self.assertEqual(r.out, "wolf/2.1\n", r)


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


if __name__ == "__main__":
    kh.main()
