// Bitmap fonts: a .fnt text file names a PNG glyph sheet and gives every
// glyph's rectangle in it; messages are measured and drawn glyph by glyph.
//
// Font files are read in pieces of at most 254 characters. A line is
// recognised by its first characters only; the rest of a longer line is read
// and skipped, never taken for the start of a new line. Numbers are parsed
// without sscanf so that out-of-range values are clamped instead of being
// undefined.

#include "gfx/sprites.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

FastFont fastFont[kFastFontCount];

namespace {

constexpr size_t kPieceMax = 254;  // characters of one piece of a line
constexpr size_t kPathMax = 255;   // characters of a path, without the NUL

int clampToInt(long long v) {
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

// Reads up to kPieceMax bytes, stopping after a line feed. `complete` tells
// whether the piece ends its line (a line feed or the end of the file).
// Returns the number of bytes read, 0 at the end of the file.
size_t readPiece(FILE* file, char* buf, bool* complete) {
    size_t n = 0;
    *complete = false;
    while (n < kPieceMax) {
        int c = getc(file);
        if (c == EOF) {
            *complete = true;
            break;
        }
        buf[n++] = static_cast<char>(c);
        if (c == '\n') {
            *complete = true;
            break;
        }
    }
    buf[n] = '\0';
    return n;
}

// Walks a text the way sscanf walks it with a fixed format, counting the
// converted fields and stopping at the first mismatch.
struct Scanner {
    const char* p;
    int fields = 0;
    bool failed = false;

    explicit Scanner(const char* text) : p(text) {}

    void literal(const char* s) {
        if (failed) return;
        size_t n = std::strlen(s);
        if (std::strncmp(p, s, n) != 0) {
            failed = true;
            return;
        }
        p += n;
    }
    void space() {
        if (failed) return;
        while (std::isspace(static_cast<unsigned char>(*p))) ++p;
    }
    void character(long long* out) {
        if (failed) return;
        if (*p == '\0') {
            failed = true;
            return;
        }
        *out = static_cast<unsigned char>(*p++);
        ++fields;
    }
    void number(long long* out, int base) {
        if (failed) return;
        space();
        char* end = nullptr;
        long long v = std::strtoll(p, &end, base);  // saturates on overflow
        if (end == p) {
            failed = true;
            return;
        }
        p = end;
        *out = v;
        ++fields;
    }
};

// The part that follows the character in both glyph forms:
// "; %d,%d,%d,%d; %d,%d,%d;".
void scanGlyphNumbers(Scanner& s, long long v[7]) {
    s.literal(";");
    s.space();
    for (int i = 0; i < 4; ++i) {
        if (i) s.literal(",");
        s.number(&v[i], 10);
    }
    s.literal(";");
    s.space();
    for (int i = 4; i < 7; ++i) {
        if (i > 4) s.literal(",");
        s.number(&v[i], 10);
    }
    s.literal(";");
}

// "Char=..." in its quoted form or, failing that, its hexadecimal form. A
// form counts when it converts more than 4 of its 8 fields; fields not
// converted are 0. Codes outside 0..255 are ignored.
void parseGlyphLine(FastFont* font, const char* line) {
    long long code = 0;
    long long v[7] = {};
    Scanner quoted(line);
    quoted.literal("Char=\"");
    quoted.character(&code);
    quoted.literal("\"");
    scanGlyphNumbers(quoted, v);
    if (quoted.fields <= 4) {
        code = 0;
        for (long long& x : v) x = 0;
        Scanner hex(line);
        hex.literal("Char=");
        hex.number(&code, 16);
        scanGlyphNumbers(hex, v);
        if (hex.fields <= 4) return;
    }
    if (code < 0 || code > 255) return;
    FontGlyph& g = font->glyphs[code];
    g.defined = 1;
    g.srcX = clampToInt(v[0]);
    g.srcY = clampToInt(v[1]);
    g.srcWidth = clampToInt(v[2]);
    g.srcHeight = clampToInt(v[3]);
    g.offsetX = clampToInt(v[4]);
    g.spacing = clampToInt(v[5]);
    g.offsetY = clampToInt(v[6]);
}

// Collects the sheet name of a "Bitmap=" line: the text up to the first line
// feed, carriage return or NUL, which may run over several pieces. False when
// it is longer than a path may be.
struct SheetName {
    char text[kPathMax + 1] = {};
    size_t length = 0;
    bool ended = false;
    bool tooLong = false;

    void take(const char* bytes, size_t n) {
        for (size_t i = 0; i < n && !ended; ++i) {
            char c = bytes[i];
            if (c == '\n' || c == '\r' || c == '\0') {
                ended = true;
            } else if (length == kPathMax) {
                tooLong = true;
                ended = true;
            } else {
                text[length++] = c;
            }
        }
    }
};

// Replaces the font's sheet by the one named `name`, tried as given and then
// under "data/". Prints which path was loaded or the last one tried.
void loadSheet(FastFont* font, const char* name) {
    freeImage(font->bitmap);
    font->bitmap = loadPng(name);
    const char* tried = name;
    char dataPath[kPathMax + 1];
    if (!font->bitmap) {
        int n = snprintf(dataPath, sizeof dataPath, "data/%s", name);
        if (n >= 0 && static_cast<size_t>(n) <= kPathMax) {
            font->bitmap = loadPng(dataPath);
            tried = dataPath;
        }
    }
    if (font->bitmap)
        printf("Loaded %s\n", tried);
    else
        printf("Could not find '%s'\n", tried);
}

bool startsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

const FastFont* loadedFont(int font) {
    if (font < 0 || font >= kFastFontCount) return nullptr;
    const FastFont* f = &fastFont[font];
    return f->bitmap ? f : nullptr;
}

void printMissing(unsigned char c) { printf("Missing font char: '%c'\n", c); }

}  // namespace

int loadFastFont(FastFont* font, const char* path) {
    if (!font || !path) return 0;
    printf("Loading font '%s'\n", path);
    if (font->bitmap) return 1;
    font->lineHeight = 1;
    FILE* file = fopen(path, "r");
    if (!file) {
        font->bitmap = nullptr;
        return 0;
    }
    char piece[kPieceMax + 1];
    bool complete = true;
    bool atLineStart = true;
    size_t n;
    while ((n = readPiece(file, piece, &complete)) > 0) {
        bool lineStart = atLineStart;
        atLineStart = complete;
        if (!lineStart) continue;  // the rest of a line longer than a piece
        if (startsWith(piece, "Char=")) {
            parseGlyphLine(font, piece);
        } else if (startsWith(piece, "Height=")) {
            font->lineHeight = 1;
            Scanner s(piece);
            s.literal("Height=");
            long long h = 1;
            s.number(&h, 10);
            if (!s.failed) font->lineHeight = clampToInt(h);
        } else if (startsWith(piece, "Bitmap=")) {
            SheetName name;
            name.take(piece + 7, n - 7);
            while (!name.ended && !complete) {
                n = readPiece(file, piece, &complete);
                if (n == 0) break;
                name.take(piece, n);
            }
            atLineStart = complete;
            if (name.tooLong) {
                // Refused like a sheet that cannot be found: no sheet.
                freeImage(font->bitmap);
                font->bitmap = nullptr;
                printf("Font sheet name too long in '%s'\n", path);
            } else {
                loadSheet(font, name.text);
            }
        }
    }
    fclose(file);
    if (!font->bitmap) return 0;
    printf("Success for font '%s'\n", path);
    return 1;
}

void initFastFont() {
    static const char* const kFiles[kFastFontCount] = {
        "data/Headline32bluered.fnt", "data/Body20blue.fnt",  "data/Body20brown.fnt",
        "data/Body14blue.fnt",        "data/Small10red.fnt",  "data/Small10black.fnt",
    };
    // Font sheets stay out of the video-memory window.
    int saved = swizzleToVRam;
    swizzleToVRam = 0;
    for (int i = 0; i < kFastFontCount; ++i) loadFastFont(&fastFont[i], kFiles[i]);
    swizzleToVRam = saved;
}

void extentMessage(int* width, int* height, int font, const char* text) {
    const FastFont* f = loadedFont(font);
    if (!f) return;
    long long w = 0;
    for (const char* p = text ? text : ""; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        const FontGlyph& g = f->glyphs[c];
        if (g.defined) {
            w += static_cast<long long>(g.srcWidth) + g.spacing + 1;
        } else {
            printMissing(c);
            w += f->lineHeight;
        }
    }
    if (width) *width = clampToInt(w);
    if (height) *height = f->lineHeight;
}

namespace {

// Shared by drawMessage (drawSprite, glyph placed at x - offsetX) and
// drawMessageAlpha (drawSpriteAlpha, glyph placed at x + offsetX).
void drawGlyphs(int x, int y, int font, const char* text, int alpha, bool withAlpha) {
    const FastFont* f = loadedFont(font);
    if (!f || !text) return;
    long long penX = x;
    for (const char* p = text; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        const FontGlyph& g = f->glyphs[c];
        if (!g.defined) {
            printMissing(c);
            penX += f->lineHeight;
            continue;
        }
        int drawY = clampToInt(static_cast<long long>(y) + g.offsetY);
        if (withAlpha) {
            drawSpriteAlpha(g.srcX, g.srcY, g.srcWidth, g.srcHeight, f->bitmap,
                            clampToInt(penX + g.offsetX), drawY, alpha);
        } else {
            drawSprite(g.srcX, g.srcY, g.srcWidth, g.srcHeight, f->bitmap,
                       clampToInt(penX - g.offsetX), drawY);
        }
        penX += 1LL + g.srcWidth + g.spacing;
    }
}

}  // namespace

void drawMessage(int x, int y, int font, const char* text) {
    drawGlyphs(x, y, font, text, 0, false);
}

void drawMessageAlpha(int x, int y, int font, const char* text, int alpha) {
    drawGlyphs(x, y, font, text, alpha, true);
}

void drawMessageFormat(int x, int y, int font, const char* text) {
    const FastFont* f = loadedFont(font);
    if (!f || !text) return;
    std::string copy(text);
    size_t start = 0;
    long long row = 0;
    for (;;) {
        size_t end = copy.find('\n', start);
        bool last = end == std::string::npos;
        if (last) end = copy.size();
        // Empty lines take their row; an empty tail after the last line feed
        // is not a line.
        if (!last || end > start) {
            if (!last) copy[end] = '\0';
            drawMessage(x, clampToInt(y + row * f->lineHeight), font, copy.c_str() + start);
        }
        if (last) break;
        start = end + 1;
        ++row;
    }
}
