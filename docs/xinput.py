#!/usr/bin/env python3
"""Drives an X display as a person would, through the XTEST extension (libXtst via ctypes):
pointer moves in small steps, button presses, key strokes, and screenshots (xwd + convert).

Used by docs/screenshots.sh to show the main window under Xvfb. Commands, one per argument:
  move:X,Y          move the pointer there in steps of 4 pixels
  jump:X,Y          put the pointer there at once
  down / up         press / release the left button
  click:X,Y         move there, press and release
  dclick:X,Y        move there, double click
  type:TEXT         type ASCII text
  key:NAME          press and release a key (X keysym name: Escape, Return, Control_L ...)
  keydown:NAME / keyup:NAME
  wait:SECONDS      let the program work
  shot:FILE[:GEOM]  screenshot of the root window, cropped to GEOM (WxH+X+Y) when given
"""
import ctypes
import os
import subprocess
import sys
import time

x11 = ctypes.CDLL("libX11.so.6")
xtst = ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XStringToKeysym.restype = ctypes.c_ulong
x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
x11.XKeysymToKeycode.restype = ctypes.c_ubyte
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int,
                                      ctypes.c_ulong]
xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]

display = x11.XOpenDisplay(None)
if not display:
    sys.exit("xinput.py: cannot open display " + os.environ.get("DISPLAY", "(unset)"))
pointer = [0, 0]
STEP_PAUSE = 0.01  # lets the program handle each step before the next one


def sync():
    x11.XSync(display, 0)


def jump(x, y):
    xtst.XTestFakeMotionEvent(display, -1, x, y, 0)
    sync()
    pointer[0], pointer[1] = x, y
    time.sleep(STEP_PAUSE)


def move(x, y, step=4):
    while pointer != [x, y]:
        dx = max(-step, min(step, x - pointer[0]))
        dy = max(-step, min(step, y - pointer[1]))
        jump(pointer[0] + dx, pointer[1] + dy)


def button(down):
    xtst.XTestFakeButtonEvent(display, 1, 1 if down else 0, 0)
    sync()
    time.sleep(0.05)


def keycode(name):
    sym = x11.XStringToKeysym(name.encode())
    if sym == 0:
        sys.exit("xinput.py: unknown key " + name)
    return x11.XKeysymToKeycode(display, sym)


def key(name, down):
    xtst.XTestFakeKeyEvent(display, keycode(name), 1 if down else 0, 0)
    sync()
    time.sleep(0.02)


KEY_NAMES = {" ": "space", ".": "period", "-": "minus", ":": "colon", "/": "slash",
             "_": "underscore"}


def type_text(text):
    for ch in text:
        name = KEY_NAMES.get(ch, ch)
        shifted = ch.isupper() or ch in ":_"
        if shifted:
            key("Shift_L", True)
        key(name, True)
        key(name, False)
        if shifted:
            key("Shift_L", False)


def shot(request):
    parts = request.split(":")
    target = parts[0]
    crop = ["-crop", parts[1], "+repage"] if len(parts) > 1 else []
    xwd = subprocess.run(["xwd", "-root", "-silent"], check=True, capture_output=True).stdout
    subprocess.run(["convert", "xwd:-"] + crop + [target], input=xwd, check=True)


def point(arg):
    x, y = arg.split(",")
    return int(x), int(y)


for command in sys.argv[1:]:
    verb, _, arg = command.partition(":")
    if verb == "move":
        move(*point(arg))
    elif verb == "jump":
        jump(*point(arg))
    elif verb == "down":
        button(True)
    elif verb == "up":
        button(False)
    elif verb == "click":
        move(*point(arg))
        button(True)
        button(False)
    elif verb == "dclick":
        move(*point(arg))
        for _ in range(2):
            xtst.XTestFakeButtonEvent(display, 1, 1, 0)
            xtst.XTestFakeButtonEvent(display, 1, 0, 0)
        sync()
        time.sleep(0.1)
    elif verb == "type":
        type_text(arg)
    elif verb == "key":
        key(arg, True)
        key(arg, False)
    elif verb == "keydown":
        key(arg, True)
    elif verb == "keyup":
        key(arg, False)
    elif verb == "wait":
        time.sleep(float(arg))
    elif verb == "shot":
        shot(arg)
    else:
        sys.exit("xinput.py: unknown command " + command)
