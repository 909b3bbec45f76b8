#include "platform/sdl/Renderer.h"

#include <SDL_image.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <vector>

#include "platform/Button.h"
#include "platform/ImageView.h"
#include "platform/Label.h"
#include "platform/Log.h"
#include "platform/ScrollView.h"
#include "platform/sdl/Fonts.h"
#include "platform/sdl/VectorArt.h"

namespace platform::sdl {

namespace {

int roundPixel(double v) { return static_cast<int>(std::floor(v + 0.5)); }

Uint8 toByte(double v) { return static_cast<Uint8>(std::clamp(roundPixel(v * 255.0), 0, 255)); }

SDL_Rect intersect(const SDL_Rect& a, const SDL_Rect& b) {
    SDL_Rect r;
    if (!SDL_IntersectRect(&a, &b, &r)) return {a.x, a.y, 0, 0};
    return r;
}

bool empty(const SDL_Rect& r) { return r.w <= 0 || r.h <= 0; }

// A control being pressed draws its pictures a little darker.
constexpr Uint8 kPressedShade = 190;

// The colour of LCD ink, which its shadow takes.
constexpr Uint8 kInkR = 0x1c, kInkG = 0x21, kInkB = 0x19;

// Passes of a three-pixel box blur over a shadow drawn at p pixels a point: together about a Gaussian of half
// a point's spread (each pass adds 2/3 of a pixel squared to its variance), and each widens it by a pixel.
int blurPasses(double p) { return std::max(1, roundPixel(0.375 * p * p)); }

}   // namespace

Renderer::Renderer(SDL_Renderer* renderer) : renderer_(renderer) {
    ownsTtf_ = TTF_Init() == 0;
    if (SDL_Window* window = SDL_RenderGetWindow(renderer_)) {
        // A software renderer draws on the window's surface, which SDL gives it: its layout is the one to match.
        Uint32 format = SDL_GetWindowPixelFormat(window);
        SDL_RendererInfo info{};
        if (SDL_GetRendererInfo(renderer_, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0)
            if (const SDL_Surface* surface = SDL_GetWindowSurface(window)) format = surface->format->format;
        if (SDL_BYTESPERPIXEL(format) == 4 && !SDL_ISPIXELFORMAT_ALPHA(format)) solidFormat_ = format;
    }
}

Renderer::~Renderer() {
    for (auto& [key, picture] : pictures_) {
        if (picture.texture) SDL_DestroyTexture(picture.texture);
        if (picture.shadow) SDL_DestroyTexture(picture.shadow);
    }
    for (auto& [key, text] : texts_)
        if (text.texture) SDL_DestroyTexture(text.texture);
    for (auto& [key, font] : fonts_)
        if (font) TTF_CloseFont(font);
    if (ownsTtf_) TTF_Quit();
}

void Renderer::setViewport(Viewport viewport) {
    if (viewport.scale <= 0) viewport.scale = 1;
    viewport_ = viewport;
}

void Renderer::drawFrame(View& root) {
    SDL_RenderSetClipRect(renderer_, nullptr);
    currentClip_ = {0, 0, -1, -1};
    SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    preparing_ = vectorScale() != 0;
    draw(root);
    preparing_ = false;
    forgetOldPictures();
}

void Renderer::draw(View& root) {
    ++frame_;
    drawn_ = 0;
    Map screen{viewport_.scale, viewport_.scale, double(viewport_.offsetX), double(viewport_.offsetY)};
    SDL_Rect clip = pixelRect(screen, root.frame());
    drawView(root, screen, 1.0, clip);
    SDL_RenderSetClipRect(renderer_, nullptr);
    currentClip_ = {0, 0, -1, -1};
    drawnRects_.assign(1, clip);
    forgetOldTexts();
}

void Renderer::drawOverlay(View& view) {
    Map screen{viewport_.scale, viewport_.scale, double(viewport_.offsetX), double(viewport_.offsetY)};
    const int drawn = drawn_;
    drawView(view, screen, 1.0, pixelRect(screen, view.frame()));
    drawn_ = drawn;
    SDL_RenderSetClipRect(renderer_, nullptr);
    currentClip_ = {0, 0, -1, -1};
}

long Renderer::drawnPixels() const {
    long total = 0;
    for (const SDL_Rect& r : drawnRects_) total += long(r.w) * r.h;
    return total;
}

void Renderer::drawChanges(View& root, const std::vector<Rect>& parts) {
    Map screen{viewport_.scale, viewport_.scale, double(viewport_.offsetX), double(viewport_.offsetY)};
    const SDL_Rect whole = pixelRect(screen, root.frame());
    // Points to pixels, rounded outwards with a pixel to spare (the views' own edges are rounded to the nearest),
    // and grown by a shadow's reach: what changed may have cast one.
    const double reach = shadows_ ? shadowReach() : 0.0;
    std::vector<SDL_Rect> rects;
    for (Rect p : parts) {
        p = Rect(p.minX() - reach, p.minY() - reach, p.size.width + 2 * reach, p.size.height + 2 * reach);
        int x0 = int(std::floor(p.minX() * screen.sx + screen.tx)) - 1,
            y0 = int(std::floor(p.minY() * screen.sy + screen.ty)) - 1;
        int x1 = int(std::ceil(p.maxX() * screen.sx + screen.tx)) + 1,
            y1 = int(std::ceil(p.maxY() * screen.sy + screen.ty)) + 1;
        SDL_Rect r = intersect({x0, y0, x1 - x0, y1 - y0}, whole);
        if (!empty(r)) rects.push_back(r);
    }
    if (rects.empty()) {
        drawnRects_.clear();
        drawn_ = 0;
        return;
    }

    // Where pictures are copied scaled or mirrored, as drawn: the parts must hold them whole.
    inexact_.clear();
    collecting_ = true;
    drawView(root, screen, 1.0, whole);
    collecting_ = false;
    currentClip_ = {0, 0, -1, -1};

    // Widen and join until no part cuts an inexact copy and no two parts overlap.
    for (bool changed = true; changed;) {
        changed = false;
        for (SDL_Rect& r : rects)
            for (const SDL_Rect& c : inexact_) {
                SDL_Rect both;
                if (SDL_IntersectRect(&r, &c, &both) && !SDL_RectEquals(&both, &c)) {
                    SDL_UnionRect(&r, &c, &r);
                    changed = true;
                }
            }
        for (std::size_t i = 0; i < rects.size(); ++i)
            for (std::size_t j = i + 1; j < rects.size();) {
                if (SDL_HasIntersection(&rects[i], &rects[j])) {
                    SDL_UnionRect(&rects[i], &rects[j], &rects[i]);
                    rects.erase(rects.begin() + static_cast<std::ptrdiff_t>(j));
                    changed = true;
                } else {
                    ++j;
                }
            }
    }
    long area = 0;
    for (const SDL_Rect& r : rects) area += long(r.w) * r.h;
    if (area > kWholeFrameShare * double(whole.w) * whole.h) {
        drawFrame(root);
        return;
    }

    ++frame_;
    int views = 0;
    for (const SDL_Rect& r : rects) {
        SDL_RenderSetClipRect(renderer_, &r);
        currentClip_ = r;
        SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_NONE);
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderFillRect(renderer_, &r);
        drawn_ = 0;
        drawView(root, screen, 1.0, r);
        views += drawn_;
    }
    drawn_ = views;
    SDL_RenderSetClipRect(renderer_, nullptr);
    currentClip_ = {0, 0, -1, -1};
    drawnRects_ = std::move(rects);
    forgetOldTexts();
}

void Renderer::forgetOldPictures() {
    std::size_t total = 0;
    for (const auto& [key, picture] : pictures_) total += picture.bytes;
    const double k = std::max(1.0, viewport_.scale / 2);
    if (double(total) <= double(kPictureBudget) * k * k) return;
    for (auto it = pictures_.begin(); it != pictures_.end();) {
        Picture& p = it->second;
        // Pictures drawn from their masters cost far more to make again than to keep.
        if (p.lastUse < frame_ && p.bytes >= kForgettable && it->first.rfind("art:", 0) != 0) {
            if (p.texture) SDL_DestroyTexture(p.texture);
            if (p.shadow) SDL_DestroyTexture(p.shadow);
            it = pictures_.erase(it);
        } else {
            ++it;
        }
    }
}

void Renderer::forgetOldTexts() {
    // Labels change text often (scores, dates): forget the pictures of texts not drawn for a while.
    if (texts_.size() > 256) {
        for (auto it = texts_.begin(); it != texts_.end();) {
            if (it->second.lastUse + 2 < frame_) {
                SDL_DestroyTexture(it->second.texture);
                it = texts_.erase(it);
            } else {
                ++it;
            }
        }
    }
}

SDL_Rect Renderer::pixelRect(const Map& map, Rect rect, SDL_RendererFlip* flip) const {
    double x0 = map.sx * rect.minX() + map.tx, x1 = map.sx * rect.maxX() + map.tx;
    double y0 = map.sy * rect.minY() + map.ty, y1 = map.sy * rect.maxY() + map.ty;
    int f = SDL_FLIP_NONE;
    if (x1 < x0) {
        std::swap(x0, x1);
        f |= SDL_FLIP_HORIZONTAL;
    }
    if (y1 < y0) {
        std::swap(y0, y1);
        f |= SDL_FLIP_VERTICAL;
    }
    if (flip) *flip = static_cast<SDL_RendererFlip>(f);
    // Round both edges, so that views that touch in points touch in pixels.
    int left = roundPixel(x0), top = roundPixel(y0);
    return {left, top, roundPixel(x1) - left, roundPixel(y1) - top};
}

void Renderer::setClip(const SDL_Rect& clip) {
    if (SDL_RectEquals(&clip, &currentClip_)) return;
    currentClip_ = clip;
    if (!collecting_) SDL_RenderSetClipRect(renderer_, &clip);
}

void Renderer::prepareHidden(View& view) {
    if (auto* imageView = dynamic_cast<ImageView*>(&view); imageView && imageView->image())
        pictureFor(*imageView->image());
    for (const auto& child : view.subviews()) prepareHidden(*child);
}

void Renderer::drawView(View& view, const Map& parent, double parentAlpha, const SDL_Rect& clip) {
    if (view.isHidden()) {
        // Drawn from the masters, a segment costs more to make than a frame's time: a screen's hidden
        // pictures are made with its whole frames, before they are first shown.
        if (preparing_) prepareHidden(view);
        return;
    }
    double alpha = parentAlpha * view.presentationAlpha();
    if (alpha < 0.5 / 255.0) return;

    // Local (bounds) coordinates to the parent's, then the transform about the frame's centre:
    // q = p - bounds.origin + frame.origin ; q' = centre + T(q - centre) + T.translation.
    // Only scale and translation are drawn; views never rotate.
    AffineTransform t = view.presentationTransform();
    Rect frame = view.frame();
    Rect bounds = view.bounds();
    double cx = frame.midX(), cy = frame.midY();
    double ox = t.a * (frame.minX() - bounds.minX() - cx) + cx + t.tx;
    double oy = t.d * (frame.minY() - bounds.minY() - cy) + cy + t.ty;
    Map map{parent.sx * t.a, parent.sy * t.d, parent.sx * ox + parent.tx, parent.sy * oy + parent.ty};

    SDL_Rect box = pixelRect(map, bounds);
    bool visible = !empty(intersect(box, clip));
    if (!visible && shadows_)
        if (auto* imageView = dynamic_cast<ImageView*>(&view);
            imageView && imageView->image() && imageView->image()->isLcdInk())
            if (const Picture* picture = pictureFor(*imageView->image()))
                visible = !empty(intersect(shadowRect(*picture, box), clip));
    bool drew = false;
    if (visible) {
        setClip(clip);
        Color bg = view.backgroundColor();
        if (bg.a > 0 && !collecting_) {
            fill(map, bounds, bg, alpha);
            drew = true;
        }
        if (auto* imageView = dynamic_cast<ImageView*>(&view)) {
            if (imageView->image()) {
                bool pressed = false;
                for (View* v = view.superview(); v && !pressed; v = v->superview())
                    if (auto* c = dynamic_cast<Control*>(v)) pressed = c->isHighlighted();
                drawPicture(*imageView->image(), map, bounds, alpha, pressed);
                drew = true;
            }
        } else if (auto* button = dynamic_cast<Button*>(&view)) {
            if (const auto& image = button->image()) {
                // A button's picture keeps its own size, centred; a picture larger than the button shrinks to fit.
                Size s = image->size();
                double k = std::min({1.0, s.width > 0 ? bounds.size.width / s.width : 1.0,
                                     s.height > 0 ? bounds.size.height / s.height : 1.0});
                Rect r(bounds.midX() - s.width * k / 2, bounds.midY() - s.height * k / 2, s.width * k, s.height * k);
                drawPicture(*image, map, r, alpha, button->isHighlighted());
                drew = true;
            }
        } else if (auto* label = dynamic_cast<Label*>(&view)) {
            if (!label->text().empty() && !collecting_) {
                drawLabel(*label, map, alpha);
                drew = true;
            }
        }
    }
    if (drew) ++drawn_;

    SDL_Rect childClip = clip;
    if (dynamic_cast<ScrollView*>(&view)) {
        childClip = intersect(clip, box);
        if (empty(childClip)) return;
    }
    for (const auto& child : view.subviews()) drawView(*child, map, alpha, childClip);
}

void Renderer::fill(const Map& map, Rect rect, Color color, double alpha) {
    SDL_Rect r = pixelRect(map, rect);
    if (empty(r)) return;
    Uint8 a = toByte(color.a * alpha);
    SDL_SetRenderDrawBlendMode(renderer_, a == 255 ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
    SDL_SetRenderDrawColor(renderer_, toByte(color.r), toByte(color.g), toByte(color.b), a);
    SDL_RenderFillRect(renderer_, &r);
}

int Renderer::vectorScale() const {
    const double s = viewport_.scale;
    return s >= 3 && s <= 8 && s == std::floor(s) && VectorArt::supported() ? static_cast<int>(s) : 0;
}

double Renderer::shadowReach() const {
    const double p = pictureScale(), v = viewport_.scale;
    return kShadowOffset + std::max(blurPasses(p) / p, blurPasses(v) / v) + 1.0 / v;
}

SDL_Texture* Renderer::makeShadow(SDL_Surface* argb, double pixelsPerPoint, int& margin) {
    const int passes = blurPasses(pixelsPerPoint);
    margin = passes;
    const int w = argb->w + 2 * margin, h = argb->h + 2 * margin;
    // The ink's coverage: faint ink (the ghosts a score digit carries) casts nothing.
    std::vector<float> a(std::size_t(w) * std::size_t(h), 0.0f), b(a.size());
    SDL_LockSurface(argb);
    for (int y = 0; y < argb->h; ++y) {
        auto* row =
            reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(argb->pixels) + std::ptrdiff_t{y} * argb->pitch);
        for (int x = 0; x < argb->w; ++x)
            a[std::size_t(y + margin) * std::size_t(w) + std::size_t(x + margin)] =
                std::clamp((float(row[x] >> 24) / 255.0f - 0.1f) / 0.9f, 0.0f, 1.0f);
    }
    SDL_UnlockSurface(argb);
    auto at = [w](int x, int y) { return std::size_t(y) * std::size_t(w) + std::size_t(x); };
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                b[at(x, y)] =
                    (a[at(x, y)] + (x > 0 ? a[at(x - 1, y)] : 0.0f) + (x + 1 < w ? a[at(x + 1, y)] : 0.0f)) / 3;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                a[at(x, y)] =
                    (b[at(x, y)] + (y > 0 ? b[at(x, y - 1)] : 0.0f) + (y + 1 < h ? b[at(x, y + 1)] : 0.0f)) / 3;
    }
    SDL_Surface* shadow = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!shadow) return nullptr;
    SDL_LockSurface(shadow);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(shadow->pixels) + std::ptrdiff_t{y} * shadow->pitch);
        for (int x = 0; x < w; ++x)
            row[x] =
                Uint32(toByte(a[at(x, y)] * kShadowStrength)) << 24 | Uint32(kInkR) << 16 | Uint32(kInkG) << 8 | kInkB;
    }
    SDL_UnlockSurface(shadow);
    SDL_Texture* texture = SDL_CreateTextureFromSurface(renderer_, shadow);
    SDL_FreeSurface(shadow);
    if (texture) SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    return texture;
}

