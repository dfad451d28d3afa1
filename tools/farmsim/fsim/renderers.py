"""Renderer definitions of the simulated farm.

A folder holds XML files in the render-system vocabulary, read in file name
order. A file's root element may be:
  - "RendererGroup": a group (Name, Description, Visible), optionally with its
    renderers in a "Renderers" element;
  - "Renderer": one renderer in full form (Group, Name, ..., components,
    Versions); its group is created, visible, when no file defines it;
  - "DataRoot": an exchange document whose "Content" holds RendererGroup elements.
The farm serves the whole pool as one exchange document ("DataRoot",
"ContentType" Pool/1.0, "Content" with one RendererGroup per group in full form).
Missing "Uuid" children are filled with stable name-based identifiers, and a
version's missing "Parent" with its renderer's name.
"""

import os
import uuid

from .datatree import DataNode, parse_file

_NAMESPACE = uuid.UUID('6f1f6a52-3c1d-4f0e-9a7b-2d4b8c1e5a10')


def _stable_uuid(*names):
    return '{%s}' % str(uuid.uuid5(_NAMESPACE, '/'.join(names))).upper()


def _is_true(text):
    return text.strip().lower() in ('true', 'yes', 'on', '1')


class RendererPool:
    """The groups, renderers and versions that the farm offers."""

    def __init__(self):
        self.groups = []        # DataNode "RendererGroup", in order
        self._by_name = {}

    def group(self, name, create=True):
        node = self._by_name.get(name)
        if node is None and create:
            node = DataNode('RendererGroup')
            node.add('Name', name)
            node.add('Description', '')
            node.add('Visible', 'true')
            self._add_group(node)
        return node

    def _add_group(self, node):
        name = node.get('Name')
        existing = self._by_name.get(name)
        if existing is not None:
            for child in node.children:
                if child.name in ('Description', 'Visible') and existing.find(child.name):
                    existing.find(child.name).text = child.text
            source = node.find('Renderers')
            node = existing
        else:
            source = node.find('Renderers')
            if source is not None:
                node.children.remove(source)
            self.groups.append(node)
            self._by_name[name] = node
        if node.find('Renderers') is None:
            node.append(DataNode('Renderers'))
        if source is not None:
            for renderer in source.find_all('Renderer'):
                self.add_renderer(renderer, name)

    def add_renderer(self, node, group_name=None):
        group_name = group_name or node.get('Group')
        if not group_name:
            raise ValueError('renderer %r names no group' % node.get('Name'))
        if node.find('Group') is None:
            node.children.insert(0, DataNode('Group', group_name))
        self.group(group_name).find('Renderers').append(node)

    def load_folder(self, folder):
        for name in sorted(os.listdir(folder)):
            if not name.lower().endswith('.xml'):
                continue
            root = parse_file(os.path.join(folder, name))
            if root.name == 'RendererGroup':
                self._add_group(root)
            elif root.name == 'Renderer':
                self.add_renderer(root)
            elif root.name == 'DataRoot':
                content = root.find('Content')
                for group in (content.find_all('RendererGroup') if content else []):
                    self._add_group(group)
            else:
                raise ValueError('%s: unknown root element %r' % (name, root.name))
        self._complete()
        return self

    def _complete(self):
        for group in self.groups:
            gname = group.get('Name')
            if group.find('Uuid') is None:
                group.insert_before('Renderers', DataNode('Uuid', _stable_uuid(gname)))
            for renderer in group.find('Renderers').find_all('Renderer'):
                rname = renderer.get('Name')
                versions = renderer.find('Versions')
                if versions is None:
                    versions = renderer.append(DataNode('Versions'))
                if renderer.find('Uuid') is None:
                    renderer.insert_before('Versions', DataNode('Uuid', _stable_uuid(gname, rname)))
                for version in versions.find_all('RendererVersion'):
                    vname = version.get('Name')
                    if version.find('Parent') is None:
                        version.append(DataNode('Parent', rname))
                    if version.find('Uuid') is None:
                        version.append(DataNode('Uuid', _stable_uuid(gname, rname, vname)))

    # --- questions the farm asks ----------------------------------------------

    def renderers(self):
        """(group name, renderer node) for every renderer."""
        for group in self.groups:
            for renderer in group.find('Renderers').find_all('Renderer'):
                yield group.get('Name'), renderer

    def has_renderer(self, full_name):
        """True for "Group/Renderer" (or a bare renderer name) that the pool holds."""
        group, _, name = full_name.rpartition('/')
        for gname, renderer in self.renderers():
            if renderer.get('Name') == name and (not group or gname == group):
                return True
        return False

    def version_ids(self):
        ids = []
        for _, renderer in self.renderers():
            versions = renderer.find('Versions')
            for version in versions.find_all('RendererVersion') if versions else []:
                ids.append('%s/%s' % (renderer.get('Name'), version.get('Name')))
        return ids

    def summary(self):
        """One line per version: Group/Renderer/Version, default and visibility marks."""
        lines = []
        for gname, renderer in self.renderers():
            versions = renderer.find('Versions')
            for version in versions.find_all('RendererVersion') if versions else []:
                marks = ''
                if _is_true(version.get('DefaultVersion')):
                    marks += ' default'
                if not _is_true(version.get('Visible')):
                    marks += ' hidden'
                lines.append('%s/%s/%s%s'
                             % (gname, renderer.get('Name'), version.get('Name'), marks))
        return lines

    def exchange_document(self):
        root = DataNode('DataRoot')
        root.add('ContentType', 'Pool/1.0')
        content = root.add('Content')
        for group in self.groups:
            content.append(group)
        return root

    def record(self):
        """The whole pool as one render-system data record."""
        return {'mode': 1, 'kind': 1, 'key': 'Pool', 'text': self.exchange_document().to_text()}
