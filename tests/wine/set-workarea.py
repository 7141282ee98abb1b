#!/usr/bin/env python3
"""set-workarea.py X,Y,WIDTH,HEIGHT

Announces a work area on the X display in $DISPLAY as a window manager does
(_NET_WORKAREA on the root window): what a desktop's panels leave of the
screen, and what Wine then reports as the monitor's work area. The X server
must keep it after this client has gone (Xvfb -noreset)."""
import ctypes
import ctypes.util
import sys

values = [int(v) for v in sys.argv[1].split(",")] if len(sys.argv) == 2 else []
if len(values) != 4:
    sys.exit("usage: set-workarea.py X,Y,WIDTH,HEIGHT")
name = ctypes.util.find_library("X11") or "libX11.so.6"
x = ctypes.CDLL(name)
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XDefaultRootWindow.restype = ctypes.c_ulong
x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XChangeProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong,
                              ctypes.c_int, ctypes.c_int, ctypes.c_void_p, ctypes.c_int]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]
display = x.XOpenDisplay(None)
if not display:
    sys.exit("set-workarea: cannot open the display")
XA_CARDINAL, PROP_MODE_REPLACE = 6, 0
data = (ctypes.c_long * 4)(*values)  # format 32 properties are passed as longs
x.XChangeProperty(display, x.XDefaultRootWindow(display),
                  x.XInternAtom(display, b"_NET_WORKAREA", 0), XA_CARDINAL, 32,
                  PROP_MODE_REPLACE, data, 4)
x.XCloseDisplay(display)  # flushes the request
