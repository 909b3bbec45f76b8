#!/usr/bin/env python3
"""Generates the whole-screen pictures and their buttons under resources/art/screens/."""
import os, sys
sys.path.insert(0, os.path.dirname(__file__))
import geom
import panflip as pf

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
FONT = 'font-family="Liberation Sans"'
BOLD = 'font-family="Liberation Sans" font-weight="bold"'
INK = "#1c2119"
CREAM = "#fbf1d6"

GAMES = {
    1: dict(title="YOLKFALL", accent="#d4822a", obj="egg", objs="eggs", who="bear", helper="rooster"),
    2: dict(title="PANFLIP", accent="#b8352a"),
    3: dict(title="ANTLERBY", accent="#3d7a4a", obj="piece", objs="pieces", who="catcher", helper="helper figure"),
    4: dict(title="REELHOLM", accent="#2f6f9e", obj="piece", objs="pieces", who="catcher", helper="helper figure"),
    5: dict(title="STARWICK", accent="#5a4a9e", obj="piece", objs="pieces", who="catcher", helper="helper figure"),
    6: dict(title="WHISKERPOND", accent="#2f8c8c", obj="piece", objs="pieces", who="catcher", helper="helper figure"),
}

def f(v):
    return pf.f(v)

def svg(w, h, body, name):
    s = ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">\n' % (w, h, w, h)
         + body + "\n</svg>\n")
    open(os.path.join(OUT, name + ".svg"), "w").write(s)

def text(x, y, s, size, fill, bold=True, anchor="start", spacing=0, extra=""):
    return '<text x="%s" y="%s" %s font-size="%s" fill="%s" text-anchor="%s"%s%s>%s</text>' % (
        f(x), f(y), BOLD if bold else FONT, f(size), fill, anchor,
        ' letter-spacing="%s"' % f(spacing) if spacing else "", extra, s)

def lines(x, y, rows, size, fill, lead, bold=False):
    return "".join(text(x, y + i * lead, r, size, fill, bold) for i, r in enumerate(rows))

def esc(s):
    return s.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")

DARK_DEFS = '''<defs>
<radialGradient id="night" cx="0.5" cy="0.38" r="0.75"><stop offset="0" stop-color="#2b5166"/><stop offset="0.6" stop-color="#173042"/><stop offset="1" stop-color="#0b151d"/></radialGradient>
<linearGradient id="panel" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#cdd2b6"/><stop offset="1" stop-color="#bec5a6"/></linearGradient>
<linearGradient id="paper" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#f7f0dc"/><stop offset="1" stop-color="#ebe1c6"/></linearGradient>
<linearGradient id="gloss" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#ffffff" stop-opacity="0.35"/><stop offset="1" stop-color="#ffffff" stop-opacity="0"/></linearGradient>
</defs>'''

