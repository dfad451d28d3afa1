"""Every -nj_* switch: its effect in the packet the simulator received, or its error."""

import unittest

import kfharness as kh
import submitlib as sl


class Switches(sl.SubmitCase, unittest.TestCase):
    def test_name_cores_order_and_flags(self):
        p, _ = self.submit_ok(['-nj_name', 'Shot 10', '-nj_rendercores', '16', '-nj_dispatchorder',
                               '3', '-nj_firstlastfirst', '-nj_paused', '-nj_noemails',
                               '-nj_cachescenes', '-nj_depunfinishedasdone', 'a.ma'])
        self.assertEqual(p['name'], 'Shot 10')
        self.assertEqual(p['render_cores'], 16)
        self.assertEqual(p['chunk_order'], 3)
        for key, value in (('first_last_first', 1), ('start_paused', 1), ('send_emails', 0),
                           ('cache_scenes', 1), ('unfinished_is_done', 1)):
            self.assertEqual(p[key], value, key)

    def test_invalid_values_are_command_line_errors(self):
        cases = [
            (['-nj_rendercores', '-1'], 'The render core setting is invalid', 'nj_rendercores'),
            (['-nj_rendercores', '17'], 'The render core setting is invalid', 'nj_rendercores'),
            (['-nj_dispatchorder', '4'], 'The dispatch order is invalid', 'nj_dispatchorder'),
            (['-nj_minclientmemory', '6'], 'The client memory limit is invalid', 'nj_minclientmemory'),
            (['-nj_errorhandling', '1,0'], 'The error handling settings are invalid', 'nj_errorhandling'),
            (['-nj_errorhandling', '3,1'], 'The error handling settings are invalid', 'nj_errorhandling'),
            (['-nj_errorhandling', '1'], 'The error handling settings are invalid', 'nj_errorhandling'),
            (['-nj_splitmode', '1'], 'The frame splitting settings are invalid', 'nj_splitmode'),
            (['-nj_slicemode', '1,2'], 'The image slicing settings are invalid', 'nj_slicemode'),
            (['-nj_framechecking', '3'], 'Invalid frame checking mode', 'nj_framechecking'),
            (['-nj_framechecking', '1,frame.exr'],
             'Invalid image name (no frame number placeholder specified)', 'nj_framechecking'),
            (['-nj_framechecking', '1'],
             "No image name specified, and the render set doesn't contain an output name",
             'nj_framechecking'),
            (['-nj_framechecking', '2,img_#.exr'],
             "No image directory specified, and the render set doesn't contain an output directory",
             'nj_framechecking'),
            (['-nj_pools', 'Nowhere'], 'No valid client pools provided', 'nj_pools'),
            (['-nj_priority', '12'], 'Invalid net job priority', 'nj_priority'),  # limit 100
        ]
        for args, message, switch in cases:
            with self.subTest(args=args):
                self.submit_refused(args + ['a.ma'], message, switch)

    def test_pools_match_names_without_case(self):
        p, _ = self.submit_ok(['-nj_pools', 'main, LIGHTING;nowhere', 'a.ma'])
        self.assertEqual(p['pools'], ['12', '14'])
        p, _ = self.submit_ok(['-nj_pools', 'prévis Ü', 'a.ma'])
        self.assertEqual(p['pools'], ['17'])

    def test_splitting_slicing_and_extended_splitting(self):
        p, _ = self.submit_ok(['-nj_splitmode', '2,5', '-nj_slicemode', '1,4,2', '-nj_extsplitting',
                               'camera, layer;camera', 'a.ma'])
        self.assertEqual((p['split_mode'], p['split_count']), (2, 5))
        self.assertEqual((p['slice_mode'], p['slice_x'], p['slice_y'], p['slice_overlap']),
                         (1, 4, 2, 0))
        self.assertEqual(p['slice_format'], '<imgname>_r<row>_c<col>')
        self.assertEqual(p['extended_splitting'], ['camera', 'layer', 'camera'])
        p, _ = self.submit_ok(['-nj_slicemode', '2,64,32,4,tile_<row>_<col>', 'a.ma'])
        self.assertEqual((p['slice_x'], p['slice_y'], p['slice_overlap'], p['slice_format']),
                         (64, 32, 4, 'tile_<row>_<col>'))

    def test_frame_checking(self):
        p, _ = self.submit_ok(['-nj_framechecking', '0', 'a.ma'])
        self.assertEqual(p['check_method'], 0)
        p, _ = self.submit_ok(['-nj_framechecking', '1,img_####.exr,/out,1024,YES,yes,Yes', 'a.ma'])
        self.assertEqual((p['check_method'], p['check_image_name'], p['check_image_dir'],
                          p['check_size_threshold'], p['check_recurse'], p['check_exact'],
                          p['check_disable_subsequent']),
                         (1, 'img_####.exr', '/out', 1024, 1, 1, 0))
        # Image name and folder from the render settings.
        p, _ = self.submit_ok(['-nj_framechecking', '2', '-outfile', 'beauty', '-outdir', '/r',
                               'a.ma'])
        self.assertEqual((p['check_image_name'], p['check_image_dir']), ('beauty*#', '/r'))

    def test_dependencies(self):
        p, _ = self.submit_ok(['-nj_dependency', '42', '-nj_dependency', '43', '-nj_dependency', '42',
                               '-nj_deptype', '2', 'a.ma'])
        self.assertEqual((p['dependencies'], p['dependency_type']), ([42, 43], 2))
        p, _ = self.submit_ok(['-nj_deptype', '7', 'a.ma'])
        self.assertEqual(p['dependency_type'], 0)

    def test_emails_schedule_and_client_limits(self):
        p, _ = self.submit_ok(['-nj_emailrecpt', 'a@x.org;b@y.org', '-nj_emailusers', 'ben; carl',
                               '-nj_startdate', '2030-01-02 03:04', '-nj_clientlimit', '3',
                               '-nj_minclientpriority', '7', '-nj_minclientmemory', '16',
                               '-nj_mindispatchdelay', '30', 'a.ma'])
        self.assertEqual(p['email_recipients'], 'a@x.org;b@y.org')
        self.assertEqual(p['email_users'], ['$ben', '$carl'])
        self.assertEqual((p['scheduled'], p['scheduled_text'], p['scheduled_time']),
                         (1, '2030-01-02 03:04', 0.0))
        self.assertEqual((p['client_limit'], p['min_client_priority'], p['min_client_memory'],
                          p['min_dispatch_delay']), (3, 7, 16, 30))
        # Out-of-range limits are ignored without a message.
        p, _ = self.submit_ok(['-nj_clientlimit', '0', '-nj_minclientpriority', '11', 'a.ma'])
        self.assertEqual((p['client_limit'], p['min_client_priority']), (-1, -1))

    def test_time_thresholds(self):
        p, _ = self.submit_ok(['-nj_lowerth', '2', '-nj_lowerth_sec', '30', '-nj_lowerth_action', '1',
                               '-nj_upperth_sec', '45', '-nj_upperth_action', '2', 'a.ma'])
        self.assertEqual((p['use_lower_threshold'], p['lower_minutes'], p['lower_seconds'],
                          p['lower_action']), (1, 2, 0, 1))
        self.assertEqual((p['use_upper_threshold'], p['upper_minutes'], p['upper_seconds'],
                          p['upper_action']), (1, 0, 45, 2))
        p, _ = self.submit_ok(['-nj_lowerth', '0', '-nj_lowerth_action', '1', 'a.ma'])
        self.assertEqual((p['use_lower_threshold'], p['lower_action']), (0, 0))

    def test_error_handling(self):
        p, _ = self.submit_ok(['-nj_errorhandling', '0,0', 'a.ma'])
        self.assertEqual((p['error_action'], p['error_tolerance']), (0, 0))
        p, _ = self.submit_ok(['-nj_errorhandling', '2,3,yes', 'a.ma'])
        self.assertEqual((p['error_action'], p['error_tolerance'], p['include_recreated']), (2, 3, 1))
        p, _ = self.submit_ok(['-nj_errorhandling', '1,1,YES', 'a.ma'])
        self.assertEqual(p['include_recreated'], 0)

    def test_texts_fields_and_colour(self):
        p, _ = self.submit_ok(['-nj_project', r'Film\tA\nreel 2', '-nj_notes', 'n' * 3000,
                               '-nj_tags', '  hero, fx ', '-nj_setfield', ' Shot = 010 ',
                               '-nj_setfield', 'Approved=true=ignored', '-nj_color', '255,0,0',
                               'a.ma'])
        self.assertEqual(p['project'], 'Film\tA\nreel 2')
        self.assertEqual(p['notes'], 'n' * 2048)
        self.assertEqual(p['tags'], 'hero, fx')
        self.assertEqual(p['custom_fields'], 'Shot|010\nApproved|true')
        self.assertEqual(p['color'], 255)
        p, _ = self.submit_ok(['-nj_color', '0,128,511', 'a.ma'])
        self.assertEqual(p['color'], 128 * 256 + 255 * 65536)

    def test_client_lists(self):
        p, _ = self.submit_ok(['-nj_blockedclients', 'node01; node02', 'a.ma'])
        self.assertEqual((p['clients'], p['clients_admit_only']), (['node01', 'node02'], 0))
        p, _ = self.submit_ok(['-nj_blockedclients', 'node01', '-nj_clients', 'gpu01;gpu02', 'a.ma'])
        self.assertEqual((p['clients'], p['clients_admit_only']), (['gpu01', 'gpu02'], 1))

    def test_switch_values_from_the_defaults_file(self):
        self.prog.write_defaults({'Defaults': {'nj_rendercores': 4, 'nj_notes': 'site default'},
                                  'Lighting': {'nj_priority': 2}})
        p, _ = self.submit_ok(['-defsection', 'Lighting', 'a.ma'])
        self.assertEqual((p['render_cores'], p['notes'], p['priority']), (1, '', 2))
        p, _ = self.submit_ok(['a.ma'])
        self.assertEqual((p['render_cores'], p['notes'], p['priority']), (4, 'site default', 5))


