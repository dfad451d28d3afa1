import unittest

from fsim.datatree import (DataNode, escape_text, parse_text, render_set_from_text,
                           render_set_to_text, unescape_text)


class DataTree(unittest.TestCase):
    def test_backslash_sequences_come_before_entities(self):
        self.assertEqual(escape_text('a\\b\nc\rd\te'), 'a\\\\b\\nc\\rd\\te')
        self.assertEqual(escape_text('<a & "b" \'c\'>'),
                         '&lt;a &amp; &quot;b&quot; &apos;c&apos;&gt;')
        self.assertEqual(escape_text('\u00c4\u00d6\u00dc\u00e4\u00f6\u00fc\u00df \u00e9'),
                         '&#196;&#214;&#220;&#228;&#246;&#252;&#223; \u00e9')
        self.assertEqual(escape_text('   '), '&nbsp;&nbsp;&nbsp;')
        self.assertEqual(escape_text(' x '), ' x ')
        self.assertEqual(escape_text('\t'), '\\t')

    def test_round_trip_through_the_xml_parser(self):
        texts = ['a\\nb is not a line break', 'line 1\nline 2\r\n\tindented', 'C:\\temp\\new',
                 '   ', 'x < y && "q"', 'Grü\u00dfe aus Köln', '&amp; literal']
        for text in texts:
            node = DataNode('Root')
            node.add('Text', text)
            back = parse_text(node.to_text())
            self.assertEqual(back.get('Text'),
                             text if text != '&amp; literal' else '& literal', text)

    def test_unescape_of_a_lone_trailing_backslash(self):
        self.assertEqual(unescape_text('a\\'), 'a\\')
        self.assertEqual(unescape_text('\\q\\\\'), 'q\\')

    def test_written_layout(self):
        node = DataNode('Renderer', 'a<b')
        node.add('Name', 'x')
        self.assertEqual(node.to_text(), '<Renderer>a&lt;b\n\t<Name>x</Name>\n</Renderer>\n')

    def test_indentation_is_not_text_but_blank_leaves_are(self):
        doc = parse_text('<A>\n\t<B>\n\t\t<C>  </C>\n\t</B>\n\t<D></D>\n</A>\n')
        self.assertEqual((doc.text, doc.find('B').text), ('', ''))
        self.assertEqual(doc.find('B').get('C'), '  ')
        self.assertEqual(doc.get('D', None), '')
        self.assertEqual(parse_text(doc.to_text()).to_dict(), doc.to_dict())

    def test_malformed_documents(self):
        for text in ('', '<A>', '<A></B>', 'plain'):
            with self.assertRaises(ValueError):
                parse_text(text)

    def test_hash_ids_and_byte_order(self):
        text = render_set_to_text('Maya/2024', {'layer': ['a', 'b'], 'Zeta': ['1'], 'pass#': ['x']})
        self.assertLess(text.index('<Zeta>'), text.index('<layer>'))
        self.assertIn('<pass__Count__>', text)
        self.assertEqual(render_set_from_text(text),
                         {'renderer': 'Maya/2024',
                          'values': {'layer': ['a', 'b'], 'Zeta': ['1'], 'pass#': ['x']}})

    def test_documents_that_are_not_render_sets(self):
        for text in ('<Other/>', '<RenderSet><Renderer>x</Renderer></RenderSet>'):
            with self.assertRaises(ValueError):
                render_set_from_text(text)


if __name__ == '__main__':
    unittest.main()
