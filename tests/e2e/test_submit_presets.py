"""Net job presets named with -nj_preset, loaded before the command line."""

import unittest

import kfharness as kh
import submitlib as sl


def preset(name, groups, values, events=None):
    return kh.preset_text(values, groups, name, events)


class Presets(sl.SubmitCase, unittest.TestCase):
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
                r = sl.submit(self.prog, ['-nj_preset', name, 'a.ma'])
                self.assertEqual(r.code, 7, r)
                self.assertIn('Job submission failed [code=7]:\n'
                              'The specified net job preset cannot be loaded.', r.out)
                self.assertIsNone(sl.packet(self.sim))


if __name__ == '__main__':
    kh.main()
