"""A plain submission, checked field by field in what the simulator received."""

import os
import unittest

import kfharness as kh
import submitlib as sl


class PlainSubmission(sl.SubmitCase, unittest.TestCase):
    def test_every_default_reaches_the_server(self):
        p, r = self.submit_ok(['scenes/one.ma', 'scenes/two.ma'])
        expected = {
            'lead': 0, 'id': -1, 'lead_text': '', 'name': 'Unnamed job - one.ma',
            'color': kh.demo_farm()['users']['anna']['job_color'], 'priority': 5, 'urgent': 0,
            'renderer': '3D/Maya', 'use_32bit': 1, 'use_64bit': 1, 'render_cores': 1,
            'send_emails': 1, 'cache_scenes': 0, 'split_mode': 0, 'split_count': 0,
            'slice_mode': 0, 'slice_y': 0, 'slice_x': 0, 'slice_overlap': 0, 'slice_format': '',
            'extended_splitting': [], 'chunk_order': 0, 'first_last_first': 0, 'scheduled': 0,
            'scheduled_time': 0.0, 'scheduled_text': '', 'client_limit': -1,
            'min_client_priority': -1, 'min_client_memory': 0, 'min_dispatch_delay': 0,
            'dependencies': [], 'dependency_type': 0, 'unfinished_is_done': 0,
            'use_lower_threshold': 0, 'lower_minutes': 0, 'lower_seconds': 0, 'lower_action': 0,
            'use_upper_threshold': 0, 'upper_minutes': 0, 'upper_seconds': 0, 'upper_action': 0,
            'error_action': 0, 'error_tolerance': 0, 'include_recreated': 0, 'check_method': 0,
            'check_image_dir': '', 'check_image_name': '', 'check_size_threshold': 0,
            'check_recurse': 0, 'check_exact': 0, 'check_disable_subsequent': 0, 'events': [],
            'email_recipients': '', 'email_users': [], 'project': '', 'notes': '', 'tags': '',
            'custom_fields': '', 'start_paused': 0, 'pools': ['12', '14', '17'], 'clients': [],
            'clients_admit_only': 0,
        }
        for key, value in expected.items():
            self.assertEqual(p[key], value, key)
        rs = p['render_set']
        # The render set names the version; the packet names group and renderer.
        self.assertEqual(rs['renderer'], 'Maya/2024')
        self.assertEqual(rs['values']['scene'], ['scenes/one.ma', 'scenes/two.ma'])
        # The renderer's defaults fill what the command line left open.
        self.assertEqual(rs['values']['renderer_type'], ['arnold'])
        self.assertEqual(rs['values']['verbosity'], ['1'])
        self.assertEqual(rs['values']['aspect'], ['1.0'])
        self.assertNotIn('mel_pre', rs['values'])  # no default of its own
        job_id = self.sim.farm.next_job_id - 1
        self.assertIn('Job submission succeeded [ID=%04i]' % job_id, r.out)

    def test_name_format_of_the_configuration(self):
        self.prog.write_conf(name_format='$(scene) by anna [$(scene)]')
        p, _ = self.submit_ok([r'C:\shots\sh010.ma'])
        self.assertEqual(p['name'], 'sh010.ma by anna [sh010.ma]')

    def test_nodefaults_leaves_the_renderer_defaults_out(self):
        p, _ = self.submit_ok(['-nodefaults', 'a.ma'])
        self.assertEqual(sorted(p['render_set']['values']), ['scene'])

    def test_renderer_versions_and_bitness(self):
        p, _ = self.submit_ok(['-nj_renderer', 'Blender/3.6', '-nj_render32bit', 'a.blend'],
                              renderer=False)
        self.assertEqual((p['renderer'], p['render_set']['renderer']),
                         ('3D/Blender', 'Blender/3.6'))
        self.assertEqual((p['use_32bit'], p['use_64bit']), (1, 0))
        for unknown in ('Blender/9.9', 'blender'):
            self.submit_refused(['-nj_renderer', unknown, 'a.blend'],
                                "The specified renderer doesn't exist", 'nj_renderer',
                                renderer=False)
        self.submit_refused(['a.blend'], 'No renderer specified', 'nj_renderer', renderer=False)

    def test_renderer_from_the_defaults_file(self):
        self.prog.write_defaults({'Defaults': {'nj_renderer': 'Kiln', 'nj_priority': 3}})
        p, _ = self.submit_ok(['a.kiln'], renderer=False)
        self.assertEqual((p['renderer'], p['priority']), ('Lighting/Kiln', 3))

    def test_compact_prints_nothing_and_retnjid_returns_the_id(self):
        r = sl.submit(self.prog, ['-compact', 'a.ma'])
        self.assertEqual((r.code, r.out.strip()), (0, ''), r)
        r = sl.submit(self.prog, ['-retnjid', 'a.ma'])
        job_id = self.sim.farm.next_job_id - 1
        self.assertEqual(r.code, job_id % 256, r)
        self.assertIn('Job submission succeeded [ID=%04i]' % job_id, r.out)

    def test_a_reader_that_went_away_does_not_stop_the_run(self):
        # `KfRcCmd ... | head -1`: the pipe is closed long before the job is sent.
        read_end, write_end = os.pipe()
        os.close(read_end)
        try:
            r = self.prog.run(['-retnjid'] + sl.RENDERER + ['a.ma'], stdout=write_end)
        finally:
            os.close(write_end)
        self.assertEqual(r.err, '')
        self.assertIsNotNone(sl.packet(self.sim))
        self.assertEqual(r.code, (self.sim.farm.next_job_id - 1) % 256)

    def test_user_without_pools_sends_nothing(self):
        with kh.ProgramDir(self.sim, user='carl') as prog:
            r = sl.submit(prog, ['a.ma'])
            self.assertEqual(r.code, 8, r)
            self.assertIn('There are no client pools assigned to your user account.\n'
                          'Adding net jobs is not possible without at least one pool.', r.out)
            self.assertIsNone(sl.packet(self.sim))
            r = sl.submit(prog, ['-retnjid', 'a.ma'])
            self.assertEqual(r.code, 255, r)

    def test_refused_job_reports_its_name_and_the_servers_text(self):
        self.sim.set_faults({'refuse_job': 'Queue is full'})
        r = sl.submit(self.prog, ['-nj_name', 'My job', 'a.ma'])
        self.assertEqual(r.code, 9, r)
        self.assertIn('Job submission failed [code=9]:\n'
                      'Submitting net job "My job" failed (Queue is full).', r.out)
        r = sl.submit(self.prog, ['-retnjid', '-compact', 'a.ma'])
        self.assertEqual(r.code, 255, r)
        self.assertIn('ERROR! Job submission failed [code=9]', r.out)


if __name__ == '__main__':
    kh.main()