SDL_Texture* Renderer::textureFor(const Image& image) {
    const Picture* picture = pictureFor(image);
    return picture ? picture->texture : nullptr;
}

const Renderer::Picture* Renderer::pictureFor(const Image& image) {
    const bool touch = !keyNames_ && !image.touchName().empty();
    if (const int scale = vectorScale()) {
        const std::string& name = touch ? image.touchName() : image.name();
        const std::string key = "art:" + name + "@" + std::to_string(scale);
        if (auto it = pictures_.find(key); it != pictures_.end()) {
            it->second.lastUse = frame_;
            return &it->second;
        }
        if (!vectorArt_) vectorArt_ = std::make_unique<VectorArt>();
        if (vectorArt_->has(name)) {
            if (SDL_Surface* drawn = vectorArt_->pictureAt(name, scale)) {
                Picture picture = makePicture(drawn, image);
                SDL_FreeSurface(drawn);
                picture.lastUse = frame_;
                return &pictures_.emplace(key, picture).first->second;
            }
        }
        // No recipe, or it failed (said in the log): the built picture, enlarged.
    }
    const std::string& path1x = touch ? image.touchPath() : image.path();
    const std::string& path2x = touch ? image.touchPath2x() : image.path2x();
    const std::string& path = (pictureScale() == 2 && !path2x.empty()) ? path2x : path1x;
    if (path.empty()) return nullptr;
    auto it = pictures_.find(path);
    if (it != pictures_.end()) {
        it->second.lastUse = frame_;
        return &it->second;
    }

    Picture picture;
    if (SDL_Surface* loaded = IMG_Load(path.c_str())) {
        const bool solid =
            !SDL_ISPIXELFORMAT_ALPHA(loaded->format->format) && !SDL_HasColorKey(loaded) && !image.isLcdInk();
        if (SDL_Surface* pixels =
                SDL_ConvertSurfaceFormat(loaded, solid ? solidFormat_ : Uint32{SDL_PIXELFORMAT_ARGB8888}, 0)) {
            picture = makePicture(pixels, image);
            SDL_FreeSurface(pixels);
        }
        SDL_FreeSurface(loaded);
    }
    picture.lastUse = frame_;
    return &pictures_.emplace(path, picture).first->second;
}

