"""End-to-end test harness: the farm simulator in-process and throw-away program directories.

The API is described in README.md beside this file.
"""

import copy
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

_HERE = os.path.dirname(os.path.abspath(__file__))


def source_dir():
    return os.environ.get('KF_SOURCE_DIR') or os.path.dirname(os.path.dirname(_HERE))


def farmsim_dir():
    return os.path.join(source_dir(), 'tools', 'farmsim')


if farmsim_dir() not in sys.path:
    sys.path.insert(0, farmsim_dir())

from fsim import Farm, FarmServer, Faults, Journal  # noqa: E402

DEMO_FARM = os.path.join(farmsim_dir(), 'demo', 'farm.json')
USERS = {'anna': 'anna123', 'ben': 'ben456', 'carl': 'carl789'}
CORE_CONF_FAILED = ('ERROR! The core configuration could not be loaded\n'
                    'ERROR! Preparing the remote controller failed\n')
NOT_CONFIGURED = 'ERROR! The remote server has not been properly configured in KfRcCmd.conf\n'
CHALLENGE_FAILED = 'Challenging the target server failed.'
DOWNLOAD_FAILED = 'Unable to download the renderers from the server.'
USER_DATA_FAILED = 'Unable to retrieve the necessary user data.'
SUBMIT = ['-nj_renderer', 'Maya', 'shot.ma']
CACHE = os.path.join('Renderers', 'Renderers.kren')
POOL = os.path.join('Renderers', 'Pool.xml')
UPDATE_PORT = 7600
# Installed as KfUpdate.exe: records its arguments, process ID and streams in updater-calls.jsonl
# beside itself (or in $KF_UPDATER_RECORD) and when it ended. Started for a critical update
# (-wait) it stays running in the background like the real one; otherwise it works a moment and
# leaves a new copy of itself to take its place.
FAKE_UPDATER = '''#!/usr/bin/python3
import json, os, sys, time
here = os.path.dirname(os.path.abspath(__file__))
record = os.environ.get('KF_UPDATER_RECORD') or os.path.join(here, 'updater-calls.jsonl')
def note(entry):
    with open(record, 'a') as fh:
        fh.write(json.dumps(entry) + '\\n')
note({'argv': sys.argv, 'pid': os.getpid(),
      'streams': [os.readlink('/proc/self/fd/%d' % fd) for fd in (0, 1, 2)],
      'session_leader': os.getsid(0) == os.getpid()})
if '-wait' in sys.argv:
    time.sleep(60)
else:
    print('fake updater at work')
    sys.stdout.flush()
    time.sleep(0.5)
    with open(os.path.join(here, 'KfUpdate.tmp'), 'w') as fh:
        fh.write(open(os.path.abspath(__file__)).read() + '# newer\\n')
note({'done': os.getpid()})
'''


def binary():
    """The binary under test (KFRCCMD, else build/KfRcCmd in the source tree)."""
    return os.environ.get('KFRCCMD') or os.path.join(source_dir(), 'build', 'KfRcCmd')


def demo_farm():
    return json.loads(read_text(DEMO_FARM))


def read_text(path):
    with open(path, encoding='utf-8', newline='') as fh:
        return fh.read()


def write_text(path, text, mode=None):
    """Writes `text` (str as UTF-8, or bytes), making the folder; chmod to `mode` if given."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as fh:
        fh.write(text.encode('utf-8') if isinstance(text, str) else bytes(text))
    if mode is not None:
        os.chmod(path, mode)
    return path


def wait_for(condition, timeout=10.0):
    """Polls `condition` until it holds or `timeout` seconds passed; returns its last value."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.05)
    return condition()


def appleseed(group='3D', name='appleseed'):
    """The demo farm's appleseed renderer definition, moved to `group` and renamed `name`."""
    text = read_text(os.path.join(farmsim_dir(), 'demo', 'renderers', '3D.appleseed.xml'))
    return text.replace('<Group>3D</Group>', '<Group>%s</Group>' % group).replace(
        '<Name>appleseed</Name>', '<Name>%s</Name>' % name)


def renderer_farm(folder, files):
    """The demo farm with the renderer definitions `files` ({file name: text}) put in `folder`."""
    for name, text in files.items():
        write_text(os.path.join(folder, name), text)
    return dict(demo_farm(), renderers=folder)


