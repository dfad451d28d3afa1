"""The simulated farm: users, pools, clients, renderers and the jobs it holds.

The farm is described by a JSON document (see README.md, "Farm file"). All
connections of one server share one Farm; its methods take a lock, so that
several clients may log on, submit and control at once.
"""

import copy
import json
import os
import threading

from .datatree import render_set_from_text
from .renderers import RendererPool

RIGHT_URGENT = 0x100
RIGHT_REMOTE_EXECUTION = 0x40000

JOB_VERBS = {200: 'remove', 201: 'cancel', 202: 'cancelpending', 203: 'restart',
             204: 'restartcancelled', 205: 'pause', 206: 'unpause', 210: 'restarterroneous'}
POOL_VERBS = {100: 'start', 101: 'stop', 103: 'removefromall', 104: 'assigntoall',
              105: 'connectall', 106: 'disconnectall', 108: 'shutdown', 109: 'reboot'}
CHUNK_VERBS = {400: 'skip', 401: 'restart', 402: 'cancel'}
EXEC_CLIENT = 14
EXEC_POOL = 110
KIND_CLIENT, KIND_POOL, KIND_JOB, KIND_CHUNK = 1, 2, 3, 5

DEFAULT_UPDATE_PORT = 7507


class Farm:
    """Farm description plus the mutable state of jobs, pools and executions."""

    def __init__(self, desc, base_dir='.'):
        self.desc = copy.deepcopy(desc)
        self.base_dir = base_dir
        self.lock = threading.RLock()
        d = self.desc
        self.name = d.get('name', 'Simulated farm')
        server = d.get('server', {})
        self.server_info = {
            'alias': server.get('alias', 'farmsim'), 'computer': server.get('computer', 'farmsim'),
            'third': server.get('third', ''), 'kind': server.get('kind', 2),
            'build': server.get('build', 1900), 'reserved': 0,
            'memory': server.get('memory', 16 << 30)}
        self.identifier = d.get('identifier', 'Kilnforge.V2.RemoteController')
        self.protocol_version = int(d.get('protocol_version', 45))
        self.data_stamp = int(d.get('data_stamp', 1))
        self.update_info = d.get('update_info', '')
        self.queries = dict(d.get('queries', {}))
        self.clients = list(d.get('clients', []))
        self.check_jobs = bool(d.get('check_jobs', True))
        self.chunks_per_job = int(d.get('chunks_per_job', 10))
        self.motd = d.get('motd', '')
        self.pools = {}
        for i, pool in enumerate(d.get('pools', [])):
            p = dict(pool)
            p['id'] = str(p['id'])
            p.setdefault('state', 'started')
            p.setdefault('number', i + 1)
            self.pools[p['id']] = p
        self.users = {}
        for name, user in d.get('users', {}).items():
            u = dict(user)
            u['pools'] = [self._user_pool(entry) for entry in u.get('pools', [])]
            self.users[name] = u
        self.renderers = RendererPool()
        folder = d.get('renderers')
        if folder:
            self.renderers.load_folder(os.path.join(base_dir, folder))
        self.next_job_id = int(d.get('first_job_id', 1))
        self.jobs = {}
        for job in d.get('jobs', []):
            self._add_job(dict(job))
        self.executions = []
        self.controls = []

    def _user_pool(self, entry):
        if isinstance(entry, dict):
            p = dict(entry)
            p['id'] = str(p['id'])
            self.pools.setdefault(p['id'], dict(p, state='started', number=len(self.pools) + 1))
            return p['id']
        entry = str(entry)
        if entry not in self.pools:
            raise ValueError('user pool %r is not a farm pool' % entry)
        return entry

    @classmethod
    def from_file(cls, path):
        with open(path, encoding='utf-8') as fh:
            desc = json.load(fh)
        return cls(desc, os.path.dirname(os.path.abspath(path)))

    # --- jobs ------------------------------------------------------------------

    def _add_job(self, job):
        with self.lock:
            if 'id' not in job:
                job['id'] = self.next_job_id
            job['id'] = int(job['id'])
            self.next_job_id = max(self.next_job_id, job['id'] + 1)
            job.setdefault('name', 'Job %d' % job['id'])
            job.setdefault('user', '')
            job.setdefault('state', 'waiting')
            job.setdefault('priority', 50)
            job.setdefault('renderer', '')
            chunks = job.get('chunks', self.chunks_per_job)
            if isinstance(chunks, int):
                chunks = ['waiting'] * chunks
            job['chunks'] = [dict(c) if isinstance(c, dict) else {'id': i + 1, 'state': c}
                             for i, c in enumerate(chunks)]
            self.jobs[job['id']] = job
            return job

    def submit(self, user, fields):
        """Adds a job from a decoded packet; returns (accepted, job ID or refusal text)."""
        with self.lock:
            if self.check_jobs:
                problem = self._check_packet(user, fields)
                if problem:
                    return False, problem
            count = fields.get('split_count', 0) if fields.get('split_mode', 0) else 0
            job = self._add_job({
                'name': fields.get('name', ''), 'user': user,
                'state': 'paused' if fields.get('start_paused') else 'waiting',
                'priority': fields.get('priority', 0), 'renderer': fields.get('renderer', ''),
                'pools': list(fields.get('pools', [])),
                'chunks': count if count > 0 else self.chunks_per_job})
            return True, job['id']

    def _check_packet(self, user, fields):
        u = self.users.get(user, {})
        renderer = fields.get('renderer', '')
        if not renderer:
            return 'No renderer specified'
        if not self.renderers.has_renderer(renderer):
            return 'Unknown renderer %s' % renderer
        try:
            rset = render_set_from_text(fields.get('render_settings', ''))
        except ValueError as exc:
            return 'Invalid render settings (%s)' % exc
        if rset['renderer'] not in self.renderers.version_ids():
            return 'Unknown renderer version %s' % rset['renderer']
        if rset['renderer'].split('/')[0] != renderer.rpartition('/')[2]:
            return ('Render settings for %s do not match the renderer %s'
                    % (rset['renderer'], renderer))
        pools = fields.get('pools', [])
        if not pools:
            return 'No client pool specified'
        for pool in pools:
            if pool not in u.get('pools', []):
                return 'Client pool %s is not assigned to user %s' % (pool, user)
        limit = u.get('priority_limit', 100)
        if fields.get('priority', 0) > limit:
            return 'Priority %d exceeds the limit of %d' % (fields.get('priority', 0), limit)
        if fields.get('urgent') and not u.get('rights', 0) & RIGHT_URGENT:
            return 'Urgent net jobs are not permitted'
        return None

    # --- control -----------------------------------------------------------------

    def control(self, user, fields):
        """Applies a server control message; returns (accepted, refusal text)."""
        with self.lock:
            self.controls.append(dict(fields, user=user))
            kind, code = fields.get('kind'), fields.get('code')
            if kind == KIND_JOB:
                return self._control_job(fields.get('target', ''), code)
            if kind == KIND_CHUNK:
                return self._control_chunk(fields.get('target', ''), fields.get('argument', ''),
                                           code)
            if kind == KIND_POOL:
                if code == EXEC_POOL:
                    return self._execute(user, fields, pool=True)
                return self._control_pool(fields.get('target', ''), code)
            if kind == KIND_CLIENT and code == EXEC_CLIENT:
                return self._execute(user, fields, pool=False)
            return False, 'Unsupported control (kind %s, code %s)' % (kind, code)

    def _job(self, target):
        try:
            return self.jobs.get(int(target.strip()))
        except ValueError:
            return None

    def _control_job(self, target, code):
        verb = JOB_VERBS.get(code)
        if verb is None:
            return False, 'Unknown net job control code %d' % code
        job = self._job(target)
        if job is None:
            return False, 'Net job %s does not exist' % target
        chunks = job['chunks']
        if verb == 'remove':
            del self.jobs[job['id']]
        elif verb == 'cancel':
            job['state'] = 'cancelled'
            self._set_chunks(chunks, ('waiting', 'rendering'), 'cancelled')
        elif verb == 'cancelpending':
            self._set_chunks(chunks, ('waiting',), 'cancelled')
        elif verb == 'restart':
            job['state'] = 'waiting'
            self._set_chunks(chunks, None, 'waiting')
        elif verb == 'restartcancelled':
            if job['state'] == 'cancelled':
                job['state'] = 'waiting'
            self._set_chunks(chunks, ('cancelled',), 'waiting')
        elif verb == 'pause':
            if job['state'] in ('cancelled', 'finished'):
                return False, 'Net job %d is %s and cannot be paused' % (job['id'], job['state'])
            job['state'] = 'paused'
        elif verb == 'unpause':
            if job['state'] != 'paused':
                return False, 'Net job %d is not paused' % job['id']
            job['state'] = 'waiting'
        elif verb == 'restarterroneous':
            self._set_chunks(chunks, ('error',), 'waiting')
        return True, ''

    @staticmethod
    def _set_chunks(chunks, from_states, state):
        for chunk in chunks:
            if from_states is None or chunk['state'] in from_states:
                chunk['state'] = state

    def _control_chunk(self, target, argument, code):
        verb = CHUNK_VERBS.get(code)
        if verb is None:
            return False, 'Unknown chunk control code %d' % code
        job = self._job(target)
        if job is None:
            return False, 'Net job %s does not exist' % target
        text = argument.split('|', 1)[0].strip()
        chunk = None
        if text.lstrip('-').isdigit():
            chunk = next((c for c in job['chunks'] if c['id'] == int(text)), None)
        if chunk is None:
            return False, 'Chunk %s of net job %d does not exist' % (text, job['id'])
        if verb == 'skip':
            if chunk['state'] == 'finished':
                return False, ('Chunk %d of net job %d is already finished'
                               % (chunk['id'], job['id']))
            chunk['state'] = 'skipped'
        elif verb == 'restart':
            chunk['state'] = 'waiting'
        else:
            chunk['state'] = 'cancelled'
        return True, ''

    def _control_pool(self, target, code):
        verb = POOL_VERBS.get(code)
        if verb is None:
            return False, 'Unknown pool control code %d' % code
        pool = self.pools.get(target)
        if pool is None:
            return False, 'Client pool %s does not exist' % target
        if verb == 'start':
            pool['state'] = 'started'
        elif verb == 'stop':
            pool['state'] = 'stopped'
        pool.setdefault('history', []).append(verb)
        return True, ''

    def _execute(self, user, fields, pool):
        if not self.users.get(user, {}).get('rights', 0) & RIGHT_REMOTE_EXECUTION:
            return False, 'User %s may not execute commands remotely' % user
        target = fields.get('target', '')
        if pool and target not in self.pools:
            return False, 'Client pool %s does not exist' % target
        if not pool and target not in self.clients:
            return False, 'Client %s is not connected' % target
        command, _, args = fields.get('argument', '').partition('\n')
        self.executions.append({'user': user, 'target': target, 'pool': pool, 'command': command,
                                'arguments': args, 'idle_only': bool(fields.get('number'))})
        return True, ''

    # --- login and user data -------------------------------------------------------

    def login(self, user, password):
        u = self.users.get(user)
        if u is None:
            return False, 'Unknown user %s' % user
        if u.get('password', '') != password:
            return False, 'Wrong password'
        if u.get('disabled'):
            return False, 'User %s is disabled' % user
        return True, ''

    def user_data0(self, user):
        u = self.users.get(user, {})
        return {'text1': u.get('text1', user), 'text2': u.get('text2', u.get('full_name', '')),
                'flag': u.get('flag', 0), 'rights': u.get('rights', 0),
                'priority_limit': u.get('priority_limit', 0), 'reserved': 0,
                'job_color': u.get('job_color', 0xFF000000)}

    def user_data1(self, user):
        records = []
        for pid in self.users.get(user, {}).get('pools', []):
            p = self.pools[pid]
            records.append({
                'number': p.get('number', 0), 'id': pid, 'name': p.get('name', ''),
                'description': p.get('description', ''), 'owner': p.get('owner', 'admin'),
                'active': 1 if p.get('state') == 'started' else 0,
                'client_count': len(p.get('clients', [])), 'priority': p.get('priority', 50),
                'created': p.get('created', '2026-01-01 00:00:00'), 'notes': p.get('notes', ''),
                'flags': p.get('flags', 0), 'default': 1 if p.get('default') else 0,
                'reserved': 0, 'tag': p.get('tag', '')})
        return {'lead': 0, 'pools': records}

    # --- queries -------------------------------------------------------------------

    def query(self, user, text):
        """Answers a query text; returns (accepted, answer or refusal text)."""
        with self.lock:
            if text in self.queries:
                return True, self.queries[text]
            answers = []
            for term in text.split(';'):
                term = term.strip()
                if not term:
                    continue
                if term in self.queries:
                    answers.append(self.queries[term])
                    continue
                ok, answer = self._query_term(user, term)
                if not ok:
                    return False, answer
                answers.append(answer)
            if not answers:
                return False, 'Empty query'
            return True, '\n'.join(answers)

    def _query_term(self, user, term):
        word, arg = term, ''
        for i, c in enumerate(term):
            if c in ': =' or c.isspace():
                word, arg = term[:i], term[i + 1:].strip()
                break
        word = word.lower()
        if word == 'jobs':
            return True, '\n'.join(self._job_line(j) for j in self._jobs_of(arg)) or '(none)'
        if word in ('job', 'jobstate', 'chunks'):
            job = self._job(arg)
            if job is None:
                return False, 'Net job %s does not exist' % arg
            if word == 'job':
                return True, self._job_line(job)
            if word == 'jobstate':
                return True, job['state']
            return True, '\n'.join('%d|%s' % (c['id'], c['state']) for c in job['chunks'])
        if word == 'jobcount':
            return True, str(len(self._jobs_of(arg)))
        if word == 'pools':
            return True, '\n'.join('%s|%s|%s' % (p['id'], p.get('name', ''), p['state'])
                                   for p in self.pools.values())
        if word == 'clients':
            return True, '\n'.join(self.clients)
        if word == 'renderers':
            return True, '\n'.join(self.renderers.summary())
        if word == 'whoami':
            return True, user
        if word == 'stamp':
            return True, str(self.data_stamp)
        if word == 'echo':
            return True, arg
        return False, 'Unknown query: %s' % term

    def _jobs_of(self, arg):
        jobs = sorted(self.jobs.values(), key=lambda j: j['id'])
        if arg:
            jobs = [j for j in jobs if j['user'] == arg or j['state'] == arg]
        return jobs

    @staticmethod
    def _job_line(job):
        done = sum(1 for c in job['chunks'] if c['state'] in ('finished', 'skipped'))
        return '%d|%s|%s|%s|%d|%s|%d/%d' % (job['id'], job['name'], job['state'], job['user'],
                                            job['priority'], job['renderer'], done,
                                            len(job['chunks']))

    def update_info_text(self, critical=None):
        """The update information sent with the challenge acknowledgement."""
        if critical:
            if isinstance(critical, str):
                return critical
            return 'KfRcCmd|2.1.0|yes?%d' % DEFAULT_UPDATE_PORT
        return self.update_info