Renderer::Picture Renderer::makePicture(SDL_Surface* pixels, const Image& image) {
    Picture picture;
    picture.texture = SDL_CreateTextureFromSurface(renderer_, pixels);
    picture.bytes = std::size_t(pixels->w) * std::size_t(pixels->h) * 4;
    // A picture without a single see-through pixel can be copied without blending.
    picture.opaque = true;
    if (!SDL_ISPIXELFORMAT_ALPHA(pixels->format->format)) return picture;
    SDL_Surface* argb = pixels;
    SDL_LockSurface(argb);
    for (int y = 0; y < argb->h && picture.opaque; ++y) {
        auto* row =
            reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(argb->pixels) + std::ptrdiff_t{y} * argb->pitch);
        for (int x = 0; x < argb->w; ++x)
            if ((row[x] >> 24) != 0xff) {
                picture.opaque = false;
                break;
            }
    }
    SDL_UnlockSurface(argb);
    if (image.isLcdInk() && image.size().width > 0) {
        picture.shadow = makeShadow(argb, argb->w / image.size().width, picture.margin);
        picture.bytes += std::size_t(argb->w + 2 * picture.margin) * std::size_t(argb->h + 2 * picture.margin) * 4;
    }
    return picture;
}

SDL_Rect Renderer::shadowRect(const Picture& picture, const SDL_Rect& r) const {
    if (!picture.shadow || !picture.texture) return {r.x, r.y, 0, 0};
    int tw = 0, th = 0;
    SDL_QueryTexture(picture.texture, nullptr, nullptr, &tw, &th);
    if (tw <= 0 || th <= 0) return {r.x, r.y, 0, 0};
    const int mx = roundPixel(picture.margin * double(r.w) / tw), my = roundPixel(picture.margin * double(r.h) / th);
    const int offset = roundPixel(kShadowOffset * viewport_.scale);
    return {r.x + offset - mx, r.y + offset - my, r.w + 2 * mx, r.h + 2 * my};
}

