#!/usr/bin/python3
"""Reads a message from standard input as a recipient's mail program would, and prints its
name, address, subject and body as JSON, and the sender where it names one. Without the argument "relayed" it also checks that the
message keeps the rules a transport is handed: the headers Zelvora writes and no others, UTF-8
base64 text, lines of at most 78 columns, encoded words of at most 75 characters."""
import email, json, re, sys
from email import policy
from email.header import decode_header, make_header
from email.utils import getaddresses
raw = sys.stdin.buffer.read()
msg = email.message_from_bytes(raw, policy=policy.default)
if sys.argv[1:] != ['relayed']:
    form = [sorted(k.lower() for k in msg.keys()), msg.get_content_type(),
            msg.get_content_charset(), msg['Content-Transfer-Encoding'], msg['MIME-Version']]
    headers = ['content-transfer-encoding', 'content-type', 'date', 'message-id', 'mime-version',
               'subject', 'to']
    if msg['From']:  # only where the author has set their address
        headers = sorted(headers + ['from'])
    assert form == [headers, 'text/plain', 'utf-8', 'base64', '1.0'], form
    assert b'\r' not in raw and max(map(len, raw.split(b'\n'))) <= 78 and msg['Date'].datetime
    for w in re.findall(r'=\?[^?\s]*\?[^?\s]*\?[^?\s]*\?=', raw.split(b'\n\n')[0].decode('ascii')):
        assert len(w) <= 75 and w[:10].lower() in ('=?utf-8?b?', '=?utf-8?q?'), w
# Whitespace between encoded words is no part of the name (RFC 2047, 6.2): read by the decoder
# that keeps to that, and by policy.default, which adds spaces there (CPython issue 128110).
[(name, _)] = getaddresses([''.join(email.message_from_bytes(raw)['To'].splitlines())])
name = str(make_header(decode_header(name)))
[to] = msg['To'].addresses
assert to.display_name.replace(' ', '') == name.replace(' ', ''), to.display_name
seen = [name, to.addr_spec, str(msg['Subject']), msg.get_payload(decode=True).decode('utf-8')]
if msg['From'] and sys.argv[1:] != ['relayed']:  # a transport adds its own
    [sender] = msg['From'].addresses
    seen.append(f'{sender.display_name} <{sender.addr_spec}>')
json.dump(seen, sys.stdout)
