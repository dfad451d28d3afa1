#!/usr/bin/env python3
"""Peak memory and time of the client against a hostile server and hostile arguments, at full size.

    python3 bench/hostile_server.py [--build build] [--only NAME,...]

Each row runs the real binary once, under /usr/bin/time -v, against the farm simulator started in
this process (demo farm) with one answer replaced by what the row names; the answers keep every
protocol limit (frames of at most 16384 bytes, messages and unpacked bodies of at most 256 MiB).
Prints per row the exit status, the last report line, wall seconds and the peak resident memory
of the client (goal: below 1 GiB), and whether anything reached stderr. Needs a few GiB of free
memory for the simulator's side of the big rows.
"""

import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(SOURCE, 'tests', 'e2e'))
sys.path.insert(0, os.path.join(SOURCE, 'tools', 'farmsim'))
import kfharness as kh  # noqa: E402
from fsim import server as fserver  # noqa: E402
from fsim.frames import MAX_PIECE, make_frame  # noqa: E402

MIB = 1 << 20
SUBMIT = ['-nj_renderer', 'Maya', 'shot.ma']
POOL_HEAD = '<DataRoot><ContentType>Pool/1.0</ContentType><Content>'
POOL_TAIL = '</Content></DataRoot>'


def records_body(text, stamp=42):
    """The plain body of a render-system data message with one pool record."""
    return (struct.pack('<iIii', stamp, 1, 1, 1) + b'Pool\0' + text.encode('utf-8') + b'\0')


def demo_groups():
    """The group elements of the demo farm's pool document, as text."""
    with kh.FarmSim() as sim:
        text = sim.farm.renderers.record()['text']
    start = text.index('<Content>') + len('<Content>')
    return text[start:text.rindex('</Content>')]


def many_renderers(size):
    """A pool document of about `size` bytes: the demo groups again and again, renamed."""
    groups = demo_groups()
    parts, total, n = [], 0, 0
    while total < size:
        copy = re.sub(r'<Name>([^<]*)</Name>', lambda m: '<Name>%s_%d</Name>' % (m.group(1), n),
                      groups)
        parts.append(copy)
        total += len(copy)
        n += 1
    return POOL_HEAD + ''.join(parts) + POOL_TAIL


def many_enum_values(count):
    """The demo pool with one parameter of `count` enumeration values."""
    with kh.FarmSim() as sim:
        text = sim.farm.renderers.record()['text']
    values = ''.join('<EnumValue><Name>choice%d</Name><Value>v%d</Value></EnumValue>' % (i, i)
                     for i in range(count))
    return text.replace('<EnumValues>', '<EnumValues>' + values, 1)


def flood(count, size):
    """Makes the login answer `count` messages of `size` bytes each, all but their last frame."""
    def garbage(self, kind):
        if kind != 'flood':
            return original(self, kind)
        parts = (size + MAX_PIECE - 1) // MAX_PIECE
        piece = b'\x5a' * MAX_PIECE
        try:
            for serial in range(1000, 1000 + count):
                for index in range(parts - 1):
                    self.sock.sendall(make_frame(serial, index, parts, piece))
        except OSError:
            pass  # the client ended the connection
        return b''
    original = fserver.Connection._garbage
    fserver.Connection._garbage = garbage
    return {'garbage': {'on': 7, 'kind': 'flood'}}


