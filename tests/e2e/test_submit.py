"""Net job submissions, checked field by field in what the simulator received: a plain one,
scene files from free arguments and render settings from switches."""

import os
import resource
import shutil
import tempfile
import unittest

import kfharness as kh
from farmcase import RENDERER, SubmitCase, packet, submit


class Submission(SubmitCase):
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
        r = submit(self.prog, ['-compact', 'a.ma'])
        self.assertEqual((r.code, r.out.strip()), (0, ''), r)
        r = submit(self.prog, ['-retnjid', 'a.ma'])
        job_id = self.sim.farm.next_job_id - 1
        self.assertEqual(r.code, job_id % 256, r)
        self.assertIn('Job submission succeeded [ID=%04i]' % job_id, r.out)

    def test_a_reader_that_went_away_does_not_stop_the_run(self):
        # `KfRcCmd ... | head -1`: the pipe is closed long before the job is sent.
        read_end, write_end = os.pipe()
        os.close(read_end)
        try:
            r = self.prog.run(['-retnjid'] + RENDERER + ['a.ma'], stdout=write_end)
        finally:
            os.close(write_end)
        self.assertEqual(r.err, '')
        self.assertIsNotNone(packet(self.sim))
        self.assertEqual(r.code, (self.sim.farm.next_job_id - 1) % 256)

    def test_user_without_pools_sends_nothing(self):
        with kh.ProgramDir(self.sim, user='carl') as prog:
            r = submit(prog, ['a.ma'], code=8)
            self.assertIn('There are no client pools assigned to your user account.\n'
                          'Adding net jobs is not possible without at least one pool.', r.out)
            self.assertIsNone(packet(self.sim))
            r = submit(prog, ['-retnjid', 'a.ma'], code=255)

    def test_refused_job_reports_its_name_and_the_servers_text(self):
        self.sim.set_faults({'refuse_job': 'Queue is full'})
        r = submit(self.prog, ['-nj_name', 'My job', 'a.ma'], code=9)
        self.assertIn('Job submission failed [code=9]:\n'
                      'Submitting net job "My job" failed (Queue is full).', r.out)
        r = submit(self.prog, ['-retnjid', '-compact', 'a.ma'], code=255)
        self.assertIn('ERROR! Job submission failed [code=9]', r.out)

    def scenes(self, args, **kw):
        p, _ = self.submit_ok(args, **kw)
        return p['render_set']['values']['scene']

    def test_frame_number_patterns_and_refused_ones(self):
        # The expansion rules themselves are the scene pattern's unit tests.
        self.assertEqual(self.scenes(['plain.ma', '@frames/s_##[8-10;2].ma']),
                         ['plain.ma', 'frames/s_08.ma', 'frames/s_10.ma'])
        for pattern in ('@s_#[1-5;0].ma', '@*.ma'):
            with self.subTest(pattern=pattern):
                self.submit_refused([pattern], 'Invalid scene filename pattern specified', '')

    def test_a_submission_larger_than_its_packet_budget_is_refused_before_it_is_built(self):
        too_large = ('The submission is too large: its scene files would take more than 64 MiB '
                     'of the net job packet')
        # One pattern of a million names of 1000 digits, refused at once.
        self.submit_refused(['@/p/' + '#' * 1000 + '[1-1000000]'], too_large, '')
        # The budget is shared by all arguments: each pattern alone would fit.
        self.submit_refused(['@/p/' + '#' * 40 + '[1-1000000;2]'] * 3, too_large, '')

    @unittest.skipIf('ASAN_OPTIONS' in os.environ, 'the sanitizers need their own address space')
    def test_running_out_of_memory_is_one_error_line_and_exit_code_minus_1(self):
        # A million scene names fit the budget but not 400 MiB of address space.
        def limit():
            resource.setrlimit(resource.RLIMIT_AS, (400 << 20, 400 << 20))
        r = self.prog.run(RENDERER + ['@/p/' + '#' * 30 + '[1-1000000]'], preexec_fn=limit)
        self.assertEqual((r.code, r.err), (255, ''), r)
        self.assertIn('\nERROR! Out of memory; the run was stopped.\n', r.out)
        self.assertEqual(self.sim.messages('NetJobPacket'), [])

    def test_wildcards_over_a_folder(self):
        folder = self.prog.file('scenes')
        os.makedirs(os.path.join(folder, 'sub.ma'))
        for name in ('b.ma', 'a.ma', 'c.mb'):
            kh.write_text(os.path.join(folder, name), 'x')
        self.assertEqual(self.scenes(['@%s/*.ma' % folder]),
                         ['%s/a.ma' % folder, '%s/b.ma' % folder])
        self.submit_refused(['@%s/*.exr' % folder], 'No scene files were specified', '')
        # Nothing was written beside the scenes.
        self.assertEqual(sorted(os.listdir(folder)), ['a.ma', 'b.ma', 'c.mb', 'sub.ma'])

    def test_non_ascii_scene_paths_arrive_as_utf8_also_under_the_c_locale(self):
        scene = '/projets/scène_été/plan_ü.ma'
        p, _ = self.submit_ok([scene])
        self.assertEqual(p['render_set']['values']['scene'], [scene])
        self.assertEqual(p['name'], 'Unnamed job - plan_ü.ma')
        self.prog.run(RENDERER + ['/projets/scène.ma'], env={'LANG': 'C', 'LC_ALL': 'C'}, code=0)
        self.assertEqual(packet(self.sim)['render_set']['values']['scene'], ['/projets/scène.ma'])

    def test_switches_become_render_settings(self):
        p, _ = self.submit_ok(['-nj_renderer', 'Blender/4.1', '-samples', '256', '-device_ids',
                               '0, 1;2', '-use_gpu', 'yes', '-Camera', 'cam1,cam2', 'a.blend'],
                              renderer=False)
        # camera is a list parameter; width is the renderer's default.
        expected = {'samples': ['256'], 'device_ids': ['0', '1', '2'], 'use_gpu': ['true'],
                    'camera': ['cam1', 'cam2'], 'width': ['1920']}
        self.assertEqual({k: p['render_set']['values'][k] for k in expected}, expected)
        # A boolean switch followed by a switch is false.
        p, _ = self.submit_ok(['-nj_renderer', 'Blender/4.1', '-use_gpu', '-nj_priority', '3',
                               'a.blend'], renderer=False)
        self.assertEqual(p['render_set']['values']['use_gpu'], ['false'])
        self.assertEqual(p['priority'], 3)

    def test_unknown_render_setting_is_refused(self):
        self.submit_refused(['-no_such_setting', '5', 'a.ma'], 'Unknown switch', 'no_such_setting')
        # A setting of another renderer is unknown to this one.
        self.submit_refused(['-samples', '5', 'a.ma'], 'Unknown switch', 'samples')

    def test_imported_render_set(self):
        self.prog.write_file('Presets/NetJobs/look.kset', kh.render_set_text('Other/1', {
            'scene': ['old.ma'], 'outdir': ['/old'], 'camera': ['persp'], 'verbosity': ['3']}))
        p, _ = self.submit_ok(['-importset', 'look', 'new.ma'])
        rs = p['render_set']
        self.assertEqual(rs['renderer'], 'Maya/2024')
        self.assertEqual(rs['values']['scene'], ['new.ma'])
        self.assertNotIn('outdir', rs['values'])
        self.assertEqual(rs['values']['camera'], ['persp'])
        self.assertEqual(rs['values']['verbosity'], ['3'])  # not overwritten by the default
        self.submit_refused(['-importset', 'missing', 'new.ma'],
                            'Unable to import the specified render set', 'importset')

    def test_render_set_is_looked_for_as_given_then_in_the_user_then_the_program_folder(self):
        def render_set(path, camera):
            kh.write_text(path, kh.render_set_text('Maya/2024', {'camera': [camera]}))
        work = tempfile.mkdtemp(prefix='kfwork-')
        user = tempfile.mkdtemp(prefix='kfuser-')
        self.addCleanup(shutil.rmtree, work, True)
        self.addCleanup(shutil.rmtree, user, True)
        render_set(self.prog.file('shot.kset'), 'program')
        render_set(self.prog.file('Presets/NetJobs/shot.kset'), 'presets')
        render_set(os.path.join(user, 'Presets', 'NetJobs', 'shot.kset'), 'user')
        render_set(os.path.join(work, 'shot.kset'), 'here')

        def camera(args, cwd):
            before = len(self.sim.messages('NetJobPacket'))
            r = self.prog.run(RENDERER + args + ['new.ma'], cwd=cwd, code=0)
            self.assertEqual(len(self.sim.messages('NetJobPacket')), before + 1, r)
            return packet(self.sim)['render_set']['values']['camera']

        self.assertEqual(camera(['-importset', './shot.kset'], work), ['here'])
        self.assertEqual(camera(['-importset', 'shot'], work), ['here'])
        elsewhere = os.path.join(work, 'sub')
        os.mkdir(elsewhere)
        self.assertEqual(camera(['-userdir', user, '-importset', 'shot'], elsewhere), ['user'])
        self.assertEqual(camera(['-importset', 'shot'], elsewhere), ['presets'])
        os.remove(self.prog.file('Presets/NetJobs/shot.kset'))
        self.assertEqual(camera(['-importset', 'shot'], elsewhere), ['program'])


if __name__ == '__main__':
    kh.main()
