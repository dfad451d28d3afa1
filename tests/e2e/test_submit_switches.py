"""Every -nj_* switch: its effect in the packet the simulator received, or its error; and net job
presets named with -nj_preset, loaded before the command line."""


import kfharness as kh
from farmcase import SubmitCase, packet, submit


def preset(name, groups, values, events=None):
    return kh.preset_text(values, groups, name, events)


class Switches(SubmitCase):
    def test_invalid_values_are_command_line_errors(self):
        # Every message is the command-line unit test's; here the report, the exit status
        # and the packet that is never sent, also for messages that read the render set.
        cases = [
            (['-nj_rendercores', '17'], 'The render core setting is invalid', 'nj_rendercores'),
            (['-nj_framechecking', '1'],
             "No image name specified, and the render set doesn't contain an output name",
             'nj_framechecking'),
            (['-nj_framechecking', '2,img_#.exr'],
             "No image directory specified, and the render set doesn't contain an output directory",
             'nj_framechecking'),
        ]
        for args, message, switch in cases:
            with self.subTest(args=args):
                self.submit_refused(args + ['a.ma'], message, switch)

    def test_each_switch_reaches_its_packet_fields(self):
        cases = [
            (['-nj_name', 'Shot 10', '-nj_rendercores', '16', '-nj_dispatchorder', '3',
              '-nj_firstlastfirst', '-nj_paused', '-nj_noemails', '-nj_cachescenes',
              '-nj_depunfinishedasdone'],
             {'name': 'Shot 10', 'render_cores': 16, 'chunk_order': 3, 'first_last_first': 1,
              'start_paused': 1, 'send_emails': 0, 'cache_scenes': 1, 'unfinished_is_done': 1}),
            # Pools match names without case.
            (['-nj_pools', 'main, LIGHTING;nowhere'], {'pools': ['12', '14']}),
            (['-nj_pools', 'prévis Ü'], {'pools': ['17']}),
            (['-nj_splitmode', '2,5', '-nj_slicemode', '1,4,2', '-nj_extsplitting',
              'camera, layer;camera'],
             {'split_mode': 2, 'split_count': 5, 'slice_mode': 1, 'slice_x': 4, 'slice_y': 2,
              'slice_overlap': 0, 'slice_format': '<imgname>_r<row>_c<col>',
              'extended_splitting': ['camera', 'layer', 'camera']}),
            (['-nj_slicemode', '2,64,32,4,tile_<row>_<col>'],
             {'slice_x': 64, 'slice_y': 32, 'slice_overlap': 4,
              'slice_format': 'tile_<row>_<col>'}),
            (['-nj_framechecking', '0'], {'check_method': 0}),
            (['-nj_framechecking', '1,img_####.exr,/out,1024,YES,yes,Yes'],
             {'check_method': 1, 'check_image_name': 'img_####.exr', 'check_image_dir': '/out',
              'check_size_threshold': 1024, 'check_recurse': 1, 'check_exact': 1,
              'check_disable_subsequent': 0}),
            # Image name and folder from the render settings.
            (['-nj_framechecking', '2', '-outfile', 'beauty', '-outdir', '/r'],
             {'check_image_name': 'beauty*#', 'check_image_dir': '/r'}),
            (['-nj_dependency', '42', '-nj_dependency', '43', '-nj_dependency', '42',
              '-nj_deptype', '2'], {'dependencies': [42, 43], 'dependency_type': 2}),
            (['-nj_deptype', '7'], {'dependency_type': 0}),
            (['-nj_emailrecpt', 'a@x.org;b@y.org', '-nj_emailusers', 'ben; carl',
              '-nj_startdate', '2030-01-02 03:04', '-nj_clientlimit', '3',
              '-nj_minclientpriority', '7', '-nj_minclientmemory', '16',
              '-nj_mindispatchdelay', '30'],
             {'email_recipients': 'a@x.org;b@y.org', 'email_users': ['$ben', '$carl'],
              'scheduled': 1, 'scheduled_text': '2030-01-02 03:04', 'scheduled_time': 0.0,
              'client_limit': 3, 'min_client_priority': 7, 'min_client_memory': 16,
              'min_dispatch_delay': 30}),
            # Out-of-range limits are ignored without a message.
            (['-nj_clientlimit', '0', '-nj_minclientpriority', '11'],
             {'client_limit': -1, 'min_client_priority': -1}),
            (['-nj_lowerth', '2', '-nj_lowerth_sec', '30', '-nj_lowerth_action', '1',
              '-nj_upperth_sec', '45', '-nj_upperth_action', '2'],
             {'use_lower_threshold': 1, 'lower_minutes': 2, 'lower_seconds': 0, 'lower_action': 1,
              'use_upper_threshold': 1, 'upper_minutes': 0, 'upper_seconds': 45,
              'upper_action': 2}),
            (['-nj_lowerth', '0', '-nj_lowerth_action', '1'],
             {'use_lower_threshold': 0, 'lower_action': 0}),
            (['-nj_errorhandling', '0,0'], {'error_action': 0, 'error_tolerance': 0}),
            (['-nj_errorhandling', '2,3,yes'],
             {'error_action': 2, 'error_tolerance': 3, 'include_recreated': 1}),
            (['-nj_errorhandling', '1,1,YES'], {'include_recreated': 0}),
            (['-nj_project', r'Film\tA\nreel 2', '-nj_notes', 'n' * 3000, '-nj_tags', '  hero, fx ',
              '-nj_setfield', ' Shot = 010 ', '-nj_setfield', 'Approved=true=ignored',
              '-nj_color', '255,0,0'],
             {'project': 'Film\tA\nreel 2', 'notes': 'n' * 2048, 'tags': 'hero, fx',
              'custom_fields': 'Shot|010\nApproved|true', 'color': 255}),
            (['-nj_color', '0,128,511'], {'color': 128 * 256 + 255 * 65536}),
            (['-nj_color', '255,128,-1', '-nj_setfield', 'Bare', '-nj_project', r'C\\D',
              '-nj_clients', 'n1; ;n2', '-nj_emailusers', 'anna;bob;'],
             {'color': 0xFF80FF, 'custom_fields': 'Bare|', 'project': r'C\\D',
              'clients': ['n1', 'n2'], 'email_users': ['$anna', '$bob']}),
            (['-nj_urgent'], {'urgent': 1}),
            (['-nj_blockedclients', 'node01; node02'],
             {'clients': ['node01', 'node02'], 'clients_admit_only': 0}),
            (['-nj_blockedclients', 'node01', '-nj_clients', 'gpu01;gpu02'],
             {'clients': ['gpu01', 'gpu02'], 'clients_admit_only': 1}),
        ]
        for args, expected in cases:
            with self.subTest(args=args):
                p, _ = self.submit_ok(args + ['a.ma'])
                self.assertEqual({key: p[key] for key in expected}, expected)

    def test_switch_values_from_the_defaults_file(self):
        self.prog.write_defaults({'Defaults': {'nj_rendercores': 4, 'nj_notes': 'site default'},
                                  'Lighting': {'nj_priority': 2}})
        p, _ = self.submit_ok(['-defsection', 'Lighting', 'a.ma'])
        self.assertEqual((p['render_cores'], p['notes'], p['priority']), (1, '', 2))
        p, _ = self.submit_ok(['a.ma'])
        self.assertEqual((p['render_cores'], p['notes'], p['priority']), (4, 'site default', 5))