def preset_text(values=(), groups=-1, name=None, events=None, quote=True):
    """A net job preset: "General" (with `name` if given), a data container of (type, name,
    value) entries (values quoted unless `quote` is false) and "Events" if `events` is a list
    of (scope, type, title, contents)."""
    lines = ['General', '{'] + (['Name = "%s"' % name] if name is not None else [])
    lines += ['SelectedGroups = %d' % groups, '}', 'Data', '{', 'ValueCount = %d' % len(values)]
    for i, (kind, key, value) in enumerate(values, 1):
        lines += ['Value%02d' % i, '{', 'Type = %d' % kind, 'Name = "%s"' % key,
                  ('Value = "%s"' if quote else 'Value = %s') % value, '}']
    lines.append('}')
    if events is not None:
        lines += ['Events', '{', 'Count = %d' % len(events)]
        for i, (scope, kind, title, contents) in enumerate(events):
            lines += ['Event%02d' % i, '{', 'Scope = %d' % scope, 'Type = %d' % kind,
                      'Flags = 0', 'Name = "%s"' % title, 'Contents', '{',
                      'Count = %d' % len(contents)]
            lines += ['Entry%02d = "%s"' % (j, c) for j, c in enumerate(contents)]
            lines += ['}', '}']
        lines.append('}')
    return '\r\n'.join(lines) + '\r\n'


def render_set_text(renderer, values):
    """A render set file; `values` maps each parameter to its list of value texts, in order."""
    lines = ['<RenderSet>', '\t<Renderer>%s</Renderer>' % renderer, '\t<Values>']
    for key, texts in values.items():
        lines += ['\t\t<%s>' % key] + ['\t\t\t<Value>%s</Value>' % t for t in texts]
        lines.append('\t\t</%s>' % key)
    return '\n'.join(lines + ['\t</Values>', '</RenderSet>', ''])


def _merge(base, overrides):
    for key, value in overrides.items():
        if value is None:
            base.pop(key, None)
        elif isinstance(value, dict) and isinstance(base.get(key), dict):
            _merge(base[key], value)
        else:
            base[key] = copy.deepcopy(value)
    return base


class FarmSim:
    def __init__(self, farm=None, overrides=None, faults=None):
        desc = demo_farm() if farm is None else copy.deepcopy(farm)
        if overrides:
            _merge(desc, overrides)
        self.farm = Farm(desc, os.path.dirname(DEMO_FARM))
        self.server = FarmServer(self.farm, port=0, journal=Journal(), faults=Faults(faults))
        self.host = '127.0.0.1'
        self.port = None

    @property
    def jobs(self):
        return self.farm.jobs

    def start(self):
        self.server.start()
        self.port = self.server.port
        return self

    def stop(self):
        self.server.stop()

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    def set_faults(self, spec):
        self.server.set_faults(spec)

    def journal(self):
        """A copy of every client message received so far, also after stop()."""
        with self.server.journal.lock:
            return json.loads(json.dumps(self.server.journal.entries))

    def messages(self, kind):
        return [e for e in self.journal() if e.get('type') == kind or e.get('msg') == kind]

    def last(self, kind):
        found = self.messages(kind)
        return found[-1] if found else None

    def requests(self, requested_type):
        return [e for e in self.messages('Request') if e.get('requested_type') == requested_type]

    def downloads(self):
        """How many times the whole renderer data was asked for."""
        return len([e for e in self.requests(22) if e['parameter'] == 1])


def _decoded(data):
    return (data or b'').decode('utf-8', 'replace') if not isinstance(data, str) else data


class Result:
    """A finished run; output given as bytes is decoded as UTF-8."""

    def __init__(self, args, code, out, err, pid=None):
        self.args, self.code, self.pid = args, code, pid
        self.out, self.err = _decoded(out), _decoded(err)

    def __str__(self):
        return 'run %r\nexit status %s\n--- stdout ---\n%s--- stderr ---\n%s' % (
            self.args, self.code, self.out, self.err)

    __repr__ = __str__


def ini_text(sections):
    """INI text with CR LF line ends from {section: {key: value}} (values written as given)."""
    lines = []
    for section, values in sections.items():
        lines += ['[%s]' % section] + ['%s = %s' % item for item in values.items()] + ['']
    return '\r\n'.join(lines) + '\r\n'


