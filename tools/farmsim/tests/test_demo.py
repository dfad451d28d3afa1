import os
import signal
import subprocess
import sys
import unittest

from fsim.client import RawClient

from .support import DEMO

FARMSIM = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), 'farmsim.py')


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
        proc = subprocess.run([sys.executable, FARMSIM, '--farm', '/nonexistent.json',
                               '--port', '0'],
                              capture_output=True, text=True, timeout=30)
        self.assertEqual(proc.returncode, 1)
        self.assertIn('farmsim:', proc.stderr)


if __name__ == '__main__':
    unittest.main()