class PriorityLimits(SubmitCase):
    user = 'ben'  # priority limit 8, no right for urgent jobs

    def test_priority_is_kept_in_range_and_urgency_needs_the_right(self):
        above = 'WARNING! The specified net job priority is above the limit (8)\n'
        # 9 is a valid priority: only the user's limit brings it down.
        for args, warning, field, value in (
                (['-nj_priority', '9'], above, 'priority', 8),
                (['-nj_priority', '12'], above, 'priority', 8),
                (['-nj_priority', '0'], 'WARNING! The specified net job priority is too low\n',
                 'priority', 1),
                (['-nj_urgent'],
                 'WARNING! Urgency flag ignored; you do not have the proper permissions\n',
                 'urgent', 0)):
            with self.subTest(args=args):
                p, r = self.submit_ok(args + ['a.ma'])
                self.assertIn(warning, r.out)
                self.assertEqual(p[field], value)
                self.assertEqual(p['pools'], ['14', '20'])


class ScriptedCommandLines(SubmitCase):
    """What scripts pass by habit or by accident never becomes a job."""

    def usage_error(self, args, tail):
        r = self.prog.run(args)
        self.assertEqual((r.code, r.err), (255, ''), r)
        self.assertTrue(r.out.endswith(tail), r)
        self.assertEqual(packet(self.sim), None, r)
        return r

    def test_double_dash_switches_are_the_one_dash_ones(self):
        self.prog.write_defaults({'Defaults': {'nj_renderer': 'Maya'}})
        usage = self.usage_error(['--help'], '* denotes switches that can be used multiple times\n')
        self.assertNotIn('Error!', usage.out)
        self.usage_error(['--helpme', '--bogus'], '\nERROR! Command-line error:\n'
                         'Unknown switch [switch=helpme]\n')
        p, _ = self.submit_ok(['--nj_name=Shot 10', '--nj_priority', '4', 'a.ma'], renderer=False)
        self.assertEqual((p['name'], p['priority']), ('Shot 10', 4))
        self.submit_refused(['--no_such_setting', '5', 'a.ma'], 'Unknown switch', 'no_such_setting')

    def test_an_empty_value_does_not_swallow_the_next_switch(self):
        empty = ''
        r = self.usage_error(['-nj_name', empty, '-nj_renderer', 'Maya', 'a.ma'],
                             'Error! Invalid or incomplete command-line specified...\n')
        self.assertNotIn('Job submission', r.out)
        # Empty arguments anywhere else are dropped as before.
        p, _ = self.submit_ok([empty, '-nj_name', 'N', empty, 'a.ma', empty])
        self.assertEqual((p['name'], p['render_set']['values']['scene']), ('N', ['a.ma']))

    def test_an_argument_that_is_not_utf8_is_refused_by_position(self):
        for bad in (b'caf\xe9.ma', b'\xed\xa0\x80.ma'):
            with self.subTest(bad=bad):
                r = self.prog.run(['-nj_renderer', 'Maya', bad], env={'LANG': 'C.UTF-8'})
                self.assertEqual((r.code, r.err), (255, ''), r)
                self.assertEqual(r.out, 'ERROR! Command-line error:\n'
                                 'The argument is not valid UTF-8 text [argument=3]\n')
                self.assertEqual(self.sim.journal(), [])

    def test_two_presets_each_adding_a_pool_give_both_then_the_users_pools(self):
        self.prog.write_preset('light', preset('Lighting', 0x40, [(4, 'PoolList', '14|Lighting')]))
        self.prog.write_preset('main', preset('Main only', 0x40, [(4, 'PoolList', '12|Main')]))
        p, _ = self.submit_ok(['-nj_preset', 'light', '-nj_preset', 'main', 'a.ma'])
        self.assertEqual(p['pools'], ['14', '12', '17'])

    def test_a_backslash_in_a_preset_list_is_part_of_the_name(self):
        self.prog.write_preset('dom',
                               preset('Domain', 0x40, [(4, 'BlockedClients', r'DOMAIN\node1')]))
        p, _ = self.submit_ok(['-nj_preset', 'dom', 'a.ma'])
        self.assertEqual(p['clients'], [r'DOMAIN\node1'])

    def test_selected_groups_apply_only_renderer_and_priority(self):
        values = [(4, 'Renderer', 'Blender/3.6'), (2, 'Priority', '7'), (1, 'Urgent', 'true'),
                  (1, 'Renderer32bit', 'true'), (2, 'RenderCoreCount', '4'),
                  (4, 'Notes', 'from preset'), (4, 'PoolList', '14|Lighting')]
        self.prog.write_preset('rp', preset('Renderer and priority', 2, values))
        p, _ = self.submit_ok(['-nj_preset', 'rp', 'a.blend'], renderer=False)
        self.assertEqual((p['renderer'], p['render_set']['renderer']),
                         ('3D/Blender', 'Blender/3.6'))
        self.assertEqual((p['priority'], p['urgent']), (7, 1))
        self.assertEqual((p['render_cores'], p['notes'], p['pools']), (1, '', ['12', '14', '17']))
        # The command line wins over the preset.
        p, _ = self.submit_ok(['-nj_preset', 'rp', '-nj_priority', '2', 'a.ma'])
        self.assertEqual((p['renderer'], p['priority']), ('3D/Maya', 2))

    def test_events_travel_with_the_job(self):
        events = [(2, 1, 'mail', [r'line one\nline two']), (1, 3, 'cmd', ['echo done'])]
        self.prog.write_preset('ev', preset('Events', -1, [], events))
        p, _ = self.submit_ok(['-nj_preset', 'ev', 'a.ma'])
        self.assertEqual([(e['scope'], e['type'], e['name'], e['contents']) for e in p['events']],
                         [(2, 1, 'mail', ['line one\nline two']), (1, 3, 'cmd', ['echo done'])])

    def test_preset_lookup_order(self):
        # A path with its own extension, then Presets/NetJobs, then the program folder.
        path = self.prog.write_file('elsewhere/x.preset',
                                    preset('Ext', 0x1000, [(4, 'Notes', 'ext')]))
        self.prog.write_file('plain.knjprs', preset('Plain', 0x1000, [(4, 'Notes', 'plain')]))
        p, _ = self.submit_ok(['-nj_preset', path, 'a.ma'])
        self.assertEqual(p['notes'], 'ext')
        p, _ = self.submit_ok(['-nj_preset', 'plain', 'a.ma'])
        self.assertEqual(p['notes'], 'plain')

    def test_missing_or_broken_preset(self):
        self.prog.write_preset('broken', 'General\r\n{\r\n}\r\n}\r\n')
        for name in ('missing', 'broken'):
            with self.subTest(name=name):
                r = submit(self.prog, ['-nj_preset', name, 'a.ma'], code=7)
                self.assertIn('Job submission failed [code=7]:\n'
                              'The specified net job preset cannot be loaded.', r.out)
                self.assertIsNone(packet(self.sim))


if __name__ == '__main__':
    kh.main()
