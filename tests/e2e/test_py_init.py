"""The initialisation script Python/KfInit.py and the built-in module Kilnforge, end to end.

The runs use `-env register`, which needs no server: the program starts its interpreter,
runs KfInit.py, prints the banner and ends with 0.
"""

import os
import unittest

import kfharness as kh

BANNER = 'Kilnforge V2 Remote Controller - '

# CR LF line ends and a tail of blank lines, as a script edited on Windows has them.
INIT_SCRIPT = '\r\n'.join([
    'import sys',
    'import Kilnforge',
    'Kilnforge.ConWriter("first: 100% %s %d\\n")',
    'print("printed by Python")',
    'Kilnforge.LogEvent("disk low", Kilnforge.msgWarning)',
    'Kilnforge.ConWriter("|\\n")',
    'if Kilnforge.GetBuildNumber() == 1900:',
    '    Kilnforge.ConWriter("build ok\\n")',
    'Kilnforge.ConWriter("dir=" + Kilnforge.GetDirectory() + "\\n")',
    'Kilnforge.ConWriter("temp=" + Kilnforge.GetTempDir() + "\\n")',
    'Kilnforge.ConWriter("home=$(Kilnforge.ScriptPath) user=$(Kilnforge.ScriptPathUser)\\n")',
    'try:',
    '    Kilnforge.GetTempDir(1)',
    'except IndexError as e:',
    '    Kilnforge.ConWriter("IndexError: %s\\n" % e)',
    'sys.stdout.write("last\\n")',
    '',
    '   ',
    '',
    '',
])


class InitScript(unittest.TestCase):
    def program_dir(self):
        prog = kh.ProgramDir()
        self.addCleanup(prog.cleanup)
        return prog

    def register(self, script=None, args=(), env=None, code=0, prog=None, err=''):
        """Runs `-env register` in a program directory (a new one unless given) with `script`
        as its KfInit.py; checks the exit status and stderr (unless `err` is None)."""
        prog = prog or self.program_dir()
        if script is not None:
            prog.write_init_py(script)
        r = prog.run(['-env', 'register'] + list(args), env=env)
        self.assertEqual(r.code, code, r)
        if err is not None:
            self.assertEqual(r.err, err, r)
        return prog, r

    def test_runs_before_the_banner_with_output_in_written_order(self):
        prog, r = self.register(INIT_SCRIPT)
        home = os.path.join(prog.path, 'Python')
        expected = (
            'first: 100% %s %d\n'
            'printed by Python\n'
            'WARNING! disk low|\n'
            'build ok\n'
            'dir={prog}/\n'
            'temp={prog}/Temp\n'
            'home={home} user={home}/Scripts\n'
            'IndexError: Unexpected SeqBase<T> length.\n'
            'last\n').replace('{prog}', prog.path).replace('{home}', home)
        self.assertTrue(r.out.startswith(expected + BANNER), r)

    def test_script_output_reaches_the_log_and_obeys_quiet(self):
        script = '\n'.join([
            'import Kilnforge',
            'Kilnforge.ConWriter("plain\\n")',
            'Kilnforge.LogEvent("careful\\n", Kilnforge.msgWarning)',
            'Kilnforge.LogEvent("broken\\n", Kilnforge.msgError)',
        ])
        prog, r = self.register(script, ['-log'])
        self.assertTrue(r.out.startswith('plain\nWARNING! careful\nERROR! broken\n' + BANNER), r)
        self.assertTrue(prog.read_file('KfRcCmd.log').startswith(
            'plain\nWARNING! careful\nERROR! broken\n' + BANNER), r)

    def test_a_failing_or_exiting_script_ends_itself_but_not_the_program(self):
        # A failure reports its traceback; sys.exit says nothing.
        failure = 'def fail():\n    raise RuntimeError("kaboom")\nfail()'
        for call in ('sys.exit()', 'sys.exit(5)', 'raise SystemExit("leaving")', failure):
            with self.subTest(call=call):
                _, r = self.register('import sys, Kilnforge\nKilnforge.ConWriter("before\\n")\n'
                                     + call + '\nKilnforge.ConWriter("after\\n")\n', err=None)
                self.assertTrue(r.out.startswith('before\n' + BANNER), r)
                self.assertNotIn('after', r.out)
                if call != failure:
                    self.assertNotIn('Traceback', r.err)
        self.assertIn('Traceback (most recent call last)', r.err)
        self.assertIn('KfInit.py", line 5', r.err)
        self.assertIn('RuntimeError: kaboom', r.err)

    def test_the_runtime_is_finalised_at_exit(self):
        _, r = self.register('import atexit\natexit.register(lambda: print("finalised"))\n')
        self.assertTrue(r.out.endswith('\nfinalised\n'), r)

    def test_exit_handlers_still_see_the_directory_console_rules_and_log(self):
        script = '\n'.join([
            'import atexit, Kilnforge',
            'def late():',
            '    Kilnforge.ConWriter("dir=" + Kilnforge.GetDirectory() + "\\n")',
            '    Kilnforge.LogEvent("late\\n", Kilnforge.msgError)',
            'atexit.register(late)',
        ])
        prog, r = self.register(script, ['-compact', '-log'])
        # -compact hides the plain line but not the error.
        self.assertTrue(r.out.endswith('ERROR! late\n'), r)
        self.assertNotIn('dir=', r.out)
        self.assertTrue(prog.read_file('KfRcCmd.log').endswith(
            '\ndir=%s/\nERROR! late\n' % prog.path), r)

    def test_a_missing_script_is_no_error_and_starts_no_runtime(self):
        # A runtime that could not start (no Python home) would end the run before the banner.
        for env in (None, {'PYTHONHOME': '/nonexistent/no-python'}):
            _, r = self.register(env=env)
            self.assertTrue(r.out.startswith(BANNER), r)

    def test_the_python_environment_of_the_shell_is_ignored(self):
        prog = self.program_dir()
        prog.write_file('elsewhere/sitecustomize.py', 'print("customized")\n')
        env = {'PYTHONHOME': os.path.join(prog.root, 'no-python'),
               'PYTHONPATH': prog.file('elsewhere'), 'PYTHONVERBOSE': '1'}
        _, r = self.register('import Kilnforge\nKilnforge.ConWriter("ran\\n")\n', env=env,
                             prog=prog)
        self.assertTrue(r.out.startswith('ran\n' + BANNER), r)
        self.assertNotIn('customized', r.out)

    def test_a_runtime_that_cannot_start_ends_the_run_with_an_error(self):
        # A damaged Python next to the program: the runtime takes it for its
        # standard library and finds no codecs there.
        prog = self.program_dir()
        prog.write_file('lib/python3.11/os.py', '')
        _, r = self.register('import Kilnforge\nKilnforge.ConWriter("never\\n")\n',
                             ['-compact'], code=255, prog=prog)
        self.assertEqual(r.out, 'ERROR! The Python runtime could not be started\n\n', r)


if __name__ == '__main__':
    kh.main()
