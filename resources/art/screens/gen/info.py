"""Information pages info_01 .. info_06: how each game is played, its keys and its scoring."""
from screens import *

def keycap(x, y, label, w=None):
    w = w or max(20, 7.2 * len(label) + 10)
    return ('<rect x="%s" y="%s" width="%s" height="20" rx="4" fill="#3b3a36"/>' % (f(x), f(y + 2), f(w))
            + '<rect x="%s" y="%s" width="%s" height="19" rx="4" fill="#fdfaf0" stroke="#3b3a36" stroke-width="1.2"/>' % (f(x), f(y), f(w))
            + text(x + w / 2, y + 13.6, esc(label), 10.5, "#2b2620", anchor="middle")), w

def controls(y, groups):
    """groups: list of (keys, caption) laid out left to right, each as wide as its caption."""
    s = []
    x = 20
    for keys, cap in groups:
        kw = sum(max(20, 7.2 * len(k) + 10) for k in keys) + 3 * (len(keys) - 1)
        cw = 5.4 * len(cap)
        gw = max(kw, cw)
        kx = x + (gw - kw) / 2
        for k in keys:
            c, w = keycap(kx, y, k)
            s.append(c); kx += w + 3
        s.append(text(x + gw / 2, y + 33, cap, 8.6, "#5a4a36", anchor="middle"))
        x += gw + 10
    return "".join(s), x

def page(n, diagram, play, score, keys, note):
    g = GAMES[n]
    a = g["accent"]
    s = [DARK_DEFS]
    s.append('<rect width="480" height="320" fill="url(#paper)"/>')
    s.append('<rect x="3" y="3" width="474" height="314" rx="9" fill="none" stroke="%s" stroke-width="6"/>' % a)
    # header band
    s.append('<path d="M3,12 a9,9 0 0 1 9,-9 h456 a9,9 0 0 1 9,9 v34 h-474 Z" fill="%s"/>' % a)
    s.append('<rect x="3" y="3" width="474" height="20" rx="9" fill="url(#gloss)"/>')
    s.append(text(20, 35, g["title"], 25, CREAM, spacing=3))
    s.append(text(462, 22, "HOW TO PLAY", 11, CREAM, anchor="end", spacing=2))
    s.append(text(462, 37, "GAME %d OF 6" % n, 9, CREAM, anchor="end", spacing=1.5, extra=' opacity="0.8"'))
    # diagram
    s.append('<rect x="16" y="56" width="188" height="150" rx="6" fill="#3b3a30"/>')
    s.append('<rect x="20" y="60" width="180" height="142" rx="3" fill="url(#panel)"/>')
    s.append(diagram)
    # text
    s.append(text(218, 68, "HOW TO PLAY", 10.5, a, spacing=1.5))
    s.append(lines(218, 83, play, 10.2, "#2b2620", 13))
    ys = 83 + 13 * len(play) + 8
    s.append(text(218, ys, "SCORING", 10.5, a, spacing=1.5))
    s.append(lines(218, ys + 15, score, 10.2, "#2b2620", 13))
    # controls strip
    s.append('<rect x="12" y="214" width="456" height="1" fill="%s" opacity="0.5"/>' % a)
    s.append(text(20, 230, "KEYS", 10.5, a, spacing=1.5))
    s.append(text(62, 230, note, 9, "#5a4a36", bold=False))
    c, _ = controls(238, keys)
    s.append(c)
    # footer
    s.append('<rect x="120" y="292" width="240" height="18" rx="9" fill="%s"/>' % a)
    s.append(text(240, 304.5, "TOUCH THE PAGE TO GO BACK", 9.5, CREAM, anchor="middle", spacing=1.5))
    svg(480, 320, "\n".join(s), "info_%02d" % n)

COMMON_KEYS = [(["1"], "GAME A"), (["2"], "GAME B"), (["SPACE"], "PAUSE"), (["I"], "BEST ROUNDS"), (["ESC"], "MENU")]

