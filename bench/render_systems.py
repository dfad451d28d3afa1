"""Generated render systems for the farm simulator: GROUPS x RENDERERS x VERSIONS x PARAMETERS.

    python3 bench/render_systems.py FOLDER GROUPS RENDERERS VERSIONS PARAMETERS

writes FOLDER/farm.json (the demo farm's users and pools) and FOLDER/renderers/pool.xml, an
exchange document the simulator serves as its pool. Every renderer is "Gg/Rg_r" with versions
"1.0", "2.0", ... (the last one the default); every version has PARAMETERS parameters, each with a
display name, help text, range and default. The renderer cache a client writes from it takes
about 0.1 MB for 2 2 2 10, 1.9 MB for 10 4 4 10 and 8.4 MB for 20 5 4 20.
"""

import json
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
DEMO_FARM = os.path.join(os.path.dirname(HERE), 'tools', 'farmsim', 'demo', 'farm.json')

PARAMETER = '''<Parameter><Inherited>false</Inherited><ID>p{n}</ID><Type>{type}</Type>
<TypeFlags>0</TypeFlags><Group>Generated settings {g}</Group>
<DisplayName>Setting {n} of {rid}</DisplayName>
<Help>Help text of setting {n}: what it changes in the render, and the values it takes</Help>
<Mandatory>false</Mandatory><Invisible>false</Invisible><UseRange>true</UseRange>
<MinValue>0.000000</MinValue><MaxValue>{max}.000000</MaxValue>
<SplittableList>false</SplittableList><ListSeparator></ListSeparator>
<ForceSplitting>false</ForceSplitting><QuoteSplits>false</QuoteSplits>
<TrueValue></TrueValue><FalseValue></FalseValue><EnumValues></EnumValues>
<DefaultValue>{default}</DefaultValue>
<ShowInNjDetails>false</ShowInNjDetails><Dependencies></Dependencies></Parameter>'''

COMPONENTS = ('<CommandLine><Switches></Switches><CmdLine>render -s {rid} $(scene)</CmdLine>'
              '</CommandLine><Executables></Executables><ReturnCodes></ReturnCodes>'
              '<OutputFilters></OutputFilters><Script></Script><Template></Template>'
              '<Environment></Environment>')


def version_xml(group, renderer, version, parameters, default):
    rid = '%s/%s' % (renderer, version)
    params = ''.join(PARAMETER.format(n=n, type=1 + n % 2, g=n % 3, rid=rid, max=10 * (n + 1),
                                      default=n % 7).replace('\n', '')
                     for n in range(parameters))
    return ('<RendererVersion><Name>{v}</Name><Description>Version {v} of {r}</Description>'
            '<Capabilities>0</Capabilities><DefaultVersion>{d}</DefaultVersion>'
            '<Visible>true</Visible><Parameters>{p}</Parameters>{c}</RendererVersion>').format(
                v=version, r=renderer, d='true' if default else 'false', p=params,
                c=COMPONENTS.format(rid=rid))


def pool_xml(groups, renderers, versions, parameters):
    out = ['<DataRoot><ContentType>Pool/1.0</ContentType><Content>']
    for g in range(groups):
        gname = 'G%d' % g
        out.append('<RendererGroup><Name>%s</Name><Description>Generated group %d</Description>'
                   '<Visible>true</Visible><Renderers>' % (gname, g))
        for r in range(renderers):
            rname = 'R%d_%d' % (g, r)
            out.append('<Renderer><Group>%s</Group><Name>%s</Name><Description>Generated renderer'
                       '</Description><FileMask>*.scn</FileMask><Capabilities>1</Capabilities>'
                       '<Visible>true</Visible><Parameters></Parameters>%s<Versions>'
                       % (gname, rname, COMPONENTS.format(rid=rname)))
            for v in range(versions):
                out.append(version_xml(gname, rname, '%d.0' % (v + 1), parameters,
                                       v == versions - 1))
            out.append('</Versions></Renderer>')
        out.append('</Renderers></RendererGroup>')
    out.append('</Content></DataRoot>\n')
    return ''.join(out)


def write_farm(folder, groups, renderers, versions, parameters):
    """Writes the farm and returns the path of its farm file."""
    with open(DEMO_FARM, encoding='utf-8') as fh:
        farm = json.load(fh)
    farm['renderers'] = 'renderers'
    farm['motd'] = ''
    os.makedirs(os.path.join(folder, 'renderers'), exist_ok=True)
    with open(os.path.join(folder, 'renderers', 'pool.xml'), 'w', encoding='utf-8') as fh:
        fh.write(pool_xml(groups, renderers, versions, parameters))
    path = os.path.join(folder, 'farm.json')
    with open(path, 'w', encoding='utf-8') as fh:
        json.dump(farm, fh)
    return path


if __name__ == '__main__':
    if len(sys.argv) != 6:
        raise SystemExit(__doc__)
    print(write_farm(sys.argv[1], *[int(a) for a in sys.argv[2:]]))
