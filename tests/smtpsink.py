#!/usr/bin/python3
"""An SMTP server on 127.0.0.1 that stores what it receives in the maildir given, with the
envelope's recipients as X-RcptTo; prints its port once it listens."""
import asyncio, sys
from aiosmtpd.handlers import Mailbox
from aiosmtpd.smtp import SMTP
async def main():
    server = await asyncio.get_running_loop().create_server(
        lambda: SMTP(Mailbox(sys.argv[1]), hostname='localhost'), '127.0.0.1', 0)
    print(server.sockets[0].getsockname()[1], flush=True)
    await asyncio.Event().wait()
asyncio.run(main())
