#include "objects/WmfToSvg.h"

#include <libwmf/api.h>
#include <libwmf/defs.h>
#include <libwmf/ipa.h>
#include <libwmf/macro.h>
#include <libwmf/svg.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::uint32_t PlaceableKey = 0x9AC6CDD7;
constexpr std::size_t PlaceableHeaderSize = 22;
constexpr std::size_t HeaderSize = 18;
constexpr std::size_t MaxSvgSize = 64u << 20; // a runaway conversion stops here

// Windows mapping modes; libwmf keeps its names for them private.
enum : unsigned {
    MmText = 1,
    MmLoMetric,
    MmHiMetric,
    MmLoEnglish,
    MmHiEnglish,
    MmTwips,
    MmIsotropic,
    MmAnisotropic
};

std::uint16_t U16At(const unsigned char* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}
std::int16_t S16At(const unsigned char* p) {
    return std::int16_t(U16At(p));
}
std::uint32_t U32At(const unsigned char* p) {
    return std::uint32_t(U16At(p)) | std::uint32_t(U16At(p + 2)) << 16;
}
void PutU32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// What the record chain says before libwmf sees it: where the records end, the largest
// record, and the frame the picture declares.
struct TLayout {
    std::size_t Start = 0; // the standard header, after the placeable one if present
    std::size_t End = 0;   // just past the end-of-file record
    std::uint32_t MaxRecordWords = 3;
    bool Placeable = false;
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    unsigned Inch = 0;
    unsigned MapMode = MmText; // the first one the records set
    bool MapModeSet = false;
    bool HasWindow = false; // the first window origin and extent the records set
    int WindowX = 0, WindowY = 0, WindowWidth = 0, WindowHeight = 0;
    std::size_t Records = 0;
};

// Checks that the bytes are a complete record chain ending in the end-of-file record;
// libwmf reads records of any declared size, so nothing it gets may point past the end.
bool ReadLayout(const unsigned char* b, std::size_t size, TLayout& layout) {
    if (size >= 4 && U32At(b) == PlaceableKey) {
        if (size < PlaceableHeaderSize) return false;
        layout.Placeable = true;
        layout.Left = S16At(b + 6);
        layout.Top = S16At(b + 8);
        layout.Right = S16At(b + 10);
        layout.Bottom = S16At(b + 12);
        layout.Inch = U16At(b + 14);
        layout.Start = PlaceableHeaderSize;
    }
    const unsigned char* h = b + layout.Start;
    if (size < layout.Start + HeaderSize) return false;
    const unsigned type = U16At(h);
    if ((type != 1 && type != 2) || U16At(h + 2) != 9) return false;

    std::size_t pos = layout.Start + HeaderSize;
    bool originSet = false, extentSet = false;
    for (;;) {
        if (size - pos < 6) return false;
        const std::uint32_t words = U32At(b + pos);
        if (words < 3 || words > (size - pos) / 2) return false;
        const unsigned function = U16At(b + pos + 4);
        const unsigned char* params = b + pos + 6;
        layout.MaxRecordWords = std::max(layout.MaxRecordWords, words);
        if (++layout.Records > MostMetafileRecords) return false;
        if (function == 0 && words == 3) { // the end-of-file record
            layout.End = pos + 6;
            return true;
        }
        if (function == 0x0103 && words >= 4 && !layout.MapModeSet) {
            layout.MapMode = U16At(params);
            layout.MapModeSet = true;
        } else if (function == 0x020B && words >= 5 && !originSet) { // SetWindowOrg: y, x
            layout.WindowY = S16At(params);
            layout.WindowX = S16At(params + 2);
            originSet = true;
        } else if (function == 0x020C && words >= 5 && !extentSet) { // SetWindowExt: y, x
            layout.WindowHeight = S16At(params);
            layout.WindowWidth = S16At(params + 2);
            layout.HasWindow = layout.WindowWidth != 0 && layout.WindowHeight != 0;
            extentSet = true;
        }
        pos += std::size_t(words) * 2;
    }
}

// Logical units per inch of a file without a placeable header. The modes without a physical
// unit get libwmf's own guess: small extents are points, large ones twips.
double UnitsPerInch(const TLayout& layout) {
    switch (layout.MapMode) {
    case MmLoMetric:
        return 254;
    case MmHiMetric:
        return 2540;
    case MmLoEnglish:
        return 100;
    case MmHiEnglish:
        return 1000;
    case MmTwips:
        return 1440;
    default:
        return std::fabs(double(layout.WindowWidth) * layout.WindowHeight) < 1024.0 * 1024.0 ? 72
                                                                                             : 1440;
    }
}