def cook_diagram():
    s = ['<g transform="translate(20 60) scale(0.5556) translate(-78 -34)">']
    s.append('<rect x="78" y="34" width="324" height="246" fill="url(#panel)"/>')
    P = "#5c6450"
    s.append('<rect x="114" y="248.6" width="288" height="1.6" fill="%s"/><rect x="80" y="274.8" width="320" height="1.6" fill="%s"/>' % (P, P))
    s.append('<path d="M82,274.8 v-14 a13,13 0 0 1 26,0 v14" fill="none" stroke="%s" stroke-width="1.6"/>' % P)
    s.append('<rect x="81" y="124" width="40" height="40" fill="none" stroke="%s" stroke-width="1.4"/><rect x="79" y="161.5" width="46" height="3" fill="%s"/>' % (P, P))
    lit = [pf.cook(pf.COLS[1], True), pf.food(1, 1), pf.food(0, 2), pf.food(2, 3), pf.food(3, 0), pf.cat_fork(), pf.mouse(geom.MOUSE_X[0] + 2, peek=True)]
    s.append('<g fill="%s">%s</g>' % (INK, "".join(lit)))
    s.append(digits(310, 40, "0012", 22, 32))
    # arrows under the cook
    s.append('<g fill="#b8352a"><path d="M150,236 l14,-10 v20 Z"/><path d="M262,236 l-14,-10 v20 Z"/></g>')
    s.append('</g>')
    # callouts
    return "".join(s)

def egg_diagram(g):
    """A plan of the four chutes and the basket places, with their keys."""
    s = []
    P = "#5c6450"
    # chutes: two on each side sloping down towards the middle
    for (x0, y0, x1, y1) in ((28, 92, 86, 112), (28, 140, 86, 160), (192, 92, 134, 112), (192, 140, 134, 160)):
        s.append('<path d="M%d,%d L%d,%d" stroke="%s" stroke-width="2.4"/>' % (x0, y0, x1, y1, P))
        for k in range(3):
            t = (k + 0.6) / 3.6
            cx, cy = x0 + (x1 - x0) * t, y0 + (y1 - y0) * t - 5
            s.append('<ellipse cx="%s" cy="%s" rx="3.6" ry="4.4" fill="%s" opacity="%s"/>' % (f(cx), f(cy), INK, "1" if k == 1 else "0.08"))
    # the four basket places with their keys
    for (bx, by, key) in ((96, 118, "Q"), (96, 166, "A"), (124, 118, "P"), (124, 166, "L")):
        s.append('<path d="M%d,%d h14 l-2,8 h-10 Z" fill="%s" opacity="%s"/>' % (bx - 7, by, INK, "1" if key == "A" else "0.1"))
        kx = bx - 24 if bx < 110 else bx + 14
        s.append('<rect x="%d" y="%d" width="12" height="12" rx="2" fill="#fdfaf0" stroke="#3b3a36"/>' % (kx - 1, by - 1))
        s.append(text(kx + 5, by + 8.6, key, 8.5, "#2b2620", anchor="middle"))
    s.append('<path d="M74,182 h72" stroke="%s" stroke-width="1.6"/>' % P)
    s.append(text(110, 76, "four chutes, four basket places", 8, "#5a4a36", bold=False, anchor="middle"))
    s.append(text(110, 196, "a missed %s costs a mark" % g["obj"], 8, "#5a4a36", bold=False, anchor="middle"))
    return "".join(s)

def egg_page(n):
    g = GAMES[n]
    O, Os, who, hp = g["obj"], g["objs"], g["who"], g["helper"]
    play = ["%s roll down four chutes, two on each side." % Os.capitalize(),
            "Move the %s's basket to the end of the chute" % who,
            "just before the next %s drops. More %s come," % (O, Os),
            "and faster, as the score grows.",
            "Game A: one chute stays empty. Game B: all four."]
    score = ["1 point for every %s caught, up to 999." % O,
             "A miss costs a whole mark; while the %s" % hp,
             "is out, only half a mark. Three whole marks",
             "end the round. At 200 and 500 all marks clear."]
    keys = [(["Q", "A"], "LEFT UP / DOWN"), (["P", "L"], "RIGHT UP / DOWN")] + COMMON_KEYS
    page(n, egg_diagram(g), play, score, keys, "or touch the buttons printed on the game face")

def cook_page():
    play = ["Food jumps out of the pans and falls back.",
            "Move the cook left and right to stand under",
            "each piece as it comes down: he flips it up.",
            "The cat's fork may hold a piece over pan 1.",
            "Game A: three pans. Game B: four."]
    score = ["1 point for every flip, up to 999; faster every 10.",
             "Food that lands where the cook is not is taken",
             "by the mouse: one miss. The third miss ends the",
             "round. At 200 and 500 points all misses clear."]
    keys = [(["\u2190", "\u2192"], "COOK LEFT / RIGHT")] + COMMON_KEYS
    page(2, cook_diagram(), play, score, keys, "or touch the buttons printed on the game face")

def all_pages():
    for n in (1, 3, 4, 5, 6):
        egg_page(n)
    cook_page()