class ProgramDir:
    def __init__(self, sim=None, user='anna', password=None, conf=True):
        self.root = tempfile.mkdtemp(prefix='kfprog-')
        self.path = os.path.join(self.root, 'prog')
        os.makedirs(self.path)
        self.binary = os.path.join(self.path, 'KfRcCmd')
        src = binary()
        try:
            os.link(src, self.binary)
        except OSError:
            shutil.copy2(src, self.binary)
        self.machine_env = os.path.join(self.root, 'machine-environment.conf')
        self.sim = sim
        if sim is not None and conf:
            self.write_conf(user=user, password=password)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.cleanup()

    def cleanup(self):
        shutil.rmtree(self.root, ignore_errors=True)

    def file(self, relpath):
        return os.path.join(self.path, relpath)

    def write_file(self, relpath, content):
        return write_text(self.file(relpath), content)

    def read_file(self, relpath, binary=False):
        with open(self.file(relpath), 'rb') as fh:
            data = fh.read()
        return data if binary else data.decode('utf-8')

    def log(self):
        return self.read_file('KfRcCmd.log') if self.exists('KfRcCmd.log') else ''

    def exists(self, relpath):
        return os.path.exists(self.file(relpath))

    def write_conf(self, port=None, user='anna', password=None,
                   name_format='Unnamed job - $(scene)'):
        if port is None:
            port = self.sim.port if self.sim is not None else 7506
        if password is None:
            password = USERS.get(user, '')
        return self.write_file('KfRcCmd.conf', ini_text({
            'RemoteController.General': {'Alias': ''},
            'RemoteController.NetJobs': {'NetJobNameFormat': name_format},
            'RemoteController.Server': {'ServerAddress': '127.0.0.1', 'ServerPort': port,
                                        'UserName': user, 'UserPwd': password}}))

    def write_defaults(self, sections):
        text = sections if isinstance(sections, str) else ini_text(sections)
        return self.write_file('KfRcDefaults.conf', text)

    def write_env(self, variables):
        if isinstance(variables, str):
            text = variables
        else:
            text = ''.join('%s=%s\n' % (k, v) for k, v in variables.items())
        return self.write_file('Kilnforge.env', text)

    def write_init_py(self, text):
        return self.write_file(os.path.join('Python', 'KfInit.py'), text)

    def write_preset(self, name, text, folder=None):
        if not os.path.splitext(name)[1]:
            name += '.knjprs'
        return write_text(os.path.join(folder or self.path, 'Presets', 'NetJobs', name), text)

    def write_update_control(self, pid, indent='\t'):
        """Temp/UpdControl.xss as a running updater leaves it, naming the process `pid`."""
        text = 'UpdateControl\r\n{\r\n%sProcessID = %d\r\n%sCommand = "x"\r\n}\r\n'
        return self.write_file(os.path.join('Temp', 'UpdControl.xss'), text % (indent, pid, indent))

    def install_updater(self):
        """FAKE_UPDATER as this program directory's KfUpdate.exe."""
        return write_text(self.file('KfUpdate.exe'), FAKE_UPDATER, 0o755)

    def popen(self, args, env=None, cwd=None, **popen_args):
        """Starts the program; stdout and stderr are pipes unless `popen_args` say otherwise."""
        full_env = dict(os.environ, KF_MACHINE_ENV_FILE=self.machine_env, **(env or {}))
        popen_args.setdefault('stdout', subprocess.PIPE)
        popen_args.setdefault('stderr', subprocess.PIPE)
        return subprocess.Popen([self.binary] + list(args), cwd=cwd or self.root, env=full_env,
                                **popen_args)

    def run(self, args, env=None, timeout=120, cwd=None, code=None, **popen_args):
        """Runs the program to its end (killed after `timeout` seconds) and, if `code` is given,
        fails unless it ended with that exit status; `popen_args` go to subprocess.Popen
        (preexec_fn, stdout, ...)."""
        with self.popen(args, env, cwd, **popen_args) as proc:
            try:
                out, err = proc.communicate(timeout=timeout)
            except subprocess.TimeoutExpired:
                proc.kill()
                raise
        r = Result(list(args), proc.returncode, out, err, proc.pid)
        if code is not None and r.code != code:
            raise AssertionError('exit status %s != %s\n%s' % (r.code, code, r))
        return r


def free_port():
    import socket
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as sock:
        sock.bind(('127.0.0.1', 0))
        return sock.getsockname()[1]


def failure_report(code, text, prog):
    """The report of a failed submission or log-on with failure code `code`."""
    return 'ERROR! Job submission failed [code=%i]:\n%s\n\nConfiguration: %s\n' % (
        code, text, prog.file('KfRcCmd.conf'))


def main():
    unittest.main(verbosity=2)