// The state of one conversion, reached from libwmf's callbacks through API->user_data.
struct TContext {
    std::string Out;
    bool Overflow = false;
    wmfFunctionReference Original{};
    bool HasFrame = false; // a frame in logical units, placed on the first drawing
    double Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool Placed = false;
};

TContext& Context(wmfAPI* api) {
    return *static_cast<TContext*>(api->user_data);
}

int StreamPut(char* text, void* context) {
    auto* c = static_cast<TContext*>(context);
    const std::size_t length = std::strlen(text);
    if (c->Overflow || c->Out.size() + length > MaxSvgSize) {
        c->Overflow = true;
        return -1;
    }
    c->Out.append(text, length);
    return 0;
}

int StreamReset(void* context) {
    static_cast<TContext*>(context)->Out.clear();
    return 0;
}

// The SVG device maps its bounding box onto the drawing; it has to be the declared frame
// (not the scanned drawing, which would drop the margins). The frame is in logical units, and
// only the drawing context knows how the file maps them to device units, so the box is set
// from the first drawing's context, as libwmf itself would translate the frame's corners.
void PlaceFrame(wmfAPI* api, const wmfDC* dc) {
    TContext& c = Context(api);
    if (c.Placed || !c.HasFrame || !dc) return;
    c.Placed = true;
    double pw = dc->pixel_width, ph = dc->pixel_height;
    if (dc->map_mode != MmIsotropic && dc->map_mode != MmAnisotropic) {
        if (dc->Window.width < 0) pw = -pw;
        if (dc->Window.height < 0) ph = -ph;
    }
    const double x1 = (c.Left - dc->Window.Ox) * pw, x2 = (c.Right - dc->Window.Ox) * pw;
    const double y1 = (c.Top - dc->Window.Oy) * ph, y2 = (c.Bottom - dc->Window.Oy) * ph;
    if (!std::isfinite(x1 + x2 + y1 + y2) || x1 == x2 || y1 == y2) return;
    wmf_svg_t* ddata = WMF_SVG_GetData(api);
    ddata->bbox.TL.x = float(std::min(x1, x2));
    ddata->bbox.BR.x = float(std::max(x1, x2));
    ddata->bbox.TL.y = float(std::min(y1, y2));
    ddata->bbox.BR.y = float(std::max(y1, y2));
}

std::string Hex(const wmfRGB& c) {
    static const char digits[] = "0123456789abcdef";
    std::string s = "#";
    for (unsigned char v : {c.r, c.g, c.b}) {
        s += digits[v >> 4];
        s += digits[v & 15];
    }
    return s;
}

// Replaces the value of each "key:value" in the output between `from` and `to`.
void ReplaceValues(std::string& out, std::size_t from, std::size_t to, const std::string& key,
                   bool (*replaceable)(const std::string&), const std::string& value) {
    for (std::size_t at = out.find(key, from); at < to; at = out.find(key, at)) {
        const std::size_t begin = at + key.size();
        const std::size_t end = out.find_first_of(";\"", begin);
        if (end == std::string::npos) return;
        if (replaceable(out.substr(begin, end - begin))) {
            out.replace(begin, end - begin, value);
            to = to + value.size() - (end - begin);
        }
        at = begin;
    }
}

bool IsColourName(const std::string& v) {
    return !v.empty() && v != "none";
}
bool IsHalf(const std::string& v) {
    return v == "0.5";
}

// The SVG device writes each colour as the nearest of the 147 SVG colour names, and fills
// solid brushes half transparent when the background mode is transparent (which in GDI only
// concerns the gaps of hatches and text backgrounds). Each element it has just written gets
// the exact colours back, and solid fills their full opacity.
void RestoreStyle(wmfAPI* api, std::size_t from, std::size_t to, const wmfDC* dc,
                  const wmfRGB* fill) {
    TContext& c = Context(api);
    if (!dc) return;
    const wmfBrush* brush = dc->brush;
    if (!fill && brush) fill = &brush->lbColor;
    if (fill) ReplaceValues(c.Out, from, to, "fill:", IsColourName, Hex(*fill));
    if (dc->pen) ReplaceValues(c.Out, from, to, "stroke:", IsColourName, Hex(dc->pen->lopnColor));
    if (brush && WMF_BRUSH_STYLE(brush) == BS_SOLID)
        ReplaceValues(c.Out, from, to, "fill-opacity:", IsHalf, "1.0");
}

template <typename Arg, void (*wmfFunctionReference::*Member)(wmfAPI*, Arg*)>
void Drawn(wmfAPI* api, Arg* arg) {
    TContext& c = Context(api);
    PlaceFrame(api, arg->dc);
    const std::size_t mark = c.Out.size();
    (c.Original.*Member)(api, arg);
    RestoreStyle(api, mark, c.Out.size(), arg->dc, nullptr);
}

