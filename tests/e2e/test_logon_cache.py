"""The renderer cache: reused while the server's data stamp is unchanged, rebuilt when damaged.

Runs at the same moment sharing one cache are the parallel submission test's.
"""

import os
import unittest

import kfharness as kh

CACHE = os.path.join('Renderers', 'Renderers.kren')
INDEX = os.path.join('Renderers', 'Pool.xml')


def group_names(document):
    """The group names of a Pool/1.0 document, in order."""
    names = []
    for block in document.split('<RendererGroup>')[1:]:
        names.append(block.split('<Name>', 1)[1].split('</Name>', 1)[0])
    return names


class RendererCache(unittest.TestCase):
    def test_cache_is_reused_for_the_same_stamp_and_downloaded_again_otherwise(self):
        with kh.FarmSim() as sim, kh.ProgramDir(sim) as prog:
            r = prog.run(['shot.blend'])
            self.assertIn('Logged on to server', r.out, r)
            self.assertEqual(sim.downloads(), 1)
            cache = prog.read_file(CACHE)
            self.assertTrue(cache.startswith('<DataRoot>\n\t<ContentType>Pool/1.0</ContentType>'))
            self.assertEqual(group_names(cache), [g.get('Name') for g in sim.farm.renderers.groups])
            self.assertIn('<UpdateIndex>42</UpdateIndex>', prog.read_file(INDEX))
            self.assertEqual([n for n in os.listdir(prog.file('Renderers')) if '.tmp' in n], [])

            r = prog.run(['shot.blend'])
            self.assertIn('Logged on to server', r.out, r)
            self.assertEqual(sim.downloads(), 1, 'the warm run downloaded again')
            self.assertEqual(len(sim.requests(22)), 3)
            self.assertEqual(prog.read_file(CACHE), cache)

            # Every kind of damage is the bad-files test's; here a cut file.
            prog.write_file(CACHE, cache[:len(cache) // 2])
            r = prog.run(['shot.blend'])
            self.assertIn('Logged on to server', r.out, r)
            self.assertEqual(sim.downloads(), 2)
            self.assertEqual(prog.read_file(CACHE), cache)

            with kh.FarmSim(overrides={'data_stamp': 43}) as sim2:
                prog.write_conf(port=sim2.port)
                prog.run(['shot.blend'])
                self.assertEqual(sim2.downloads(), 1)
                self.assertIn('<UpdateIndex>43</UpdateIndex>', prog.read_file(INDEX))


if __name__ == '__main__':
    kh.main()
