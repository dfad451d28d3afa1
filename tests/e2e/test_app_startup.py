"""The program's start: the command line and its usage text, the
configuration file written on the first run, -env, -log and -compact."""

import os
import shutil
import subprocess
import unittest

import kfharness as kh
from farmcase import BANNER

DATA = os.path.join(kh.source_dir(), "tests", "data")
# INI layout with CR LF line ends and a blank line after each section.
DEFAULT_CONF = kh.ini_text({
    "RemoteController.General": {"Alias": ""},
    "RemoteController.NetJobs": {"NetJobNameFormat": "Unnamed job - $(scene)"},
    "RemoteController.Server": {"ServerAddress": "", "ServerPort": 7506, "UserName": "User",
                                "UserPwd": ""}}).encode()
REGISTERED = (0, BANNER + "\n", "")
PREPARE_FAILED = BANNER + "Preparing remote controller...\n" + kh.CORE_CONF_FAILED + "\n"


def golden(name):
    return kh.read_text(os.path.join(DATA, name))


class Startup(unittest.TestCase):
    def setUp(self):
        self.prog = kh.ProgramDir(conf=False)
        self.addCleanup(self.prog.cleanup)

    def run_prog(self, *args, **env):
        r = self.prog.run(list(args), env=env or None)
        return r.code, r.out, r.err

    def test_help_and_rejected_command_lines_print_usage(self):
        usage, rejected = golden("usage.txt"), golden("usage-rejected.txt")
        for args, expected in [
                ([], rejected),
                (["-help"], usage),
                (["-HELP", "scene.max"], usage),
                # An unknown switch is reported after the usage text.
                (["-help", "-foo", "-bar", "1"],
                 usage + "\nERROR! Command-line error:\nUnknown switch [switch=foo]\n"),
                (["-nj_priority", "5x", "scene.max"], rejected)]:
            self.assertEqual(self.run_prog(*args), (255, expected, ""), args)
        # Nothing starts before the command line is accepted.
        self.assertFalse(self.prog.exists("KfRcCmd.conf"))
        self.assertFalse(self.prog.exists("KfRcCmd.log"))
        # A switch beyond ASCII under the C locale.
        rc, out, err = self.run_prog("-help", "-gr\u00f6\u00dfe", LANG="C", LC_ALL="C")
        self.assertEqual((rc, err), (255, ""))
        self.assertTrue(out.endswith("[switch=gr\u00f6\u00dfe]\n"), out[-80:])

    def test_missing_configuration_is_written_with_defaults(self):
        rc, out, _ = self.run_prog("scene.max")
        self.assertEqual(rc, 255)
        self.assertEqual(out, PREPARE_FAILED)
        self.assertEqual(self.prog.read_file("KfRcCmd.conf", binary=True), DEFAULT_CONF)
        for folder in ("Temp", "Updates", "Presets/NetJobs"):
            self.assertTrue(os.path.isdir(self.prog.file(folder)), folder)
        self.assertEqual(kh.read_text(self.prog.machine_env), "KF_CMDRC_DIR=%s/\n" % self.prog.path)

        # The next run finds the file and goes on.
        rc, out, _ = self.run_prog("scene.max")
        self.assertNotEqual(rc, 0)
        self.assertIn("Preparing remote controller...\nInitializing remote controller core...\n",
                      out)
        self.assertNotIn("could not be loaded", out)

    def test_compact_hides_everything_but_errors_and_listings_all_after_the_banner(self):
        rc, out, _ = self.run_prog("-compact", "scene.max")
        self.assertEqual(rc, 255)
        self.assertEqual(out, kh.CORE_CONF_FAILED)
        for args in (["-listpools"], ["-query", "jobs"], ["-listrenderers", "-log"]):
            if self.prog.exists("KfRcCmd.conf"):
                os.remove(self.prog.file("KfRcCmd.conf"))
            rc, out, _ = self.run_prog(*args)
            self.assertEqual(rc, 255, args)
            self.assertEqual(out, BANNER + kh.CORE_CONF_FAILED, args)
        # The log keeps the whole transcript, quiet or not.
        self.assertEqual(self.prog.log(), PREPARE_FAILED)

    def test_log_goes_to_a_new_user_directory(self):
        userdir = self.prog.file(os.path.join("users", "me"))
        rc, out, _ = self.run_prog("-log", "-userdir", userdir, "scene.max")
        self.assertEqual(rc, 255)
        self.assertEqual(kh.read_text(os.path.join(userdir, "KfRcCmd.log")), out)
        self.assertTrue(os.path.isdir(os.path.join(userdir, "Presets", "NetJobs")))
        self.assertFalse(os.path.exists(self.prog.file("Temp")))
        # Without -log the file is emptied and stays empty.
        self.run_prog("-userdir", userdir, "scene.max")
        self.assertEqual(os.path.getsize(os.path.join(userdir, "KfRcCmd.log")), 0)

    def test_register_and_unregister(self):
        kh.write_text(self.prog.machine_env, "PATH_EXTRA=/x\n")
        self.assertEqual(self.run_prog("-env", "register"), REGISTERED)
        self.assertEqual(kh.read_text(self.prog.machine_env),
                         "PATH_EXTRA=/x\nKF_CMDRC_DIR=%s/\n" % self.prog.path)
        self.assertFalse(os.path.exists(self.prog.file("KfRcCmd.conf")))
        self.assertEqual(self.run_prog("-env", "unregister"), REGISTERED)
        self.assertEqual(kh.read_text(self.prog.machine_env), "PATH_EXTRA=/x\n")

    def test_other_value_asks_for_scenes_and_connects_nowhere(self):
        self.assertEqual(self.run_prog("-env", "Register")[:2],
                         (0, BANNER + "ERROR! No source/scene files were specified\n\n"))
        self.assertFalse(os.path.exists(self.prog.file("KfRcCmd.conf")))

    def test_running_updater_stops_the_start(self):
        # A copy of sleep stands in for this program directory's running updater.
        shutil.copy("/bin/sleep", self.prog.file("KfUpdate.exe"))
        updater = subprocess.Popen([self.prog.file("KfUpdate.exe"), "30"])
        try:
            self.prog.write_update_control(updater.pid)
            self.prog.write_file("KfUpdate.tmp", "new")
            running = ("ERROR! A client update is running (process %d); try again when it has "
                       "finished.\n" % updater.pid)
            self.assertEqual(self.run_prog("-env", "register"), (255, running, ""))
            self.assertEqual(self.run_prog("-help")[0], 255)
            # The waiting updater is left alone while the old one runs.
            self.assertTrue(self.prog.exists("KfUpdate.tmp"))
            self.assertFalse(os.path.exists(self.prog.machine_env))
        finally:
            updater.kill()
            updater.wait()

    def test_a_process_that_is_not_the_updater_is_a_stale_control_file(self):
        # This test process is alive but runs no updater of this program directory.
        self.prog.write_update_control(os.getpid())
        self.assertEqual(self.run_prog("-env", "register"), REGISTERED)
        self.assertFalse(self.prog.exists(os.path.join("Temp", "UpdControl.xss")))

    def test_finished_updater_is_replaced_by_the_new_one(self):
        dead = subprocess.Popen(["true"])
        dead.wait()
        self.prog.write_update_control(dead.pid)
        self.prog.write_file("KfUpdate.exe", "old")
        self.prog.write_file("KfUpdate.tmp", "new")
        self.assertEqual(self.run_prog("-env", "register"), REGISTERED)
        self.assertFalse(self.prog.exists("KfUpdate.tmp"))
        self.assertEqual(self.prog.read_file("KfUpdate.exe"), "new")


if __name__ == "__main__":
    kh.main()
