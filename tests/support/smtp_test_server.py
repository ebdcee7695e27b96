#!/usr/bin/python3
"""A small SMTP server for the tests, on loopback only.

It opens five listeners on 127.0.0.1, each on a free port:

  plain     SMTP without encryption (no STARTTLS offered)
  starttls  SMTP that offers STARTTLS
  tls       SMTP inside TLS from the first byte (implicit TLS)
  silent    accepts the connection and never says a word (no greeting)
  silenttls completes the TLS handshake, then never says a word

The TLS listeners use a self-signed certificate made at start-up with the
openssl command and accept TLS 1.2 and newer only, as current servers do
(--legacy-tls turns that round).
AUTH LOGIN and AUTH PLAIN are offered on every listener, also without TLS.

When all listeners are up, one line of JSON goes to stdout:

  {"plain": 40001, "starttls": 40002, "tls": 40003, "silent": 40004,
   "silenttls": 40005}

Records, written to --record-dir (each file appears complete, by a rename):

  message-NNNN.json  one per accepted message:
      index, session (number of the connection), listener, tls (bool),
      tls_version ("TLSv1.3" or null), auth_user (null when not
      authenticated), mail_from, rcpt_tos (list), data_base64 (the message
      as received, dot-stuffing removed), headers (list of [name, raw value,
      value decoded from RFC 2047 encoded words]) and parts (every leaf MIME
      part: content_type, charset, filename, transfer_encoding,
      payload_base64 = the decoded content bytes, text = those bytes decoded
      with the part's charset (us-ascii when none), or null when not text/*).
  session-NNNN.json  one per connection, when it has closed:
      session, listener, tls, tls_version, auth_user, commands (the verbs in
      the order received, e.g. ["EHLO", "STARTTLS", "EHLO", "AUTH", "MAIL",
      "RCPT", "DATA", "QUIT"]) and messages (how many were accepted).

Options change the behaviour for every listener:

  --user U --password P   the only accepted credentials (default user/secret)
  --refuse-auth           every authentication fails with 535
  --require-auth          MAIL before a successful AUTH gets 530
  --refuse-rcpt ADDR      RCPT TO this address gets 550 (may be repeated)
  --drop-after N          the connection is closed right after the Nth message
                          of a session has been accepted (the 250 is sent)
  --hang-up-rcpt ADDR=REPLY
                          RCPT TO this address gets REPLY (e.g. "421 4.3.2
                          Shutting down") and the connection is closed
  --require-starttls      the starttls listener answers every command but
                          EHLO, NOOP, QUIT and STARTTLS with 530 until TLS is on
  --legacy-tls            the TLS listeners speak only TLS 1.0 and 1.1, with an
                          RSA certificate and RSA key exchange, as old servers do

The server ends on SIGTERM or SIGINT, and when its stdin reaches end of file
(so it never outlives the test program that started it); --stay turns the
stdin watch off for runs by hand.
"""

import argparse
import asyncio
import base64
import email
import email.header
import email.policy
import json
import logging
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import warnings

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword

LISTENERS = ("plain", "starttls", "tls", "silent", "silenttls")


