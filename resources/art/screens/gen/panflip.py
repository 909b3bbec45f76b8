#!/usr/bin/env python3
"""Generates resources/art/faces/panflip.svg, the cook game face master."""
import math, os, sys
sys.path.insert(0, os.path.dirname(__file__))
import geom
from pathx import rotate_path

INK = "#1c2119"
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "faces", "panflip.svg")
COLS = geom.COLS
FOOD_YC = [210, 180, 150, 120, 90]
FOOD_ANG = [0, -18, 14, -32, 22]

def f(v):
    return ("%.2f" % v).rstrip("0").rstrip(".")

def circ(cx, cy, r):
    """A circle as a closed sub-path (for even-odd holes)."""
    return "M%s,%s a%s,%s 0 1,0 %s,0 a%s,%s 0 1,0 %s,0 Z" % (f(cx - r), f(cy), f(r), f(r), f(2 * r), f(r), f(r), f(-2 * r))

def poly(pts):
    return "M" + " L".join("%s,%s" % (f(x), f(y)) for x, y in pts) + " Z"

def rot(pts, ang, cx, cy):
    a = math.radians(ang)
    c, s = math.cos(a), math.sin(a)
    return [(cx + (x - cx) * c - (y - cy) * s, cy + (x - cx) * s + (y - cy) * c) for x, y in pts]

def box(x, y, w, h, name):
    """A fill-less rect that fixes the group's box (artgen takes the box of #box-<name> as it is)."""
    return '<rect class="box" id="box-%s" x="%d" y="%d" width="%d" height="%d" fill="none"/>' % (name, x, y, w, h)

def seg(tag, body, bx):
    return '<g id="seg-%d">%s%s</g>' % (tag, box(*bx, tag), body)

# ---------------------------------------------------------------- cook
def cook(X, raised):
    bx = X - 32
    p = []
    # toque: puffed crown and band
    p.append('<path d="%s %s %s"/>' % (circ(bx - 5, 191.5, 4.6), circ(bx + 1, 189.6, 5.6), circ(bx + 6.5, 192, 4.4)))
    p.append('<path d="M%s,192 h18 v7 h-18 Z"/>' % f(bx - 9.5))
    # head with eye hole, nose, moustache
    head = circ(bx + 1, 207, 6.4) + " " + circ(bx + 3.6, 205.2, 1.05)
    p.append('<path fill-rule="evenodd" d="%s"/>' % head)
    p.append('<path d="M%s,204.6 l4.2,2.4 l-4.6,1.6 Z"/>' % f(bx + 6.2))
    p.append('<path d="M%s,210.2 q2.6,-1.6 5.6,0.4 q-2.4,2.2 -5.6,-0.4 Z"/>' % f(bx + 2.6))
    # jacket: double-breasted, buttons as holes; neckerchief gap above
    jacket = poly([(bx - 7, 216.5), (bx + 7, 216.5), (bx + 9, 221), (bx + 8, 235), (bx - 8, 235), (bx - 9, 221)])
    jacket += " " + circ(bx - 1.6, 222.4, 1.1) + " " + circ(bx - 1.6, 228.4, 1.1) + " " + circ(bx + 2.6, 222.4, 1.1) + " " + circ(bx + 2.6, 228.4, 1.1)
    p.append('<path fill-rule="evenodd" d="%s"/>' % jacket)
    # legs and shoes
    p.append('<path d="%s"/>' % poly([(bx - 6.5, 236.4), (bx - 1.2, 236.4), (bx - 1.6, 245.4), (bx - 6, 245.4)]))
    p.append('<path d="%s"/>' % poly([(bx + 1.2, 236.4), (bx + 6.5, 236.4), (bx + 6, 245.4), (bx + 1.6, 245.4)]))
    p.append('<path d="M%s,245.6 h8.5 q3,0 3,2.4 h-11.5 Z"/>' % f(bx - 7.5))
    p.append('<path d="M%s,245.6 h8.5 q3,0 3,2.4 h-11.5 Z"/>' % f(bx + 1.2))
    # back arm (on the hip)
    p.append('<path d="%s"/>' % poly([(bx - 8.6, 218), (bx - 12.5, 225), (bx - 9.5, 231), (bx - 7.8, 229.6), (bx - 9.4, 225.2), (bx - 7.2, 221.4)]))
    if not raised:
        # front arm reaching forward, hand on the handle
        p.append('<path d="%s"/>' % poly([(bx + 6, 217.2), (bx + 13.5, 221.2), (bx + 13.5, 224.6), (bx + 5, 222.2)]))
        p.append('<path d="%s"/>' % circ(bx + 15, 222.8, 2.4))
        # handle and pan
        p.append('<path d="%s"/>' % poly([(bx + 15.5, 221.2), (X - 11.5, 219.4), (X - 11.5, 221.6), (bx + 15.5, 224.4)]))
        p.append('<path d="M%s,217.6 h25 l-2.4,4.6 q-0.9,1.8 -2.9,1.8 h-14.4 q-2,0 -2.9,-1.8 Z"/>' % f(X - 12.5))
    else:
        # front arm raised, pan flung up and tilted
        p.append('<path d="%s"/>' % poly([(bx + 5.2, 216.4), (bx + 11.6, 205.6), (bx + 14.8, 207.2), (bx + 8.6, 219.6)]))
        p.append('<path d="%s"/>' % circ(bx + 14, 204.8, 2.4))
        pan = [(X - 12.5, 194), (X + 12.5, 194), (X + 10.1, 198.4), (X + 7.4, 200), (X - 7.4, 200), (X - 10.1, 198.4)]
        pan = rot(pan, -16, X, 197)
        p.append('<path d="%s"/>' % poly(pan))
        hdl = [(bx + 14.6, 203.6), (X - 11.2, 199.6), (X - 10.6, 201.8), (bx + 15.2, 206.4)]
        p.append('<path d="%s"/>' % poly(hdl))
    return "".join(p)

