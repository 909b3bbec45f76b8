/* A smoke test for the emscripten build of the web libraries: it links against every one of them and
 * exercises the parts that work without a browser (under node). Run through `scripts/web-deps --check`,
 * which preloads /data/img.png (4x3, orange), /data/beep.aiff and /data/font.ttf. */
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>
#include <plist/plist.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int failures = 0;

static void expect(int ok, const char *what)
{
    printf("%s: %s\n", ok ? "ok" : "FAIL", what);
    if (!ok)
        failures++;
}

static void check_image(void)
{
    SDL_Surface *img = IMG_Load("/data/img.png");
    expect(img != NULL, "IMG_Load decodes a PNG");
    if (!img) {
        printf("  %s\n", IMG_GetError());
        return;
    }
    expect(img->w == 4, "the PNG is 4 pixels wide");
    expect(img->h == 3, "the PNG is 3 pixels high");

    SDL_Surface *canvas = SDL_CreateRGBSurfaceWithFormat(0, 8, 8, 32, SDL_PIXELFORMAT_RGBA32);
    expect(canvas != NULL, "SDL_CreateRGBSurfaceWithFormat makes a surface");
    if (canvas) {
        expect(SDL_BlitSurface(img, NULL, canvas, NULL) == 0, "the PNG blits onto an RGBA surface");
        Uint8 r = 0, g = 0, b = 0, a = 0;
        SDL_GetRGBA(((Uint32 *)canvas->pixels)[0], canvas->format, &r, &g, &b, &a);
        expect(r == 0xff && g == 0x80 && b == 0x00, "the blitted pixel keeps the PNG's colour");
        SDL_FreeSurface(canvas);
    }
    SDL_FreeSurface(img);
}

static void check_sound(void)
{
    /* Mix_LoadWAV converts to the opened device's format, so a device must be open; under node the
     * smoke test's stand-in for Web Audio lets SDL's emscripten driver open one. */
    int opened = Mix_OpenAudio(22050, AUDIO_S16SYS, 2, 1024) == 0;
    expect(opened, "Mix_OpenAudio opens the audio device");
    if (!opened) {
        printf("  %s\n", Mix_GetError());
        return;
    }
    const char *driver = SDL_GetCurrentAudioDriver();
    expect(driver != NULL && strcmp(driver, "emscripten") == 0, "the audio driver is emscripten's");
    int freq = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&freq, &format, &channels);
    Mix_Chunk *chunk = Mix_LoadWAV("/data/beep.aiff");
    expect(chunk != NULL, "Mix_LoadWAV decodes an AIFF");
    if (chunk) {
        /* 0.1 s of sound at the device's rate, channels and sample size. */
        double expected = 0.1 * freq * channels * (SDL_AUDIO_BITSIZE(format) / 8);
        expect(chunk->alen > expected * 0.95 && chunk->alen < expected * 1.05,
               "the AIFF's length survives conversion");
        Mix_FreeChunk(chunk);
    } else {
        printf("  %s\n", Mix_GetError());
    }
    Mix_CloseAudio();
}

static void check_text(void)
{
    expect(TTF_Init() == 0, "TTF_Init starts FreeType");
    TTF_Font *font = TTF_OpenFont("/data/font.ttf", 24);
    expect(font != NULL, "TTF_OpenFont opens a TrueType font");
    if (!font) {
        printf("  %s\n", TTF_GetError());
        return;
    }
    SDL_Color white = {255, 255, 255, 255};
    SDL_Surface *text = TTF_RenderUTF8_Blended(font, "GAME A 123", white);
    expect(text != NULL, "TTF_RenderUTF8_Blended renders a line");
    if (text) {
        expect(text->w > 60 && text->h >= 20, "the rendered line has a plausible size");
        int lit = 0;
        SDL_LockSurface(text);
        for (int y = 0; y < text->h; y++) {
            const Uint32 *row = (const Uint32 *)((const Uint8 *)text->pixels + y * text->pitch);
            for (int x = 0; x < text->w; x++) {
                Uint8 r, g, b, a;
                SDL_GetRGBA(row[x], text->format, &r, &g, &b, &a);
                lit += a > 128;
            }
        }
        SDL_UnlockSurface(text);
        expect(lit > 50, "the rendered line has opaque pixels");
        SDL_FreeSurface(text);
    }
    TTF_CloseFont(font);
    TTF_Quit();
}

static void check_plist(void)
{
    static const char xml[] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<plist version=\"1.0\"><dict><key>score</key><integer>42</integer>"
        "<key>name</key><string>round</string></dict></plist>\n";
    plist_t root = NULL;
    plist_from_xml(xml, (uint32_t)strlen(xml), &root);
    expect(root != NULL && plist_get_node_type(root) == PLIST_DICT, "plist_from_xml parses a dict");
    if (!root)
        return;
    uint64_t score = 0;
    plist_t item = plist_dict_get_item(root, "score");
    if (item)
        plist_get_uint_val(item, &score);
    expect(score == 42, "the dict's integer reads back");

    char *bin = NULL;
    uint32_t bin_len = 0;
    plist_to_bin(root, &bin, &bin_len);
    plist_t again = NULL;
    if (bin)
        plist_from_bin(bin, bin_len, &again);
    expect(again != NULL && plist_get_node_type(again) == PLIST_DICT,
           "the dict survives a binary round trip");
    plist_t name = again ? plist_dict_get_item(again, "name") : NULL;
    char *s = NULL;
    if (name)
        plist_get_string_val(name, &s);
    expect(s != NULL && strcmp(s, "round") == 0, "the dict's string survives the round trip");
    free(s);
    free(bin);
    plist_free(again);

    plist_t bad = NULL;
    plist_from_xml("<plist><dict><key>x", 19, &bad);
    expect(bad == NULL, "truncated XML is refused");
    plist_free(bad);
    plist_free(root);
}

int main(void)
{
    SDL_version linked;
    SDL_GetVersion(&linked);
    printf("SDL %d.%d.%d, SDL_image %d.%d.%d, SDL_mixer %d.%d.%d, SDL_ttf %d.%d.%d\n", linked.major,
           linked.minor, linked.patch, IMG_Linked_Version()->major, IMG_Linked_Version()->minor,
           IMG_Linked_Version()->patch, Mix_Linked_Version()->major, Mix_Linked_Version()->minor,
           Mix_Linked_Version()->patch, TTF_Linked_Version()->major, TTF_Linked_Version()->minor,
           TTF_Linked_Version()->patch);

    int up = SDL_Init(SDL_INIT_AUDIO | SDL_INIT_EVENTS | SDL_INIT_TIMER) == 0;
    expect(up, "SDL_Init starts audio, events and timers");
    if (!up)
        printf("  %s\n", SDL_GetError());
    expect(IMG_Init(IMG_INIT_PNG) & IMG_INIT_PNG, "IMG_Init enables PNG");

    check_image();
    if (up)
        check_sound();
    check_text();
    check_plist();

    IMG_Quit();
    SDL_Quit();
    printf("%s\n", failures ? "SOME CHECKS FAILED" : "all checks passed");
    return failures ? 1 : 0;
}