void Renderer::drawPicture(const Image& image, const Map& map, Rect rect, double alpha, bool pressed) {
    const Picture* found = pictureFor(image);
    if (!found || !found->texture) return;
    const Picture& picture = *found;
    SDL_Texture* texture = picture.texture;
    SDL_RendererFlip flip = SDL_FLIP_NONE;
    SDL_Rect r = pixelRect(map, rect, &flip);
    const SDL_Rect shadow = shadows_ ? shadowRect(picture, r) : SDL_Rect{r.x, r.y, 0, 0};
    if (empty(r) || (empty(intersect(r, currentClip_)) && empty(intersect(shadow, currentClip_)))) return;

    int tw = 0, th = 0;
    SDL_QueryTexture(texture, nullptr, nullptr, &tw, &th);
    if (collecting_) {
        if (flip != SDL_FLIP_NONE || r.w != tw || r.h != th) {
            SDL_Rect both = r;
            if (!empty(shadow)) SDL_UnionRect(&r, &shadow, &both);
            inexact_.push_back(intersect(both, currentClip_));
        }
        return;
    }
    if (!empty(shadow)) {
        // On the panel first: the segment's own ink covers most of it.
        SDL_SetTextureAlphaMod(picture.shadow, toByte(alpha));
        SDL_SetTextureScaleMode(picture.shadow, r.w == tw && r.h == th ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
        SDL_RenderCopyEx(renderer_, picture.shadow, nullptr, &shadow, 0, nullptr, flip);
    }
    // Whole-number enlargements stay sharp; anything else (animations, odd window sizes) is filtered.
    bool whole = tw > 0 && th > 0 && r.w % tw == 0 && r.h % th == 0 && r.w / tw == r.h / th;
    SDL_SetTextureScaleMode(texture, whole ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    Uint8 a = toByte(alpha);
    SDL_SetTextureAlphaMod(texture, a);
    SDL_SetTextureBlendMode(texture, picture.opaque && a == 255 ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
    Uint8 shade = pressed ? kPressedShade : 255;
    SDL_SetTextureColorMod(texture, shade, shade, shade);
    if (flip == SDL_FLIP_NONE)
        SDL_RenderCopy(renderer_, texture, nullptr, &r);
    else
        SDL_RenderCopyEx(renderer_, texture, nullptr, &r, 0, nullptr, flip);
}

TTF_Font* Renderer::fontFor(const Font& font, int pixelSize) {
    std::string key = font.name + "\x1f" + std::to_string(pixelSize);
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second;
    FontFile file = findFontFile(font.name);
    TTF_Font* opened = nullptr;
    if (!file.path.empty()) opened = TTF_OpenFontIndex(file.path.c_str(), pixelSize, file.index);
    if (!opened) {
        static bool told = false;
        if (!told) logLine("font: no usable font for \"" + font.name + "\"; labels are not drawn");
        told = true;
    }
    fonts_.emplace(key, opened);
    return opened;
}

Renderer::Text* Renderer::textFor(const Label& label, int pixelSize) {
    Color c = label.textColor();
    char colour[16];
    std::snprintf(colour, sizeof colour, "%02x%02x%02x", toByte(c.r), toByte(c.g), toByte(c.b));
    std::string key = label.text() + "\x1f" + label.font().name + "\x1f" + std::to_string(pixelSize) + colour;
    auto it = texts_.find(key);
    if (it == texts_.end()) {
        Text text;
        if (TTF_Font* font = fontFor(label.font(), pixelSize)) {
            SDL_Color fg{toByte(c.r), toByte(c.g), toByte(c.b), 255};
            if (SDL_Surface* s = TTF_RenderUTF8_Blended(font, label.text().c_str(), fg)) {
                text.texture = SDL_CreateTextureFromSurface(renderer_, s);
                text.width = s->w;
                text.height = s->h;
                SDL_FreeSurface(s);
            }
        }
        if (text.texture) SDL_SetTextureBlendMode(text.texture, SDL_BLENDMODE_BLEND);
        it = texts_.emplace(key, text).first;
    }
    it->second.lastUse = frame_;
    return &it->second;
}

void Renderer::drawLabel(const Label& label, const Map& map, double alpha) {
    int pixelSize = roundPixel(label.font().size * std::abs(map.sy));
    if (pixelSize < 1) return;
    Text* text = textFor(label, pixelSize);
    if (!text || !text->texture) return;
    SDL_Rect box = pixelRect(map, label.bounds());
    int x = box.x;
    if (label.textAlignment() == TextAlignmentCenter)
        x = box.x + (box.w - text->width) / 2;
    else if (label.textAlignment() == TextAlignmentRight)
        x = box.x + box.w - text->width;
    int y = box.y + (box.h - text->height) / 2;   // a label centres its line vertically
    SDL_Rect dst{x, y, text->width, text->height};
    SDL_Rect outer = currentClip_;
    SDL_Rect inside = intersect(outer, box);
    if (empty(inside)) return;
    setClip(inside);
    SDL_SetTextureAlphaMod(text->texture, toByte(label.textColor().a * alpha));
    SDL_RenderCopy(renderer_, text->texture, nullptr, &dst);
    setClip(outer);
}

}   // namespace platform::sdl
