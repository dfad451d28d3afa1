import os
import signal
import subprocess
import sys
import unittest

from fsim.client import RawClient

from .support import DEMO, demo_farm

REQUIRED = ('Parameters', 'CommandLine')
FARMSIM = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), 'farmsim.py')


def is_true(text):
    return text.strip().lower() in ('true', 'yes', 'on', '1')


class DemoRenderers(unittest.TestCase):
    def setUp(self):
        self.pool = demo_farm().renderers

    def test_every_renderer_and_version_loads_with_its_required_components(self):
        count = 0
        for _, renderer in self.pool.renderers():
            for owner in [renderer] + renderer.find('Versions').find_all('RendererVersion'):
                for name in REQUIRED:
                    self.assertIsNotNone(owner.find(name), (renderer.get('Name'), owner.get('Name'), name))
                self.assertIsNotNone(owner.find('CommandLine').find('Switches'))
                for p in owner.find('Parameters').find_all('Parameter'):
                    self.assertTrue(p.get('ID'))
                count += 1
        self.assertGreater(count, 20)

    def test_the_variety_that_tests_rely_on(self):
        types, flags, inherited, disabled, defaults = set(), set(), 0, 0, set()
        enums = deps = truefalse = 0
        for _, renderer in self.pool.renderers():
            versions = renderer.find('Versions').find_all('RendererVersion')
            defaults.add(sum(is_true(v.get('DefaultVersion')) for v in versions))
            for owner in [renderer] + versions:
                for p in owner.find('Parameters').find_all('Parameter'):
                    if p.find('Type') is not None:
                        types.add(int(p.get('Type')))
                        flags.add(int(p.get('TypeFlags')))
                    inherited += is_true(p.get('Inherited'))
                    disabled += is_true(p.get('Disabled'))
                    enums += bool(p.find('EnumValues') and p.find('EnumValues').children)
                    deps += bool(p.find('Dependencies') and p.find('Dependencies').children)
                    truefalse += bool(p.get('TrueValue'))
        self.assertEqual(types, {0, 1, 2, 3, 4, 5, 6, 7, 8})
        self.assertIn(1, flags)
        self.assertEqual(defaults, {1})
        self.assertTrue(inherited and disabled and enums and deps and truefalse)
        summary = self.pool.summary()
        self.assertIn('Lighting/Kiln/2.0 default hidden', summary)
        names = [g.get('Name') for g in self.pool.groups]
        self.assertNotEqual(sorted(names), sorted(names, key=str.lower))


class CommandLine(unittest.TestCase):
    def test_prints_its_address_serves_and_stops_on_interrupt(self):
        proc = subprocess.Popen([sys.executable, FARMSIM, '--farm', DEMO, '--port', '0'],
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        try:
            line = proc.stdout.readline()
            self.assertTrue(line.startswith('farmsim listening on 127.0.0.1:'), line)
            port = int(line.rsplit(':', 1)[1])
            with RawClient('127.0.0.1', port) as c:
                self.assertEqual(c.logon('carl', 'carl789')['result'], 1)
            proc.send_signal(signal.SIGINT)
            self.assertEqual(proc.wait(10), 0)
        finally:
            if proc.poll() is None:
                proc.kill()
            proc.stdout.close()
            proc.stderr.close()

    def test_a_bad_farm_file_is_reported(self):
        proc = subprocess.run([sys.executable, FARMSIM, '--farm', '/nonexistent.json', '--port', '0'],
                              capture_output=True, text=True, timeout=30)
        self.assertEqual(proc.returncode, 1)
        self.assertIn('farmsim:', proc.stderr)


if __name__ == '__main__':
    unittest.main()
