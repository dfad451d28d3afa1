"""The index beside the renderer cache: a warm run reads only what its command needs, and prints
and sends exactly what a run that reads the whole cache does."""

import os
import re
import unittest

import kfharness as kh

CACHE = os.path.join('Renderers', 'Renderers.kren')
POOL = os.path.join('Renderers', 'Pool.xml')
INDEX = os.path.join('Renderers', 'Renderers.kidx')
RENDER_SET = ('<RenderSet>\n\t<Renderer>Blender/3.6</Renderer>\n\t<Values>\n\t\t<samples>\n'
              '\t\t\t<Value>64</Value>\n\t\t</samples>\n\t</Values>\n</RenderSet>\n')
COMMANDS = [
    ['-listrenderers'], ['-listrencaps'], ['-listrenderers', 'COMPOSITING', '-compact'],
    ['-listparams', 'Blender', '-subm'], ['-listparams', 'Maya/2024'], ['-listparams', 'Nope'],
    ['-listpools'],
    ['-nj_renderer', 'Blender/4.1', '-samples', '32', '-nj_priority', '7', 'shot.blend'],
    ['-nj_renderer', 'Blender', '-importset', 'other.kset', 'shot.blend'],
    ['-nj_renderer', 'Nope', 'shot.blend'], ['-nj_renderer', 'Blender/0.1', 'shot.blend'],
]


class CacheIndex(unittest.TestCase):
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
