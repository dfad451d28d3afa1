"""A shared machine: the installed layout run by an ordinary user, and links planted where the
program writes.

The installed layout is made by the project's own install rules (`cmake --install`) into a
temporary root-owned prefix and run as `nobody` through setpriv, with a home folder of its own.
The attacks run in a program directory of the running user, where the program keeps everything
beside itself.
"""

import json
import os
import shutil
import signal
import stat
import subprocess
import tempfile
import unittest

import kfharness as kh
from kfharness import SUBMIT

USER = 'nobody'
GROUP = 'nogroup'
SETPRIV = ['setpriv', '--reuid=' + USER, '--regid=' + GROUP, '--clear-groups']
UPDATE_WARNING = ("WARNING! A client update is available (%s); install it with the system's "
                  "package manager.\n")
# Its pool list gives the pool "Lighting" (14).
SITE_PRESET = kh.preset_text([(4, 'PoolList', '14|Lighting')], 64, 'Lighting')


def tree(path):
    """Every name under `path` with its type, owner, mode, size and modification time."""
    found = {}
    for folder, dirs, files in os.walk(path):
        for name in dirs + files:
            full = os.path.join(folder, name)
            st = os.lstat(full)
            found[os.path.relpath(full, path)] = (stat.S_IFMT(st.st_mode), st.st_uid,
                                                  st.st_mode & 0o7777, st.st_size, st.st_mtime_ns)
    return found


def mode(path):
    return os.lstat(path).st_mode & 0o7777


@unittest.skipUnless(shutil.which('setpriv') and os.geteuid() == 0,
                     'needs root and setpriv (util-linux) to run as another user')
