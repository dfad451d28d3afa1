"""Scene files from free arguments and render settings from switches."""

import os
import resource
import shutil
import tempfile
import unittest

import kfharness as kh
import submitlib as sl


class ScenesAndRenderSettings(sl.SubmitCase, unittest.TestCase):
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
        r = self.prog.run(sl.RENDERER + ['@/p/' + '#' * 30 + '[1-1000000]'], preexec_fn=limit)
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

    def test_non_ascii_scene_paths_arrive_as_utf8(self):
        scene = '/projets/scène_été/plan_ü.ma'
        p, _ = self.submit_ok([scene])
        self.assertEqual(p['render_set']['values']['scene'], [scene])
        self.assertEqual(p['name'], 'Unnamed job - plan_ü.ma')

    def test_non_ascii_under_the_c_locale(self):
        scene = '/projets/scène.ma'
        r = self.prog.run(sl.RENDERER + [scene], env={'LANG': 'C', 'LC_ALL': 'C'}, code=0)
        self.assertEqual(sl.packet(self.sim)['render_set']['values']['scene'], [scene])

    def test_switches_become_render_settings(self):
        p, _ = self.submit_ok(['-nj_renderer', 'Blender/4.1', '-samples', '256', '-device_ids',
                               '0, 1;2', '-use_gpu', 'yes', '-Camera', 'cam1,cam2', 'a.blend'],
                              renderer=False)
        # camera is a list parameter; width is the renderer's default.
        expected = {'samples': ['256'], 'device_ids': ['0', '1', '2'], 'use_gpu': ['true'],
                    'camera': ['cam1', 'cam2'], 'width': ['1920']}
        self.assertEqual({k: p['render_set']['values'][k] for k in expected}, expected)

    def test_boolean_switch_followed_by_a_switch_is_false(self):
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
            r = self.prog.run(sl.RENDERER + args + ['new.ma'], cwd=cwd, code=0)
            self.assertEqual(len(self.sim.messages('NetJobPacket')), before + 1, r)
            return sl.packet(self.sim)['render_set']['values']['camera']

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
