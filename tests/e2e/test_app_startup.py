"""The program's start: the command line and its usage text, the
configuration file written on the first run, -env, -log and -compact."""

import os
import shutil
import subprocess
import tempfile
import unittest

SOURCE = os.environ.get("KF_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))
BINARY = os.environ.get("KFRCCMD", os.path.join(SOURCE, "build", "KfRcCmd"))
DATA = os.path.join(SOURCE, "tests", "data")

BANNER = (b"Kilnforge V2 Remote Controller - command-line job submission and farm control\n"
          b"Version 2.14.1.1900 (Built: 07.11.2016)\n" + b"=" * 75 + b"\n\n")

DEFAULT_CONF = (b"[RemoteController.General]\r\n"
                b"Alias = \r\n"
                b"\r\n"
                b"[RemoteController.NetJobs]\r\n"
                b"NetJobNameFormat = Unnamed job - $(scene)\r\n"
                b"\r\n"
                b"[RemoteController.Server]\r\n"
                b"ServerAddress = \r\n"
                b"ServerPort = 7506\r\n"
                b"UserName = User\r\n"
                b"UserPwd = \r\n"
                b"\r\n")


def golden(name):
    with open(os.path.join(DATA, name), "rb") as f:
        return f.read()


class ProgramDir:
    """A copy of the binary in a fresh folder, run with a private machine
    environment file."""

    def __init__(self):
        self.dir = tempfile.mkdtemp(prefix="kfapp-")
        shutil.copy2(BINARY, self.dir)
        self.machine_env = os.path.join(self.dir, "machine.env")
        self.env = dict(os.environ, KF_MACHINE_ENV_FILE=self.machine_env)

    def path(self, *parts):
        return os.path.join(self.dir, *parts)

    def run(self, *args, **env):
        proc = subprocess.run([self.path("KfRcCmd"), *args], stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, env=dict(self.env, **env), timeout=60,
                              cwd=self.dir)
        return proc.returncode, proc.stdout, proc.stderr

    def cleanup(self):
        shutil.rmtree(self.dir, ignore_errors=True)


class AppTest(unittest.TestCase):
    def setUp(self):
        self.prog = ProgramDir()
        self.addCleanup(self.prog.cleanup)


class UsageTest(AppTest):
    def test_no_arguments_print_usage_with_error_line(self):
        rc, out, err = self.prog.run()
        self.assertEqual(rc, 255)
        self.assertEqual(out, golden("usage-rejected.txt"))
        self.assertEqual(err, b"")
        # Nothing starts before the command line is accepted.
        self.assertFalse(os.path.exists(self.prog.path("KfRcCmd.conf")))
        self.assertFalse(os.path.exists(self.prog.path("KfRcCmd.log")))

    def test_help_prints_usage_without_error_line(self):
        rc, out, _ = self.prog.run("-help")
        self.assertEqual((rc, out), (255, golden("usage.txt")))
        rc, out, _ = self.prog.run("-HELP", "scene.max")
        self.assertEqual((rc, out), (255, golden("usage.txt")))

    def test_unknown_switch_is_reported_after_usage(self):
        rc, out, _ = self.prog.run("-help", "-foo", "-bar", "1")
        self.assertEqual(rc, 255)
        self.assertEqual(out, golden("usage.txt") +
                         b"\nERROR! Command-line error:\nUnknown switch [switch=foo]\n")

    def test_rejected_value_prints_usage_with_error_line(self):
        rc, out, _ = self.prog.run("-nj_priority", "5x", "scene.max")
        self.assertEqual((rc, out), (255, golden("usage-rejected.txt")))

    def test_non_ascii_switch_under_c_locale(self):
        rc, out, err = self.prog.run("-help", "-gr\u00f6\u00dfe", LANG="C", LC_ALL="C")
        self.assertEqual(rc, 255)
        self.assertTrue(out.endswith("[switch=gr\u00f6\u00dfe]\n".encode("utf-8")), out[-80:])
        self.assertEqual(err, b"")


class ConfigurationTest(AppTest):
    def test_missing_configuration_is_written_with_defaults(self):
        rc, out, _ = self.prog.run("scene.max")
        self.assertEqual(rc, 255)
        self.assertEqual(out, BANNER + b"Preparing remote controller...\n"
                         b"ERROR! The core configuration could not be loaded\n"
                         b"ERROR! Preparing the remote controller failed\n\n")
        with open(self.prog.path("KfRcCmd.conf"), "rb") as f:
            self.assertEqual(f.read(), DEFAULT_CONF)
        for folder in ("Temp", "Updates", "Presets/NetJobs"):
            self.assertTrue(os.path.isdir(self.prog.path(folder)), folder)
        with open(self.prog.machine_env) as f:
            self.assertEqual(f.read(), "KF_CMDRC_DIR=%s/\n" % self.prog.dir)

        # The next run finds the file and goes on.
        rc, out, _ = self.prog.run("scene.max")
        self.assertNotEqual(rc, 0)
        self.assertIn(b"Preparing remote controller...\nInitializing remote controller core...\n",
                      out)
        self.assertNotIn(b"could not be loaded", out)

    def test_compact_hides_everything_but_errors(self):
        rc, out, _ = self.prog.run("-compact", "scene.max")
        self.assertEqual(rc, 255)
        self.assertEqual(out, b"ERROR! The core configuration could not be loaded\n"
                         b"ERROR! Preparing the remote controller failed\n")

    def test_log_goes_to_a_new_user_directory(self):
        userdir = self.prog.path("users", "me")
        rc, out, _ = self.prog.run("-log", "-userdir", userdir, "scene.max")
        self.assertEqual(rc, 255)
        with open(os.path.join(userdir, "KfRcCmd.log"), "rb") as f:
            self.assertEqual(f.read(), out)
        self.assertTrue(os.path.isdir(os.path.join(userdir, "Presets", "NetJobs")))
        self.assertFalse(os.path.exists(self.prog.path("Temp")))
        # Without -log the file is emptied and stays empty.
        self.prog.run("-userdir", userdir, "scene.max")
        self.assertEqual(os.path.getsize(os.path.join(userdir, "KfRcCmd.log")), 0)


class EnvironmentSwitchTest(AppTest):
    def test_register_and_unregister(self):
        with open(self.prog.machine_env, "w") as f:
            f.write("PATH_EXTRA=/x\n")
        rc, out, _ = self.prog.run("-env", "register")
        self.assertEqual((rc, out), (0, BANNER + b"\n"))
        with open(self.prog.machine_env) as f:
            self.assertEqual(f.read(), "PATH_EXTRA=/x\nKF_CMDRC_DIR=%s/\n" % self.prog.dir)
        self.assertFalse(os.path.exists(self.prog.path("KfRcCmd.conf")))

        rc, out, _ = self.prog.run("-env", "unregister")
        self.assertEqual((rc, out), (0, BANNER + b"\n"))
        with open(self.prog.machine_env) as f:
            self.assertEqual(f.read(), "PATH_EXTRA=/x\n")

    def test_other_value_asks_for_scenes_and_connects_nowhere(self):
        rc, out, _ = self.prog.run("-env", "Register")
        self.assertEqual(rc, 0)
        self.assertEqual(out, BANNER + b"ERROR! No source/scene files were specified\n\n")
        self.assertFalse(os.path.exists(self.prog.path("KfRcCmd.conf")))


if __name__ == "__main__":
    unittest.main()
