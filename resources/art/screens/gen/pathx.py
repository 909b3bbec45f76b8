"""Applies a rotation about a point to SVG path data, giving absolute path data without a transform."""
import math, re

def _tok(d):
    for m in re.finditer(r'[MmLlHhVvCcSsQqTtAaZz]|-?(?:\d+\.?\d*|\.\d+)(?:e-?\d+)?', d):
        yield m.group(0)

def rotate_path(d, ang, cx, cy):
    a = math.radians(ang)
    co, si = math.cos(a), math.sin(a)
    def R(x, y):
        return (cx + (x - cx) * co - (y - cy) * si, cy + (x - cx) * si + (y - cy) * co)
    def fm(v):
        return ("%.3f" % v).rstrip("0").rstrip(".")
    toks = list(_tok(d))
    out = []
    i = 0; cmd = None; x = y = 0.0; sx = sy = 0.0
    nargs = {'M': 2, 'L': 2, 'H': 1, 'V': 1, 'C': 6, 'Q': 4, 'A': 7, 'Z': 0}
    while i < len(toks):
        t = toks[i]
        if re.match(r'[A-Za-z]', t):
            cmd = t; i += 1
            if cmd in 'Zz':
                out.append('Z'); x, y = sx, sy
                continue
        else:
            if cmd == 'M': cmd = 'L'
            elif cmd == 'm': cmd = 'l'
        up = cmd.upper(); rel = cmd != up
        n = nargs[up]
        v = [float(s) for s in toks[i:i + n]]; i += n
        if up == 'M' or up == 'L':
            nx, ny = (x + v[0], y + v[1]) if rel else (v[0], v[1])
            out.append('%s%s,%s' % (up, *map(fm, R(nx, ny))))
            x, y = nx, ny
            if up == 'M':
                sx, sy = x, y
                cmd = 'l' if rel else 'L'
        elif up == 'H':
            nx = x + v[0] if rel else v[0]
            out.append('L%s,%s' % tuple(map(fm, R(nx, y)))); x = nx
        elif up == 'V':
            ny = y + v[0] if rel else v[0]
            out.append('L%s,%s' % tuple(map(fm, R(x, ny)))); y = ny
        elif up == 'C' or up == 'Q':
            pts = [(v[k] + (x if rel else 0), v[k + 1] + (y if rel else 0)) for k in range(0, n, 2)]
            out.append(up + " ".join('%s,%s' % tuple(map(fm, R(*p))) for p in pts))
            x, y = pts[-1]
        elif up == 'A':
            rx, ry, rotx, large, sweep, ex, ey = v
            if rel: ex, ey = x + ex, y + ey
            out.append('A%s,%s %s %d,%d %s,%s' % (fm(rx), fm(ry), fm(rotx + ang), int(large), int(sweep), *map(fm, R(ex, ey))))
            x, y = ex, ey
    return " ".join(out)
