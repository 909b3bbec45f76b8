#!/usr/bin/env python3
"""Writes the shell layouts and the cook face layout (segment frames measured on the face master)."""
import json, sys, os
sys.path.insert(0, os.path.dirname(__file__))
import geom

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "layouts")

def dump(name, obj):
    # compact one view per line for readability
    def fmt(v, ind=0):
        pad = "  " * ind
        if isinstance(v, dict) and "class" in v and "subviews" not in v:
            return json.dumps(v)
        if isinstance(v, dict):
            items = []
            for k, x in v.items():
                items.append(pad + "  " + json.dumps(k) + ": " + fmt(x, ind + 1))
            return "{\n" + ",\n".join(items) + "\n" + pad + "}"
        if isinstance(v, list) and v and isinstance(v[0], dict):
            return "[\n" + ",\n".join(pad + "  " + fmt(x, ind + 1) for x in v) + "\n" + pad + "]"
        return json.dumps(v)
    with open(os.path.join(OUT, name + ".json"), "w") as f:
        f.write(fmt(obj) + "\n")

def main_window():
    dump("MainWindow", {"delegate": "PlumbrickAppDelegate",
                        "window": {"frame": [0, 0, 480, 320]},
                        "viewController": {"class": "PlumbrickViewController",
                                           "layout": "PlumbrickViewController"}})

def root():
    dump("PlumbrickViewController", {"root": {"class": "View", "frame": [0, 0, 480, 320],
                                              "backgroundColor": "#000000ff"}})

def intro():
    dump("IntroViewController", {"root": {
        "class": "IntroView", "frame": [0, 0, 480, 320], "subviews": [
            {"class": "ImageView", "frame": [0, 0, 480, 320], "image": "intro.png"},
            {"class": "ImageView", "frame": list(geom.INTRO_PROMPT), "image": "intro_continue.png",
             "outlet": "ivContinue"}]}})

def menu():
    subs = [{"class": "ImageView", "frame": [0, 0, 480, 320], "image": "menu_bg.png"},
            {"class": "ScrollView", "frame": [0, 26, 480, 267], "outlet": "menuScrolView",
             "contentSize": [2880, 267]}]
    for i, fr in enumerate(geom.MENU_INFO, start=1):
        subs.append({"class": "Button", "tag": i, "frame": list(fr),
                     "image": "menu_info_%02d.png" % i,
                     "action": "eventSelectGameInfo:", "events": 64})
    subs.append({"class": "Button", "frame": list(geom.MENU_MORE), "image": "menu_more.png",
                 "action": "pressBtMoreGames:", "events": 64})
    dump("MainMenuViewController", {"root": {"class": "View", "frame": [0, 0, 480, 320],
                                             "subviews": subs}})

def stats():
    dump("GamesResultView", {"root": {"class": "View", "frame": [0, 0, 480, 320], "subviews": [
        {"class": "ImageView", "frame": [0, 0, 480, 320], "image": "stats_bg.png"},
        {"class": "TableView", "frame": list(geom.STATS_TABLE), "outlet": "tbStatistic",
         "backgroundColor": "#00000000"},
        {"class": "Button", "frame": list(geom.STATS_BACK), "image": "stats_back.png",
         "action": "btBack:", "events": 64, "key": "escape"}]}})

def panflip(boxes):
    subs = [{"class": "ImageView", "frame": [0, 0, 480, 320], "image": "panflip_face.png"}]
    for tag in geom.panflip_tags():
        subs.append({"class": "ImageView", "tag": tag, "frame": list(boxes[tag]),
                     "image": "panflip_%d.png" % tag, "hidden": True})
    for tag in (1003, 1002, 1001, 1000):
        subs.append({"class": "ImageView", "tag": tag, "frame": list(geom.DIGITS[tag]),
                     "image": "yolkfall_07_00.png"})
    subs.append({"class": "ImageView", "frame": list(geom.PAUSE), "image": "panflip_pause.png",
                 "outlet": "ivGamePause", "hidden": True})
    b = geom.BUTTONS
    subs += [
        {"class": "Button", "frame": list(b["left"]), "action": "pressBtLeftDown:", "events": 1, "key": "left"},
        {"class": "Button", "frame": list(b["right"]), "action": "pressBtRightDown:", "events": 1, "key": "right"},
        {"class": "Button", "frame": list(b["gamea"]), "action": "pressBtStartGameA:", "events": 64, "key": "1"},
        {"class": "Button", "frame": list(b["gameb"]), "action": "pressBtStartGameB:", "events": 64, "key": "2"},
        {"class": "Button", "frame": list(b["pause"]), "action": "pressBtPause:", "events": 64, "key": "space"},
        {"class": "Button", "frame": list(b["info"]), "action": "pressBtInfo:", "events": 64, "key": "i"},
    ]
    mx, my, mw, mh = geom.MENU_BTN
    subs.append({"class": "View", "tag": 10000, "frame": [mx, my, mw, mh], "subviews": [
        {"class": "Button", "frame": [0, 0, mw, mh], "image": "btn_menu.png", "outlet": "btMenu",
         "action": "pressBtMenu:", "events": 64, "key": "escape"}]})
    dump("PanflipViewController", {"root": {"class": "View", "frame": [0, 0, 480, 320], "subviews": subs}})

if __name__ == "__main__":
    main_window(); root(); intro(); menu(); stats()
    import boxes as bx
    master = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "faces", "panflip.svg")
    spill = bx.check_fixed(master)
    if spill:
        raise SystemExit("segments spill out of their boxes: %r" % spill)
    measured = {int(k[4:]): v for k, v in bx.measure(master).items() if k.startswith("seg-")}
    panflip(measured)
