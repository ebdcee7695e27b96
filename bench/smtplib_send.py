#!/usr/bin/python3
"""Python's smtplib as the yardstick of smtp_send_bench: the same 2000
messages of about 5 kB, over one connection, to the same sink.

    smtp_sink &                        # prints its port
    smtplib_send.py PORT [COUNT]       # prints the rate
"""

import smtplib
import sys
import time
from email.utils import formatdate, make_msgid


def newsletter():
    lines = ['<html><head><meta http-equiv="Content-Type" content="text/html; charset=utf-8">',
             "<title>Spring offers</title></head>",
             "<body>",
             "<p>Dear customer,</p>"]
    for i in range(36):
        lines.append("<p>Paragraph %d of this season's news: our shops have new goods in every department, "
                     "and the prices stay as friendly as ever. Come and see.</p>" % (i + 1))
    lines.append("</body></html>")
    return "".join(line + "\r\n" for line in lines)


def message():
    headers = ["From: Sender <sender@example.com>",
               "To: Customer <customer0@example.com>",
               "Subject: Spring offers",
               "Date: " + formatdate(localtime=True),
               "Message-ID: " + make_msgid(domain="example.com"),
               "MIME-Version: 1.0",
               "Content-Type: text/html; charset=utf-8"]
    return ("\r\n".join(headers) + "\r\n\r\n" + newsletter()).encode("ascii")


def main(argv):
    port = int(argv[1])
    count = int(argv[2]) if len(argv) > 2 else 2000
    data = message()
    start = time.perf_counter()
    with smtplib.SMTP("127.0.0.1", port) as client:
        for i in range(count):
            client.sendmail("sender@example.com", ["customer%d@example.com" % i], data)
    seconds = time.perf_counter() - start
    print("%d messages of %d bytes in %.3f s: %.0f msg/s" % (count, len(data), seconds, count / seconds))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
