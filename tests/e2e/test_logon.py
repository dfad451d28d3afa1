"""Log-on against the farm simulator: progress lines, the order of the messages, the password;
and its failures, each with its error line, the failure report and its exit status."""

import os
import socket
import tempfile

import kfharness as kh
from kfharness import CHALLENGE_FAILED, NOT_CONFIGURED
from farmcase import Checks

CONNECT_FAILED = ('Unable to connect to the remote server.\n'
                  'Make sure that the server address and port are correct.')
NO_LOGIN = 'ERROR! No login has been specified via commandline or KfRcCmd.conf\n'


def in_order(test, text, parts):
    pos = 0
    for part in parts:
        found = text.find(part, pos)
        test.assertGreaterEqual(found, 0, 'missing or out of order: %r\n%s' % (part, text))
        pos = found + len(part)


class Logon(Checks):
    def test_progress_lines_and_messages_in_order(self):
        with kh.FarmSim() as sim, kh.ProgramDir(sim, user='anna') as prog:
            r = prog.run(['-log', 'shot.blend'])
            in_order(self, r.out, [
                'Initialization done, connecting to server...\n',
                'Connecting to remote server...\n', 'Challenging remote server...\n',
                'Logging in as anna...\n', 'Downloading renderers...\n',
                'Requesting user data...\n',
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

    def test_unreachable_port_and_unknown_host(self):
        with kh.ProgramDir() as prog:
            prog.write_conf(port=kh.free_port(), user='anna', password='secret-pw')
            r = self.assert_failed(prog.run(['shot.blend']), 4, CONNECT_FAILED, prog)
            # The reason is the real one, not a time-out.
            self.assertIn('] Unable to connect (Connection refused)\n', r.out)
            self.assertNotIn('secret-pw', r.out)
            r = prog.run(['-retnjid', 'shot.blend'], code=255)
            # Listing commands fail the same way, in compact form too.
            r = self.assert_failed(prog.run(['-listpools', '-compact']), 4, CONNECT_FAILED, prog)
            self.assertNotIn('Connecting to remote server', r.out)
            # A label of 64 characters cannot be put into a name query: the lookup
            # fails without sending anything to any name server.
            r = prog.run(['-server', 'h' * 64 + '.invalid:7506', 'shot.blend'])
            self.assert_failed(r, 4, CONNECT_FAILED, prog)
            self.assertIn('] Unable to connect (Unknown host)\n', r.out)

    def test_server_switch_without_port_uses_7506_and_low_ports_are_refused(self):
        with kh.ProgramDir() as prog:
            prog.write_conf(port=kh.free_port(), user='anna')
            r = prog.run(['-server', '127.0.0.1:', 'shot.blend'])
            self.assertIn('[127.0.0.1:7506]', r.out, r)
            # No port below 1024 nor above 65535: a configuration error.
            for server in (' 127.0.0.1 : 1023 ', '127.0.0.1:70000'):
                r = prog.run(['-server', server, 'shot.blend'])
                self.assert_failed(r, 1, 'Submission failed', prog)
                self.assertIn(NOT_CONFIGURED, r.out)
                self.assertNotIn('Connecting to remote server', r.out)

    def test_no_user_name_anywhere(self):
        with kh.FarmSim() as sim, kh.ProgramDir(sim) as prog:
            # A login without a user replaces the configured one.
            r = prog.run(['-login', ':pw', 'shot.blend'])
            self.assertIn(NO_LOGIN, r.out)
            self.assertEqual(r.code, 1, r)
            prog.write_conf(user='', password='')
            r = self.assert_failed(prog.run(['shot.blend']), 1, 'Submission failed', prog)
            self.assertIn(NO_LOGIN, r.out)
            self.assertEqual(sim.journal(), [])

    def test_refusals_at_each_log_on_step(self):
        # The server closes the connection instead of answering the user data: a silent server
        # would hold the run for 30 s, the end of the connection ends the wait at once.
        for faults, code, text, unsent in [
                ({'refuse_challenge': 'go away'}, 4, CHALLENGE_FAILED, 'Login'),
                ({'critical_update': True}, 4, CHALLENGE_FAILED, 'Login'),
                ({'refuse_login': 'Account locked'}, 5, 'Unable to login (Account locked).',
                 'Request'),
                ({'close_after': 6}, 6, kh.USER_DATA_FAILED, None)]:
            with kh.FarmSim(faults=faults) as sim, kh.ProgramDir(sim) as prog:
                self.assert_failed(prog.run(['shot.blend']), code, text, prog)
                if unsent:
                    self.assertEqual(sim.messages(unsent), [], faults)
        with kh.FarmSim() as sim, kh.ProgramDir(sim, password='wrong') as prog:
            r = prog.run(['-retnjid', 'shot.blend'], code=255)
            self.assertIn('Unable to login (Wrong password).', r.out)

    def test_a_group_that_cannot_be_read_keeps_what_loaded_before_it(self):
        # The download itself succeeds: the groups before the bad one stay,
        # the list stops there, and the cache holds the pool as loaded.
        group = ('<RendererGroup><Name>%s</Name><Visible>true</Visible>'
                 '<Renderers></Renderers></RendererGroup>\n')
        with tempfile.TemporaryDirectory() as folder:
            farm = kh.renderer_farm(folder, {'1.xml': group % '3D', '2.xml': kh.appleseed(),
                                             '3.xml': group % '..',
                                             '4.xml': kh.appleseed('Late')})
            with kh.FarmSim(farm=farm) as sim, kh.ProgramDir(sim) as prog:
                r = prog.run(['-listrenderers', '-compact'], code=0)
                self.assertEqual(r.out, 'appleseed/2.1\n', r)
                cache = prog.read_file('Renderers/Renderers.kren')
                self.assertIn('<Name>appleseed</Name>', cache)
                self.assertNotIn('<Name>..</Name>', cache)


if __name__ == '__main__':
    kh.main()
