"""The renderer cache: reused while the server's data stamp is unchanged, rebuilt when damaged;
and the index beside it: a warm run reads only what its command needs, and prints and sends
exactly what a run that reads the whole cache does.

Runs at the same moment sharing one cache are the parallel submission test's.
"""

import os
import re
import unittest

import kfharness as kh
from kfharness import CACHE, POOL

INDEX = os.path.join('Renderers', 'Renderers.kidx')
RENDER_SET = kh.render_set_text('Blender/3.6', {'samples': ['64']})
COMMANDS = [
    ['-listrenderers'], ['-listrencaps'], ['-listrenderers', 'COMPOSITING', '-compact'],
    ['-listparams', 'Blender', '-subm'], ['-listparams', 'Maya/2024'], ['-listparams', 'Nope'],
    ['-listpools'],
    ['-nj_renderer', 'Blender/4.1', '-samples', '32', '-nj_priority', '7', 'shot.blend'],
    ['-nj_renderer', 'Blender', '-importset', 'other.kset', 'shot.blend'],
    ['-nj_renderer', 'Nope', 'shot.blend'], ['-nj_renderer', 'Blender/0.1', 'shot.blend'],
]


def group_names(document):
    """The group names of a Pool/1.0 document, in order."""
    return [block.split('<Name>', 1)[1].split('</Name>', 1)[0]
            for block in document.split('<RendererGroup>')[1:]]


class RendererCache(unittest.TestCase):
    def test_cache_is_reused_for_the_same_stamp_and_downloaded_again_otherwise(self):
        with kh.FarmSim() as sim, kh.ProgramDir(sim) as prog:
            r = prog.run(['shot.blend'])
            self.assertIn('Logged on to server', r.out, r)
            self.assertEqual(sim.downloads(), 1)
            cache = prog.read_file(CACHE)
            self.assertTrue(cache.startswith('<DataRoot>\n\t<ContentType>Pool/1.0</ContentType>'))
            self.assertEqual(group_names(cache), [g.get('Name') for g in sim.farm.renderers.groups])
            self.assertIn('<UpdateIndex>42</UpdateIndex>', prog.read_file(POOL))
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
                self.assertIn('<UpdateIndex>43</UpdateIndex>', prog.read_file(POOL))

    def run_twice(self, sim, prog, args, damage):
        """The command with the current index, then again once `damage` has spoiled the index."""
        results = []
        for _ in range(2):
            sent = len(sim.messages('NetJobPacket'))
            r = prog.run(args)
            packets = [{k: v for k, v in p.items() if k not in ('conn', 'serial', 'time')}
                       for p in sim.messages('NetJobPacket')[sent:]]
            results.append((r.code, re.sub(r'\[ID=\d+\]', '[ID]', r.out), r.err, packets))
            if not results[1:]:
                damage()
        self.assertEqual(results[0], results[1], args)
        return results[0]

    def test_every_command_is_the_same_with_a_missing_damaged_or_current_index(self):
        with kh.FarmSim() as sim, kh.ProgramDir(sim) as prog:
            prog.write_file('other.kset', RENDER_SET)
            prog.run(['-listpools'])
            cache, pool = prog.read_file(CACHE), prog.read_file(POOL)
            prog.run(['-listpools'])
            index = prog.read_file(INDEX)
            self.assertRegex(index.splitlines()[1], r'^C( \d+){5} 1 $', 'the demo cache is mapped')
            damages = [lambda: os.remove(prog.file(INDEX)),
                       lambda: prog.write_file(INDEX, index[:len(index) // 2]),
                       lambda: prog.write_file(INDEX, index.replace('G 1', 'G 0', 1))]
            for n, args in enumerate(COMMANDS):
                code, out, err, packets = self.run_twice(sim, prog, args, damages[n % 3])
                self.assertEqual(err, '')
                self.assertEqual(len(packets), 1 if code == 0 and '-nj_renderer' in args else 0,
                                 out)
                self.assertEqual(prog.read_file(INDEX), index, args)
            self.assertIn('Blender/3.6\n', self.run_twice(sim, prog, ['-listrenderers', '-compact'],
                                                        lambda: None)[1])
            self.assertEqual((prog.read_file(CACHE), prog.read_file(POOL)), (cache, pool))
            self.assertEqual([e['parameter'] for e in sim.requests(22)].count(1), 1)


if __name__ == '__main__':
    kh.main()
