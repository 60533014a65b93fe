"""The drop box's nginx site (deploy/nginx), as scripts/inbox.sh runs it: it stores
a PUT of a name of the program's shape complete and unchanged in the Maildir's
new/, refuses every other method, name and folder, takes a message whose files
are at the program's limit (1 MB here) once base64 has broken them into lines,
refuses a body a byte over its limit, and answers 503 to an address that
uploads faster than its rate (1 a minute here, after a burst of 20).

Argument: the repository's root."""
import base64
import http.client
import os
import re
import ssl
import subprocess
import sys
import tempfile

HEX = "0123456789abcdef0123456789ABCDEF"
NAME = f"VelAutoMail_00112233_20261208_0915_{HEX}.eml"
NAME_TAKEN = f"VelAutoMail_00112233_20261208_0915__2__{HEX}.eml"  # " (2)" as the URL has it


def message_at_limit(limit_mb):
    """Files that the program counts as exactly the limit (4/3 of their size),
    encoded as the program encodes them, with the report and headers around."""
    files = os.urandom(limit_mb * 1000000 // 4 * 3)
    encoded = base64.encodebytes(files).replace(b"\n", b"\r\n")
    head = (b"Subject: VelAutoMail_00112233_20261208_0915\r\nMIME-Version: 1.0\r\n"
            b"Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n--b\r\n"
            b"Content-Type: text/plain; charset=utf-8\r\n\r\n" + b"Rapporto.\r\n" * 200 +
            b"--b\r\nContent-Type: application/octet-stream\r\nContent-Transfer-Encoding: base64\r\n\r\n")
    return head + encoded + b"--b--\r\n"


def request(url_root, ca, method, path, body=None):
    connection = http.client.HTTPSConnection("localhost", int(url_root.split(":")[2].split("/")[0]),
                                             context=ssl.create_default_context(cafile=ca), timeout=30)
    try:
        connection.request(method, path, body=body)
        return connection.getresponse().status
    except (ConnectionError, BrokenPipeError):
        return "reset"
    finally:
        connection.close()


def main(root):
    failures = []
    with tempfile.TemporaryDirectory() as work:
        inbox = os.path.join(work, "inbox")
        env = dict(os.environ, KDESK_INBOX_LIMIT_MB="1", KDESK_INBOX_RATE="1r/m")
        subprocess.run([os.path.join(root, "scripts", "inbox.sh"), "start", inbox], check=True, env=env,
                       stdout=subprocess.DEVNULL)
        try:
            url = open(os.path.join(inbox, "url"), encoding="ascii").read().strip()
            ca = os.path.join(inbox, "ca.pem")
            limit = int(re.search(r"client_max_body_size (\d+);", open(os.path.join(inbox, "site.conf")).read())[1])
            message = b"Subject: prova\r\n\r\n" + bytes(range(256)) * 100
            cases = [
                ("PUT", f"/kdesk/{NAME}", message, 201),
                ("PUT", f"/kdesk/{NAME_TAKEN}", b"x", 201),
                ("GET", f"/kdesk/{NAME}", None, 403),
                ("HEAD", f"/kdesk/{NAME}", None, 403),
                ("DELETE", f"/kdesk/{NAME}", None, 403),
                ("MOVE", f"/kdesk/{NAME}", None, 403),
                ("GET", "/kdesk/", None, 404),
                ("PROPFIND", "/kdesk/", None, 404),
                ("MKCOL", "/kdesk/sub/", None, 404),
                ("PUT", "/kdesk/sub/" + NAME, b"x", 404),
                ("PUT", "/kdesk/VelAutoMail.eml", b"x", 404),
                ("PUT", f"/kdesk/.hidden_{HEX}.eml", b"x", 404),
                ("PUT", f"/kdesk/{NAME[:-4]}.txt", b"x", 404),
                ("PUT", f"/other/{NAME}", b"x", 404),
                ("PUT", f"/kdesk/limit_{HEX}.eml", message_at_limit(1), 201),
                ("PUT", f"/kdesk/over_{HEX}.eml", b"z" * (limit + 1), 413),
            ]
            for method, path, body, expected in cases:
                status = request(url, ca, method, path, body)
                if status != expected:
                    failures.append(f"{method} {path}: {status}, expected {expected}")
            new = os.path.join(inbox, "Maildir", "new")
            stored = sorted(os.listdir(new))
            if stored != sorted([NAME, NAME_TAKEN, f"limit_{HEX}.eml"]):
                failures.append(f"new/ holds {stored}")
            elif open(os.path.join(new, NAME), "rb").read() != message:
                failures.append("the stored message differs from the one sent")
            elif os.stat(os.path.join(new, NAME)).st_mode & 0o777 != 0o640:
                failures.append(f"mode {oct(os.stat(os.path.join(new, NAME)).st_mode & 0o777)}, expected 0640")
            if os.listdir(os.path.join(inbox, "body-temp")):
                failures.append("a body was left in the temporary folder")
            statuses = [request(url, ca, "PUT", f"/kdesk/rate{i}_{HEX}.eml", b"r") for i in range(25)]
            if statuses[:5] != [201] * 5 or 503 not in statuses:
                failures.append(f"25 more uploads at once: {statuses}")
        finally:
            subprocess.run([os.path.join(root, "scripts", "inbox.sh"), "stop", inbox], check=False)
    for failure in failures:
        print("FAIL:", failure)
    print(f"dropbox site: {len(cases)} requests, {len(failures)} faults")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
