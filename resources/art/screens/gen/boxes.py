#!/usr/bin/env python3
"""Extent of every seg-/sign- group of a face master, rounded out to whole points (librsvg through ctypes),
the same measure that artgen uses for the segment frames."""
import ctypes, json, math, re, sys

class _Rect(ctypes.Structure):
    _fields_ = [("x", ctypes.c_double), ("y", ctypes.c_double), ("w", ctypes.c_double), ("h", ctypes.c_double)]

def measure(path):
    lib = ctypes.CDLL("librsvg-2.so.2")
    lib.rsvg_handle_new_from_file.restype = ctypes.c_void_p
    lib.rsvg_handle_new_from_file.argtypes = [ctypes.c_char_p, ctypes.c_void_p]
    lib.rsvg_handle_get_geometry_for_layer.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.POINTER(_Rect),
                                                       ctypes.POINTER(_Rect), ctypes.POINTER(_Rect), ctypes.c_void_p]
    h = lib.rsvg_handle_new_from_file(path.encode(), None)
    if not h:
        raise SystemExit("cannot read " + path)
    vp = _Rect(0, 0, 480, 320)
    out = {}
    for gid in re.findall(r'id="((?:seg|sign)-[^"]+)"', open(path).read()):
        ink, log = _Rect(), _Rect()
        lib.rsvg_handle_get_geometry_for_layer(h, ("#" + gid).encode(), ctypes.byref(vp), ctypes.byref(ink),
                                               ctypes.byref(log), None)
        x0, y0 = math.floor(ink.x + 1e-6), math.floor(ink.y + 1e-6)
        x1, y1 = math.ceil(ink.x + ink.w - 1e-6), math.ceil(ink.y + ink.h - 1e-6)
        out[gid] = [x0, y0, x1 - x0, y1 - y0]
    return out

def check_fixed(path):
    """Segments whose ink spills out of their fixed box rect (the box then grows); empty when all is well."""
    svg = open(path).read()
    m = measure(path)
    bad = []
    for gid, x, y, w, h in re.findall(
            r'<g id="((?:seg|sign)-[^"]+)"><rect class="box" id="box-[^"]+" x="(\d+)" y="(\d+)" width="(\d+)" height="(\d+)"', svg):
        if m[gid] != [int(x), int(y), int(w), int(h)]:
            bad.append((gid, [int(x), int(y), int(w), int(h)], m[gid]))
    return bad

if __name__ == "__main__":
    json.dump(measure(sys.argv[1]), sys.stdout, indent=0)
