"""Log-on against the farm simulator: progress lines, the order of the messages, the password."""

import os
import socket
import unittest

import kfharness as kh

PROGRESS = [
    'Initialization done, connecting to server...\n',
    'Connecting to remote server...\n',
    'Challenging remote server...\n',
    'Logging in as anna...\n',
    'Downloading renderers...\n',
    'Requesting user data...\n',
]


def in_order(test, text, parts):
    pos = 0
    for part in parts:
        found = text.find(part, pos)
        test.assertGreaterEqual(found, 0, 'missing or out of order: %r\n%s' % (part, text))
        pos = found + len(part)


class LogonSequence(unittest.TestCase):
    def test_progress_lines_and_messages_in_order(self):
        with kh.FarmSim() as sim, kh.ProgramDir(sim, user='anna') as prog:
            r = prog.run(['-log', 'shot.blend'])
            in_order(self, r.out, PROGRESS + [
                'Logged on to server 127.0.0.1:%d\n' % sim.port, 'Logged off from server\n',
                'Cleaning up...\n', 'Shutting down NUC...\n',
                'Destroying remote controller core...\n'])
            self.assertIn('Network: Connection established to 127.0.0.1\n', r.out)

            sent = [(e['msg'], e.get('requested_type'), e.get('parameter'))
                    for e in sim.journal() if e['msg'] != 'Ack']
            self.assertEqual(sent[:7], [
                ('Challenge', None, None), ('OppositeInfo', None, None), ('Login', None, None),
                ('Request', 22, 0), ('Request', 22, 1), ('Request', 8, 0), ('Request', 9, 0)],
                sent)
            login = sim.last('Login')
            self.assertEqual((login['user'], login['password']), ('anna', 'anna123'))
            challenge = sim.last('Challenge')
            self.assertEqual((challenge['identifier'], challenge['version'], challenge['raw']),
                             ('Kilnforge.V2.RemoteController', 45, True))
            info = sim.last('OppositeInfo')
            self.assertEqual((info['kind'], info['build'], info['computer'], info['serial']),
                             (1, 1900, socket.gethostname(), 2))
            self.assertEqual(info['memory'],
                             os.sysconf('SC_PHYS_PAGES') * os.sysconf('SC_PAGE_SIZE'))
            self.assertEqual(sim.requests(22)[1]['mode'], 1)
            self.assertEqual(sim.requests(8)[0]['mode'], 0)

            # The password is on the wire, never on the console nor in the log.
            log = prog.read_file('KfRcCmd.log')
            self.assertIn('Logging in as anna...', log)
            for text in (r.out, r.err, log):
                self.assertNotIn('anna123', text)

    def test_login_from_the_command_line_replaces_the_configured_one(self):
        with kh.FarmSim() as sim, kh.ProgramDir(sim, user='ben') as prog:
            r = prog.run(['-login', 'carl:carl789', '-server', '127.0.0.1:%d' % sim.port,
                          'shot.blend'])
            self.assertIn('Logging in as carl...\n', r.out, r)
            self.assertIn('Logged on to server 127.0.0.1:%d\n' % sim.port, r.out, r)
            self.assertEqual(sim.last('Login')['user'], 'carl')
            self.assertNotIn('carl789', r.out)

    def test_query_and_control_log_on_without_renderers(self):
        with kh.FarmSim() as sim, kh.ProgramDir(sim) as prog:
            prog.run(['-query', 'farm', '-log'])
            self.assertEqual(sim.requests(22), [])
            self.assertEqual([e['requested_type'] for e in sim.messages('Request')][:2], [8, 9])
            self.assertIn('Requesting user data...', prog.read_file('KfRcCmd.log'))


if __name__ == '__main__':
    kh.main()