def make_certificate(folder, legacy):
    """A self-signed certificate for localhost: a fast EC key, or RSA for the
    old versions (their signed key exchanges use SHA-1, which clients refuse;
    RSA key exchange needs no signature)."""
    key = os.path.join(folder, "key.pem")
    cert = os.path.join(folder, "cert.pem")
    kind = ["rsa:2048"] if legacy else ["ec", "-pkeyopt", "ec_paramgen_curve:prime256v1"]
    subprocess.run(
        ["openssl", "req", "-x509", "-newkey", *kind,
         "-nodes", "-keyout", key, "-out", cert, "-days", "2", "-subj", "/CN=localhost"],
        check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return cert, key


def server_context(cert, key, legacy):
    import ssl
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    if legacy:
        # Security level 0, or OpenSSL itself refuses to speak the old versions.
        context.set_ciphers("AES128-SHA:AES256-SHA:@SECLEVEL=0")
        context.minimum_version = ssl.TLSVersion.TLSv1
        context.maximum_version = ssl.TLSVersion.TLSv1_1
    else:
        context.minimum_version = ssl.TLSVersion.TLSv1_2
    context.load_cert_chain(cert, key)
    return context


def send_handshake_alerts():
    """Real TLS servers tell a client why its handshake failed (an alert such
    as "protocol version"); asyncio drops that alert and just closes. Flush it
    first, so the client sees what it would see from a real server."""
    from asyncio import sslproto
    complete = sslproto.SSLProtocol._on_handshake_complete

    def flushing(self, handshake_exc):
        if handshake_exc is not None:
            try:
                self._process_outgoing()
            except Exception:  # the connection may be gone already
                pass
        complete(self, handshake_exc)

    sslproto.SSLProtocol._on_handshake_complete = flushing


def decode_header_value(value):
    try:
        return str(email.header.make_header(email.header.decode_header(value)))
    except Exception as error:  # a malformed encoded word is a finding, not a crash
        return "<undecodable: %s>" % error


def describe_parts(message):
    parts = []
    for part in message.walk():
        if part.is_multipart():
            continue
        payload = part.get_payload(decode=True) or b""
        charset = part.get_content_charset()
        text = None
        if part.get_content_maintype() == "text":
            try:
                text = payload.decode(charset or "us-ascii", errors="replace")
            except LookupError:
                text = None
        parts.append({
            "content_type": part.get_content_type(),
            "charset": charset,
            "filename": part.get_filename(),
            "transfer_encoding": part.get("Content-Transfer-Encoding"),
            "payload_base64": base64.b64encode(payload).decode("ascii"),
            "text": text,
        })
    return parts


class Recorder:
    """Numbers sessions and messages and writes their records atomically."""

    def __init__(self, folder):
        self.folder = folder
        self.sessions = 0
        self.messages = 0

    def next_session(self):
        self.sessions += 1
        return self.sessions

    def write(self, kind, number, record):
        name = os.path.join(self.folder, "%s-%04d.json" % (kind, number))
        with open(name + ".tmp", "w", encoding="utf-8") as f:
            json.dump(record, f, ensure_ascii=False, indent=1)
        os.replace(name + ".tmp", name)

    def message(self, server, envelope):
        self.messages += 1
        data = envelope.original_content or b""
        parsed = email.message_from_bytes(data, policy=email.policy.compat32)
        record = server.session_record()
        record.update({
            "index": self.messages,
            "mail_from": envelope.mail_from,
            "rcpt_tos": list(envelope.rcpt_tos),
            "data_base64": base64.b64encode(data).decode("ascii"),
            "headers": [[name, str(value), decode_header_value(value)]
                        for name, value in parsed.items()],
            "parts": describe_parts(parsed),
        })
        self.write("message", self.messages, record)


class Handler:
    def __init__(self, options, recorder):
        self.options = options
        self.recorder = recorder

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        hang_up = self.options.hang_up_rcpt.get(address.lower())
        if hang_up:
            server.hang_up = True  # once the reply is out
            return hang_up
        if address.lower() in self.options.refuse_rcpt:
            return "550 5.1.1 <%s>: Recipient address rejected" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.recorder.message(server, envelope)
        server.accepted += 1
        return "250 2.0.0 Message accepted"

    def authenticate(self, server, session, envelope, mechanism, auth_data):
        if self.options.refuse_auth or not isinstance(auth_data, LoginPassword):
            return AuthResult(success=False, handled=False)
        ok = (auth_data.login == self.options.user.encode("utf-8")
              and auth_data.password == self.options.password.encode("utf-8"))
        if ok:
            server.auth_user = self.options.user
        return AuthResult(success=ok, handled=False)


class RecordingSMTP(SMTP):
    """aiosmtpd's server, noting per connection the commands, TLS and login."""

    def __init__(self, handler, listener, recorder, drop_after, **kwargs):
        super().__init__(handler, authenticator=handler.authenticate, **kwargs)
        self.listener = listener
        self.recorder = recorder
        self.drop_after = drop_after
        self.number = recorder.next_session()
        self.commands = []
        self.accepted = 0
        self.hang_up = False
        self.auth_user = None
        # Noted once the handshake is done: the TLS object forgets it on close.
        self.tls_version = None

    def connection_made(self, transport):
        if self.tls_version is None and self.listener == "tls":
            self.tls_version = transport.get_extra_info("ssl_object").version()
        super().connection_made(transport)

    def session_record(self):
        return {
            "session": self.number,
            "listener": self.listener,
            "tls": self.tls_version is not None,
            "tls_version": self.tls_version,
            "auth_user": self.auth_user,
        }

    def connection_lost(self, error):
        if self.number is not None:
            record = self.session_record()
            record.update({"commands": self.commands, "messages": self.accepted})
            self.recorder.write("session", self.number, record)
            self.number = None
        super().connection_lost(error)

    async def _note(self, verb, method, arg):
        self.commands.append(verb)
        await method(arg)

    async def smtp_HELO(self, arg):
        await self._note("HELO", super().smtp_HELO, arg)

    async def smtp_EHLO(self, arg):
        await self._note("EHLO", super().smtp_EHLO, arg)

    async def smtp_STARTTLS(self, arg):
        await self._note("STARTTLS", super().smtp_STARTTLS, arg)
        if self._tls_protocol is not None:
            self.tls_version = self._tls_protocol._extra["ssl_object"].version()

    async def smtp_AUTH(self, arg):
        await self._note("AUTH", super().smtp_AUTH, arg)

    async def smtp_MAIL(self, arg):
        await self._note("MAIL", super().smtp_MAIL, arg)

    async def smtp_RCPT(self, arg):
        await self._note("RCPT", super().smtp_RCPT, arg)
        if self.hang_up:
            self.transport.close()

    async def smtp_RSET(self, arg):
        await self._note("RSET", super().smtp_RSET, arg)

    async def smtp_NOOP(self, arg):
        await self._note("NOOP", super().smtp_NOOP, arg)

    async def smtp_QUIT(self, arg):
        await self._note("QUIT", super().smtp_QUIT, arg)

    async def smtp_DATA(self, arg):
        before = self.accepted
        await self._note("DATA", super().smtp_DATA, arg)
        if self.drop_after and self.accepted > before and self.accepted >= self.drop_after:
            self.transport.close()


class SilentProtocol(asyncio.Protocol):
    """Takes the connection and keeps quiet until the client gives up."""

    def connection_made(self, transport):
        self.transport = transport

    def data_received(self, data):
        pass


def parse_options(argv):
    parser = argparse.ArgumentParser(description="SMTP server for the tests (loopback only).")
    parser.add_argument("--record-dir", required=True)
    parser.add_argument("--user", default="user")
    parser.add_argument("--password", default="secret")
    parser.add_argument("--refuse-auth", action="store_true")
    parser.add_argument("--require-auth", action="store_true")
    parser.add_argument("--refuse-rcpt", action="append", default=[])
    parser.add_argument("--drop-after", type=int, default=0)
    parser.add_argument("--hang-up-rcpt", action="append", default=[])
    parser.add_argument("--require-starttls", action="store_true")
    parser.add_argument("--legacy-tls", action="store_true")
    parser.add_argument("--stay", action="store_true")
    options = parser.parse_args(argv)
    options.refuse_rcpt = {a.lower() for a in options.refuse_rcpt}
    options.hang_up_rcpt = dict((a.lower(), r) for a, r in (h.split("=", 1) for h in options.hang_up_rcpt))
    return options


async def serve(options, cert_folder):
    loop = asyncio.get_running_loop()
    cert, key = make_certificate(cert_folder, options.legacy_tls)
    tls = server_context(cert, key, options.legacy_tls)
    recorder = Recorder(options.record_dir)
    handler = Handler(options, recorder)

    def factory(listener):
        def make():
            return RecordingSMTP(
                handler, listener, recorder, options.drop_after,
                hostname="testserver.invalid",
                tls_context=tls if listener == "starttls" else None,
                auth_require_tls=False,
                auth_required=options.require_auth,
                require_starttls=options.require_starttls and listener == "starttls",
                loop=loop)
        return make

    servers = {}
    for listener in LISTENERS:
        if listener in ("silent", "silenttls"):
            make, ssl = SilentProtocol, (tls if listener == "silenttls" else None)
        else:
            make, ssl = factory(listener), (tls if listener == "tls" else None)
        servers[listener] = await loop.create_server(make, "127.0.0.1", 0, ssl=ssl)

    ports = {name: s.sockets[0].getsockname()[1] for name, s in servers.items()}
    sys.stdout.write(json.dumps(ports) + "\n")
    sys.stdout.flush()

    stop = asyncio.Event()
    for sig in (signal.SIGTERM, signal.SIGINT):
        loop.add_signal_handler(sig, stop.set)
    if not options.stay:
        def watch_stdin():
            while sys.stdin.buffer.read(4096):
                pass
            loop.call_soon_threadsafe(stop.set)
        threading.Thread(target=watch_stdin, daemon=True).start()

    await stop.wait()
    for s in servers.values():
        s.close()


def main(argv):
    options = parse_options(argv)
    # aiosmtpd chats on its logger and warns about its own deprecations; the
    # records are the output that matters.
    logging.getLogger("mail.log").setLevel(logging.ERROR)
    warnings.simplefilter("ignore")
    os.makedirs(options.record_dir, exist_ok=True)
    send_handshake_alerts()
    cert_folder = tempfile.mkdtemp(prefix="smtp-test-cert-")
    try:
        asyncio.run(serve(options, cert_folder))
    finally:
        shutil.rmtree(cert_folder, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
