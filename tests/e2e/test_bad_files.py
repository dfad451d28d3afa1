"""Files that a user writes, damaged: the configuration, the defaults, a preset, a render set,
the environment file and the renderer cache. Each gives its report, its defaults or its
fall-back; none may crash the program or print anything on stderr.
"""

import os
import random

import kfharness as kh
from kfharness import CACHE, NOT_CONFIGURED, POOL, SUBMIT
from farmcase import FarmCase

failure = kh.failure_report

IMPORT_FAILED = ('ERROR! Command-line error:\nUnable to import the specified render set '
                 '[switch=importset]\n')
NO_PRESET = 'The specified net job preset cannot be loaded.'
EMPTY_SET = kh.render_set_text('Maya/2024', {})


def noise(size, seed):
    rnd = random.Random(seed)
    return bytes(rnd.randrange(256) for _ in range(size))


def preset(groups, values):
    """A net job preset selecting `groups`, with (type, name, value text) entries."""
    return kh.preset_text(values, groups, events=[], quote=False)


class BadFiles(FarmCase):
    def run_safe(self, args, what):
        """A run that must not crash nor write to stderr; returns its result."""
        r = self.prog.run(args, timeout=60)
        self.assertGreaterEqual(r.code, 0, (what, r))   # not ended by a signal
        self.assertEqual(r.err, '', (what, r))
        return r

    def submitted(self, args, what):
        r = self.run_safe(args, what)
        self.assertEqual(r.code, 0, (what, r))
        self.assertIn('Job submission succeeded', r.out, (what, r))
        return self.sim.last('NetJobPacket')

    def test_damaged_configuration(self):
        conf = self.prog.file('KfRcCmd.conf')
        good = self.prog.read_file('KfRcCmd.conf')
        # Noise, a header without its bracket and a port that is no number all read as
        # configurations without a usable server.
        for what, text in [
                ('noise', noise(4000, 1)),
                ('header', good.replace('[RemoteController.Server]', '[RemoteController.Server')),
                ('port', good.replace('ServerPort = %d' % self.sim.port, 'ServerPort = abc'))]:
            self.prog.write_file('KfRcCmd.conf', text)
            r = self.assert_failed(self.run_safe(SUBMIT, what), 1, 'Submission failed', self.prog,
                                   what)
            self.assertIn(NOT_CONFIGURED, r.out, (what, r))
        # A port beyond the last one cannot be connected to.
        self.prog.write_file('KfRcCmd.conf', good.replace('ServerPort = %d' % self.sim.port,
                                                          'ServerPort = 4294967297'))
        r = self.run_safe(SUBMIT, 'huge port')
        self.assertIn(r.code, (1, 4), r)
        self.assertIn('ERROR! Job submission failed', r.out, r)
        # Written in UTF-16 with a byte-order mark, the same configuration works.
        self.prog.write_file('KfRcCmd.conf', b'\xff\xfe' + good.encode('utf-16-le'))
        self.submitted(SUBMIT, 'utf-16')
        # A folder where the file belongs cannot be loaded, nor replaced by the defaults.
        os.remove(conf)
        os.mkdir(conf)
        r = self.run_safe(SUBMIT, 'folder')
        self.assertEqual(r.code, 255, r)
        self.assertIn(kh.CORE_CONF_FAILED, r.out)
        self.assertTrue(os.path.isdir(conf))

    def test_damaged_defaults(self):
        # Noise and a folder in place of the defaults file: the command line alone counts.
        self.prog.write_file('KfRcDefaults.conf', noise(4000, 2))
        self.assertEqual(self.submitted(SUBMIT, 'noise')['priority'], 5)
        os.remove(self.prog.file('KfRcDefaults.conf'))
        os.mkdir(self.prog.file('KfRcDefaults.conf'))
        self.submitted(SUBMIT, 'folder')
        os.rmdir(self.prog.file('KfRcDefaults.conf'))
        # A value of the wrong kind is converted: text for a number reads as 0.
        self.prog.write_defaults('[Defaults]\r\nnj_priority = high\r\n'
                                 'nj_notes = "quoted ; note"\r\n'
                                 '[Defaults\r\nnj_renderer = Blender\r\n')
        r = self.run_safe(SUBMIT, 'priority text')
        self.assertIn('WARNING! The specified net job priority is too low\n', r.out)
        packet = self.sim.last('NetJobPacket')
        self.assertEqual(packet['priority'], 1)
        self.assertEqual(packet['notes'], '"quoted ; note"')
        # A server in the defaults that names no port and no host leaves the run unconfigured.
        self.prog.write_defaults({'Defaults': {'server': ':'}})
        r = self.run_safe(SUBMIT, 'server')
        self.assertEqual(r.code, 1, r)
        self.assertIn(NOT_CONFIGURED, r.out)

    def test_damaged_environment_file(self):
        # Lines that do not parse set nothing; the good line after them still counts, and a
        # preset reads it.
        self.prog.write_file('Kilnforge.env', noise(3000, 3).replace(b'\n', b'') + b'\n'
                            b'=no name\n\xff\xfe\x00garbage\nNOTE_TEXT = from env = ignored\n')
        self.prog.write_preset('envnote', preset(0x1000, [(4, 'Notes', '$:NOTE_TEXT')]))
        packet = self.submitted(['-nj_preset', 'envnote'] + SUBMIT, 'env')
        self.assertEqual(packet['notes'], 'from env')
        os.remove(self.prog.file('Kilnforge.env'))
        os.mkdir(self.prog.file('Kilnforge.env'))
        self.assertEqual(self.submitted(['-nj_preset', 'envnote'] + SUBMIT, 'folder')['notes'],
                         'NOTE_TEXT')

    def test_damaged_presets(self):
        broken = {
            'noise': noise(2000, 4),
            'unclosed': 'General\r\n{\r\n\tNotes = "x"\r\n',
            'no brace': 'General\r\n\tNotes = "x"\r\n}\r\n',
            'bad name': 'General\r\n{\r\n\tNo-tes = "x"\r\n}\r\n',
            'utf-16 noise': b'\xff\xfe' + noise(501, 5),
            'folder': None,
        }
        for name, text in broken.items():
            if text is None:
                os.mkdir(self.prog.file('Presets/NetJobs/folder.knjprs'))
            else:
                self.prog.write_preset(name, text)
            r = self.run_safe(['-nj_preset', name] + SUBMIT, name)
            self.assert_failed(r, 7, NO_PRESET, self.prog, name)
        self.assertEqual(self.sim.messages('NetJobPacket'), [])
        # Values of the wrong kind in a well-formed preset are converted, not refused.
        self.prog.write_preset('odd', preset(-1, [(2, 'Priority', '"seven"'), (4, 'Notes', '12'),
                                                  (1, 'Urgent', '"maybe"'), (9, 'X', '1')]))
        packet = self.submitted(['-nj_preset', 'odd'] + SUBMIT, 'odd values')
        self.assertEqual((packet['notes'], packet['urgent']), ('12', 0))

    def test_damaged_render_sets(self):
        head = '<RenderSet>\n\t<Renderer>Maya/2024</Renderer>\n'
        broken = {
            'noise': noise(3000, 6),
            'truncated': head + '\t<Values>\n\t\t<camera>\n\t\t\t<Val',
            'no values': head + '</RenderSet>\n',
            'not xml': 'Renderer = Maya/2024\n',
            'empty': '',
            'deep': head + '<a>' * 100000 + '</a>' * 100000 + '</RenderSet>\n',
            'entities': '<!DOCTYPE r [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;'
                        '&a;&a;&a;&a;"><!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;">'
                        '<!ENTITY d "&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;">]>' + head +
                        '<Values><camera><Value>&d;&d;&d;&d;&d;</Value></camera></Values>'
                        '</RenderSet>\n',
            # A named pipe in place of the file is refused, not waited on.
            'pipe': None,
        }
        for name, text in broken.items():
            if text is None:
                os.mkfifo(self.prog.file(name + '.kset'))
            else:
                self.prog.write_file(name + '.kset', text)
            r = self.run_safe(['-importset', self.prog.file(name + '.kset')] + SUBMIT, name)
            if r.code == 0:
                # Only the entity text is well-formed; it may load, but whole or not at all.
                self.assertEqual(name, 'entities', r)
                camera = self.sim.last('NetJobPacket')['render_set']['values'].get('camera')
                self.assertIn(camera, (None, ['a' * 50000]), r)
                continue
            self.assertEqual(r.code, 7, (name, r))
            self.assertIn(IMPORT_FAILED, r.out, (name, r))
        # A render set without values is well-formed: it loads.
        self.prog.write_file('empty.kset', EMPTY_SET)
        self.submitted(['-importset', self.prog.file('empty.kset')] + SUBMIT, 'empty values')

    def test_damaged_cache_falls_back_to_a_download(self):
        self.submitted(SUBMIT, 'first run')
        good = self.prog.read_file(CACHE)
        damages = {
            'noise': lambda: self.prog.write_file(CACHE, noise(5000, 7)),
            'deep': lambda: self.prog.write_file(
                CACHE, '<DataRoot><ContentType>Pool/1.0</ContentType><Content>' +
                '<RendererGroup>' * 200000 + '</RendererGroup>' * 200000 +
                '</Content></DataRoot>'),
            'other kind': lambda: self.prog.write_file(CACHE, good.replace('Pool/1.0', 'Set/1.0')),
            'a group': lambda: self.prog.write_file(
                CACHE, '<DataRoot><ContentType>Group/1.0</ContentType><Content/></DataRoot>'),
            'pipe': lambda: (os.remove(self.prog.file(CACHE)), os.mkfifo(self.prog.file(CACHE))),
            'folder': lambda: (os.remove(self.prog.file(CACHE)),
                               os.mkdir(self.prog.file(CACHE))),
        }
        for what, damage in damages.items():
            damage()
            before = self.sim.downloads()
            self.submitted(SUBMIT, what)
            self.assertEqual(self.sim.downloads(), before + 1, what)
            if what != 'folder':
                self.assertEqual(self.prog.read_file(CACHE), good, what)
        os.rmdir(self.prog.file(CACHE))
        # A damaged index is a stale one: download, and the index is whole again.
        self.submitted(SUBMIT, 'after folder')
        for what, text in [('noise', noise(300, 8)), ('no stamp', '<Pool></Pool>'),
                           ('stamp text', '<Pool><UpdateIndex>x42</UpdateIndex></Pool>'),
                           ('pipe', None)]:
            if text is None:
                os.remove(self.prog.file(POOL))
                os.mkfifo(self.prog.file(POOL))
            else:
                self.prog.write_file(POOL, text)
            before = self.sim.downloads()
            self.submitted(SUBMIT, 'index ' + what)
            self.assertEqual(self.sim.downloads(), before + 1, what)
            self.assertIn('<UpdateIndex>42</UpdateIndex>', self.prog.read_file(POOL))

    def test_a_64_gib_sparse_file_of_each_kind_is_refused_unread(self):
        """Each file the program reads, made a 64 GiB file without data: refused by its size
        before anything is allocated, with the report or fall-back of an unreadable file."""
        self.submitted(SUBMIT, 'first run')
        self.prog.write_preset('big', '')
        self.prog.write_file('big.kset', '')
        self.prog.write_init_py('')
        files = ['KfRcCmd.conf', 'KfRcDefaults.conf', 'Kilnforge.env', CACHE, POOL,
                 os.path.join('Presets', 'NetJobs', 'big.knjprs'), 'big.kset',
                 os.path.join('Python', 'KfInit.py'), self.prog.machine_env]
        args = ['-nj_preset', 'big', '-importset', self.prog.file('big.kset')] + SUBMIT
        for name in files:
            path = self.prog.file(name)  # the machine environment file's path is absolute
            saved = self.prog.read_file(path, binary=True) if os.path.exists(path) else None
            with open(path, 'ab') as fh:
                fh.truncate(64 << 30)
            r = self.run_safe(args, name)
            self.assertNotIn('ERROR! Out of memory', r.out, (name, r))
            if name.endswith('.knjprs'):
                self.assertIn(failure(7, NO_PRESET, self.prog), r.out, (name, r))
            elif name.endswith('.kset'):
                self.assertIn(IMPORT_FAILED, r.out, (name, r))
            os.remove(path)
            if saved is not None:
                kh.write_text(path, saved)
        # With every file whole again the same run goes through (the preset and the render
        # set are empty files, which are well-formed).
        self.prog.write_preset('big', preset(-1, []))
        self.prog.write_file('big.kset', EMPTY_SET)
        self.submitted(args, 'whole again')


if __name__ == '__main__':
    kh.main()