void PixelDrawn(wmfAPI* api, wmfDrawPixel_t* pixel) {
    TContext& c = Context(api);
    PlaceFrame(api, pixel->dc);
    const std::size_t mark = c.Out.size();
    c.Original.draw_pixel(api, pixel);
    RestoreStyle(api, mark, c.Out.size(), pixel->dc, &pixel->color);
}

// Text in a metafile is in the ANSI code page; the SVG device copies its bytes unescaped
// into a document read as UTF-8.
std::string EscapedText(const char* text) {
    static const char16_t high[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    std::string s;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        const unsigned ch = *p;
        if (ch == '&')
            s += "&amp;";
        else if (ch == '<')
            s += "&lt;";
        else if (ch == '>')
            s += "&gt;";
        else if (ch < 0x20)
            s += ' ';
        else if (ch < 0x80)
            s += char(ch);
        else {
            const unsigned u = ch < 0xA0 ? high[ch - 0x80] : ch;
            if (u < 0x800) {
                s += char(0xC0 | u >> 6);
                s += char(0x80 | (u & 0x3F));
            } else {
                s += char(0xE0 | u >> 12);
                s += char(0x80 | (u >> 6 & 0x3F));
                s += char(0x80 | (u & 0x3F));
            }
        }
    }
    return s;
}

void TextDrawn(wmfAPI* api, wmfDrawText_t* text) {
    TContext& c = Context(api);
    PlaceFrame(api, text->dc);
    if (!text->str) return;
    std::string escaped = EscapedText(text->str);
    char* original = text->str;
    text->str = escaped.data();
    const std::size_t mark = c.Out.size();
    c.Original.draw_text(api, text);
    text->str = original;
    // Only the start tag: the text itself may well read "fill:".
    if (text->dc)
        RestoreStyle(api, mark, std::min(c.Out.find('>', mark), c.Out.size()), text->dc,
                     &text->dc->textcolor);
}

// The SVG device gives an image both its position and a transform that scales and moves it
// again; the position and size alone are right.
void BitmapDrawn(wmfAPI* api, wmfBMP_Draw_t* bitmap) {
    TContext& c = Context(api);
    PlaceFrame(api, bitmap->dc);
    const std::size_t mark = c.Out.size();
    c.Original.bmp_draw(api, bitmap);
    const std::string attribute = "transform=\"";
    const std::size_t at = c.Out.find(attribute + "matrix(", mark);
    if (at == std::string::npos) return;
    const std::size_t end = c.Out.find('"', at + attribute.size());
    if (end != std::string::npos) c.Out.erase(at, end + 1 - at);
}

void Hook(wmfFunctionReference& fr, TContext& c) {
    c.Original = fr;
    // A call the device leaves out stays out: the player checks for null.
    const auto wrap = [](auto& slot, auto wrapper) {
        if (slot) slot = wrapper;
    };
    wrap(fr.draw_pie, Drawn<wmfDrawArc_t, &wmfFunctionReference::draw_pie>);
    wrap(fr.draw_chord, Drawn<wmfDrawArc_t, &wmfFunctionReference::draw_chord>);
    wrap(fr.draw_arc, Drawn<wmfDrawArc_t, &wmfFunctionReference::draw_arc>);
    wrap(fr.draw_ellipse, Drawn<wmfDrawArc_t, &wmfFunctionReference::draw_ellipse>);
    wrap(fr.draw_line, Drawn<wmfDrawLine_t, &wmfFunctionReference::draw_line>);
    wrap(fr.poly_line, Drawn<wmfPolyLine_t, &wmfFunctionReference::poly_line>);
    wrap(fr.draw_polygon, Drawn<wmfPolyLine_t, &wmfFunctionReference::draw_polygon>);
    wrap(fr.draw_polypolygon, Drawn<wmfPolyPoly_t, &wmfFunctionReference::draw_polypolygon>);
    wrap(fr.draw_rectangle, Drawn<wmfDrawRectangle_t, &wmfFunctionReference::draw_rectangle>);
    wrap(fr.region_frame, Drawn<wmfPolyRectangle_t, &wmfFunctionReference::region_frame>);
    wrap(fr.region_paint, Drawn<wmfPolyRectangle_t, &wmfFunctionReference::region_paint>);
    wrap(fr.draw_pixel, PixelDrawn);
    wrap(fr.draw_text, TextDrawn);
    wrap(fr.bmp_draw, BitmapDrawn);
}

// libwmf ends the process ("failed to load *any* font") when its standard fonts are
// missing, so without them a WMF is refused instead.
bool FontsAvailable() {
    static const bool available =
        access("/usr/share/fonts/type1/urw-base35/NimbusRoman-Regular.t1", R_OK) == 0 ||
        access("/usr/share/fonts/type1/urw-base35/NimbusSans-Regular.t1", R_OK) == 0;
    return available;
}