def night_bg():
    s = [DARK_DEFS, '<rect width="480" height="320" fill="url(#night)"/>']
    # a faint grid of LCD-like dots
    for y in range(8, 320, 16):
        for x in range(8 + (y // 16 % 2) * 8, 480, 16):
            s.append('<circle cx="%d" cy="%d" r="0.9" fill="#ffffff" opacity="0.05"/>' % (x, y))
    return "".join(s)

# ------------------------------------------------------------------ mini cook face for pictures
def cook_face_group(lit):
    """The cook face's printed layer with some segments lit and all others ghosted, as one group."""
    parts = ['<g>', pf.printed().replace('<defs>', '<defs>').replace('id="', 'id="cf-').replace('url(#', 'url(#cf-')]
    segs = []
    for c, X in enumerate(pf.COLS):
        segs.append((100 + c, pf.cook(X, False)))
        segs.append((110 + c, pf.cook(X, True)))
        for h in range(5):
            segs.append((400 + 10 * c + h, pf.food(c, h)))
    segs.append((200, pf.cat_fork()))
    segs.append((300, pf.mouse(geom.MOUSE_X[0] + 2, peek=True)))
    for i in range(1, 6):
        segs.append((300 + i, pf.mouse(geom.MOUSE_X[i])))
    for k in range(3):
        segs.append((900 + k, pf.mark(pf.LX + 6 + 22 * k, 40)))
    parts.append('<g fill="%s">' % INK)
    for tag, body in segs:
        parts.append('<g opacity="%s">%s</g>' % ("1" if tag in lit else "0.07", body))
    parts.append('</g>')
    # four score digits drawn as plain seven-segment figures
    parts.append(digits(310, 40, "0047", 22, 32))
    parts.append('</g>')
    return "".join(parts)

SEG7 = {"0": "abcdef", "1": "bc", "2": "abged", "3": "abgcd", "4": "fgbc", "5": "afgcd", "6": "afgedc", "7": "abc", "8": "abcdefg", "9": "abcfgd"}

def digits(x0, y0, s, w=22, h=36):
    out = []
    for i, ch in enumerate(s):
        x = x0 + i * w
        t = 3.2
        L, R, T, M, B = x + 4, x + w - 4, y0 + 3, y0 + h / 2, y0 + h - 3
        segp = {
            "a": [(L + 1, T), (R - 1, T), (R - t, T + t), (L + t, T + t)],
            "d": [(L + t, B - t), (R - t, B - t), (R - 1, B), (L + 1, B)],
            "g": [(L + 1, M), (L + t, M - t / 2), (R - t, M - t / 2), (R - 1, M), (R - t, M + t / 2), (L + t, M + t / 2)],
            "f": [(L, T + 1), (L + t, T + t), (L + t, M - t / 2 - 0.6), (L, M - 0.6)],
            "e": [(L, M + 0.6), (L + t, M + t / 2 + 0.6), (L + t, B - t), (L, B - 1)],
            "b": [(R, T + 1), (R, M - 0.6), (R - t, M - t / 2 - 0.6), (R - t, T + t)],
            "c": [(R, M + 0.6), (R, B - 1), (R - t, B - t), (R - t, M + t / 2 + 0.6)],
        }
        for k, pts in segp.items():
            op = "1" if k in SEG7[ch] else "0.07"
            out.append('<path d="%s" fill="%s" opacity="%s"/>' % (pf.poly(pts), INK, op))
    return "".join(out)

# ------------------------------------------------------------------ intro
def intro():
    s = [night_bg()]
    # light rays behind the device
    for k in range(12):
        s.append('<path d="M240,190 L%s,%s L%s,%s Z" fill="#ffffff" opacity="0.035"/>' % (
            f(240 + 420 * __import__("math").cos(k * 0.5236)), f(190 + 420 * __import__("math").sin(k * 0.5236)),
            f(240 + 420 * __import__("math").cos(k * 0.5236 + 0.2)), f(190 + 420 * __import__("math").sin(k * 0.5236 + 0.2))))
    # title with a printed shadow
    for dx, dy, col in ((3, 3, "#0a1016"), (0, 0, CREAM)):
        s.append(text(240 + dx, 58 + dy, "PLUMBRICK", 46, col, anchor="middle", spacing=5))
    s.append('<rect x="128" y="68" width="224" height="2" fill="#e9b04a"/>')
    s.append(text(240, 88, "POCKET  LCD  GAMES", 14, "#e9b04a", anchor="middle", spacing=4))
    # the handheld, tilted a little, with its shadow
    s.append('<g transform="translate(240 186) rotate(-3) scale(0.43) translate(-240 -160)">')
    s.append('<rect x="6" y="16" width="480" height="320" rx="14" fill="#000000" opacity="0.45"/>')
    s.append('<rect x="-6" y="-6" width="492" height="332" rx="16" fill="#8d8676"/>')
    s.append(cook_face_group({111, 402, 413, 424, 431, 200, 300, 900}))
    s.append('</g>')
    # six small game badges in two groups beside the device
    xs = [22, 22, 22, 398, 398, 398]
    for i in range(6):
        g = GAMES[i + 1]
        x, y = xs[i], 128 + (i % 3) * 36
        s.append('<rect x="%d" y="%d" width="60" height="26" rx="5" fill="%s"/>' % (x, y, g["accent"]))
        s.append('<rect x="%d" y="%d" width="60" height="13" rx="5" fill="url(#gloss)"/>' % (x, y))
        t = g["title"]
        s.append(text(x + 30, y + 17, t, 8.2 if len(t) < 10 else 6.6, CREAM, anchor="middle", spacing=0.4))
    svg(480, 320, "\n".join(s), "intro")
    # the pulsing prompt
    w, h = geom.INTRO_PROMPT[2], geom.INTRO_PROMPT[3]
    p = ['<rect x="1" y="1" width="%d" height="%d" rx="%s" fill="#0b151d" opacity="0.55" stroke="#e9b04a" stroke-width="1.5"/>' % (w - 2, h - 2, f((h - 2) / 2)),
         text(w / 2, h / 2 + 5.5, "TOUCH TO START", 15, CREAM, anchor="middle", spacing=3)]
    svg(w, h, "\n".join(p), "intro_continue")

# ------------------------------------------------------------------ menu
def menu():
    s = [night_bg()]
    # top bar
    s.append('<rect width="480" height="26" fill="#0b151d" opacity="0.7"/>')
    s.append('<rect x="9" y="5" width="24" height="16" rx="3" fill="#d3ccb8"/><rect x="14" y="8" width="14" height="10" fill="#b8352a"/><rect x="15.5" y="9.5" width="11" height="7" fill="#cdd2b6"/><circle cx="11.6" cy="16" r="1.6" fill="#b8352a"/><circle cx="30.4" cy="16" r="1.6" fill="#b8352a"/>')
    s.append(text(38, 18.5, "PLUMBRICK", 14, CREAM, spacing=2.5))
    s.append(text(150, 18, "POCKET LCD GAMES", 9, "#e9b04a", spacing=2))
    # the recess the game pictures sit in
    s.append('<rect x="57" y="30" width="366" height="244" rx="10" fill="#000000" opacity="0.35"/>')
    s.append('<rect x="59" y="24" width="362" height="250" rx="9" fill="none" stroke="#e9b04a" stroke-opacity="0.35" stroke-width="1.2"/>')
    # swipe hints
    for x, d in ((30, -1), (450, 1)):
        for k in range(2):
            xx = x + d * (k * 9 - 4)
            s.append('<path d="M%s,132 l%s,15 l%s,15" fill="none" stroke="%s" stroke-width="3.2" stroke-linecap="round" stroke-linejoin="round" opacity="%s"/>' % (
                f(xx - d * 6), f(d * 10), f(-d * 10), CREAM, "0.55" if k == 0 else "0.3"))
    s.append(text(240, 287, "TOUCH A GAME TO PLAY  \u00b7  SWIPE FOR MORE", 8.5, CREAM, anchor="middle", spacing=1.2,
                  extra=' opacity="0.75"'))
    s.append('<rect y="293" width="480" height="27" fill="#0b151d" opacity="0.7"/>')
    svg(480, 320, "\n".join(s), "menu_bg")
    # the six information buttons
    for n, g in GAMES.items():
        w, h = geom.MENU_INFO[n - 1][2], geom.MENU_INFO[n - 1][3]
        t = g["title"]
        b = ['<defs><linearGradient id="gl" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#ffffff" stop-opacity="0.35"/><stop offset="1" stop-color="#ffffff" stop-opacity="0"/></linearGradient></defs>',
             '<rect x="0.5" y="0.5" width="%s" height="%s" rx="%s" fill="%s" stroke="#0b151d" stroke-width="1"/>' % (f(w - 1), f(h - 1), f((h - 1) / 2), g["accent"]),
             '<rect x="2" y="1.5" width="%s" height="%s" rx="%s" fill="url(#gl)"/>' % (f(w - 4), f(h / 2 - 1), f(h / 4)),
             '<circle cx="11" cy="%s" r="7" fill="%s"/>' % (f(h / 2), CREAM),
             '<circle cx="11" cy="%s" r="1.5" fill="%s"/><rect x="9.8" y="%s" width="2.4" height="6.4" rx="0.6" fill="%s"/>' % (f(h / 2 - 3.8), g["accent"], f(h / 2 - 1.2), g["accent"]),
             text(20 + (w - 22) / 2, h / 2 + 3.2, t, 8.6 if len(t) <= 8 else 6.3, CREAM, anchor="middle", spacing=0.3 if len(t) <= 8 else 0)]
        svg(w, h, "\n".join(b), "menu_info_%02d" % n)
    w, h = geom.MENU_MORE[2], geom.MENU_MORE[3]
    b = ['<rect x="0.5" y="0.5" width="%s" height="%s" rx="%s" fill="#e9b04a" stroke="#0b151d" stroke-width="1"/>' % (f(w - 1), f(h - 1), f((h - 1) / 2)),
         text(w / 2 - 5, h / 2 + 3.6, "MORE GAMES", 9.5, "#2a1c10", anchor="middle", spacing=1),
         '<path d="M%s,%s l6,4.5 l-6,4.5 Z" fill="#2a1c10"/>' % (f(w - 16), f(h / 2 - 4.5))]
    svg(w, h, "\n".join(b), "menu_more")

# ------------------------------------------------------------------ statistics
def stats():
    s = [night_bg()]
    tx, ty, tw, th = geom.STATS_TABLE
    s.append('<rect x="46" y="26" width="392" height="236" rx="10" fill="#000000" opacity="0.4"/>')
    s.append('<rect x="42" y="20" width="392" height="236" rx="10" fill="url(#paper)" stroke="#e9b04a" stroke-width="2"/>')
    # trophy and heading
    s.append('<g fill="#c98a1c"><path d="M62,34 h22 v6 c0,8 -5,12 -11,12 c-6,0 -11,-4 -11,-12 Z"/><rect x="71" y="51" width="4" height="6"/><rect x="65" y="57" width="16" height="4" rx="1"/>'
             '<path d="M62,37 h-4 c0,6 2,8 5,9 l0,-2 c-2,-1 -3,-3 -3,-5 h2 Z M84,37 h4 c0,6 -2,8 -5,9 l0,-2 c2,-1 3,-3 3,-5 h-2 Z"/></g>')
    s.append(text(96, 52, "BEST ROUNDS", 22, "#3b2a1c", spacing=2))
    s.append(text(tx + 2, ty - 8, "LAST PLAYED", 9, "#8a6a44", spacing=1.5))
    s.append(text(tx + 274, ty - 8, "SCORE", 9, "#8a6a44", anchor="end", spacing=1.5))
    for k in range(6):
        s.append('<rect x="%d" y="%s" width="%d" height="1" fill="#c9b894"/>' % (tx - 28, f(ty + 25 * k - 0.5), 306))
    for k in range(5):
        y = ty + 25 * k + 12.5
        s.append('<circle cx="%d" cy="%s" r="9" fill="%s"/>' % (tx - 14, f(y), ["#c98a1c", "#9a9a9a", "#a86a3c", "#b9a784", "#b9a784"][k]))
        s.append(text(tx - 14, y + 4, str(k + 1), 11, "#ffffff", anchor="middle"))
    s.append(text(240, 244, "The five highest scores of this game, best first.", 9.5, "#8a6a44", bold=False, anchor="middle"))
    s.append(text(464, 300, "PLUMBRICK", 10, CREAM, anchor="end", spacing=2, extra=' opacity="0.5"'))
    svg(480, 320, "\n".join(s), "stats_bg")
    w, h = geom.STATS_BACK[2], geom.STATS_BACK[3]
    b = ['<rect x="1" y="1" width="%d" height="%d" rx="%s" fill="#e9b04a" stroke="#0b151d" stroke-width="1.2"/>' % (w - 2, h - 2, f((h - 2) / 2)),
         '<rect x="4" y="2.5" width="%d" height="%s" rx="%s" fill="#ffffff" opacity="0.25"/>' % (w - 8, f(h / 2 - 3), f(h / 4)),
         '<path d="M16,%s l9,-7 v14 Z" fill="#2a1c10"/>' % f(h / 2),
         text(w / 2 + 8, h / 2 + 5, "BACK", 14, "#2a1c10", anchor="middle", spacing=2)]
    svg(w, h, "\n".join(b), "stats_back")

if __name__ == "__main__":
    intro(); menu(); stats()
    import info
    info.all_pages()
