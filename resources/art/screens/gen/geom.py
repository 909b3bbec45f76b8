"""Shared geometry of the cook face and the shell screens (points, 480x320)."""

# LCD window of the cook face
LCD = (78, 34, 324, 246)          # x, y, w, h
COLS = [158, 214, 270, 326]       # food column / pan centres
FOOD_Y = [201, 171, 141, 111, 81] # top of the food item at height 0..4
FOOD_W, FOOD_H = 26, 16
MOUSE_X = [95, 158, 214, 270, 326, 378]  # centres: hole, under columns 0..3, one past
MOUSE_Y = 252

DIGITS = {1003: (310, 40, 20, 32), 1002: (332, 40, 20, 32), 1001: (354, 40, 20, 32), 1000: (376, 40, 20, 32)}
PAUSE = (196, 40, 88, 22)
BUTTONS = {
    "info":  (12, 44, 54, 24),
    "gamea": (414, 44, 54, 24),
    "gameb": (414, 82, 54, 24),
    "pause": (414, 120, 54, 24),
    "left":  (9, 196, 60, 60),
    "right": (411, 196, 60, 60),
}
MENU_BTN = (208, 292, 64, 28)

INTRO_PROMPT = (130, 268, 220, 34)
MENU_INFO = [(8 + 78 * i, 296, 74, 22) for i in range(6)]
MENU_MORE = (372, 3, 102, 20)
STATS_TABLE = (112, 96, 320, 125)
STATS_BACK = (16, 276, 96, 34)

def panflip_tags():
    tags = [100, 101, 102, 103, 110, 111, 112, 113, 200]
    tags += list(range(300, 306))
    tags += [400 + 10 * c + h for c in range(4) for h in range(5)]
    tags += [900, 901, 902]
    return tags