# ---------------------------------------------------------------- food
def sausage(cx, cy):
    pts = []
    body = "M%s,%s h14 a5,5 0 0 1 0,10 h-14 a5,5 0 0 1 0,-10 Z" % (f(cx - 7), f(cy - 5))
    shine = "M%s,%s h9 v1.4 h-9 Z" % (f(cx - 5), f(cy - 2.6))
    knots = poly([(cx - 12, cy - 0.8), (cx - 14.5, cy - 2.6), (cx - 14.5, cy + 2.6), (cx - 12, cy + 0.8)]) + " " + \
        poly([(cx + 12, cy - 0.8), (cx + 14.5, cy - 2.6), (cx + 14.5, cy + 2.6), (cx + 12, cy + 0.8)])
    return [(body + " " + shine, True), (knots, False)]

def fish(cx, cy):
    cx += 2.5
    body = "M%s,%s q8,-9 17,0 q-9,9 -17,0 Z" % (f(cx - 9), f(cy))
    eye = circ(cx + 4.4, cy - 1, 1.2)
    gill = "M%s,%s q1.8,2.6 0,5.2 l-1,-0.2 q1.4,-2.4 0,-4.8 Z" % (f(cx + 1.6), f(cy - 2.6))
    tail = poly([(cx - 8, cy), (cx - 14, cy - 5.5), (cx - 12.5, cy), (cx - 14, cy + 5.5)])
    return [(body + " " + eye + " " + gill, True), (tail, False)]

def drumstick(cx, cy):
    cx += 2
    meat = "M%s,%s c0,-6.5 9,-7.5 12,-2.5 c2,3.2 -1,7.5 -6,7.4 c-3.6,0 -6,-2 -6,-4.9 Z" % (f(cx - 3), f(cy + 0.5))
    shine = circ(cx + 2.2, cy - 2, 1.2)
    bone = poly([(cx - 2.4, cy + 1.2), (cx - 9.5, cy + 3.6), (cx - 9.5, cy + 5.6), (cx - 1.6, cy + 3.6)])
    knob = circ(cx - 11, cy + 3, 2.1) + " " + circ(cx - 10.6, cy + 6.4, 2.1)
    return [(meat + " " + shine, True), (bone + " " + knob, False)]

