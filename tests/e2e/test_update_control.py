"""Client updates announced by the server at the challenge, end to end.

A fake updater (kh.FAKE_UPDATER) installed as KfUpdate.exe in the program directory records its
arguments, its process ID, and when it ended.
"""

import json
import os
import signal
import unittest

import kfharness as kh

# A submission: it logs on first and is not quiet.
RUN_ARGS = ['scene.ma']


def updater_calls(prog):
    if not prog.exists('updater-calls.jsonl'):
        return []
    return [json.loads(line) for line in prog.read_file('updater-calls.jsonl').splitlines() if line]


def process_exists(pid):
    return os.path.exists('/proc/%d' % pid)


def expected_argv(prog, packages, critical_tail=()):
    return [prog.file('KfUpdate.exe'), '-packages', packages, '-srcdir', prog.file('Updates'),
            '-destdir', prog.path, '-server', '127.0.0.1:%d' % kh.UPDATE_PORT,
            '-type', 'RemoteController', '-iscmd', '-version', '1900'] + list(critical_tail)


class ClientUpdates(unittest.TestCase):
    def test_updater_runs_with_the_exact_command_line_and_the_log_on_goes_on(self):
        info = 'Maya Plugin|3.1|no, Tools|1.0?%d' % kh.UPDATE_PORT
        with kh.FarmSim(overrides={'update_info': info}) as sim, kh.ProgramDir(sim) as prog:
            prog.install_updater()
            r = prog.run(RUN_ARGS)
            calls = updater_calls(prog)
            self.assertEqual(len(calls), 2, r)
            self.assertEqual(calls[0]['argv'], expected_argv(prog, 'Maya Plugin:3.1,Tools:1.0'))
            # Waited for: the updater had ended before the program did. What it printed went
            # nowhere: it ran on /dev/null in a session of its own.
            self.assertEqual(calls[1], {'done': calls[0]['pid']})
            self.assertEqual(calls[0]['streams'], ['/dev/null'] * 3)
            self.assertTrue(calls[0]['session_leader'])
            self.assertIn('The following update(s) will be installed: Maya Plugin, Tools (2)\n\n'
                          'All updates were installed, back to work...\n\n', r.out)
            self.assertNotIn('fake updater at work', r.out)
            self.assertTrue(sim.messages('Login'), r)
            # The updater's new copy of itself replaced it after the update.
            self.assertTrue(prog.read_file('KfUpdate.exe').endswith('# newer\n'))
            self.assertFalse(prog.exists('KfUpdate.tmp'))
            self.assertFalse(prog.exists('Temp/UpdControl.xss'))

    def test_installed_packages_are_not_installed_again(self):
        info = 'Maya Plugin|3.1|no,Core|2.0|YES?%d' % kh.UPDATE_PORT
        with kh.FarmSim(overrides={'update_info': info}) as sim, kh.ProgramDir(sim) as prog:
            prog.install_updater()
            prog.write_file('Updates/UpdateList.xss',
                            'Updates\r\n{\r\n  Pkg0 = "Maya Plugin:3.1"\r\n'
                            '  Pkg1 = "Core:2.0"\r\n}\r\n')
            r = prog.run(RUN_ARGS)
            self.assertEqual(updater_calls(prog), [], r)
            self.assertNotIn('will be installed', r.out)
            self.assertTrue(sim.messages('Login'), r)

    def test_updater_starts_in_the_background_and_the_program_stays_shut_while_it_runs(self):
        info = 'Tools|1.0|no,Core|2.0|YES?%d' % kh.UPDATE_PORT
        with kh.FarmSim(overrides={'update_info': info}) as sim, kh.ProgramDir(sim) as prog:
            prog.install_updater()
            try:
                # The updater left running must not hold the program's pipes.
                r = prog.run(RUN_ARGS, timeout=30)
                self.assertTrue(kh.wait_for(lambda: updater_calls(prog)), r)
                call = updater_calls(prog)[0]
                updater = call['pid']
                control = prog.file(os.path.join('Temp', 'UpdControl.xss'))
                self.assertEqual(call['argv'], expected_argv(
                    prog, 'Tools:1.0,Core:2.0',
                    ['-wait', str(r.pid), '-controlfile', control]))
                self.assertIn('The following update(s) will be installed: Tools, Core (2)\n', r.out)
                self.assertNotIn('All updates were installed', r.out)
                # The connection was refused: no login was sent.
                self.assertEqual(sim.messages('Login'), [], r)
                self.assertNotEqual(r.code, 0, r)

                text = prog.read_file('Temp/UpdControl.xss')
                self.assertRegex(text, r'ProcessID\s*=\s*%d\b' % updater)
                for part in ('UpdateControl', 'Command', prog.binary, 'scene.ma'):
                    self.assertIn(part, text)

                self.assertEqual(call['streams'], ['/dev/null'] * 3)
                self.assertTrue(call['session_leader'])
                self.assertEqual(os.stat(control).st_mode & 0o777, 0o600)

                # A new start while the updater runs ends at once with -1, and says why.
                again = prog.run(RUN_ARGS, code=255)
                self.assertEqual(again.out,
                                 'ERROR! A client update is running (process %d); try again '
                                 'when it has finished.\n' % updater)
                self.assertTrue(prog.exists('Temp/UpdControl.xss'))
                self.assertEqual(len(sim.messages('Challenge')), 1, again)
                self.assertEqual(len(updater_calls(prog)), 1)

                os.kill(updater, signal.SIGTERM)
                self.assertTrue(kh.wait_for(lambda: not process_exists(updater)))
                # With the updater gone the program runs again (and finds the update again).
                after = prog.run(RUN_ARGS)
                self.assertNotEqual(after.code, 255, after)
                self.assertEqual(len(sim.messages('Challenge')), 2, after)
                self.assertNotIn('A client update is running', after.out)
            finally:
                for entry in updater_calls(prog):
                    if 'pid' in entry and process_exists(entry['pid']):
                        os.kill(entry['pid'], signal.SIGTERM)

    def test_a_control_file_naming_another_live_process_is_removed_and_the_run_goes_on(self):
        with kh.FarmSim() as sim, kh.ProgramDir(sim) as prog:
            prog.install_updater()
            # This test's own process, and init (what root's runs found when the ID was 1).
            for pid in (os.getpid(), 1):
                prog.write_update_control(pid, indent='  ')
                r = prog.run(RUN_ARGS)
                self.assertNotEqual(r.code, 255, r)
                self.assertNotIn('A client update is running', r.out)
                self.assertFalse(prog.exists('Temp/UpdControl.xss'), pid)
            self.assertEqual(len(sim.messages('Challenge')), 2)


if __name__ == '__main__':
    kh.main()