class PriorityLimits(sl.SubmitCase, unittest.TestCase):
    user = 'ben'  # priority limit 8, no right for urgent jobs

    def test_priority_above_the_limit_is_capped(self):
        p, r = self.submit_ok(['-nj_priority', '12', 'a.ma'])
        self.assertIn('WARNING! The specified net job priority is above the limit (8)\n', r.out)
        self.assertEqual(p['priority'], 8)

    def test_priority_below_one_becomes_one(self):
        p, r = self.submit_ok(['-nj_priority', '0', 'a.ma'])
        self.assertIn('WARNING! The specified net job priority is too low\n', r.out)
        self.assertEqual(p['priority'], 1)

    def test_urgency_needs_the_right(self):
        p, r = self.submit_ok(['-nj_urgent', 'a.ma'])
        self.assertIn('WARNING! Urgency flag ignored; you do not have the proper permissions\n', r.out)
        self.assertEqual(p['urgent'], 0)
        self.assertEqual(p['pools'], ['14', '20'])


class UrgentRight(sl.SubmitCase, unittest.TestCase):
    def test_urgent_with_the_right(self):
        p, r = self.submit_ok(['-nj_urgent', 'a.ma'])
        self.assertEqual(p['urgent'], 1)
        self.assertNotIn('Urgency flag ignored', r.out)


if __name__ == '__main__':
    kh.main()
