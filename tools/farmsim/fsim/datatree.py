"""The data node tree and its XML text.

Renderer definitions, pool exchange documents and render sets travel as a tree
of named nodes, each with a text, written as simple XML: one element per node,
tab-indented, no declaration and no attributes. A node's text is escaped in two
steps: first backslash, line feed, carriage return and tab become two-character
backslash sequences, then the entity table below is applied. Parsing undoes both
after the XML parser has resolved its own entities. Indentation between child
elements is not part of any text; a leaf that holds only blanks keeps them.
"""

import xml.etree.ElementTree as ET

_ENTITIES = [
    ('&', '&amp;'), ("'", '&apos;'), ('<', '&lt;'), ('>', '&gt;'), ('"', '&quot;'),
]
_LATIN = [
    ('\u00c4', '&#196;'), ('\u00d6', '&#214;'), ('\u00dc', '&#220;'), ('\u00e4', '&#228;'),
    ('\u00f6', '&#246;'), ('\u00fc', '&#252;'), ('\u00df', '&#223;'),
]
_BACKSLASH = {'\\': '\\\\', '\n': '\\n', '\r': '\\r', '\t': '\\t'}
_UNBACKSLASH = {'n': '\n', 'r': '\r', 't': '\t'}


def escape_text(text):
    text = ''.join(_BACKSLASH.get(c, c) for c in text)
    for plain, entity in _ENTITIES:
        text = text.replace(plain, entity)
    if text and text.isspace():
        text = text.replace(' ', '&nbsp;')
    for plain, entity in _LATIN:
        text = text.replace(plain, entity)
    return text


def unescape_text(text):
    out = []
    i = 0
    while i < len(text):
        c = text[i]
        if c == '\\' and i + 1 < len(text):
            nxt = text[i + 1]
            out.append(_UNBACKSLASH.get(nxt, nxt))
            i += 2
            continue
        out.append(c)
        i += 1
    text = ''.join(out)
    for plain, entity in _ENTITIES + [(' ', '&nbsp;')] + _LATIN:
        text = text.replace(entity, plain)
    return text


class DataNode:
    """One named node with a list of texts (the first is its text) and children."""

    def __init__(self, name='', text=None):
        self.name = name
        self.texts = [] if text is None else [str(text)]
        self.children = []

    @property
    def text(self):
        return self.texts[0] if self.texts else ''

    @text.setter
    def text(self, value):
        self.texts = [str(value)]

    def add_text(self, text, replace=False):
        if replace:
            self.texts = []
        elif len(self.texts) == 1 and not self.texts[0].strip():
            self.texts = []
        self.texts.append(text)

    def add(self, name, text=None):
        child = DataNode(name, text)
        self.children.append(child)
        return child

    def append(self, node):
        self.children.append(node)
        return node

    def find(self, name):
        for child in self.children:
            if child.name == name:
                return child
        return None

    def find_all(self, name):
        return [c for c in self.children if c.name == name]

    def get(self, name, default=''):
        child = self.find(name)
        return default if child is None else child.text

    def insert_before(self, before_name, node):
        """Inserts node before the first child named before_name, else appends it."""
        for i, child in enumerate(self.children):
            if child.name == before_name:
                self.children.insert(i, node)
                return node
        return self.append(node)

    def to_text(self):
        out = []
        _write(self, 0, out)
        out.append('\n')
        return ''.join(out)

    def to_dict(self):
        """A plain nested form for the journal and for tests."""
        d = {'name': self.name, 'text': self.text}
        if self.children:
            d['children'] = [c.to_dict() for c in self.children]
        return d


def _write(node, depth, out):
    out.append('\t' * depth)
    out.append('<%s>' % node.name)
    out.append(escape_text(node.text))
    if node.children:
        out.append('\n')
        for i, child in enumerate(node.children):
            if i:
                out.append('\n')
            _write(child, depth + 1, out)
        out.append('\n' + '\t' * depth)
    out.append('</%s>' % node.name)


def parse_text(text):
    """Parses XML text (str or UTF-8 bytes) into a DataNode; raises ValueError."""
    if isinstance(text, str):
        text = text.encode('utf-8')
    text = text.replace(b'&nbsp;', b' ')
    try:
        root = ET.fromstring(text)
    except ET.ParseError as exc:
        raise ValueError('not well-formed XML: %s' % exc)
    return _convert(root)


def _convert(elem):
    node = DataNode(elem.tag if isinstance(elem.tag, str) else '')
    pieces = [elem.text] + [child.tail for child in elem]
    has_children = len(elem) > 0
    for piece in pieces:
        if piece is None or (has_children and not piece.strip()):
            continue
        node.add_text(unescape_text(piece))
    for child in elem:
        if isinstance(child.tag, str):
            node.children.append(_convert(child))
    return node


def parse_file(path):
    with open(path, 'rb') as fh:
        return parse_text(fh.read())


# --- render sets -----------------------------------------------------------------

def render_set_from_text(text):
    """The renderer and the values of a render set document: {'renderer', 'values'}."""
    root = parse_text(text)
    if root.name != 'RenderSet':
        raise ValueError('root element is %r, not RenderSet' % root.name)
    values_node = root.find('Values')
    if values_node is None:
        raise ValueError('render set without Values')
    values = {}
    for child in values_node.children:
        values[child.name.replace('__Count__', '#')] = [v.text for v in child.find_all('Value')]
    return {'renderer': root.get('Renderer'), 'values': values}


def render_set_to_text(renderer, values):
    root = DataNode('RenderSet')
    root.add('Renderer', renderer)
    vnode = root.add('Values')
    for key in sorted(values, key=lambda k: k.encode('utf-8')):
        item = vnode.add(key.replace('#', '__Count__'))
        for s in values[key]:
            item.add('Value', s)
    return root.to_text()