def pancake(cx, cy):
    cake = ("M%s,%s c0,-3.2 5.6,-5 12,-5 c6.4,0 12,1.8 12,5 v2.6 c0,3.2 -5.6,5 -12,5 c-6.4,0 -12,-1.8 -12,-5 Z"
            % (f(cx - 12), f(cy - 1)))
    rim = "M%s,%s c2.6,2.2 7,3 10.6,3 c3.6,0 8,-0.8 10.6,-3 v1.2 c-2.6,2.2 -7,3 -10.6,3 c-3.6,0 -8,-0.8 -10.6,-3 Z" % (f(cx - 10.6), f(cy + 0.4))
    butter = poly([(cx - 3.2, cy - 3.6), (cx + 1.2, cy - 5.4), (cx + 4.6, cy - 3.6), (cx + 0.4, cy - 1.8)])
    return [(cake + " " + rim + " " + butter, True)]

FOODS = [sausage, fish, drumstick, pancake]

def food(c, h):
    X, yc, ang = COLS[c], FOOD_YC[h], FOOD_ANG[h]
    out = []
    for d, eo in FOODS[c](X, yc):
        attr = ' fill-rule="evenodd"' if eo else ""
        out.append('<path%s d="%s"/>' % (attr, rotate_path(d, ang, X, yc) if ang else d))
    return "".join(out)

# ---------------------------------------------------------------- mouse
def mouse(mx, my=263, peek=False):
    p = []
    body = "M%s,%s c0,-5.6 5,-8 10,-7.4 c3.6,0.4 6,2.2 8.4,4.6 l5.4,2.4 q1,0.6 -0.2,1.4 l-5,1.8 c-2.4,2 -5.4,3 -9.6,3 c-5,0 -9,-1.6 -9,-5.8 Z" % (f(mx - 11), f(my + 3))
    eye = circ(mx + 6.6, my + 0.8, 1.1)
    p.append('<path fill-rule="evenodd" d="%s %s"/>' % (body, eye))
    ear = circ(mx + 2.8, my - 3.8, 3.6) + " " + circ(mx + 2.8, my - 3.8, 1.6)
    p.append('<path fill-rule="evenodd" d="%s"/>' % ear)
    p.append('<path d="%s %s"/>' % (poly([(mx - 6, my + 8.6), (mx - 3.6, my + 8.6), (mx - 2.6, my + 11), (mx - 7.6, my + 11)]),
                                    poly([(mx + 3, my + 8.6), (mx + 5.6, my + 8.6), (mx + 7.4, my + 11), (mx + 2.2, my + 11)])))
    if not peek:
        p.append('<path d="M%s,%s c-3,-0.6 -4.6,-2.8 -3.6,-5.6 c0.6,-1.8 -0.2,-3.2 -2.2,-3.6 l0.3,-1.2 c2.8,0.4 4,2.6 3.2,5 c-0.8,2.2 0.4,3.6 2.6,4.1 Z"/>' % (f(mx - 10.4), f(my + 5.4)))
    return "".join(p)

# ---------------------------------------------------------------- cat with fork
def cat_fork():
    p = []
    # head peeking over the hatch sill, ears, muzzle hole, eyes as holes
    head = "M87,160 c-1,-7 1,-13 4,-16 l-1.4,-9.6 l7.4,6 c2.6,-0.8 5.4,-0.8 8,0 l7.4,-6 l-1.4,9.6 c3,3 5,9 4,16 Z"
    eyes = poly([(94, 149.4), (98.4, 148.6), (98, 151.6), (94.6, 151.6)]) + " " + poly([(103.6, 148.6), (108, 149.4), (107.4, 151.6), (104, 151.6)])
    nose = poly([(99.2, 154.4), (102.8, 154.4), (101, 156.4)])
    p.append('<path fill-rule="evenodd" d="%s %s %s"/>' % (head, eyes, nose))
    # whiskers
    p.append('<path d="%s %s"/>' % (poly([(86.6, 155.4), (80.8, 153.6), (80.6, 154.6), (86.6, 156.6)]),
                                     poly([(86.6, 157.6), (81, 157.8), (81.2, 158.8), (86.8, 158.8)])))
    # paw and arm reaching out over the sill
    p.append('<path d="M112,157.4 c3,-1.6 6,-2 9,-1.6 l8,0.4 c2,0.2 2,3.4 0,3.6 l-8,0.6 c-3,0.4 -6,0 -9,-1 Z"/>')
    # fork: handle and four tines pointing right under the first column
    p.append('<path d="M128,157.2 h20 l2,-0.8 v4.6 l-2,-0.8 h-20 Z"/>')
    p.append('<path d="M150,155.2 h3 v7.6 h-3 Z"/>')
    for k in range(4):
        y = 155.2 + k * 2.05
        p.append('<path d="M153,%s h%s l1.8,0.55 l-1.8,0.55 h-%s Z"/>' % (f(y), f(17), f(17)))
    return "".join(p)