std::mutex& LibraryLock() {
    static std::mutex lock;
    return lock;
}

struct TApiGuard {
    wmfAPI* Api = nullptr;
    ~TApiGuard() {
        if (!Api) return;
        if (auto* ddata = WMF_SVG_GetData(Api)) ddata->out = nullptr; // ours, not libwmf's
        wmf_api_destroy(Api);
    }
};

} // namespace

TWmfSvg WmfToSvg(const unsigned char* bytes, std::size_t size) {
    TLayout layout;
    if (!bytes || !ReadLayout(bytes, size, layout)) {
        TWmfSvg refused;
        refused.TooManyRecords = layout.Records > MostMetafileRecords;
        return refused;
    }

    // libwmf gets only the records up to the end, with a record-size limit it can trust
    // and a placeable unit it can divide by.
    std::vector<unsigned char> data(bytes, bytes + layout.End);
    PutU32(data.data() + layout.Start + 12, layout.MaxRecordWords);
    if (layout.Placeable && layout.Inch == 0) {
        layout.Inch = 1440;
        data[14] = 1440 & 0xFF;
        data[15] = 1440 >> 8;
    }

    TContext context;
    TWmfSvg result;
    if (layout.Placeable && layout.Right != layout.Left && layout.Bottom != layout.Top) {
        context.HasFrame = true;
        context.Left = layout.Left;
        context.Top = layout.Top;
        context.Right = layout.Right;
        context.Bottom = layout.Bottom;
        result.WidthInches = std::abs(layout.Right - layout.Left) / double(layout.Inch);
        result.HeightInches = std::abs(layout.Bottom - layout.Top) / double(layout.Inch);
    } else if (layout.HasWindow) {
        context.HasFrame = true;
        context.Left = layout.WindowX;
        context.Top = layout.WindowY;
        context.Right = double(layout.WindowX) + layout.WindowWidth;
        context.Bottom = double(layout.WindowY) + layout.WindowHeight;
        const double perInch = layout.Placeable ? layout.Inch : UnitsPerInch(layout);
        result.WidthInches = std::abs(layout.WindowWidth) / perInch;
        result.HeightInches = std::abs(layout.WindowHeight) / perInch;
    }

    std::lock_guard lock(LibraryLock());
    if (!FontsAvailable()) return {};

    TApiGuard guard;
    wmfAPI_Options options{};
    options.function = wmf_svg_function;
    const unsigned long flags =
        WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    if (wmf_api_create(&guard.Api, flags, &options) != wmf_E_None || !guard.Api) return {};
    if (wmf_mem_open(guard.Api, data.data(), long(data.size())) != wmf_E_None) return {};
    wmfD_Rect scanned{};
    if (wmf_scan(guard.Api, 0, &scanned) != wmf_E_None) return {};
    wmf_svg_t* ddata = WMF_SVG_GetData(guard.Api);
    auto* functions = static_cast<wmfFunctionReference*>(guard.Api->function_reference);
    if (!ddata || !functions) return {};

    const double scannedWidth = scanned.BR.x - scanned.TL.x,
                 scannedHeight = scanned.BR.y - scanned.TL.y;
    const bool scannedUsable =
        std::isfinite(scannedWidth + scannedHeight) && scannedWidth > 0 && scannedHeight > 0;
    if (!context.HasFrame) {
        // Nothing declares a frame: the drawing's own bounds (libwmf's device units are
        // points) make it, or an inch square when there is nothing to bound.
        result.WidthInches = scannedUsable ? scannedWidth / 72 : 1;
        result.HeightInches = scannedUsable ? scannedHeight / 72 : 1;
    }
    // Placed again from the frame at the first drawing; the device only needs a box now.
    ddata->bbox = scanned;
    if (!scannedUsable) {
        ddata->bbox.TL = {0, 0};
        ddata->bbox.BR = {1, 1};
    }
    // Device units of the SVG: tenths of a point, fewer for a frame over 100 inches.
    const double longest = std::max(result.WidthInches, result.HeightInches);
    const double perInch = longest * 720 > 72000 ? 72000 / longest : 720;
    ddata->width = unsigned(std::clamp(std::lround(result.WidthInches * perInch), 1L, 72000L));
    ddata->height = unsigned(std::clamp(std::lround(result.HeightInches * perInch), 1L, 72000L));
    ddata->flags |= WMF_SVG_INLINE_IMAGES;

    wmfStream stream{&context, StreamPut, StreamReset};
    ddata->out = &stream;
    guard.Api->user_data = &context;
    Hook(*functions, context);

    wmfD_Rect played{};
    if (wmf_play(guard.Api, 0, &played) != wmf_E_None || context.Overflow) return {};

    result.Svg = std::move(context.Out);
    return result;
}