def run_row(build, name, faults, args, env_extra=None):
    binary = os.path.abspath(os.path.join(build, 'KfRcCmd'))
    os.environ['KFRCCMD'] = binary
    with kh.FarmSim() as sim, kh.ProgramDir(sim) as prog:
        sim.set_faults(faults)
        env = dict(os.environ, KF_MACHINE_ENV_FILE=prog.machine_env)
        env.update(env_extra or {})
        start = time.time()
        p = subprocess.run(['/usr/bin/time', '-v', prog.binary] + args, cwd=prog.root, env=env,
                           stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=600)
        wall = time.time() - start
    err = p.stderr.decode('utf-8', 'replace')
    peak = int(re.search(r'Maximum resident set size \(kbytes\): (\d+)', err).group(1))
    own_err = re.sub(r'Command exited with non-zero status \d+\n', '',
                     err[:err.find('\tCommand being timed')])
    status = re.search(r'Exit status: (\d+)', err)
    out = [line for line in p.stdout.decode('utf-8', 'replace').splitlines() if line.strip()]
    errors = [i for i, line in enumerate(out) if line.startswith('ERROR!')]
    report = ' '.join(out[errors[0]:errors[0] + 2]) if errors else out[-1] if out else ''
    print('%-44s exit %3s  %6.1f s  peak %7.1f MiB  stderr %-3s  %s' % (
        name, status.group(1) if status else '?', wall, peak / 1024.0,
        'yes' if own_err.strip() else 'no', report[:90]), flush=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--build', default=os.path.join(SOURCE, 'build'))
    parser.add_argument('--only', default='')
    args = parser.parse_args()
    only = set(filter(None, args.only.split(',')))
    work = tempfile.mkdtemp(prefix='kfhostile-')

    def body_file(name, data):
        path = os.path.join(work, name)
        with open(path, 'wb') as fh:
            fh.write(data)
        return path

    rows = [
        ('xml252', 'renderer XML of 252 MiB (one text)', lambda: {'body': {
            'on': 'request:22:1',
            'file': body_file('xml252', records_body(POOL_HEAD + 'x' * (252 * MIB) + POOL_TAIL))}},
         SUBMIT),
        ('xml64', 'renderer XML of 64 MiB (renderers)', lambda: {'body': {
            'on': 'request:22:1',
            'file': body_file('xml64', records_body(many_renderers(64 * MIB)))}},
         SUBMIT),
        ('xml30', 'renderer XML of 30 MiB (renderers)', lambda: {'body': {
            'on': 'request:22:1',
            'file': body_file('xml30', records_body(many_renderers(30 * MIB)))}},
         SUBMIT),
        ('xmlnodes', 'renderer XML of 30 MiB of empty elements', lambda: {'body': {
            'on': 'request:22:1',
            'file': body_file('xmlnodes',
                              records_body(POOL_HEAD + '<a/>' * (30 * MIB // 4) + POOL_TAIL))}},
         SUBMIT),
        ('enums', 'one parameter of 100000 enumeration values', lambda: {'body': {
            'on': 'request:22:1',
            'file': body_file('enums', records_body(many_enum_values(100000)))}},
         ['-listrenderers']),
        ('pools', '0xFFFFFFFF pools and 256 MiB of zeros', lambda: {'body': {
            'on': 'request:9', 'hex': '00ffffffff', 'zeros': 256 * MIB - 5}}, SUBMIT),
        ('query', 'a query answer of 255 MiB of text', lambda: {'body': {
            'on': 'request:24', 'file': body_file('query', b'x' * (255 * MIB) + b'\0')}},
         ['-query', 'whoami']),
        ('incomplete4', '4 incomplete messages of 256 MiB', lambda: flood(4, 256 * MIB), SUBMIT),
        ('incomplete8', '8 incomplete messages of 256 MiB', lambda: flood(8, 256 * MIB), SUBMIT),
        ('frames1000', '@/p/ + 1000 # + [1-1000000]', lambda: {},
         ['-nj_renderer', 'Maya', '@/p/' + '#' * 1000 + '[1-1000000]']),
        ('frames5x', 'five patterns of a million frames', lambda: {},
         ['-nj_renderer', 'Maya'] + ['@/p/s%d_#[1-1000000].ma' % i for i in range(5)]),
        ('frames15', '1.5 million frames (inside the budget)', lambda: {},
         ['-nj_renderer', 'Maya', '@/p/s_#[1-1000000].ma', '@/p/t_#[1-500000].ma']),
    ]
    try:
        for key, name, faults, row_args in rows:
            if only and key not in only:
                continue
            run_row(args.build, name, faults(), row_args)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == '__main__':
    main()