# ---------------------------------------------------------------- penalty mark: a mouse head
def mark(x, y):
    cx, cy = x + 10, y + 10
    d = circ(cx, cy + 1.5, 6.2) + " " + circ(cx - 1.9, cy, 1) + " " + circ(cx + 1.9, cy, 1)
    ears = circ(cx - 6, cy - 4.2, 3.4) + " " + circ(cx + 6, cy - 4.2, 3.4)
    nose = poly([(cx - 1.4, cy + 5.6), (cx + 1.4, cy + 5.6), (cx, cy + 9)])
    return '<path fill-rule="evenodd" d="%s"/><path d="%s %s"/>' % (d, ears, nose)

# ---------------------------------------------------------------- printed face
LX, LY, LW, LH = geom.LCD
FONT = 'font-family="Liberation Sans" font-weight="bold"'

def pill(x, y, w, h, label, under=True):
    x, y, w, h = x + 4, y + 3, w - 8, h - 8
    r = h / 2
    s = []
    s.append('<rect x="%s" y="%s" width="%s" height="%s" rx="%s" fill="#6f675c"/>' % (f(x - 2), f(y - 2), f(w + 4), f(h + 4), f(r + 2)))
    s.append('<rect x="%s" y="%s" width="%s" height="%s" rx="%s" fill="url(#rubber)"/>' % (f(x), f(y), f(w), f(h), f(r)))
    s.append('<rect x="%s" y="%s" width="%s" height="%s" rx="%s" fill="#ffffff" opacity="0.13"/>' % (f(x + 4), f(y + 2), f(w - 8), f(h / 2 - 2), f(h / 4)))
    if under:
        s.append('<text x="%s" y="%s" %s font-size="8.5" fill="#4a3328" text-anchor="middle" letter-spacing="0.6">%s</text>' % (f(x + w / 2), f(y + h + 11), FONT, label))
    return "".join(s)

def round_button(cx, cy, r, arrow):
    s = []
    s.append('<circle cx="%s" cy="%s" r="%s" fill="#6f675c"/>' % (f(cx), f(cy), f(r + 3)))
    s.append('<circle cx="%s" cy="%s" r="%s" fill="url(#redbtn)"/>' % (f(cx), f(cy), f(r)))
    s.append('<circle cx="%s" cy="%s" r="%s" fill="none" stroke="#7c1d14" stroke-width="1.2"/>' % (f(cx), f(cy), f(r - 6)))
    s.append('<ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="#ffffff" opacity="0.18"/>' % (f(cx - 4), f(cy - r * 0.45), f(r * 0.55), f(r * 0.28)))
    return "".join(s)

