"""Faults that a test switches on for one server run.

The switches (all optional) as a dict or JSON object:

  refuse_challenge   text   acknowledge the challenge with result 0 and this text
  refuse_login       text   acknowledge every login with result 0 and this text
  critical_update    true or text   announce a critical update in the challenge
                            acknowledgement (the text replaces the default one)
  silent             trigger or list   never answer (nor act on) these messages
  delay              seconds, or {trigger: seconds}   answer late
  refuse_job         text   refuse every net job packet with this text
  refuse_control     text, or {"text": t, "codes": [..]}   refuse server control
                            messages (all, or those of the listed codes)
  close_after        N      close the connection once the N-th message of the
                            client has arrived, without answering it
  close_on           trigger   close the connection when such a message has
                            arrived, without answering it
  close_mid_receive  trigger   close the connection when the first frame of such a
                            message arrives in several frames, before the rest
  close_mid_message  trigger   send only the first frame of the answer, then close
  wrong_part_index   trigger   send the answer in two or more frames; the second
                            carries a wrong part index
  garbage            trigger, or {"on": trigger, "kind": k, "close": bool}
                            answer with garbage; kinds: "noise" (random bytes),
                            "oversize" (a frame announcing 1000000 bytes),
                            "undersize" (a frame announcing 8 bytes), "badzlib"
                            (compressed bodies of the answer damaged), "hugeul"
                            (compressed bodies announcing 4 GiB), "hex:<bytes>"
  frame_payload      N      cut server messages into pieces of N bytes
  body               {"on": trigger, "hex": h, "file": path, "zeros": N}
                            the compressed bodies of the answer carry these
                            bytes (hex, then the file's content, then N zero
                            bytes) in place of their fields

A trigger names the client messages it applies to: a type number (7 login,
14 net job packet, 15 server control, ...), "request:N" for a request asking for
type N (22 renderer data, 8/9 user data, 24 query), "request:N:P" for such a
request with parameter P (22 with 0 asks for the data stamp, with 1 for the
whole pool), or "*" for every message.
"""

import json


class Trigger:
    def __init__(self, spec):
        self.any = spec in ('*', True, None)
        self.type = None
        self.requested = None
        self.parameter = None
        if self.any:
            return
        text = str(spec).strip().lower()
        if text.startswith('request:'):
            self.type = 1025
            parts = text.split(':')
            self.requested = int(parts[1])
            if len(parts) > 2:
                self.parameter = int(parts[2])
        else:
            self.type = int(text)

    def matches(self, msg):
        if msg is None:
            return False
        if self.any:
            return True
        if msg.type != self.type:
            return False
        if self.requested is not None and msg.fields.get('requested_type') != self.requested:
            return False
        return self.parameter is None or msg.fields.get('parameter') == self.parameter


def _triggers(spec):
    if spec is None or spec is False:
        return []
    if isinstance(spec, (list, tuple)):
        return [Trigger(s) for s in spec]
    return [Trigger(spec)]


class Faults:
    def __init__(self, spec=None):
        if isinstance(spec, str):
            spec = json.loads(spec)
        spec = dict(spec or {})
        unknown = set(spec) - {
            'refuse_challenge', 'refuse_login', 'critical_update', 'silent', 'delay',
            'refuse_job', 'refuse_control', 'close_after', 'close_on', 'close_mid_receive',
            'close_mid_message',
            'wrong_part_index', 'garbage', 'frame_payload', 'body'}
        if unknown:
            raise ValueError('unknown fault switches: %s' % ', '.join(sorted(unknown)))
        self.spec = spec
        self.refuse_challenge = spec.get('refuse_challenge')
        self.refuse_login = spec.get('refuse_login')
        self.critical_update = spec.get('critical_update')
        self.silent = _triggers(spec.get('silent'))
        delay = spec.get('delay')
        if isinstance(delay, dict):
            self.delays = [(Trigger(k), float(v)) for k, v in delay.items()]
        elif delay:
            self.delays = [(Trigger('*'), float(delay))]
        else:
            self.delays = []
        self.refuse_job = spec.get('refuse_job')
        control = spec.get('refuse_control')
        if isinstance(control, dict):
            self.refuse_control = control.get('text', 'Refused')
            self.refuse_control_codes = control.get('codes')
        else:
            self.refuse_control = control
            self.refuse_control_codes = None
        self.close_after = spec.get('close_after')
        self.close_on = _triggers(spec.get('close_on'))
        self.close_mid_receive = _triggers(spec.get('close_mid_receive'))
        self.close_mid_message = _triggers(spec.get('close_mid_message'))
        self.wrong_part_index = _triggers(spec.get('wrong_part_index'))
        garbage = spec.get('garbage')
        if isinstance(garbage, dict):
            self.garbage = _triggers(garbage.get('on', '*'))
            self.garbage_kind = garbage.get('kind', 'noise')
            self.garbage_close = bool(garbage.get('close', False))
        else:
            self.garbage = _triggers(garbage)
            self.garbage_kind = 'noise'
            self.garbage_close = False
        self.frame_payload = spec.get('frame_payload')
        body = spec.get('body')
        self.body = _triggers(body.get('on', '*')) if body else []
        self.body_spec = body or {}

    def plain_body(self):
        """The bytes of the `body` switch."""
        data = bytes.fromhex(self.body_spec.get('hex', ''))
        if self.body_spec.get('file'):
            with open(self.body_spec['file'], 'rb') as fh:
                data += fh.read()
        return data + bytes(int(self.body_spec.get('zeros', 0)))

    @staticmethod
    def any_match(triggers, msg):
        return any(t.matches(msg) for t in triggers)

    def delay_for(self, msg):
        return max([secs for t, secs in self.delays if t.matches(msg)] or [0.0])

    def control_refusal(self, code):
        if self.refuse_control is None:
            return None
        if self.refuse_control_codes is not None and code not in self.refuse_control_codes:
            return None
        return self.refuse_control
