"""The manual page and the bash completion against the usage text the program
prints: every listed switch with its exact help text, pages that groff reads
without warnings, and completions of switches, verbs and cached renderer IDs."""

import os
import re
import shutil
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import kfharness as kh  # noqa: E402

BUILD = os.path.dirname(os.path.abspath(kh.binary()))
MANPAGE = os.path.join(BUILD, 'KfRcCmd.1')
COMPLETION = os.path.join(BUILD, 'KfRcCmd.bash')

# A renderer cache in the exchange layout, with Name elements below the
# versions (an enumeration entry) that are no renderer or version names.
CACHE = """<DataRoot>
\t<ContentType>Pool/1.0</ContentType>
\t<Content>
\t\t<RendererGroup>
\t\t\t<Name>3D</Name>
\t\t\t<Renderers>
\t\t\t\t<Renderer>
\t\t\t\t\t<Name>Blender</Name>
\t\t\t\t\t<Versions>
\t\t\t\t\t\t<Version>
\t\t\t\t\t\t\t<Name>3.6</Name>
\t\t\t\t\t\t\t<Parameters><Parameter><Entries><Entry><Name>Cycles</Name></Entry></Entries></Parameter></Parameters>
\t\t\t\t\t\t</Version>
\t\t\t\t\t\t<Version>
\t\t\t\t\t\t\t<Name>4.1</Name>
\t\t\t\t\t\t</Version>
\t\t\t\t\t</Versions>
\t\t\t\t</Renderer>
\t\t\t</Renderers>
\t\t</RendererGroup>
\t\t<RendererGroup>
\t\t\t<Name>compositing</Name>
\t\t\t<Renderers><Renderer><Name>Nuke</Name><Versions><Version><Name>15.0</Name></Version></Versions></Renderer></Renderers>
\t\t</RendererGroup>
\t</Content>
</DataRoot>
"""


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
        with open(MANPAGE, encoding='utf-8') as f:
            man = man_switches(f.read())
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
                              capture_output=True, text=True, env=dict(os.environ, LC_ALL='C.UTF-8')).stdout
        for section in ('SYNOPSIS', 'OPTIONS', 'CONFIGURATION FILES', 'EXIT STATUS', 'FILES', 'EXAMPLES'):
            self.assertIn('\n' + section + '\n', page)
        self.assertIn('-nj_renderer', page)
        self.assertIn('255', page)


class Completion(unittest.TestCase):
    def setUp(self):
        self.prog = kh.ProgramDir(conf=False)

    def tearDown(self):
        self.prog.cleanup()

    def complete(self, *words):
        """The completions bash offers for the last of `words` after the program."""
        words = [self.prog.binary] + list(words)
        script = ('source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); '
                  'COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}; _kfrccmd; printf "%s\\n" "${COMPREPLY[@]}"')
        r = subprocess.run(['bash', '--norc', '-c', script, 'bash', COMPLETION] + words,
                           capture_output=True, text=True, cwd=self.prog.path)
        self.assertEqual(r.stderr, '')
        return sorted(x for x in r.stdout.splitlines() if x)

    def test_offers_every_switch_of_the_usage_text(self):
        with kh.ProgramDir(conf=False) as prog:
            usage = usage_switches(prog.run(['-help']).out)
        self.assertEqual(self.complete('-'), sorted('-' + s for s in usage))
        self.assertEqual(self.complete('-nj_ren'),
                         ['-nj_render32bit', '-nj_render64bit', '-nj_rendercores', '-nj_renderer'])
        self.assertEqual(self.complete('-LISTP'), ['-listparams', '-listpools'])

    def test_control_verbs(self):
        self.assertEqual(self.complete('-control_nj', 're'),
                         ['remove:', 'restart:', 'restartcancelled:', 'restarterroneous:'])
        self.assertEqual(self.complete('-control_chunk', ''), ['cancel:', 'restart:', 'skip:'])
        self.assertEqual(self.complete('-control_pool', 'dis'), ['disconnectall:'])

    def test_renderer_ids_and_groups_of_the_cache(self):
        self.assertEqual(self.complete('-nj_renderer', ''), [])
        self.prog.write_file('Renderers/Renderers.kren', CACHE)
        self.assertEqual(self.complete('-nj_renderer', ''), ['Blender/3.6', 'Blender/4.1', 'Nuke/15.0'])
        self.assertEqual(self.complete('-listparams', 'Bl'), ['Blender/3.6', 'Blender/4.1'])
        self.assertEqual(self.complete('-listrenderers', ''), ['3D', 'compositing'])

    def test_presets_and_value_switches(self):
        self.prog.write_file('Presets/NetJobs/Night shift.knjprs', '')
        self.prog.write_file('Presets/NetJobs/Draft.knjprs', '')
        self.assertEqual(self.complete('-nj_preset', 'Dr'), ['Draft'])
        # A switch that takes a number offers nothing, not file names.
        self.assertEqual(self.complete('-nj_priority', ''), [])


if __name__ == '__main__':
    kh.main()