def printed():
    s = []
    s.append('''<defs>
<linearGradient id="plate" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#e6e0cf"/><stop offset="0.5" stop-color="#d3ccb8"/><stop offset="1" stop-color="#bdb6a2"/></linearGradient>
<linearGradient id="frame" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#c9432f"/><stop offset="1" stop-color="#a7301f"/></linearGradient>
<linearGradient id="panel" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#cdd2b6"/><stop offset="1" stop-color="#bec5a6"/></linearGradient>
<linearGradient id="rubber" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#4a4744"/><stop offset="1" stop-color="#262524"/></linearGradient>
<radialGradient id="redbtn" cx="0.42" cy="0.36" r="0.7"><stop offset="0" stop-color="#e85a3e"/><stop offset="0.7" stop-color="#b4301f"/><stop offset="1" stop-color="#86200f"/></radialGradient>
</defs>''')
    # faceplate with a brushed finish
    s.append('<rect x="0" y="0" width="480" height="320" fill="url(#plate)"/>')
    for y in range(1, 320, 3):
        s.append('<rect x="0" y="%d" width="480" height="1" fill="#ffffff" opacity="0.10"/>' % y)
    s.append('<rect x="0.5" y="0.5" width="479" height="319" rx="6" fill="none" stroke="#8d8676" stroke-width="1"/>')
    # printed red frame round the window, gold pinstripe
    s.append('<rect x="69" y="3" width="342" height="287" rx="9" fill="#7e2418"/>')
    s.append('<rect x="70" y="4" width="340" height="285" rx="8" fill="url(#frame)"/>')
    s.append('<rect x="%s" y="%s" width="%s" height="%s" rx="4" fill="none" stroke="#e9c46a" stroke-width="1"/>' % (f(LX - 4.5), f(LY - 4.5), f(LW + 9), f(LH + 9)))
    # title
    s.append('<text x="240" y="25.5" %s font-size="21" fill="#fbf1d6" text-anchor="middle" letter-spacing="5">PANFLIP</text>' % FONT)
    # little pans flanking the title
    for cx, flip in ((150, 1), (330, -1)):
        s.append('<g transform="translate(%d 17) scale(%d 1)" fill="#fbf1d6"><ellipse cx="0" cy="0" rx="9" ry="3.6"/><rect x="-21" y="-1.2" width="13" height="2.4" rx="1.2"/><path d="M-3,-6 q2,-3 0,-6 M3,-6 q2,-3 0,-6" stroke="#fbf1d6" stroke-width="1.3" fill="none"/></g>' % (cx, flip))
    # the window: dark bezel and panel
    s.append('<rect x="%s" y="%s" width="%s" height="%s" rx="3" fill="#3b3a30"/>' % (f(LX - 2), f(LY - 2), f(LW + 4), f(LH + 4)))
    s.append('<rect x="%d" y="%d" width="%d" height="%d" fill="url(#panel)"/>' % (LX, LY, LW, LH))
    s.append('<rect x="%s" y="%s" width="%s" height="%s" fill="none" stroke="#9ea487" stroke-width="1.4"/>' % (f(LX + 0.7), f(LY + 0.7), f(LW - 1.4), f(LH - 1.4)))
    # decorations printed on the panel
    P = "#5c6450"
    # faint wall tiles behind the kitchen
    for y in range(96, 246, 24):
        s.append('<rect x="%d" y="%d" width="%d" height="0.8" fill="%s" opacity="0.16"/>' % (LX + 40, y, LW - 46, P))
    # kitchen floor the cooks stand on, and the mouse's run below it
    s.append('<rect x="%d" y="248.6" width="%d" height="1.6" fill="%s"/>' % (LX + 36, LW - 36, P))
    s.append('<rect x="%d" y="274.8" width="%d" height="1.6" fill="%s"/>' % (LX + 2, LW - 4, P))
    for x in range(LX + 44, LX + LW - 4, 14):
        s.append('<rect x="%d" y="251" width="6" height="0.9" fill="%s" opacity="0.45"/>' % (x, P))
    # wall at the left with the mouse hole
    s.append('<path d="M%d,274.8 v-14 a13,13 0 0 1 26,0 v14" fill="none" stroke="%s" stroke-width="1.6"/>' % (LX + 4, P))
    # the way out at the right
    s.append('<path d="M%d,274.8 v-16 a10,10 0 0 1 16,-7" fill="none" stroke="%s" stroke-width="1.6"/>' % (LX + LW - 14, P))
    # the cat's hatch: frame, sill and a half curtain
    s.append('<rect x="%d" y="124" width="40" height="40" fill="none" stroke="%s" stroke-width="1.4"/>' % (LX + 3, P))
    s.append('<rect x="%d" y="161.5" width="46" height="3" fill="%s"/>' % (LX + 1, P))
    s.append('<path d="M%d,125 q10,8 18,0 q8,8 20,0 v-2 h-38 Z" fill="%s" opacity="0.55"/>' % (LX + 4, P))
    # printed labels on the panel
    s.append('<text x="%d" y="72" %s font-size="8" fill="%s" letter-spacing="1">MISS</text>' % (LX + 9, FONT, P))
    # side controls
    s.append(pill(*geom.BUTTONS["info"], "RECORD"))
    s.append(pill(*geom.BUTTONS["gamea"], "GAME A"))
    s.append(pill(*geom.BUTTONS["gameb"], "GAME B"))
    s.append(pill(*geom.BUTTONS["pause"], "PAUSE"))
    for key, arrow in (("left", -1), ("right", 1)):
        x, y, w, h = geom.BUTTONS[key]
        s.append(round_button(x + w / 2, y + h / 2, w / 2 - 3, arrow))
        ax = x + w / 2
        s.append('<path d="%s" fill="#4a3328"/>' % poly([(ax + 7 * arrow, y - 12), (ax - 6 * arrow, y - 19), (ax - 6 * arrow, y - 5)]))
        s.append('<text x="%s" y="%s" %s font-size="8.5" fill="#4a3328" text-anchor="middle" letter-spacing="0.6">%s</text>' % (f(ax), f(y + h + 14), FONT, key.upper()))
    # speaker grille at the left, a small badge at the right
    for r in range(5):
        for c in range(4):
            s.append('<circle cx="%d" cy="%d" r="1.7" fill="#6f675c"/>' % (27 + c * 8, 112 + r * 9))
    s.append('<text x="12" y="312" %s font-size="8" fill="#7a6e5e" letter-spacing="2">PLUMBRICK</text>' % FONT)
    s.append('<text x="468" y="312" %s font-size="7" fill="#7a6e5e" text-anchor="end" letter-spacing="1">POCKET GAME</text>' % FONT)
    return "\n".join(s)