class InstalledLayout(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = tempfile.mkdtemp(prefix='kfinst-')
        os.chmod(cls.root, 0o755)
        cls.prefix = os.path.join(cls.root, 'prefix')
        build = os.path.dirname(kh.binary())
        subprocess.run(['cmake', '--install', build, '--prefix', cls.prefix], check=True,
                       stdout=subprocess.DEVNULL)
        cls.program_dir = os.path.join(cls.prefix, 'opt', 'kilnforge')
        cls.binary = os.path.join(cls.program_dir, 'KfRcCmd')
        cls.sim = kh.FarmSim(overrides={'update_info': 'Tools|1.0|no?%d' % kh.UPDATE_PORT}).start()
        # The site's configuration names the farm and no password.
        kh.write_text(os.path.join(cls.program_dir, 'KfRcCmd.conf'), kh.ini_text(
            {'RemoteController.Server': {'ServerAddress': '127.0.0.1',
                                         'ServerPort': cls.sim.port, 'UserName': 'anna'}}), 0o644)
        # An updater in place, to see that nobody starts it.
        cls.record = os.path.join(cls.root, 'updater-calls.jsonl')
        kh.write_text(os.path.join(cls.program_dir, 'KfUpdate.exe'), kh.FAKE_UPDATER, 0o755)
        # A preset the site ships.
        kh.write_text(os.path.join(cls.program_dir, 'Presets', 'NetJobs', 'lighting.knjprs'),
                   SITE_PRESET, 0o644)
        # The one file the test lets the user write outside their home: the updater's record.
        kh.write_text(cls.record, '', 0o666)
        cls.installed = tree(cls.prefix)

    @classmethod
    def tearDownClass(cls):
        cls.sim.stop()
        shutil.rmtree(cls.root, ignore_errors=True)

    def setUp(self):
        self.home = os.path.join(self.root, 'home-%s' % self._testMethodName)
        os.mkdir(self.home, 0o755)
        shutil.chown(self.home, USER, GROUP)

    def tearDown(self):
        # Nothing at all was written under the install.
        self.assertEqual(tree(self.prefix), self.installed)

    def as_user(self, *argv):
        subprocess.run(SETPRIV + list(argv), cwd=self.home, check=True,
                       env={'HOME': self.home, 'PATH': '/usr/bin:/bin'})

    def write_user_file(self, relpath, text, file_mode):
        """A file in the user's home, made by the user."""
        full = os.path.join(self.home, relpath)
        self.as_user('mkdir', '-p', os.path.dirname(full))
        kh.write_text(full, text, file_mode)
        shutil.chown(full, USER, GROUP)
        return full

    def write_user_conf(self, file_mode, password=kh.USERS['anna']):
        return self.write_user_file('.config/kilnforge/KfRcCmd.conf', kh.ini_text(
            {'RemoteController.Server': {'UserPwd': password}}), file_mode)

    def run_user(self, args, code=None):
        """Runs the installed program as the user; checks the exit status if `code` is given."""
        env = {'HOME': self.home, 'PATH': '/usr/bin:/bin', 'LANG': 'C.UTF-8',
                    'KF_MACHINE_ENV_FILE': os.path.join(self.home, 'machine-environment.conf'),
                    'KF_UPDATER_RECORD': self.record}
        proc = subprocess.run(SETPRIV + [self.binary] + list(args), cwd=self.home, env=env,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
        r = kh.Result(list(args), proc.returncode, proc.stdout, proc.stderr)
        if code is not None:
            self.assertEqual(r.code, code, r)
        return r

    def test_the_installed_layout_is_roots_and_read_only_for_everyone_else(self):
        for relpath, (kind, uid, bits, _, _) in self.installed.items():
            self.assertEqual(uid, 0, relpath)
            if kind == stat.S_IFDIR:
                self.assertEqual(bits, 0o755, relpath)
            elif kind == stat.S_IFREG:
                self.assertEqual(bits & 0o022, 0, relpath)
        self.assertEqual(mode(self.binary), 0o755)
        self.assertEqual(mode(os.path.join(self.program_dir, 'KfRcCmd.conf.example')), 0o644)

    def test_a_user_submits_and_lists_with_everything_in_per_user_folders(self):
        self.write_user_conf(0o600)
        r = self.run_user(['-log'] + SUBMIT, code=0)
        self.assertEqual(r.err, '', r)
        self.assertIn('Job submission succeeded', r.out)
        self.assertEqual(self.sim.last('Login')['user'], 'anna')
        # The non-critical update is only reported: no updater ran.
        self.assertIn(UPDATE_WARNING % 'Tools', r.out)
        self.assertEqual(kh.read_text(self.record), '')

        state = os.path.join(self.home, '.local', 'state', 'kilnforge')
        cache = os.path.join(self.home, '.cache', 'kilnforge', 'Renderers')
        self.assertIn('Job submission succeeded', kh.read_text(os.path.join(state, 'KfRcCmd.log')))
        for folder in ('Temp', 'Updates', 'Presets/NetJobs'):
            self.assertTrue(os.path.isdir(os.path.join(state, folder)), folder)
        for name in ('Renderers.kren', 'Pool.xml'):
            self.assertTrue(os.path.isfile(os.path.join(cache, name)), name)
        for folder in (state, cache, os.path.dirname(cache)):
            self.assertEqual(mode(folder), 0o700, folder)
            self.assertEqual(os.stat(folder).st_uid, os.stat(self.home).st_uid, folder)

        # The presets the site ships are found although the user directory is elsewhere.
        self.run_user(['-nj_preset', 'lighting'] + SUBMIT, code=0)
        # The preset's pool first, then every pool of the user's account.
        self.assertEqual(self.sim.last('NetJobPacket')['pools'], ['14', '12', '17'])

        r = self.run_user(['-listrenderers', '-compact'], code=0)
        self.assertIn('Maya', r.out)

        # -userdir still chooses the user directory.
        own = os.path.join(self.home, 'elsewhere')
        self.run_user(['-userdir', own, '-log'] + SUBMIT, code=0)
        self.assertTrue(os.path.isfile(os.path.join(own, 'KfRcCmd.log')))

    def test_a_critical_update_ends_the_run_and_leaves_no_control_file(self):
        self.write_user_conf(0o600)
        self.sim.set_faults({'critical_update': 'Core|2.0|yes?%d' % kh.UPDATE_PORT})
        try:
            r = self.run_user(SUBMIT)
        finally:
            self.sim.set_faults({})
        self.assertEqual(r.code, 4, r)
        self.assertIn(UPDATE_WARNING % 'Core', r.out)
        self.assertIn(kh.CHALLENGE_FAILED, r.out)
        self.assertEqual(kh.read_text(self.record), '')
        found = [name for name in tree(self.home) if name.endswith('UpdControl.xss')]
        self.assertEqual(found, [])

    def test_a_password_others_can_read_is_refused_before_anything_is_sent(self):
        before = len(self.sim.messages('Challenge'))
        conf = self.write_user_conf(0o644)
        r = self.run_user(SUBMIT, code=255)
        self.assertIn('ERROR! The configuration file %s holds a password and can be read by other '
                      'users; make it private with "chmod 600 %s"\n' % (conf, conf), r.out)
        self.assertEqual(len(self.sim.messages('Challenge')), before)

        # A login with a password in the user's defaults, readable by the group.
        os.chmod(conf, 0o600)
        defaults = self.write_user_file('.config/kilnforge/KfRcDefaults.conf',
                                        kh.ini_text({'Defaults': {'login': 'anna:x'}}), 0o640)
        r = self.run_user(SUBMIT, code=255)
        self.assertIn('make it private with "chmod 600 %s"\n' % defaults, r.out)
        self.assertEqual(len(self.sim.messages('Challenge')), before)

        # Made private, both are read and the run goes to the farm.
        os.chmod(defaults, 0o600)
        r = self.run_user(SUBMIT)
        self.assertEqual(len(self.sim.messages('Challenge')), before + 1, r)
        self.assertEqual(self.sim.last('Login')['user'], 'anna')


    def test_a_log_link_in_a_folder_the_user_cannot_write_is_left_alone(self):
        # A file the user may write, reached through a link planted in a folder they cannot write:
        # the log is never opened through it, and the run goes on without one.
        self.write_user_conf(0o600)
        folder = os.path.join(self.root, 'ro-userdir-%s' % self._testMethodName)
        for sub in ('Temp', 'Updates', 'Presets/NetJobs'):
            os.makedirs(os.path.join(folder, sub))
        victim = os.path.join(self.root, 'victim-%s' % self._testMethodName)
        kh.write_text(victim, 'precious\n', 0o666)
        os.symlink(victim, os.path.join(folder, 'KfRcCmd.log'))
        self.run_user(['-userdir', folder, '-log'] + SUBMIT, code=0)
        self.assertEqual(kh.read_text(victim), 'precious\n')
        self.assertTrue(os.path.islink(os.path.join(folder, 'KfRcCmd.log')))

    def test_a_site_configuration_the_user_may_not_read_is_an_error_and_stays(self):
        conf = os.path.join(self.program_dir, 'KfRcCmd.conf')
        self.write_user_conf(0o600)
        os.chmod(conf, 0o640)  # the group kilnforge only; nobody is not in it
        try:
            r = self.run_user(SUBMIT)
        finally:
            os.chmod(conf, 0o644)
        self.assertEqual(r.code, 255, r)
        self.assertIn(kh.CORE_CONF_FAILED, r.out)
        # tearDown sees that it was not replaced.


class PlantedLinks(unittest.TestCase):
    """Another user of a writable program folder plants links where the program writes."""

    def setUp(self):
        update = 'Core|2.0|yes?%d' % kh.UPDATE_PORT
        self.sim = kh.FarmSim(overrides={'update_info': update}).start()
        self.prog = kh.ProgramDir(self.sim)
        self.victim = os.path.join(self.prog.root, 'victim')
        kh.write_text(self.victim, 'precious\n', 0o644)
        self.record = os.path.join(self.prog.root, 'updater-calls.jsonl')

    def tearDown(self):
        self.stop_updaters()
        self.prog.cleanup()
        self.sim.stop()

    def stop_updaters(self):
        for line in kh.read_text(self.record).splitlines() if os.path.exists(self.record) else []:
            try:
                os.kill(json.loads(line)['pid'], signal.SIGTERM)
            except OSError:
                pass

    def plant(self, relpath):
        full = self.prog.file(relpath)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        os.symlink(self.victim, full)
        return full

    def assert_replaced(self, path):
        self.assertTrue(stat.S_ISREG(os.lstat(path).st_mode), path)
        self.assertEqual(kh.read_text(self.victim), 'precious\n')

    def test_links_at_the_log_the_cache_and_the_control_file_are_replaced_not_followed(self):
        log = self.plant('KfRcCmd.log')
        kren = self.plant('Renderers/Renderers.kren')
        pool = self.plant('Renderers/Pool.xml')
        control = self.plant('Temp/UpdControl.xss')
        self.prog.install_updater()
        r = self.prog.run(['-log'] + SUBMIT, env={'KF_UPDATER_RECORD': self.record}, code=4)
        self.assert_replaced(log)
        self.assertIn(kh.CHALLENGE_FAILED, self.prog.log())
        # The critical update left its control file, private to the user.
        self.assert_replaced(control)
        self.assertEqual(mode(control), 0o600)
        self.assertIn('Command', self.prog.read_file('Temp/UpdControl.xss'))

        # With the update gone (its updater stopped), the renderer cache is written.
        kh.wait_for(lambda: os.path.exists(self.record))
        self.stop_updaters()
        self.sim.set_faults({})
        with kh.FarmSim() as plain:
            self.prog.sim = plain
            self.prog.write_conf()
            r = self.prog.run(['-listrenderers', '-compact'], code=0)
            self.assertIn('Maya', r.out, r)
        self.assert_replaced(kren)
        self.assert_replaced(pool)


if __name__ == '__main__':
    kh.main()
