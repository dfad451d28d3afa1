"""The manual page and the bash completion against the usage text the program
prints: every listed switch with its exact help text, pages that groff reads
without warnings, and completions of switches, verbs and cached renderer IDs."""

import os
import re
import shutil
import subprocess
import unittest

import kfharness as kh

BUILD = os.path.dirname(os.path.abspath(kh.binary()))
MANPAGE = os.path.join(BUILD, 'KfRcCmd.1')
COMPLETION = os.path.join(BUILD, 'KfRcCmd.bash')

def usage_switches(text):
    """{switch name: help text joined from its wrapped lines} of the usage text."""
    switches, current = {}, None
    for line in text.splitlines():
        m = re.match(r'^  -(\S+)( \*)?\s+(.*)$', line)
        if m:
            current = m.group(1)
            switches[current] = m.group(3).strip()
        elif current and line.startswith(' ' * 26) and line.strip():
            switches[current] += ' ' + line.strip()
        elif not line.strip():
            current = None
    return switches


def man_switches(source):
    """{switch name: description} of the option paragraphs of the manual page source."""
    found = {}
    lines = source.splitlines()
    for i, line in enumerate(lines[:-1]):
        m = re.match(r'^\\fB\\-(\S+?)\\fR', line)
        if m and i > 0 and lines[i - 1] == '.TP':
            text = lines[i + 1].replace('\\-', '-').replace('\\e', '\\').replace('\\&', '')
            found[m.group(1).replace('\\-', '-')] = text
    return found