def segments():
    s = []
    for c, X in enumerate(COLS):
        s.append(seg(100 + c, cook(X, False), (X - 46, 184, 66, 64)))
    for c, X in enumerate(COLS):
        s.append(seg(110 + c, cook(X, True), (X - 46, 184, 66, 64)))
    s.append(seg(200, cat_fork(), (78, 124, 96, 40)))
    s.append(seg(300, mouse(geom.MOUSE_X[0] + 2, peek=True), (84, 254, 27, 20)))
    for i in range(1, 6):
        mx = geom.MOUSE_X[i]
        s.append(seg(300 + i, mouse(mx), (mx - 17, 254, 34, 20)))
    for c, X in enumerate(COLS):
        for h in range(5):
            s.append(seg(400 + 10 * c + h, food(c, h), (X - 15, FOOD_YC[h] - 13, 30, 26)))
    for k in range(3):
        s.append(seg(900 + k, mark(LX + 6 + 22 * k, 40), (LX + 6 + 22 * k, 40, 20, 20)))
    for tag, (x, y, w, h) in geom.DIGITS.items():
        s.append('<g id="seg-%d">%s</g>' % (tag, box(x, y, w, h, tag)))
    px, py, pw, ph = geom.PAUSE
    s.append('<g id="sign-pause">%s<text x="%s" y="%s" %s font-size="18" text-anchor="middle" letter-spacing="2">PAUSE</text></g>'
             % (box(px, py, pw, ph, "pause"), f(px + pw / 2), f(py + 17.5), FONT))
    return "\n".join(s)

def main():
    thumb = "111 200 300 403 412 421 434 900 1000 1001 1002 1003"
    svg = ['<svg xmlns="http://www.w3.org/2000/svg" width="480" height="320" viewBox="0 0 480 320" data-thumb="%s" data-thumb-score="47">' % thumb,
           '<!-- Cook game face: printed layer first, then one group per LCD segment (tag in the id). -->',
           '<g id="printed">', printed(), '</g>',
           '<g id="segments" fill="%s">' % INK, segments(), '</g>', '</svg>']
    open(OUT, "w").write("\n".join(svg) + "\n")

if __name__ == "__main__":
    main()
