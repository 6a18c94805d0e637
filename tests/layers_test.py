#!/usr/bin/env python3
"""The folders' dependencies run one way, and the adapters of the desktop and the mail transport
hold no text the author reads: every quoted #include of a folder's sources names a header of the
same folder or of one below it."""
import pathlib, re, sys

top = pathlib.Path(sys.argv[1])
below = {  # what each folder may include besides itself
    'compose': set(), 'mail': {'compose'}, 'platform': {'mail', 'compose'},
    'about': {'platform', 'mail', 'compose'}, 'app': {'about', 'platform', 'mail', 'compose'},
}
room = lambda path: path.relative_to(top).parts[0]
sources = [p for r in below for p in (top / r).rglob('*') if p.suffix in ('.h', '.cpp')]
headers = {p.name: room(p) for p in sources}
wrong = []
for source in sources:
    for name in re.findall(r'^#include "([^"]+)"', source.read_text(), re.M):
        if headers.get(name, room(source)) not in below[room(source)] | {room(source)}:
            wrong.append(f'{source.relative_to(top)} includes {name} ({headers[name]}/)')
for adapter in ('platform/desktop', 'platform/mailer'):
    for source in (top / adapter).rglob('*.[ch]*'):
        if re.search('[\u3040-\u30ff\u4e00-\u9fff\uff01-\uff5e]', source.read_text()):
            wrong.append(f'{source.relative_to(top)} holds Japanese text')
print('\n'.join(wrong) or 'the folders depend one way')
print(f'{int(not wrong)} passed, {int(bool(wrong))} failed')
sys.exit(bool(wrong))