class UsersDocs(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with kh.ProgramDir(conf=False) as prog:
            r = prog.run(['-help'])
        cls.usage = usage_switches(r.out)
        assert len(cls.usage) > 50, r

    def test_manual_page_lists_every_switch_with_its_help_text(self):
        man = man_switches(kh.read_text(MANPAGE))
        self.assertEqual(sorted(man), sorted(self.usage))
        for name, text in self.usage.items():
            self.assertEqual(man[name], text, name)

    def test_manual_page_renders_without_warnings(self):
        if not shutil.which('groff'):
            self.skipTest('groff missing')
        r = subprocess.run(['groff', '-man', '-Tutf8', '-ww', '-z', MANPAGE],
                           capture_output=True, text=True)
        self.assertEqual((r.returncode, r.stderr), (0, ''))
        page = subprocess.run(['groff', '-man', '-Tutf8', '-P', '-cbou', MANPAGE],
                              capture_output=True, text=True,
                              env=dict(os.environ, LC_ALL='C.UTF-8')).stdout
        for section in ('SYNOPSIS', 'OPTIONS', 'CONFIGURATION FILES', 'EXIT STATUS', 'FILES',
                        'EXAMPLES'):
            self.assertIn('\n' + section + '\n', page)
        self.assertIn('-nj_renderer', page)
        self.assertIn('255', page)

    def test_password_recipe_works_and_says_what_dollar_values_see(self):
        # The documented way to keep a password off the command line, and the
        # documented limit: KfRcCmd.conf is read before Kilnforge.env.
        readme = kh.read_text(os.path.join(kh.source_dir(), 'README.md'))
        for text in (readme, kh.read_text(MANPAGE)):
            self.assertIn('UserPwd = $:KF_PASSWORD', text)
            self.assertRegex(text.replace('\n', ' '), r'read\s+before\s+\\?\S*Kilnforge\.env')
        self.assertNotIn('emptied at the start of every run with `-log`', readme)
        self.assertIn('Every run empties the file when it starts, also a run without `-log`',
                      readme)
        with kh.FarmSim() as sim, kh.ProgramDir(sim) as prog:
            prog.write_conf(password='$:KF_PASSWORD')
            prog.write_env({'KF_PASSWORD': kh.USERS['anna'], 'KF_NOTES': 'from the env file'})
            prog.write_preset('n', kh.preset_text([(4, 'Notes', '$:KF_NOTES')], 4096, 'n',
                                                  quote=False))
            args = ['-nj_renderer', 'Maya', '-nj_preset', 'n', 'a.ma']
            r = prog.run(args)
            self.assertIn('Unable to login (Wrong password).', r.out, r)
            r = prog.run(args, env={'KF_PASSWORD': kh.USERS['anna']}, code=0)
            self.assertEqual(sim.last('NetJobPacket')['notes'], 'from the env file')

    def setUp(self):
        self.prog = kh.ProgramDir(conf=False)
        self.addCleanup(self.prog.cleanup)

    def complete(self, *words, prog=None, env=None):
        """The completions bash offers for the last of `words` after the program."""
        prog = prog or self.prog
        words = [prog.binary] + list(words)
        script = ('source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); '
                  'COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}; _kfrccmd; '
                  'printf "%s\\n" "${COMPREPLY[@]}"')
        r = subprocess.run(['bash', '--norc', '-c', script, 'bash', COMPLETION] + words,
                           capture_output=True, text=True, cwd=prog.path,
                           env=dict(os.environ, **(env or {})))
        self.assertEqual(r.stderr, '')
        return sorted(x for x in r.stdout.splitlines() if x)

    def test_offers_every_switch_of_the_usage_text(self):
        self.assertEqual(self.complete('-'), sorted('-' + s for s in self.usage))
        self.assertEqual(self.complete('-nj_ren'),
                         ['-nj_render32bit', '-nj_render64bit', '-nj_rendercores', '-nj_renderer'])
        self.assertEqual(self.complete('-LISTP'), ['-listparams', '-listpools'])

    def test_control_verbs(self):
        self.assertEqual(self.complete('-control_nj', 're'),
                         ['remove:', 'restart:', 'restartcancelled:', 'restarterroneous:'])
        self.assertEqual(self.complete('-control_chunk', ''), ['cancel:', 'restart:', 'skip:'])
        self.assertEqual(self.complete('-control_pool', 'dis'), ['disconnectall:'])

    def test_renderer_ids_and_groups_of_the_cache_the_program_wrote(self):
        self.assertEqual(self.complete('-nj_renderer', ''), [])
        with kh.FarmSim() as sim, kh.ProgramDir(sim) as prog:
            listed = prog.run(['-listrenderers', '-compact']).out.split()
            self.assertTrue(prog.exists('Renderers/Renderers.kren'))
            # Exactly what the listing offers: the demo farm's hidden group,
            # renderer and versions stay out, a hidden default version is in.
            ids = self.complete('-nj_renderer', '', prog=prog)
            self.assertEqual(ids, sorted(listed))
            self.assertIn('Kiln/2.0', ids)
            self.assertNotIn('Blender/4.2', ids)
            self.assertEqual(self.complete('-listparams', 'Bl', prog=prog),
                             ['Blender/3.6', 'Blender/4.1'])
            self.assertEqual(self.complete('-listrenderers', '', prog=prog),
                             ['3D', 'Lighting', 'Simulation', 'compositing'])

            # A program directory of another user (an installed program): the
            # per-user cache is the one in use, not the folder beside the program.
            if os.geteuid() != 0:
                self.skipTest('needs a folder owned by another user')
            cache_home = os.path.join(prog.root, 'cache')
            os.makedirs(os.path.join(cache_home, 'kilnforge'))
            shutil.copytree(prog.file('Renderers'),
                            os.path.join(cache_home, 'kilnforge', 'Renderers'))
            prog.write_file('Renderers/Renderers.kren', '<DataRoot/>')
            os.chown(prog.path, 65534, 65534)
            try:
                self.assertEqual(self.complete('-nj_renderer', '', prog=prog,
                                               env={'XDG_CACHE_HOME': cache_home}), sorted(listed))
                self.assertEqual(self.complete('-nj_renderer', '', prog=prog,
                                               env={'XDG_CACHE_HOME': prog.root}), [])
            finally:
                os.chown(prog.path, 0, 0)

    def test_presets_and_value_switches(self):
        self.prog.write_file('Presets/NetJobs/Night shift.knjprs', '')
        self.prog.write_file('Presets/NetJobs/Draft.knjprs', '')
        self.assertEqual(self.complete('-nj_preset', 'Dr'), ['Draft'])
        # A switch that takes a number offers nothing, not file names.
        self.assertEqual(self.complete('-nj_priority', ''), [])


if __name__ == '__main__':
    kh.main()
