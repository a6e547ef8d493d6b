"""A loopback stand-in for the server that publishes the version text, answering with exact bytes.

    with VersionServer(http_response(b"1.0")) as server:
        ... build or run the program against server.address ("127.0.0.1:PORT") ...
        server.wait_for_requests(1)     # [b"GET /tavik.txt HTTP/1.0\\r\\n..."]

Whatever it is told to send goes out byte for byte: a well-formed response, a broken one, or nothing.
The reply may also be a function that is handed a Stream and sends as it likes (a trickle, an
endless head, a huge body). After sending it either closes the connection ("close"), aborts it with
a reset ("reset"), or keeps it open without another byte until the server stops ("stall"). Every
request is recorded raw. Standard library only.
"""

import selectors
import socket
import struct
import threading
import time

PATIENCE = 30.0
_REQUEST_LIMIT = 1 << 20
_THEN = ("close", "reset", "stall")


def http_response(body, status="200 OK", headers=None, version="HTTP/1.0"):
    """Bytes of a response: status line, headers (Content-Length unless given), blank line, body."""
    if isinstance(body, str):
        body = body.encode()
    headers = dict(headers) if headers is not None else {"Content-Length": str(len(body))}
    head = f"{version} {status}\r\n" + "".join(f"{name}: {value}\r\n" for name, value in headers.items())
    return head.encode("latin-1") + b"\r\n" + body


class Stream:
    """One connection as a reply function sees it."""

    def __init__(self, connection, stopping):
        self._connection = connection
        self._stopping = stopping

    def send(self, data):
        """Sends all bytes; raises OSError once the client has gone."""
        self._connection.sendall(data)

    def pause(self, seconds):
        """Waits; False when the server stopped meanwhile."""
        return not self._stopping.wait(seconds)

    @property
    def stopping(self):
        return self._stopping.is_set()


class VersionServer:
    """Listens on 127.0.0.1 (an ephemeral port unless one is given) in a thread of its own."""

    def __init__(self, reply=b"", then="close", port=0, read_request=True):
        self._lock = threading.Lock()
        self._requests = []
        self._stopping = threading.Event()
        self._threads = []
        self._connections = []
        self.set_reply(reply, then, read_request)
        self._listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self._listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self._listener.bind(("127.0.0.1", port))
        self._listener.listen(16)
        self.host, self.port = self._listener.getsockname()
        self._acceptor = None

    @property
    def address(self):
        """host:port, as the program's version host is written."""
        return f"{self.host}:{self.port}"

    def set_reply(self, reply, then="close", read_request=True):
        """What the next connections get: bytes, or a function called with a Stream.
        read_request=False answers without waiting for the request."""
        if then not in _THEN:
            raise ValueError(f"then must be one of {_THEN}")
        with self._lock:
            self._reply = reply if callable(reply) else bytes(reply)
            self._then = then
            self._read_request = read_request

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()

    def start(self):
        self._acceptor = threading.Thread(target=self._accept_loop, name="version-server", daemon=True)
        self._acceptor.start()

    def stop(self):
        """Stops listening and closes every connection, stalled ones included."""
        self._stopping.set()
        if self._acceptor is not None:
            self._acceptor.join(PATIENCE)
        for thread in list(self._threads):
            thread.join(PATIENCE)
        self._listener.close()

    @property
    def requests(self):
        """The raw bytes of each request received so far (up to the blank line ending its head)."""
        with self._lock:
            return list(self._requests)

    def wait_for_requests(self, count=1, timeout=PATIENCE):
        deadline = time.monotonic() + timeout
        while len(self.requests) < count:
            if time.monotonic() > deadline:
                raise TimeoutError(f"{len(self.requests)} of {count} requests arrived")
            time.sleep(0.02)
        return self.requests

    def _accept_loop(self):
        with selectors.DefaultSelector() as selector:
            selector.register(self._listener, selectors.EVENT_READ)
            while not self._stopping.is_set():
                if not selector.select(0.05):
                    continue
                connection, _ = self._listener.accept()
                thread = threading.Thread(target=self._serve, args=(connection,), daemon=True)
                self._threads.append(thread)
                thread.start()

    def _serve(self, connection):
        with self._lock:
            reply, then, read_request = self._reply, self._then, self._read_request
        try:
            if read_request:
                request = self._read_head(connection)
                with self._lock:
                    self._requests.append(request)
            if callable(reply):
                reply(Stream(connection, self._stopping))
            elif reply:
                connection.sendall(reply)
            if then == "stall":
                self._stopping.wait()
            elif then == "reset":
                # A zero linger time makes close() send RST instead of FIN.
                connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        except OSError:
            pass  # the client went away; nothing to tell
        finally:
            connection.close()

    def _read_head(self, connection):
        connection.settimeout(0.05)
        data = b""
        while b"\r\n\r\n" not in data and len(data) < _REQUEST_LIMIT and not self._stopping.is_set():
            try:
                chunk = connection.recv(4096)
            except socket.timeout:
                continue
            if not chunk:
                break
            data += chunk
        connection.settimeout(None)
        return data
