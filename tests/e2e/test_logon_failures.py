"""Log-on failures: each gives its error line, the failure report and its exit status."""

import os
import tempfile
import unittest

import kfharness as kh

report = kh.failure_report

CONNECT_FAILED = ('Unable to connect to the remote server.\n'
                  'Make sure that the server address and port are correct.')
NO_LOGIN = 'ERROR! No login has been specified via commandline or KfRcCmd.conf\n'
NOT_CONFIGURED = 'ERROR! The remote server has not been properly configured in KfRcCmd.conf\n'


class LogonFailures(unittest.TestCase):
    def test_unreachable_port_and_unknown_host(self):
        with kh.ProgramDir() as prog:
            prog.write_conf(port=kh.free_port(), user='anna', password='secret-pw')
            r = prog.run(['shot.blend'])
            self.assertEqual(r.code, 4, r)
            self.assertIn(report(4, CONNECT_FAILED, prog), r.out)
            # The reason is the real one, not a time-out.
            self.assertIn('] Unable to connect (Connection refused)\n', r.out)
            self.assertNotIn('secret-pw', r.out)
            r = prog.run(['-retnjid', 'shot.blend'])
            self.assertEqual(r.code, 255, r)
            # Listing commands fail the same way, in compact form too.
            r = prog.run(['-listpools', '-compact'])
            self.assertEqual(r.code, 4, r)
            self.assertIn(report(4, CONNECT_FAILED, prog), r.out)
            self.assertNotIn('Connecting to remote server', r.out)
            # A label of 64 characters cannot be put into a name query: the lookup
            # fails without sending anything to any name server.
            r = prog.run(['-server', 'h' * 64 + '.invalid:7506', 'shot.blend'])
            self.assertEqual(r.code, 4, r)
            self.assertIn('] Unable to connect (Unknown host)\n', r.out)
            self.assertIn(report(4, CONNECT_FAILED, prog), r.out)

    def test_server_switch_without_port_uses_7506_and_low_ports_are_refused(self):
        with kh.ProgramDir() as prog:
            prog.write_conf(port=kh.free_port(), user='anna')
            r = prog.run(['-server', '127.0.0.1:', 'shot.blend'])
            self.assertIn('[127.0.0.1:7506]', r.out, r)
            r = prog.run(['-server', ' 127.0.0.1 : 1023 ', 'shot.blend'])
            self.assertIn(NOT_CONFIGURED, r.out)
            self.assertIn(report(1, 'Submission failed', prog), r.out)
            self.assertEqual(r.code, 1, r)
            self.assertNotIn('Connecting to remote server', r.out)
            # No port above 65535 either: the same configuration error.
            r = prog.run(['-server', '127.0.0.1:70000', 'shot.blend'])
            self.assertIn(NOT_CONFIGURED, r.out)
            self.assertEqual(r.code, 1, r)
            self.assertNotIn('Connecting to remote server', r.out)

    def test_no_user_name_anywhere(self):
        with kh.FarmSim() as sim, kh.ProgramDir(sim) as prog:
            # A login without a user replaces the configured one.
            r = prog.run(['-login', ':pw', 'shot.blend'])
            self.assertIn(NO_LOGIN, r.out)
            self.assertEqual(r.code, 1, r)
            prog.write_conf(user='', password='')
            r = prog.run(['shot.blend'])
            self.assertIn(NO_LOGIN, r.out)
            self.assertIn(report(1, 'Submission failed', prog), r.out)
            self.assertEqual(r.code, 1, r)
            self.assertEqual(sim.journal(), [])

    def test_refused_login(self):
        with kh.FarmSim(faults={'refuse_login': 'Account locked'}) as sim, \
                kh.ProgramDir(sim) as prog:
            r = prog.run(['shot.blend'])
            self.assertEqual(r.code, 5, r)
            self.assertIn(report(5, 'Unable to login (Account locked).', prog), r.out)
            self.assertEqual(sim.messages('Request'), [])
        with kh.FarmSim() as sim, kh.ProgramDir(sim, password='wrong') as prog:
            r = prog.run(['-retnjid', 'shot.blend'])
            self.assertEqual(r.code, 255, r)
            self.assertIn('Unable to login (Wrong password).', r.out)

    def test_refused_challenge_and_critical_update(self):
        for faults in ({'refuse_challenge': 'go away'}, {'critical_update': True}):
            with kh.FarmSim(faults=faults) as sim, kh.ProgramDir(sim) as prog:
                r = prog.run(['shot.blend'])
                self.assertEqual(r.code, 4, (faults, r))
                self.assertIn(report(4, 'Challenging the target server failed.', prog), r.out)
                self.assertEqual(sim.messages('Login'), [], faults)

    def test_renderer_download_and_user_data_failures(self):
        with kh.FarmSim(faults={'silent': 'request:8'}) as sim, kh.ProgramDir(sim) as prog:
            # A silent server would hold the run for 30 s; the end of the
            # connection ends the wait at once.
            sim.set_faults({'close_after': 6})
            r = prog.run(['shot.blend'])
            self.assertEqual(r.code, 6, r)
            self.assertIn(report(6, 'Unable to retrieve the necessary user data.', prog), r.out)

    def test_a_group_that_cannot_be_read_keeps_what_loaded_before_it(self):
        # The download itself succeeds: the groups before the bad one stay,
        # the list stops there, and the cache holds the pool as loaded.
        with open(os.path.join(kh.farmsim_dir(), 'demo', 'renderers', '3D.appleseed.xml'),
                  encoding='utf-8') as fh:
            appleseed = fh.read()
        with tempfile.TemporaryDirectory() as folder:
            files = {
                '1.xml': ('<RendererGroup><Name>3D</Name><Visible>true</Visible>'
                          '<Renderers></Renderers></RendererGroup>\n'),
                '2.xml': appleseed,
                '3.xml': ('<RendererGroup><Name>..</Name><Visible>true</Visible>'
                          '<Renderers></Renderers></RendererGroup>\n'),
                '4.xml': appleseed.replace('<Group>3D</Group>', '<Group>Late</Group>'),
            }
            for name, text in files.items():
                with open(os.path.join(folder, name), 'w', encoding='utf-8') as fh:
                    fh.write(text)
            with kh.FarmSim(overrides={'renderers': folder}) as sim, kh.ProgramDir(sim) as prog:
                r = prog.run(['-listrenderers', '-compact'])
                self.assertEqual(r.code, 0, r)
                self.assertEqual(r.out, 'appleseed/2.1\n', r)
                cache = prog.read_file('Renderers/Renderers.kren')
                self.assertIn('<Name>appleseed</Name>', cache)
                self.assertNotIn('<Name>..</Name>', cache)

if __name__ == '__main__':
    kh.main()
