# slow_reader.py COMMAND...: runs the command with its standard output on a pipe made
# non-blocking, as an event-driven parent leaves it, and begins to read only a second later,
# when the pipe has long been full. Writes what was read, then a line with the command's status.
import os
import subprocess
import sys
import time

read_end, write_end = os.pipe()
os.set_blocking(write_end, False)
child = subprocess.Popen(sys.argv[1:], stdout=write_end)
os.close(write_end)
time.sleep(1)
with os.fdopen(read_end, "rb") as pipe:
    transcript = pipe.read()
sys.stdout.buffer.write(transcript)
sys.stdout.buffer.write(b"exit status %d\n" % child.wait())
