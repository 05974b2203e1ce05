#!/usr/bin/env python3
"""Runs a program as its child. On SIGUSR1 it holds the child's main thread, and only
that thread, in a ptrace stop, as a stuck computation or a deadlock would hold it,
while the child's other threads run on; it prints "held" once it is. SIGTERM is passed
on to the child. Ends with the child's exit status."""
import ctypes
import os
import signal
import sys

PTRACE_SEIZE, PTRACE_INTERRUPT = 0x4206, 0x4207
libc = ctypes.CDLL(None, use_errno=True)
libc.ptrace.argtypes = [ctypes.c_long, ctypes.c_long, ctypes.c_void_p, ctypes.c_void_p]

child = os.fork()
if child == 0:
    # Should this parent die (a failed test kills it), the child is told to end too.
    PR_SET_PDEATHSIG = 1
    libc.prctl(PR_SET_PDEATHSIG, signal.SIGTERM)
    os.execvp(sys.argv[1], sys.argv[1:])


def hold(*_):
    # A ptrace stop is per thread: the child's process id names its main thread.
    if libc.ptrace(PTRACE_SEIZE, child, None, None) or libc.ptrace(PTRACE_INTERRUPT, child, None, None):
        print("cannot hold:", os.strerror(ctypes.get_errno()), flush=True)
    else:
        print("held", flush=True)


signal.signal(signal.SIGUSR1, hold)
signal.signal(signal.SIGTERM, lambda *_: os.kill(child, signal.SIGTERM))
while True:
    _, status = os.waitpid(child, 0)
    # The held thread's stop is reported here too: it stays held.
    if not os.WIFSTOPPED(status):
        sys.exit(os.waitstatus_to_exitcode(status))
