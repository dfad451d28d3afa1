"""The listings against the simulated farm: client pools, renderers (plain,
compact and with capabilities) and the render settings of one renderer, each
compared with the whole text a user sees."""

import tempfile
import unittest

import kfharness as kh
from farmcase import BANNER, SharedFarmCase

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


class ListTest(SharedFarmCase):
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


if __name__ == "__main__":
    kh.main()
