"""The renderer cache: reused while the server's data stamp is unchanged, rebuilt when damaged."""

import os
import subprocess
import unittest

import kfharness as kh

CACHE = os.path.join('Renderers', 'Renderers.kren')
INDEX = os.path.join('Renderers', 'Pool.xml')


def full_requests(sim):
    return [e for e in sim.requests(22) if e['parameter'] == 1]


def group_names(document):
    """The group names of a Pool/1.0 document, in order."""
    names = []
    for block in document.split('<RendererGroup>')[1:]:
        names.append(block.split('<Name>', 1)[1].split('</Name>', 1)[0])
    return names


class RendererCache(unittest.TestCase):
    def test_cache_is_written_then_reused_for_the_same_stamp(self):
        with kh.FarmSim() as sim, kh.ProgramDir(sim) as prog:
            r = prog.run(['shot.blend'])
            self.assertIn('Logged on to server', r.out, r)
            self.assertEqual(len(full_requests(sim)), 1)
            cache = prog.read_file(CACHE)
            self.assertTrue(cache.startswith('<DataRoot>\n\t<ContentType>Pool/1.0</ContentType>'))
            self.assertEqual(group_names(cache), [g.get('Name') for g in sim.farm.renderers.groups])
            self.assertIn('<UpdateIndex>42</UpdateIndex>', prog.read_file(INDEX))
            self.assertEqual([n for n in os.listdir(prog.file('Renderers')) if '.tmp' in n], [])

            r = prog.run(['shot.blend'])
            self.assertIn('Logged on to server', r.out, r)
            self.assertEqual(len(full_requests(sim)), 1, 'the warm run downloaded again')
            self.assertEqual(len(sim.requests(22)), 3)
            self.assertEqual(prog.read_file(CACHE), cache)

    def test_new_stamp_missing_or_damaged_cache_download_again(self):
        with kh.FarmSim() as sim, kh.ProgramDir(sim) as prog:
            prog.run(['shot.blend'])
            good = prog.read_file(CACHE)
            # Every kind of damage is the bad-files test's; here a cut file.
            prog.write_file(CACHE, good[:len(good) // 2])
            r = prog.run(['shot.blend'])
            self.assertIn('Logged on to server', r.out, r)
            self.assertEqual(len(full_requests(sim)), 2)
            self.assertEqual(prog.read_file(CACHE), good)

            with kh.FarmSim(overrides={'data_stamp': 43}) as sim2:
                prog.write_conf(port=sim2.port)
                prog.run(['shot.blend'])
                self.assertEqual(len(full_requests(sim2)), 1)
                self.assertIn('<UpdateIndex>43</UpdateIndex>', prog.read_file(INDEX))

    def test_two_runs_at_the_same_moment(self):
        with kh.FarmSim() as sim, kh.ProgramDir(sim) as prog:
            env = dict(os.environ, KF_MACHINE_ENV_FILE=prog.machine_env)
            for _ in range(3):
                procs = [subprocess.Popen([prog.binary, 'shot.blend'], cwd=prog.root, env=env,
                                          stdout=subprocess.PIPE, stderr=subprocess.PIPE)
                         for _ in range(2)]
                outs = [p.communicate(timeout=120)[0].decode('utf-8', 'replace') for p in procs]
                for out in outs:
                    self.assertIn('Logged on to server', out)
                    self.assertNotIn('Unable to download', out)
            self.assertEqual([n for n in os.listdir(prog.file('Renderers')) if '.tmp' in n], [])
            before = len(full_requests(sim))
            prog.run(['shot.blend'])
            self.assertEqual(len(full_requests(sim)), before, 'the cache left behind did not load')


if __name__ == '__main__':
    kh.main()
